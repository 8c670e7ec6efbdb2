// Every modal interaction (message boxes, common dialogs) goes through here, so tests can answer them.
#pragma once
#include <windows.h>
#include <commdlg.h>
#include <shlobj.h>

#include <functional>
#include <string>

namespace form {
class Form;
}

namespace modal {

struct MsgBoxCall {
    HWND owner;
    std::wstring text;
    std::wstring title;
    UINT flags;
};

// Test answers. An empty function means: show the real dialog.
struct Hooks {
    std::function<int(const MsgBoxCall&)> msgBox;
    std::function<BOOL(OPENFILENAMEW&)> openFile;
    std::function<BOOL(OPENFILENAMEW&)> saveFile;
    std::function<BOOL(CHOOSEFONTW&)> chooseFont;
    std::function<BOOL(CHOOSECOLORW&)> chooseColor;
    std::function<BOOL(PRINTDLGW&)> printDlg;
    std::function<BOOL(PAGESETUPDLGW&)> pageSetup;
    // Returns true with the chosen folder, false when cancelled.
    std::function<bool(const std::wstring& title, const std::wstring& start, std::wstring& chosen)> browseFolder;
    // A form shown modally, loaded and not shown: the hook works its controls; it unloads after.
    std::function<void(form::Form&)> modalForm;
};
Hooks& TestHooks();

// Installs hooks for a scope and restores the previous ones after.
class ScopedHooks {
public:
    explicit ScopedHooks(Hooks h) : saved_(TestHooks()) { TestHooks() = std::move(h); }
    ~ScopedHooks() { TestHooks() = saved_; }
    ScopedHooks(const ScopedHooks&) = delete;
    ScopedHooks& operator=(const ScopedHooks&) = delete;
private:
    Hooks saved_;
};

// A message box owned by the thread's active window; an empty title means AppTitle.
int MsgBox(const std::wstring& text, UINT flags = MB_OK, const std::wstring& title = {}, HWND owner = nullptr);

BOOL OpenFile(OPENFILENAMEW& ofn);
BOOL SaveFile(OPENFILENAMEW& ofn);
BOOL ChooseFontDlg(CHOOSEFONTW& cf);
BOOL ChooseColorDlg(CHOOSECOLORW& cc);
BOOL PrintDlgBox(PRINTDLGW& pd);
BOOL PageSetupDlgBox(PAGESETUPDLGW& psd);
bool BrowseForFolder(HWND owner, const std::wstring& title, const std::wstring& start, std::wstring& chosen);

}  // namespace modal
