#include <windows.h>
#include <commctrl.h>

#include "Form.h"
#include "Modal.h"
#include "EditArea.h"
#include "SystemLibraries.h"
#include "Texts.h"
#include "UiTask.h"
#include "basTavrin.h"
#include "frmMain.h"

namespace {

// The file named on the command line ("Open with" passes it quoted); blanks inside are kept as typed.
std::wstring CommandLineFile() { return FileFromCommandLine(GetCommandLineW()); }

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCmd) {
    syslib::RestrictLibrarySearch();
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_LINK_CLASS};
    InitCommonControlsEx(&icc);
    if (!editarea::RegisterWindowClass()) {
        modal::MsgBox(texts::NoEditingArea, MB_OK | MB_ICONSTOP, texts::AppName);
        return 1;
    }
    frmMain& main = form::Single<frmMain>();
    if (!main.Load()) return 1;
    main.SetQuitOnDestroy(true);
    main.Show(showCmd);
    const std::wstring file = CommandLineFile();
    if (!file.empty()) main.OpenStartupFile(file);
    main.OfferRecovery();
    const int code = form::RunMessageLoop();
    // A search given up on may still run: ending here stops it before the objects it uses go.
    if (uitask::WorkerLeft()) ExitProcess(static_cast<UINT>(code));
    return code;
}
