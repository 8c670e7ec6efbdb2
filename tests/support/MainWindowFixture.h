// The editor's main window loaded afresh for each test, its settings under a scratch key.
#pragma once
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>

#include "Modal.h"
#include "EditArea.h"
#include "SafeSave.h"
#include "basTavrin.h"
#include "frmMain.h"
#include "frmOptions.h"

namespace testenv {

inline const wchar_t kScratchRoot[] = L"Software\\TavrinTests";

// Answers a file dialog (through the seam) with a path.
inline std::function<BOOL(OPENFILENAMEW&)> Choose(const std::wstring& path) {
    return [path](OPENFILENAMEW& ofn) {
        wcsncpy_s(ofn.lpstrFile, ofn.nMaxFile, path.c_str(), _TRUNCATE);
        const std::wstring title = path.substr(path.find_last_of(L'\\') + 1);
        if (ofn.lpstrFileTitle) wcsncpy_s(ofn.lpstrFileTitle, ofn.nMaxFileTitle, title.c_str(), _TRUNCATE);
        return TRUE;
    };
}

class MainWindowTest : public ::testing::Test {
protected:
    frmMain& f = form::Single<frmMain>();

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
    static std::optional<std::wstring> Stored(const wchar_t* name) { return settings::RegistryStore().Read(name); }
};

}  // namespace testenv
