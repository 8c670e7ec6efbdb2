// The editor's main window loaded afresh for each test, its settings under a scratch key, with the
// helpers the window tests share.
#pragma once
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "Modal.h"
#include "Raii.h"
#include "EditArea.h"
#include "SafeSave.h"
#include "TestEnv.h"
#include "basTavrin.h"
#include "frmMain.h"
#include "frmOptions.h"

namespace testenv {

inline const wchar_t kScratchRoot[] = L"Software\\TavrinTests";

// The editor's program of this bitness in the build folder.
inline std::wstring TavrinExe() { return BinDir() + (sizeof(void*) == 8 ? L"\\Tavrin64.exe" : L"\\Tavrin.exe"); }

// Answers a file dialog (through the seam) with a path.
inline std::function<BOOL(OPENFILENAMEW&)> Choose(const std::wstring& path) {
    return [path](OPENFILENAMEW& ofn) {
        wcsncpy_s(ofn.lpstrFile, ofn.nMaxFile, path.c_str(), _TRUNCATE);
        const std::wstring title = path.substr(path.find_last_of(L'\\') + 1);
        if (ofn.lpstrFileTitle) wcsncpy_s(ofn.lpstrFileTitle, ofn.nMaxFileTitle, title.c_str(), _TRUNCATE);
        return TRUE;
    };
}

// Ctrl+<key> pressed in `target`, through the program's message filter; true when it was taken.
inline bool PressCtrl(HWND target, WPARAM key) {
    BYTE keys[256];
    GetKeyboardState(keys);
    const BYTE saved = keys[VK_CONTROL];
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    MSG msg{target, WM_KEYDOWN, key, 1, 0, {}};
    const bool taken = form::PreTranslate(msg);
    keys[VK_CONTROL] = saved;
    SetKeyboardState(keys);
    return taken;
}

// Recovery files go under a scratch LOCALAPPDATA, for this process and the programs it starts.
class ScratchAppData {
public:
    ScratchAppData() { SetEnvironmentVariableW(L"LOCALAPPDATA", dir_.Path().c_str()); }
    ~ScratchAppData() { SetEnvironmentVariableW(L"LOCALAPPDATA", nullptr); }
    std::wstring Folder() const { return dir_ / L"Tavrin\\Recovery"; }
    std::vector<std::wstring> Files(const wchar_t* pattern = L"*.tavrin-recovery") const {
        std::vector<std::wstring> found;
        WIN32_FIND_DATAW fd{};
        raii::FindHandle h(FindFirstFileW((Folder() + L"\\" + pattern).c_str(), &fd));
        if (h)
            do found.push_back(Folder() + L"\\" + fd.cFileName);
            while (FindNextFileW(h.get(), &fd));
        return found;
    }

private:
    TempDir dir_;
};

class MainWindowTest : public ::testing::Test {
protected:
    frmMain& f = form::Single<frmMain>();
    TempDir dir;
    std::vector<modal::MsgBoxCall> boxes;  // what Recording() hooks saw

    void SetUp() override {
        ASSERT_TRUE(editarea::RegisterWindowClass());
        settings::KeyPath = std::wstring(kScratchRoot) + L"\\Settings";
        RegDeleteTreeW(HKEY_CURRENT_USER, kScratchRoot);
        ASSERT_TRUE(f.Load());
    }
    void TearDown() override {
        safesave::TestFaults() = safesave::Faults();
        if (f.IsLoaded()) {
            f.Doc().ExitConfirmed = true;
            f.Unload();
        }
        form::Single<frmOptions>().Unload();  // loaded hidden by the main window
        RegDeleteTreeW(HKEY_CURRENT_USER, kScratchRoot);
    }
    // Hooks that record each message box in `boxes` and answer it with `answer`.
    modal::Hooks Recording(int answer = IDOK) {
        modal::Hooks h;
        h.msgBox = [this, answer](const modal::MsgBoxCall& c) { return boxes.push_back(c), answer; };
        return h;
    }
    // Typed at the end of the text.
    void Type(const std::wstring& text) {
        const size_t end = editarea::TextLength(f.t1());
        editarea::Select(f.t1(), end, end);
        editarea::ReplaceSelection(f.t1(), text);
    }
    // File > Open answered with `path`.
    void Open(const std::wstring& path) {
        modal::Hooks h = modal::TestHooks();
        h.openFile = Choose(path);
        modal::ScopedHooks hooks(h);
        f.mnufile_Click(1);
    }
    std::wstring Panel(int i) {
        wchar_t text[1024] = {};
        SendMessageW(f.sbStatusBar(), SB_GETTEXTW, i, reinterpret_cast<LPARAM>(text));
        return text;
    }
    // The panel is wide enough for its whole text, or is the whole bar.
    bool PanelShowsAll(int i) {
        RECT part{}, bar{};
        SendMessageW(f.sbStatusBar(), SB_GETRECT, i, reinterpret_cast<LPARAM>(&part));
        GetClientRect(f.sbStatusBar(), &bar);
        const std::wstring text = Panel(i);
        raii::WindowDc dc(f.sbStatusBar());
        raii::SelectObj font(dc.get(), reinterpret_cast<HGDIOBJ>(SendMessageW(f.sbStatusBar(), WM_GETFONT, 0, 0)));
        SIZE s{};
        GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &s);
        return part.right - part.left >= std::min(s.cx, bar.right - 1);
    }
    std::pair<int64_t, int64_t> Caret() {
        int64_t line = 0, column = 0;
        editarea::CaretLineColumn(f.t1(), line, column);
        return {line, column};
    }
    std::pair<size_t, size_t> Selection() {
        size_t from = 0, to = 0;
        editarea::GetSelection(f.t1(), from, to);
        return {from, to};
    }
    bool Checked(int commandId) { return GetMenuState(GetMenu(f.Hwnd()), commandId, MF_BYCOMMAND) & MF_CHECKED; }
    static std::optional<std::wstring> Stored(const wchar_t* name) { return settings::RegistryStore().Read(name); }
};

}  // namespace testenv
