// The Open dialog wrapper's buffers, and the browse command with the real Open dialog answered
// from a second thread; a dropped file.
#include <gtest/gtest.h>

#include <windows.h>
#include <commdlg.h>

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

// Cancel changes nothing; a chosen module goes into the path box (in the confirm state too, which
// stays); a file that is not one is reported with the system's text and the box keeps its path; a
// dropped module without resources goes into the box and is reported.
TEST(PellamyBrowseDialog, ChooseCancelAndTextFileInTheRealDialog) {
    Window w;
    const std::wstring dll = Fixture(L"fx_resources.dll");
    for (const DialogAnswerer::Action& answer : {DialogAnswerer::TypeFileName(dll), DialogAnswerer::Press(IDCANCEL)}) {
        DialogAnswerer a({answer});
        w.Click(frmMain::IdcmdDialogFileSpec);
    }
    EXPECT_EQ(w.Path(), dll);
    EXPECT_TRUE(w.boxes.empty());
    w.SetPath(Fixture(L"fx_register.dll"));
    w.Click(frmMain::IdcmdRegister);
    for (const std::wstring& answer : {dll, Fixture(L"notadll.dll")}) {
        DialogAnswerer a({DialogAnswerer::TypeFileName(answer)});
        w.Menu(frmMain::mnufileBase + 0);
    }
    EXPECT_EQ(w.TakeOne(), L"Error: " + SystemErrorText(ERROR_BAD_EXE_FORMAT, Fixture(L"notadll.dll")));
    EXPECT_EQ(w.Path(), dll);
    EXPECT_TRUE(w.Confirm());
    EXPECT_EQ(w.Info(), L"");
    w.Click(frmMain::IdcmdCancel);
    const std::wstring dropped = Fixture(L"fx_noentry.dll");
    SendMessageW(w.form.Hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(testenv::DropFiles({dropped})), 0);
    EXPECT_EQ(w.Path(), dropped);
    EXPECT_EQ(w.TakeOne(), L"Error: " + SystemErrorText(ERROR_RESOURCE_DATA_NOT_FOUND, dropped));
}

}  // namespace
