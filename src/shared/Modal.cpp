#include "Modal.h"

#include "AppInfo.h"
#include "Raii.h"
#include "SystemLibraries.h"

namespace modal {

Hooks& TestHooks() {
    static Hooks hooks;
    return hooks;
}

int MsgBox(const std::wstring& text, UINT flags, const std::wstring& title, HWND owner) {
    MsgBoxCall call{owner ? owner : GetActiveWindow(), text, title.empty() ? AppTitle : title, flags};
    if (TestHooks().msgBox) return TestHooks().msgBox(call);
    return MessageBoxW(call.owner, call.text.c_str(), call.title.c_str(), call.flags);
}

namespace {

// The common dialogs' library is loaded at the first of them, not at start, where it took 7-11 ms
// under Wine; it stays for the process.
template <class Arg>
BOOL CommonDialog(const char* name, Arg& arg) {
    static const HMODULE comdlg = syslib::LoadSystemLibrary(L"comdlg32.dll");
    BOOL(WINAPI * show)(Arg*) = nullptr;
    return comdlg && syslib::Bind(comdlg, name, show) ? show(&arg) : FALSE;
}

}  // namespace

BOOL OpenFile(OPENFILENAMEW& ofn) {
    return TestHooks().openFile ? TestHooks().openFile(ofn) : CommonDialog("GetOpenFileNameW", ofn);
}
BOOL SaveFile(OPENFILENAMEW& ofn) {
    return TestHooks().saveFile ? TestHooks().saveFile(ofn) : CommonDialog("GetSaveFileNameW", ofn);
}
BOOL ChooseFontDlg(CHOOSEFONTW& cf) {
    return TestHooks().chooseFont ? TestHooks().chooseFont(cf) : CommonDialog("ChooseFontW", cf);
}
BOOL ChooseColorDlg(CHOOSECOLORW& cc) {
    return TestHooks().chooseColor ? TestHooks().chooseColor(cc) : CommonDialog("ChooseColorW", cc);
}
BOOL PrintDlgBox(PRINTDLGW& pd) {
    return TestHooks().printDlg ? TestHooks().printDlg(pd) : CommonDialog("PrintDlgW", pd);
}
BOOL PageSetupDlgBox(PAGESETUPDLGW& psd) {
    return TestHooks().pageSetup ? TestHooks().pageSetup(psd) : CommonDialog("PageSetupDlgW", psd);
}

namespace {
int CALLBACK BrowseCallback(HWND hwnd, UINT msg, LPARAM, LPARAM data) {
    if (msg == BFFM_INITIALIZED && data)
        SendMessageW(hwnd, BFFM_SETSELECTIONW, TRUE, data);
    return 0;
}
}  // namespace

bool BrowseForFolder(HWND owner, const std::wstring& title, const std::wstring& start, std::wstring& chosen) {
    if (TestHooks().browseFolder) return TestHooks().browseFolder(title, start, chosen);
    raii::ComInit com;
    BROWSEINFOW bi{};
    bi.hwndOwner = owner;
    bi.lpszTitle = title.c_str();
    bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    bi.lpfn = &BrowseCallback;
    bi.lParam = reinterpret_cast<LPARAM>(start.c_str());
    raii::CoMem pidl(SHBrowseForFolderW(&bi));
    if (!pidl) return false;
    std::wstring path(32768, L'\0');
    if (!SHGetPathFromIDListEx(static_cast<PCIDLIST_ABSOLUTE>(pidl.get()), path.data(),
                               static_cast<DWORD>(path.size()), GPFIDL_DEFAULT))
        return false;
    path.resize(wcslen(path.c_str()));
    chosen = path;
    return true;
}

}  // namespace modal
