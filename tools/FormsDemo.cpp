// Shows the About box or the web update window on its own, for looking at them (screenshots).
//   about_forms_demo tavrin-about | pellamy-about | webupdate | webupdate-newer
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "AppInfo.h"
#include "Form.h"
#include "frmAbout.h"
#include "frmWebUpdate.h"

int WINAPI wWinMain(HINSTANCE inst, HINSTANCE, PWSTR cmdLine, int) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    const std::wstring what = cmdLine ? cmdLine : L"";
    if (what == L"pellamy-about") {
        AppTitle = L"Pellamy";
        HICON icon = static_cast<HICON>(LoadImageW(inst, MAKEINTRESOURCEW(2), IMAGE_ICON, 32, 32, 0));
        frmAbout& about = form::Single<frmAbout>();
        about.SetMainIcon(icon);
        if (!about.Load()) return 1;
        about.SetQuitOnDestroy(true);
        about.Show();
    } else if (what.rfind(L"webupdate", 0) == 0) {
        AppTitle = L"Tavrin";
        frmWebUpdate& w = form::Single<frmWebUpdate>();
        if (!w.Load()) return 1;
        w.SetQuitOnDestroy(true);
        w.Show();
        if (what == L"webupdate-newer") {
            w.WebVrChk1.fetch = [](const std::wstring&, std::string& body) {
                body = "version=1.40\ndownload=https://tavrin.example.org/download/tavrin-1.40.zip\n"
                       "info=Faster find and printing fixes.\n";
                return int32_t{0};
            };
            w.WebVrChk1.autolaunchbrowser = false;  // no browser for a look at the window
            PostMessageW(w.Item(frmWebUpdate::IdCommand1), BM_CLICK, 0, 0);
        }
    } else {
        AppTitle = L"Tavrin";
        frmAbout& about = form::Single<frmAbout>();
        if (!about.Load()) return 1;
        about.SetQuitOnDestroy(true);
        about.Show();
    }
    return form::RunMessageLoop();
}
