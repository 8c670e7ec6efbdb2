#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "Form.h"
#include "SystemLibraries.h"
#include "frmMain.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCmd) {
    syslib::RestrictLibrarySearch();
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_LINK_CLASS};
    InitCommonControlsEx(&icc);
    frmMain& main = form::Single<frmMain>();
    if (!main.Load()) return 1;
    // A path given on the command line (or by "Open with") starts in the path box.
    int argc = 0;
    if (LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc)) {
        if (argc > 1) main.SetText(frmMain::txtOCXPath, argv[1]);
        LocalFree(argv);
    }
    main.SetQuitOnDestroy(true);
    main.Show(showCmd);
    return form::RunMessageLoop();
}
