#include "SearchCommands.h"

#include "Form3.h"
#include "Paths.h"
#include "ToolsCommands.h"
#include "frmFindInFiles.h"
#include "frmReplace.h"

void SearchCommands::Attach(Area a) {
    choices_ = {};
    form::Single<Form3>().Searches({a.edit, a.window, a.changes, a.changesCounted, a.lineEnds, &choices_});
    form::Single<frmReplace>().Works({a.edit, a.lineEnds, &choices_});
}

void SearchCommands::Detach() {
    Form3& find = form::Single<Form3>();
    find.Unload();
    find.Searches({});
    frmReplace& replace = form::Single<frmReplace>();
    replace.Unload();
    replace.Works({});
}

void SearchCommands::Find() { form::Single<Form3>().ShowFind(); }
void SearchCommands::FindNext() { form::Single<Form3>().ShowFindNext(); }
void SearchCommands::Replace() { form::Single<frmReplace>().Show(); }

void SearchCommands::FindInFiles(HWND owner, const std::wstring& documentPath, const std::wstring& initDir,
                                 ToolsCommands& tools) {
    frmFindInFiles& dialog = form::Single<frmFindInFiles>();
    dialog.Remembered = &choices_;
    if (!documentPath.empty()) dialog.Folder = paths::Folder(documentPath);
    else if (dialog.Folder.empty()) dialog.Folder = initDir;
    dialog.ShowModal(owner);
    std::wstring error;
    auto pattern = dialog.Accepted ? search::Pattern::Make(dialog.Query, error) : std::nullopt;
    if (pattern)
        tools.FindInFiles({dialog.Folder, findfiles::SplitTypes(dialog.Types), dialog.Subfolders}, std::move(*pattern),
                          dialog.Query.what);
}
