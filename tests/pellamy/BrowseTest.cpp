// The Open dialog wrapper (record in, settings out) and the browse command, with recorded
// dialogs and with the real Open dialog answered from a second thread.
#include <gtest/gtest.h>

#include <windows.h>
#include <commdlg.h>

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

// The record the dialog received, with its buffers copied out.
struct Seen {
    OPENFILENAMEW ofn{};
    std::wstring filter, file, title, initDir, dlgTitle, defExt;
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
    Seen seen;
    modal::ScopedHooks hooks({.openFile = [&](OPENFILENAMEW& o) {
        seen.ofn = o;
        seen.filter = Multi(o.lpstrFilter);
        seen.file = o.lpstrFile;
        seen.title = o.lpstrFileTitle;
        seen.initDir = o.lpstrInitialDir ? o.lpstrInitialDir : L"(null)";
        seen.dlgTitle = o.lpstrTitle ? o.lpstrTitle : L"(null)";
        seen.defExt = o.lpstrDefExt ? o.lpstrDefExt : L"(null)";
        wcscpy_s(o.lpstrFile, o.nMaxFile, L"C:\\dir\\chosen.txt");
        wcscpy_s(o.lpstrFileTitle, o.nMaxFileTitle, L"chosen.txt");
        o.nFilterIndex = 2;
        o.Flags |= OFN_READONLY;
        return TRUE;
    }});
    Args a;
    a.FileName = L"start.txt";
    a.FileTitle = L"t";
    a.FileMustExist = true;
    a.HideReadOnly = true;
    a.DefaultExt = L"txt";
    a.Flags = OFN_ENABLEHOOK | OFN_ENABLETEMPLATE | OFN_NOCHANGEDIR;
    ASSERT_TRUE(a.Call());
    EXPECT_EQ(seen.ofn.lStructSize, sizeof(OPENFILENAMEW));
    EXPECT_EQ(seen.ofn.hwndOwner, nullptr);  // -1: no owner
    EXPECT_EQ(seen.filter, W(L"Text (*.txt)\0*.txt\0All\0 *.*\0\0"));
    EXPECT_EQ(seen.ofn.nFilterIndex, 1u);
    EXPECT_EQ(seen.ofn.nMaxFile, 260u);
    EXPECT_EQ(seen.ofn.nMaxFileTitle, 260u);
    EXPECT_EQ(seen.file, L"start.txt");
    EXPECT_EQ(seen.title, L"t");
    EXPECT_EQ(seen.initDir, L"C:\\start");
    EXPECT_EQ(seen.dlgTitle, L"(null)");  // the platform's own title
    EXPECT_EQ(seen.defExt, L"txt");
    EXPECT_EQ(seen.ofn.Flags, static_cast<DWORD>(OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR));
    // Out.
    EXPECT_EQ(a.FileName, L"C:\\dir\\chosen.txt");
    EXPECT_EQ(a.FileTitle, L"chosen.txt");
    EXPECT_EQ(a.FilterIndex, 2);
    EXPECT_EQ(a.Filter, W(L"All\0 *.*"));  // the colon ended the description
    EXPECT_TRUE(a.ReadOnly);
    EXPECT_EQ(a.Flags, static_cast<int32_t>(OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_READONLY));
    EXPECT_EQ(a.InitDir, L"C:\\start");
    EXPECT_TRUE(a.FileMustExist);
}

TEST(PellamyOpenDialog, MultipleSelectionCancelAndBadArguments) {
    DWORD maxFile = 0;
    bool cancel = false;
    modal::ScopedHooks hooks({.openFile = [&](OPENFILENAMEW& o) {
        maxFile = o.nMaxFile;
        if (cancel) return FALSE;
        const wchar_t list[] = L"C:\\dir\0a.ocx\0b.ocx\0";
        memcpy(o.lpstrFile, list, sizeof(list));
        o.nFilterIndex = 2;
        return TRUE;
    }});
    Args a;
    a.MultiSelect = true;
    a.ReadOnly = true;
    a.Owner = GetDesktopWindow();
    ASSERT_TRUE(a.Call());
    EXPECT_EQ(maxFile, 8192u);
    EXPECT_EQ(a.FileName, W(L"C:\\dir\0a.ocx\0b.ocx"));
    EXPECT_EQ(a.FileTitle, L"");
    EXPECT_EQ(a.Filter, W(L"All\0 *.*"));
    EXPECT_TRUE(a.Flags & OFN_ALLOWMULTISELECT);
    EXPECT_TRUE(a.Flags & OFN_READONLY);

    cancel = true;
    Args c;
    c.FileName = L"x";
    c.FileTitle = L"y";
    c.Flags = OFN_NOCHANGEDIR;
    EXPECT_FALSE(c.Call());
    EXPECT_EQ(c.FileName, L"");
    EXPECT_EQ(c.FileTitle, L"");
    EXPECT_EQ(c.Flags, 0);
    EXPECT_EQ(c.FilterIndex, -1);
    EXPECT_EQ(c.Filter, L"");
    EXPECT_EQ(maxFile, 260u);

    Args big;
    big.FileName.assign(300, L'a');
    try {
        big.Call();
        ADD_FAILURE() << "a name longer than the buffer must raise";
    } catch (const VbError& e) {
        EXPECT_EQ(e.Number(), 5);
    }
}

class PellamyBrowse : public ::testing::Test {
protected:
    // Answers the Open dialog with `choice` (empty: cancel) and records what it was given.
    modal::Hooks Answer(Window& w) {
        modal::Hooks h;
        h.msgBox = [&w](const modal::MsgBoxCall& c) {
            w.boxes.push_back({c.text, c.title, c.flags, w.form.MousePointer()});
            return IDOK;
        };
        h.openFile = [this](OPENFILENAMEW& o) {
            ++shown;
            initDirs.push_back(o.lpstrInitialDir ? o.lpstrInitialDir : L"");
            flags = o.Flags;
            owner = o.hwndOwner;
            defExt = o.lpstrDefExt ? o.lpstrDefExt : L"";
            filter = Multi(o.lpstrFilter);
            index = o.nFilterIndex;
            if (choice.empty()) return FALSE;
            wcscpy_s(o.lpstrFile, o.nMaxFile, choice.c_str());
            o.nFilterIndex = 3;
            return TRUE;
        };
        return h;
    }
    std::wstring choice;
    int shown = 0;
    std::vector<std::wstring> initDirs;
    DWORD flags = 0, index = 0;
    HWND owner = nullptr;
    std::wstring defExt, filter;
};

TEST_F(PellamyBrowse, ChosenModuleGoesIntoThePathBoxWithTheDialogSetUpAsDesigned) {
    Window w;
    modal::ScopedHooks hooks(Answer(w));
    w.SetPath(Fixture(L"fx_register.dll"));
    w.Click(frmMain::cmdRegister);
    w.Click(frmMain::cmdCancel);
    w.SetPath(L"typed");
    // Cancel changes nothing.
    w.Click(frmMain::cmdDialogFileSpec);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(w.Path(), L"typed");
    EXPECT_TRUE(w.boxes.empty());
    EXPECT_EQ(flags, static_cast<DWORD>(OFN_FILEMUSTEXIST));
    EXPECT_EQ(owner, w.form.Hwnd());
    EXPECT_EQ(defExt, L"OCX");
    EXPECT_EQ(index, 1u);
    EXPECT_EQ(filter, W(L"OCX Files (*.OCX)\0*.OCX\0Dynamic Link Librarys (*.DLL)\0*.DLL\0All Files (*.*)\0*.*\0\0"));

    // A DLL chosen with the third filter, from File > Open.
    choice = Fixture(L"fx_resources.dll");
    w.Menu(frmMain::mnufileBase + 0);
    EXPECT_EQ(w.Path(), choice);
    EXPECT_TRUE(w.boxes.empty());
    EXPECT_TRUE(w.Idle());
    EXPECT_EQ(w.Info(), L"");

    // In the confirm state File > Open still browses and replaces the locked path; the state stays.
    w.SetPath(Fixture(L"fx_register.dll"));
    w.Click(frmMain::cmdRegister);
    ASSERT_TRUE(w.Confirm());
    ASSERT_TRUE(w.Verify());
    choice = Fixture(L"fx_fail.dll");
    w.Menu(frmMain::mnufileBase + 0);
    EXPECT_EQ(w.Path(), choice);
    EXPECT_TRUE(w.Confirm());
    EXPECT_FALSE(w.Verify());
    EXPECT_EQ(w.Info(), L"");
    // Every browse starts in the system folder.
    ASSERT_EQ(initDirs.size(), 3u);
    for (const auto& d : initDirs) EXPECT_EQ(d, SystemFolder);
    EXPECT_EQ(w.form.InitialDir, SystemFolder);
}

TEST_F(PellamyBrowse, FilesThatAreNotModulesAreReportedWithTheSystemText) {
    Window w;
    modal::ScopedHooks hooks(Answer(w));
    w.SetPath(L"previous");
    // Not loadable: the path box keeps its text.
    choice = Fixture(L"notadll.dll");
    w.Click(frmMain::cmdDialogFileSpec);
    ASSERT_EQ(w.boxes.size(), 1u);
    EXPECT_EQ(w.boxes[0].text, L"Error: " + ApiErrorText(ERROR_BAD_EXE_FORMAT));
    EXPECT_EQ(w.boxes[0].flags, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(w.boxes[0].title, L"Pellamy");
    EXPECT_EQ(w.Path(), L"previous");
    w.boxes.clear();
    // No resources: the path is already in the box.
    choice = Fixture(L"fx_noentry.dll");
    w.Click(frmMain::cmdDialogFileSpec);
    ASSERT_EQ(w.boxes.size(), 1u);
    EXPECT_EQ(w.boxes[0].text, L"Error: " + ApiErrorText(ERROR_RESOURCE_DATA_NOT_FOUND));
    EXPECT_EQ(w.Path(), choice);
    w.boxes.clear();
    // A module of the other bitness has resources to list as data: it is accepted here.
    choice = Fixture(L"fx_resources.dll");
    w.Click(frmMain::cmdDialogFileSpec);
    EXPECT_TRUE(w.boxes.empty());
    // A dropped text file is checked the same way.
    w.form.AcceptChosenFile(Fixture(L"notadll.dll"));
    ASSERT_EQ(w.boxes.size(), 1u);
    EXPECT_EQ(w.boxes[0].text.rfind(L"Error: ", 0), 0u);
    EXPECT_EQ(w.Path(), choice);
}

// Types into the file name box of the real dialog: the edit inside the name combo (0x47C), which
// in this dialog sits inside a ComboBoxEx that ignores WM_SETTEXT, or the old-style edit (0x480).
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

// A message box the Open dialog shows about its own input, or null.
HWND ComplaintOf(HWND dlg) {
    HWND h = nullptr;
    while ((h = FindWindowExW(nullptr, h, L"#32770", nullptr)) != nullptr)
        if (h != dlg && GetWindow(h, GW_OWNER) == dlg && IsWindowVisible(h)) return h;
    return nullptr;
}

// Types a name and presses Open. Should the dialog refuse the name with a box of its own, the
// box's text lands in *complaint and the dialog is cancelled, so the test fails instead of hanging.
DialogAnswerer::Action TypeName(const std::wstring& path, std::wstring* complaint = nullptr) {
    return [path, complaint](HWND dlg) {
        // The dialog fills the box with the initial name while it starts: type after that.
        Sleep(300);
        HWND edit = nullptr;
        EnumChildWindows(dlg, &FindNameEdit, reinterpret_cast<LPARAM>(&edit));
        if (!edit) return false;
        SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
        if (WindowText(edit) != path) return false;
        PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDOK)));
        for (int i = 0; i < 100 && IsWindow(dlg) && IsWindowVisible(dlg); ++i) {
            if (HWND box = ComplaintOf(dlg)) {
                if (complaint) *complaint = WindowText(GetDlgItem(box, 0xFFFF));
                PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                Sleep(300);
                PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
                return true;
            }
            Sleep(20);
        }
        return !IsWindow(dlg) || !IsWindowVisible(dlg);
    };
}

// Presses a button once the dialog has started, and again until the dialog has gone.
DialogAnswerer::Action PressWhenReady(int id) {
    return [id](HWND dlg) {
        Sleep(300);
        PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, id)));
        for (int i = 0; i < 100 && IsWindow(dlg) && IsWindowVisible(dlg); ++i) Sleep(20);
        return !IsWindow(dlg) || !IsWindowVisible(dlg);
    };
}

// The real Open dialog, answered from a second thread.
TEST(PellamyBrowseDialog, ChooseCancelAndTextFileInTheRealDialog) {
    Window w;
    {
        DialogAnswerer a({TypeName(Fixture(L"fx_resources.dll"))});
        w.Click(frmMain::cmdDialogFileSpec);
    }
    EXPECT_EQ(w.Path(), Fixture(L"fx_resources.dll"));
    EXPECT_TRUE(w.boxes.empty());
    {
        DialogAnswerer a({PressWhenReady(IDCANCEL)});
        w.Click(frmMain::cmdDialogFileSpec);
    }
    EXPECT_EQ(w.Path(), Fixture(L"fx_resources.dll"));
    EXPECT_TRUE(w.boxes.empty());
    {
        DialogAnswerer a({TypeName(Fixture(L"notadll.dll"))});
        w.Click(frmMain::cmdDialogFileSpec);
    }
    ASSERT_EQ(w.boxes.size(), 1u);
    EXPECT_EQ(w.boxes[0].text, L"Error: " + ApiErrorText(ERROR_BAD_EXE_FORMAT));
    EXPECT_EQ(w.Path(), Fixture(L"fx_resources.dll"));
    w.boxes.clear();
    // A name typed without extension: Windows' dialog adds ".OCX" (the default extension the
    // browse passes, checked above); Wine's checks the typed name before adding it and refuses.
    testenv::TempDir dir;
    std::wstring complaint;
    ASSERT_TRUE(CopyFileW(Fixture(L"fx_resources.dll").c_str(), (dir / L"control.OCX").c_str(), FALSE));
    {
        DialogAnswerer a({TypeName(dir / L"control", &complaint)});
        w.Click(frmMain::cmdDialogFileSpec);
    }
    EXPECT_TRUE(w.boxes.empty());
    if (complaint.empty()) {
        EXPECT_EQ(w.Path(), dir / L"control.OCX");
    } else {
        EXPECT_EQ(complaint, L"File does not exist");
        EXPECT_EQ(w.Path(), Fixture(L"fx_resources.dll"));
    }
}

}  // namespace
