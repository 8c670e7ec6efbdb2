// The Open dialog wrapper (record in, settings out) and the browse command, with recorded
// dialogs and with the real Open dialog answered from a second thread.
#include <gtest/gtest.h>

#include <windows.h>
#include <commdlg.h>

#include "AppInfo.h"
#include "DialogAnswerer.h"
#include "ErrRecord.h"
#include "PellamyTestKit.h"
#include "TestEnv.h"
#include "Texts.h"
#include "basFindWindows.h"
#include "mFileOpenSave.h"
#include "mResource.h"

using kit::Fixture;
using kit::Window;

namespace {

template <size_t N>
std::wstring W(const wchar_t (&s)[N]) {
    return std::wstring(s, N - 1);
}

struct Args {
    std::wstring FileName, FileTitle;
    bool FileMustExist = false, MultiSelect = false, ReadOnly = false, HideReadOnly = false;
    std::wstring Filter = L"Text (*.txt)|*.txt|All: *.*";
    int32_t FilterIndex = 1;
    std::wstring InitDir = L"C:\\start", DlgTitle, DefaultExt;
    HWND Owner = NoOwner();
    int32_t Flags = 0;
    bool Call() {
        return ShowOpenDialog(FileName, FileTitle, FileMustExist, MultiSelect, ReadOnly, HideReadOnly, Filter,
                              FilterIndex, InitDir, DlgTitle, DefaultExt, Owner, Flags);
    }
};

std::wstring Multi(const wchar_t* p) {  // a NUL-separated list up to its double NUL, NULs kept
    std::wstring s;
    while (*p) {
        s += p;
        s += L'\0';
        p += wcslen(p) + 1;
    }
    return s + L'\0';
}

TEST(PellamyOpenDialog, RecordIsFilledFromTheArgumentsAndResultsComeBack) {
    OPENFILENAMEW seen{};  // its pointers die with the call: the texts are copied out
    std::wstring filter, file, title, initDir, defExt;
    modal::ScopedHooks hooks({.openFile = [&](OPENFILENAMEW& o) {
        seen = o;
        filter = Multi(o.lpstrFilter);
        file = o.lpstrFile;
        title = o.lpstrFileTitle;
        initDir = o.lpstrInitialDir;
        defExt = o.lpstrDefExt;
        wcscpy_s(o.lpstrFile, o.nMaxFile, L"C:\\dir\\chosen.txt");
        wcscpy_s(o.lpstrFileTitle, o.nMaxFileTitle, L"chosen.txt");
        o.nFilterIndex = 2;
        o.Flags |= OFN_READONLY;
        return TRUE;
    }});
    Args a;
    a.FileName = L"start.txt";
    a.FileTitle = L"t";
    a.FileMustExist = a.HideReadOnly = true;
    a.DefaultExt = L"txt";
    a.Flags = OFN_ENABLEHOOK | OFN_ENABLETEMPLATE | OFN_NOCHANGEDIR;
    ASSERT_TRUE(a.Call());
    EXPECT_EQ(seen.lStructSize, sizeof(OPENFILENAMEW));
    EXPECT_EQ(seen.hwndOwner, nullptr);  // -1: no owner
    EXPECT_EQ(filter, W(L"Text (*.txt)\0*.txt\0All\0 *.*\0\0"));
    EXPECT_EQ(file, L"start.txt");
    EXPECT_EQ(title, L"t");
    EXPECT_EQ(initDir, L"C:\\start");
    EXPECT_EQ(seen.lpstrTitle, nullptr);  // the platform's own title
    EXPECT_EQ(defExt, L"txt");
    EXPECT_EQ(seen.Flags, static_cast<DWORD>(OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR));
    EXPECT_EQ(a.FileName, L"C:\\dir\\chosen.txt");
    EXPECT_EQ(a.FileTitle, L"chosen.txt");
    EXPECT_EQ(a.FilterIndex, 2);
    EXPECT_EQ(a.Filter, W(L"All\0 *.*"));  // the colon ended the description
    EXPECT_TRUE(a.ReadOnly);
    EXPECT_EQ(a.Flags, static_cast<int32_t>(OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_READONLY));
}

TEST(PellamyOpenDialog, MultipleSelectionCancelAndBadArguments) {
    bool cancel = false;
    modal::ScopedHooks hooks({.openFile = [&](OPENFILENAMEW& o) {
        if (cancel) return FALSE;
        const wchar_t list[] = L"C:\\dir\0a.ocx\0b.ocx\0";
        memcpy(o.lpstrFile, list, sizeof(list));
        return TRUE;
    }});
    Args a;
    a.MultiSelect = true;
    ASSERT_TRUE(a.Call());
    EXPECT_EQ(a.FileName, W(L"C:\\dir\0a.ocx\0b.ocx"));
    EXPECT_TRUE(a.Flags & OFN_ALLOWMULTISELECT);
    cancel = true;
    Args c;
    c.FileName = L"x";
    c.FileTitle = L"y";
    c.Flags = OFN_NOCHANGEDIR;
    EXPECT_FALSE(c.Call());
    EXPECT_EQ(c.FileName + c.FileTitle + c.Filter, L"");
    EXPECT_EQ(c.Flags, 0);
    EXPECT_EQ(c.FilterIndex, -1);
    Args big;
    big.FileName.assign(40000, L'a');
    try {
        big.Call();
        ADD_FAILURE() << "a name longer than the buffer must raise";
    } catch (const VbError& e) {
        EXPECT_EQ(e.Number(), 5);
    }
}

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
        Args a;
        a.MultiSelect = multi;
        ASSERT_TRUE(a.Call()) << multi;
        EXPECT_EQ(a.FileName, longPath);
    }
}

// Answers the Open dialog with `choice` (empty: cancel) and records what it was given.
struct RecordedBrowse {
    std::wstring choice;
    std::vector<OPENFILENAMEW> seen;  // its pointers die with the call: the texts are copied out
    std::vector<std::wstring> initDirs;
    std::wstring filter, defExt;
    modal::ScopedHooks hooks;
    explicit RecordedBrowse(Window& w)
        : hooks({.msgBox = [&w](const modal::MsgBoxCall& c) {
                     w.boxes.push_back({c.text, c.title, c.flags, w.form.MousePointer()});
                     return IDOK;
                 },
                 .openFile = [this](OPENFILENAMEW& o) {
                     seen.push_back(o);
                     initDirs.push_back(o.lpstrInitialDir ? o.lpstrInitialDir : L"");
                     defExt = o.lpstrDefExt ? o.lpstrDefExt : L"";
                     filter = Multi(o.lpstrFilter);
                     if (choice.empty()) return FALSE;
                     wcscpy_s(o.lpstrFile, o.nMaxFile, choice.c_str());
                     o.nFilterIndex = 3;
                     return TRUE;
                 }}) {}
};

TEST(PellamyBrowse, ChosenModuleGoesIntoThePathBoxWithTheDialogSetUpAsDesigned) {
    Window w;
    RecordedBrowse b(w);
    w.SetPath(L"typed");
    w.Click(frmMain::cmdDialogFileSpec);  // cancel changes nothing
    ASSERT_EQ(b.seen.size(), 1u);
    EXPECT_EQ(w.Path(), L"typed");
    EXPECT_EQ(b.seen[0].Flags, static_cast<DWORD>(OFN_FILEMUSTEXIST));
    EXPECT_EQ(b.seen[0].hwndOwner, w.form.Hwnd());
    EXPECT_EQ(b.defExt, L"OCX");
    EXPECT_EQ(b.seen[0].nFilterIndex, 1u);
    EXPECT_EQ(b.filter, W(L"OCX Files (*.OCX)\0*.OCX\0Dynamic Link Librarys (*.DLL)\0*.DLL\0All Files (*.*)\0*.*\0\0"));
    b.choice = Fixture(L"fx_resources.dll");  // a DLL chosen with the third filter, from File > Open
    w.Menu(frmMain::mnufileBase + 0);
    EXPECT_EQ(w.Path(), b.choice);
    EXPECT_TRUE(w.Idle());
    // In the confirm state File > Open still browses and replaces the locked path; the state stays.
    w.SetPath(Fixture(L"fx_register.dll"));
    w.Click(frmMain::cmdRegister);
    ASSERT_TRUE(w.Verify());
    b.choice = Fixture(L"fx_fail.dll");
    w.Menu(frmMain::mnufileBase + 0);
    EXPECT_EQ(w.Path(), b.choice);
    EXPECT_TRUE(w.Confirm());
    EXPECT_EQ(w.Info(), L"");
    EXPECT_TRUE(w.boxes.empty());
    ASSERT_EQ(b.seen.size(), 3u);  // every browse starts in the system folder
    for (const auto& d : b.initDirs) EXPECT_EQ(d, SystemFolder);
}

TEST(PellamyBrowse, FilesThatAreNotModulesAreReportedWithTheSystemText) {
    Window w;
    RecordedBrowse b(w);
    w.SetPath(L"previous");
    b.choice = Fixture(L"notadll.dll");  // not loadable: the path box keeps its text
    w.Click(frmMain::cmdDialogFileSpec);
    ASSERT_EQ(w.boxes.size(), 1u);
    EXPECT_EQ(w.boxes[0].text, L"Error: " + SystemErrorText(ERROR_BAD_EXE_FORMAT, b.choice));
    EXPECT_EQ(w.boxes[0].flags, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(w.Path(), L"previous");
    w.boxes.clear();
    b.choice = Fixture(L"fx_noentry.dll");  // no resources: the path is already in the box
    w.Click(frmMain::cmdDialogFileSpec);
    EXPECT_EQ(w.TakeOne(), L"Error: " + SystemErrorText(ERROR_RESOURCE_DATA_NOT_FOUND, b.choice));
    EXPECT_EQ(w.Path(), b.choice);
    b.choice = Fixture(L"fx_resources.dll");
    w.Click(frmMain::cmdDialogFileSpec);
    EXPECT_TRUE(w.boxes.empty());
    w.form.AcceptChosenFile(Fixture(L"notadll.dll"));  // a dropped text file is checked the same way
    EXPECT_EQ(w.TakeOne().rfind(L"Error: ", 0), 0u);
    EXPECT_EQ(w.Path(), b.choice);
}

// The file name box of the real dialog: the edit inside the name combo (0x47C), which in this
// dialog sits inside a ComboBoxEx that ignores WM_SETTEXT, or the old-style edit (0x480).
BOOL CALLBACK FindNameEdit(HWND h, LPARAM lp) {
    wchar_t cls[16] = {};
    GetClassNameW(h, cls, 16);
    const int id = GetDlgCtrlID(h);
    if ((id == 0x47C || id == 0x480) && wcscmp(cls, L"Edit") == 0) {
        *reinterpret_cast<HWND*>(lp) = h;
        return FALSE;
    }
    return TRUE;
}

// Once the dialog has started, types `path` and presses Open (empty: presses Cancel).
DialogAnswerer::Action Answer(const std::wstring& path) {
    return [path](HWND dlg) {
        Sleep(300);  // the dialog fills the box with the initial name while it starts
        int id = IDCANCEL;
        if (!path.empty()) {
            HWND edit = nullptr;
            EnumChildWindows(dlg, &FindNameEdit, reinterpret_cast<LPARAM>(&edit));
            if (!edit) return false;
            SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
            id = IDOK;
        }
        PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, id)));
        for (int i = 0; i < 100 && IsWindow(dlg) && IsWindowVisible(dlg); ++i) Sleep(20);
        return !IsWindow(dlg) || !IsWindowVisible(dlg);
    };
}

// The real Open dialog, answered from a second thread.
TEST(PellamyBrowseDialog, ChooseCancelAndTextFileInTheRealDialog) {
    Window w;
    const std::wstring dll = Fixture(L"fx_resources.dll");
    for (const std::wstring& answer : {dll, std::wstring()}) {
        DialogAnswerer a({Answer(answer)});
        w.Click(frmMain::cmdDialogFileSpec);
    }
    EXPECT_EQ(w.Path(), dll);
    EXPECT_TRUE(w.boxes.empty());
    {
        DialogAnswerer a({Answer(Fixture(L"notadll.dll"))});
        w.Click(frmMain::cmdDialogFileSpec);
    }
    EXPECT_EQ(w.TakeOne(), L"Error: " + SystemErrorText(ERROR_BAD_EXE_FORMAT, Fixture(L"notadll.dll")));
    EXPECT_EQ(w.Path(), dll);
}

}  // namespace
