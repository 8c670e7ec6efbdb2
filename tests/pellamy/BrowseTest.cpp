// The Open dialog wrapper's buffers, and the browse command with the real Open dialog answered
// from a second thread; a dropped file.
#include <gtest/gtest.h>

#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>

#include "AppInfo.h"
#include "DialogAnswerer.h"
#include "PellamyTestKit.h"
#include "mFileOpenSave.h"

using kit::Fixture;
using kit::Window;

namespace {

// The programs take long paths: one far past the old 260-character limit comes back whole.
TEST(PellamyOpenDialog, LongPathsComeBackWhole) {
    std::wstring longPath = L"\\\\?\\C:";
    while (longPath.size() < 2000) longPath += L"\\a folder with a long name";
    longPath += L"\\module.ocx";
    modal::ScopedHooks hooks({.openFile = [&](OPENFILENAMEW& o) {
        // As the dialog does with a buffer too small: it fails (FNERR_BUFFERTOOSMALL).
        if (longPath.size() >= o.nMaxFile || wcslen(L"module.ocx") >= o.nMaxFileTitle) return FALSE;
        wcscpy_s(o.lpstrFile, o.nMaxFile, longPath.c_str());
        wcscpy_s(o.lpstrFileTitle, o.nMaxFileTitle, L"module.ocx");
        return TRUE;
    }});
    for (bool multi : {false, true}) {
        std::wstring name, title, filter = L"All|*.*", dir, dlgTitle, ext;
        bool mustExist = false, readOnly = false, hide = false;
        int32_t index = 1, flags = 0;
        HWND owner = NoOwner();
        ASSERT_TRUE(ShowOpenDialog(name, title, mustExist, multi, readOnly, hide, filter, index, dir, dlgTitle, ext,
                                   owner, flags));
        EXPECT_EQ(name, longPath) << multi;
    }
}

// The file name box of the real dialog: the edit inside the name combo (0x47C), which in this
// dialog sits inside a ComboBoxEx that ignores WM_SETTEXT, or the old-style edit (0x480).
BOOL CALLBACK FindNameEdit(HWND h, LPARAM lp) {
    wchar_t cls[16] = {};
    GetClassNameW(h, cls, 16);
    const int id = GetDlgCtrlID(h);
    if ((id == 0x47C || id == 0x480) && wcscmp(cls, L"Edit") == 0) *reinterpret_cast<HWND*>(lp) = h;
    return *reinterpret_cast<HWND*>(lp) == nullptr;
}

// Once the dialog has started, types `path` and presses Open (empty: presses Cancel).
DialogAnswerer::Action Answer(const std::wstring& path) {
    return [path](HWND dlg) {
        Sleep(300);  // the dialog fills the box with the initial name while it starts
        HWND edit = nullptr;
        EnumChildWindows(dlg, &FindNameEdit, reinterpret_cast<LPARAM>(&edit));
        if (!edit) return false;
        SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
        const int id = path.empty() ? IDCANCEL : IDOK;
        PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, id)));
        for (int i = 0; i < 100 && IsWindow(dlg) && IsWindowVisible(dlg); ++i) Sleep(20);
        return !IsWindow(dlg) || !IsWindowVisible(dlg);
    };
}

// Cancel changes nothing; a chosen module goes into the path box (in the confirm state too, which
// stays); a file that is not one is reported with the system's text and the box keeps its path; a
// dropped module without resources goes into the box and is reported.
TEST(PellamyBrowseDialog, ChooseCancelAndTextFileInTheRealDialog) {
    Window w;
    const std::wstring dll = Fixture(L"fx_resources.dll");
    for (const std::wstring& answer : {dll, std::wstring()}) {
        DialogAnswerer a({Answer(answer)});
        w.Click(frmMain::IdcmdDialogFileSpec);
    }
    EXPECT_EQ(w.Path(), dll);
    EXPECT_TRUE(w.boxes.empty());
    w.SetPath(Fixture(L"fx_register.dll"));
    w.Click(frmMain::IdcmdRegister);
    for (const std::wstring& answer : {dll, Fixture(L"notadll.dll")}) {
        DialogAnswerer a({Answer(answer)});
        w.Menu(frmMain::mnufileBase + 0);
    }
    EXPECT_EQ(w.TakeOne(), L"Error: " + SystemErrorText(ERROR_BAD_EXE_FORMAT, Fixture(L"notadll.dll")));
    EXPECT_EQ(w.Path(), dll);
    EXPECT_TRUE(w.Confirm());
    EXPECT_EQ(w.Info(), L"");
    w.Click(frmMain::IdcmdCancel);
    const std::wstring dropped = Fixture(L"fx_noentry.dll");  // as Explorer drops it: DROPFILES, wide names
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + (dropped.size() + 2) * 2);
    auto* df = static_cast<DROPFILES*>(GlobalLock(mem));
    df->pFiles = sizeof(DROPFILES);
    df->fWide = TRUE;
    memcpy(reinterpret_cast<char*>(df) + sizeof(DROPFILES), dropped.c_str(), dropped.size() * sizeof(wchar_t));
    GlobalUnlock(mem);
    SendMessageW(w.form.Hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(mem), 0);  // the window frees it
    EXPECT_EQ(w.Path(), dropped);
    EXPECT_EQ(w.TakeOne(), L"Error: " + SystemErrorText(ERROR_RESOURCE_DATA_NOT_FOUND, dropped));
}

}  // namespace
