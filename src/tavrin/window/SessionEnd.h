// The end of the Windows session while the main window holds a document: the save-changes
// question (the system showing why the window holds the end up meanwhile), and what the answer
// means for the closing that follows or for a session that goes on after all.
#pragma once
#include <windows.h>

#include <string>

#include "Document.h"

class SessionEnd {
public:
    void Reset() { ended_ = confirmed_ = false; }
    // WM_QUERYENDSESSION: whether the session may end; an unmodified document never delays it.
    bool Query(HWND window, Document& doc, const std::wstring& initDir);
    // WM_ENDSESSION: true when the session ends now and the window closes; a session that goes on
    // after all takes back the agreement to close.
    bool Ends(bool ending, Document& doc);
    // The session's end has come (the window's last writes were done then).
    bool Ended() const { return ended_; }

private:
    bool ended_ = false;
    bool confirmed_ = false;  // agreed to with the document modified
};
