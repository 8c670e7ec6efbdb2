#include "SessionEnd.h"

#include "Texts.h"

bool SessionEnd::Query(HWND window, Document& doc, const std::wstring& initDir) {
    if (doc.ExitConfirmed || !doc.IsModified()) return true;
    const std::wstring title = doc.DocumentTitle.empty() ? texts::UntitledDocument : doc.DocumentTitle;
    ShutdownBlockReasonCreate(window, (texts::EndSessionReason + title).c_str());
    const bool go = doc.AskToSaveChanges(initDir);
    ShutdownBlockReasonDestroy(window);
    if (go) doc.ExitConfirmed = confirmed_ = true;
    return go;
}

bool SessionEnd::Ends(bool ending, Document& doc) {
    if (ending) ended_ = true;
    else if (confirmed_) doc.ExitConfirmed = false;
    confirmed_ = false;
    return ending;
}
