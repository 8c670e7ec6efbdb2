#include <windows.h>
#include <commctrl.h>

#include "Form.h"
#include "frmMain.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCmd) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_LINK_CLASS};
    InitCommonControlsEx(&icc);
    frmMain& main = form::Single<frmMain>();
    if (!main.Load()) return 1;
    main.SetQuitOnDestroy(true);
    main.Show(showCmd);
    return form::RunMessageLoop();
}
