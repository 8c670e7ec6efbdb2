#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "ChildRun.h"
#include "CommandLine.h"
#include "CommandLineRun.h"
#include "Form.h"
#include "RegistryRedirect.h"
#include "SystemLibraries.h"
#include "frmMain.h"

namespace {

std::vector<std::wstring> Arguments() {
    std::vector<std::wstring> args;
    int argc = 0;
    if (LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc)) {
        for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
        LocalFree(argv);
    }
    return args;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCmd) {
    syslib::RestrictLibrarySearch();
    // A module that cannot load is reported by Pellamy, never by a box of the loader's.
    SetErrorMode(SetErrorMode(0) | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    const std::vector<std::wstring> args = Arguments();
    if (pellamy::IsChildRun(args)) return pellamy::RunAsChild(args);
    pellamy::RemoveStaleScratchKeys();
    // Switches or several files: a script's run, without the window.
    if (!pellamy::OpensWindow(args)) return pellamy::RunFromCommandLine(args);

    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_LINK_CLASS};
    InitCommonControlsEx(&icc);
    frmMain& main = form::Single<frmMain>();
    if (!main.Load()) return 1;
    // A path given on the command line (or by "Open with") starts in the path box.
    if (!args.empty()) main.SetText(frmMain::IdtxtOCXPath, args[0]);
    main.SetQuitOnDestroy(true);
    main.Show(showCmd);
    return form::RunMessageLoop();
}
