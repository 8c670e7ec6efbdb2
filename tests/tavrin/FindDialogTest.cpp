// The Edit menu and the Find dialog seen from outside: the clipboard, the editing area's selection,
// the dialog's buttons, the real "No Match found." box.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "Clipboard.h"
#include "DialogAnswerer.h"
#include "Form3.h"
#include "EditArea.h"
#include "MainWindowFixture.h"
#include "TestEnv.h"
#include "Texts.h"
#include "frmFindInFiles.h"
#include "frmReplace.h"

namespace {

class EditCommands : public testenv::MainWindowTest {
protected:
    Form3& find = form::Single<Form3>();
    modal::ScopedHooks hooks{Recording()};

    void SetUp() override {
        MainWindowTest::SetUp();
        f.Show();
    }
    void TearDown() override {
        if (find.IsLoaded()) find.Unload();
        MainWindowTest::TearDown();
    }
    bool PasteEnabled() {
        return !(GetMenuState(GetMenu(f.Hwnd()), frmMain::EditBase + 4, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED));
    }
    // Types into the search box as the user would, so it sends its change notification.
    void SearchFor(const std::wstring& s) { SetWindowTextW(find.Item(Form3::IdText1), s.c_str()); }
    void ClickFind() { SendMessageW(find.Item(Form3::IdCommand1), BM_CLICK, 0, 0); }
    void ClickFindNext() { SendMessageW(find.Item(Form3::IdCommand3), BM_CLICK, 0, 0); }
    void Select(size_t from, size_t to) { editarea::Select(f.t1(), from, to); }
    void ExpectSelection(size_t from, size_t to) { EXPECT_EQ(Selection(), std::make_pair(from, to)); }
};

// Text, or nothing (null), put on the clipboard as another program would.
void PutClipboard(const wchar_t* text) {
    if (text) return clipboard::SetText(nullptr, text);
    ASSERT_TRUE(OpenClipboard(nullptr) && EmptyClipboard());
    CloseClipboard();
}

// True when `above` comes before `below` in the z-order of the top-level windows.
bool Above(HWND above, HWND below) {
    for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT)) {
        if (h == above) return true;
        if (h == below) return false;
    }
    return false;
}

// ---- Edit commands

TEST_F(EditCommands, ClipboardUndoAndSelectAll) {
    PutClipboard(L"from another program");
    EXPECT_FALSE(PasteEnabled());
    Type(L"one\r\ntwo\r\nthree \u0416\U0001F600");
    Select(3, 3);
    f.mnuedit_Click(2);  // Cut with nothing selected: empty text on the clipboard, Paste enabled
    EXPECT_EQ(clipboard::GetText(nullptr), L"");
    EXPECT_TRUE(PasteEnabled());
    Select(2, 11);  // "e", CR LF, "two", CR LF, "t"
    f.mnuedit_Click(2);
    EXPECT_EQ(clipboard::GetText(nullptr), L"e\r\ntwo\r\nt");  // plain text with CR LF
    EXPECT_EQ(f.Text(), L"onhree \u0416\U0001F600");
    f.mnuedit_Click(0);  // the control's own undo
    EXPECT_EQ(f.Text(), L"one\r\ntwo\r\nthree \u0416\U0001F600");
    Select(16, 19);
    f.mnuedit_Click(3);
    EXPECT_EQ(clipboard::GetText(nullptr), L"\u0416\U0001F600");
    // Pasting over a selection replaces it; line ends arrive as the control's own.
    f.SetEditorText(L"abc|abab");
    PutClipboard(L"x\r\ny");
    Select(0, 3);
    f.mnuedit_Click(4);
    EXPECT_EQ(f.Text(), L"x\r\ny|abab");
    ExpectSelection(4, 4);
    PutClipboard(nullptr);  // nothing on the clipboard: Paste deletes the selection
    Select(0, 1);
    f.mnuedit_Click(4);
    EXPECT_EQ(f.Text(), L"\r\ny|abab");
    f.mnuedit_Click(5);  // Select All
    ExpectSelection(0, 8);
    for (int i : {1, 6, 9, -1}) f.mnuedit_Click(i);  // separators and others do nothing
    EXPECT_EQ(f.Text(), L"\r\ny|abab");
    EXPECT_TRUE(boxes.empty());
}

TEST_F(EditCommands, ABusyClipboardStopsCutBeforeAnythingIsLost) {
    Type(L"precious");
    Select(0, 8);
    // Another thread holds the clipboard open for the whole command.
    HANDLE held = CreateEventW(nullptr, TRUE, FALSE, nullptr), release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        OpenClipboard(nullptr);
        SetEvent(held);
        WaitForSingleObject(release, 10000);
        CloseClipboard();
    });
    WaitForSingleObject(held, 5000);
    EXPECT_THROW(f.mnuedit_Click(4), VbError);
    SendMessageW(f.Hwnd(), WM_COMMAND, frmMain::EditBase + 2, 0);  // from the menu the error is shown
    SetEvent(release);
    holder.join();
    for (HANDLE h : {held, release}) CloseHandle(h);
    EXPECT_EQ(Err().Number, texts::ClipboardErrorNumber);
    ASSERT_EQ(boxes.size(), 1u);  // the form layer shows the error with its number; the window stays
    EXPECT_EQ(boxes[0].title, L"Tavrin");
    EXPECT_NE(boxes[0].text.find(texts::ClipboardBusy), std::wstring::npos);
    EXPECT_NE(boxes[0].text.find(std::to_wstring(texts::ClipboardErrorNumber)), std::wstring::npos) << boxes[0].text;
    EXPECT_EQ(f.Text(), L"precious");
    EXPECT_FALSE(PasteEnabled());
    f.mnuedit_Click(2);  // free again: the cut goes through
    EXPECT_EQ(clipboard::GetText(nullptr), L"precious");
    EXPECT_EQ(f.Text(), L"");
}

// ---- the Find dialog

// Selections land on the matches past 32767 and 65535, after CR LF line ends and characters outside
// the Basic Multilingual Plane, in UTF-16 positions of the text as held.
TEST_F(EditCommands, MatchesPastSixteenBitsAfterLineEndsAndOutsideTheBasicPlane) {
    std::wstring text;
    for (int i = 0; text.size() < 140000; ++i) text += L"line " + std::to_wstring(i) + L" \U0001F600 of filler text\r\n";
    for (size_t at : {35000, 70000, 139000}) text.replace(text.find(L"filler", at), 6, L"NEEDLE");
    f.SetEditorText(text);
    f.mnuedit_Click(7);
    SearchFor(L"NEEDLE");
    ClickFind();
    const std::wstring& control = text;
    size_t want = control.find(L"NEEDLE");
    for (int i = 0; i < 3; ++i, want = control.find(L"NEEDLE", want + 1)) {
        ExpectSelection(want, want + 6);
        if (i == 0) f.mnuedit_Click(8);
        ClickFindNext();
    }
    EXPECT_GT(control.find(L"NEEDLE", control.find(L"NEEDLE") + 1), 65535u);
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(find.LastMatchPosition, static_cast<int64_t>(control.rfind(L"NEEDLE")) + 1);
    f.mnuedit_Click(7);
    SearchFor(L"NEEDLE text\r\nline");  // a line end in the search text matches the text's
    ClickFind();
    EXPECT_EQ(editarea::SelectedText(f.t1()), L"NEEDLE text\r\nline");
}

TEST_F(EditCommands, TheRealDialogSelectsTheMatchAndShowsTheRealNoMatchBox) {
    modal::ScopedHooks real({});  // real message boxes
    Type(L"alpha beta gamma");
    f.mnuedit_Click(7);
    HWND edit = find.Item(Form3::IdText1);
    SetFocus(edit);
    for (wchar_t c : std::wstring(L"beta")) SendMessageW(edit, WM_CHAR, c, 0);
    testenv::PumpUntil([&] { return find.IsEnabled(Form3::IdCommand1); }, 2000);
    ClickFind();
    ExpectSelection(6, 10);
    EXPECT_EQ(GetForegroundWindow(), f.Hwnd());
    EXPECT_TRUE(IsWindowVisible(find.Hwnd()));
    EXPECT_TRUE(Above(find.Hwnd(), f.Hwnd()));  // the dialog stays above the activated main window
    SetForegroundWindow(f.Hwnd());
    SetWindowPos(f.Hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_TRUE(Above(find.Hwnd(), f.Hwnd()));

    f.mnuedit_Click(8);
    {
        DialogAnswerer answer({DialogAnswerer::Press(IDOK)});
        ClickFindNext();
        const auto seen = answer.Seen();
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].title + L": " + seen[0].text, L"Tavrin: No Match found.");
    }
    ExpectSelection(6, 10);
    EXPECT_EQ(GetFocus(), f.t1());
    EXPECT_TRUE(Above(find.Hwnd(), f.Hwnd()));
}

// A regular expression still running after two seconds: the caption says Esc stops it, Esc does,
// the real box says so, and the window answered all along and goes on working.
TEST_F(EditCommands, EscStopsARegularExpressionStillRunningAfterTwoSeconds) {
    modal::ScopedHooks real({});
    f.SetEditorText(std::wstring(200000, L'a'));  // one long line the pattern tries every way
    f.mnuedit_Click(7);
    SendMessageW(find.Item(Form3::IdRegex), BM_CLICK, 0, 0);
    SearchFor(L"(a|b|c|d|e|f|g|h|i|j|k|l|m|n|o|p)*\\d");
    std::atomic<bool> told{false}, answered{false};
    std::thread user([&] {
        for (int i = 0; i < 600 && !told; ++i, Sleep(50)) told = WindowText(find.Hwnd()) == texts::SearchRunning;
        DWORD_PTR result = 0;
        answered = SendMessageTimeoutW(f.Hwnd(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result) != 0;
        PostMessageW(find.Item(Form3::IdText1), WM_KEYDOWN, VK_ESCAPE, 0);
    });
    {
        DialogAnswerer answer({DialogAnswerer::Press(IDOK)}, 60000);
        ClickFind();
        user.join();
        const auto seen = answer.Seen();
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].text, texts::SearchStopped);
    }
    EXPECT_TRUE(told);
    EXPECT_TRUE(answered);
    EXPECT_EQ(WindowText(find.Hwnd()), texts::FindCaption);
    // The next search runs while the stopped one ends on its own.
    SendMessageW(find.Item(Form3::IdRegex), BM_CLICK, 0, 0);
    SearchFor(L"aa");
    ClickFind();
    ExpectSelection(0, 2);
}

// The regular expression box is the main window's choice for the run: a dialog closed and opened
// again shows it, and so do the other search dialogs.
TEST_F(EditCommands, TheRegularExpressionBoxIsKeptAcrossTheSearchDialogs) {
    const auto checked = [](HWND box) { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; };
    frmReplace& replace = form::Single<frmReplace>();
    f.mnuedit_Click(7);
    EXPECT_FALSE(checked(find.Item(Form3::IdRegex)));
    SendMessageW(find.Item(Form3::IdRegex), BM_CLICK, 0, 0);
    find.Unload();
    f.mnuedit_Click(7);
    EXPECT_TRUE(checked(find.Item(Form3::IdRegex)));
    f.mnuedit_Click(10);
    EXPECT_TRUE(checked(replace.Item(frmReplace::IdRegex)));
    SendMessageW(replace.Item(frmReplace::IdRegex), BM_CLICK, 0, 0);
    replace.Unload();
    bool inFiles = true;
    modal::ScopedHooks hooks({.modalForm = [&](form::Form& form) {
        auto& d = dynamic_cast<frmFindInFiles&>(form);
        inFiles = checked(d.Item(frmFindInFiles::IdRegex));
        d.cmdCancel_Click();
    }});
    f.mnuedit_Click(12);
    EXPECT_FALSE(inFiles);
    f.mnuedit_Click(7);  // the open Find dialog shows it when it is active again
    EXPECT_FALSE(checked(find.Item(Form3::IdRegex)));
}

}  // namespace
