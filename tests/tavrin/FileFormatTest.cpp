// The encoding and line ends as the window shows and changes them: the status bar, Format > Line
// Ends and Save As's encoding list, with the real dialog.
#include "MainWindowFixture.h"

#include <commctrl.h>

#include "DialogAnswerer.h"
#include "FormatChoices.h"
#include "SaveAsEncoding.h"
#include "TestEnv.h"

namespace {

class FileFormat : public testenv::MainWindowTest {
protected:
    testenv::TempDir dir;
    std::wstring FormatPanel() {
        wchar_t text[128] = {};
        SendMessageW(f.sbStatusBar(), SB_GETTEXTW, bars::kFormatPanel, reinterpret_cast<LPARAM>(text));
        return text;
    }
    bool LineEndChecked(int item) {
        return (GetMenuState(GetMenu(f.Hwnd()), formatchoices::LineEndsBase + item, MF_BYCOMMAND) & MF_CHECKED) != 0;
    }
};

BOOL CALLBACK FindCombo(HWND w, LPARAM found) {
    if (GetDlgCtrlID(w) != SaveAsEncoding::IdCombo) return TRUE;
    *reinterpret_cast<HWND*>(found) = w;
    return FALSE;
}

TEST_F(FileFormat, ConvertingToLfIsOneUndoStepAndTheStatusBarFollows) {
    const std::wstring path = dir / L"mixed.txt";
    ASSERT_TRUE(testenv::WriteBytes(path, "a\r\nb\nc\r\n"));
    Open(path);
    EXPECT_EQ(FormatPanel(), L"ANSI, Mixed");
    EXPECT_FALSE(LineEndChecked(0) || LineEndChecked(1) || LineEndChecked(2));
    SendMessageW(f.Hwnd(), WM_COMMAND, formatchoices::LineEndsBase + 1, 0);  // Unix (LF)
    EXPECT_EQ(editarea::GetText(f.t1()), L"a\nb\nc\n");
    EXPECT_EQ(FormatPanel(), L"ANSI, LF");
    EXPECT_TRUE(LineEndChecked(1));
    Type(L"d\n");  // new lines take the style too
    f.mnufile_Click(3);
    EXPECT_EQ(testenv::ReadBytes(path), "a\nb\nc\nd\n");
    f.mnuedit_Click(0);
    f.mnuedit_Click(0);  // the typing, then the whole conversion
    EXPECT_EQ(editarea::GetText(f.t1()), L"a\r\nb\nc\r\n");
}

TEST_F(FileFormat, SaveAsWithUtf16LeChosenInTheDialogWritesTheMark) {
    const std::wstring path = dir / L"wide.txt";
    Type(L"hi");
    DialogAnswerer answer({[path](HWND dlg) {
        HWND combo = nullptr;
        EnumChildWindows(dlg, FindCombo, reinterpret_cast<LPARAM>(&combo));
        if (!combo || SendMessageW(combo, CB_GETCOUNT, 0, 0) != 5) return false;
        SendMessageW(combo, CB_SETCURSEL, 3, 0);  // UTF-16 LE
        return DialogAnswerer::TypeFileName(path)(dlg);
    }});
    f.mnufile_Click(4);
    EXPECT_EQ(testenv::ReadBytes(path), std::string("\xFF\xFEh\0i\0\r\0\n\0", 10));
    EXPECT_EQ(FormatPanel(), L"UTF-16 LE, CR LF");
}

}  // namespace
