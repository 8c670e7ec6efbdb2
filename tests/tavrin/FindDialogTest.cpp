// The Edit menu and the Find dialog seen from outside: the clipboard, the editing area's selection,
// the dialog's buttons, the real "No Match found." box.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "DialogAnswerer.h"
#include "Form3.h"
#include "EditArea.h"
#include "MainWindowFixture.h"
#include "TestEnv.h"
#include "Texts.h"

namespace {

class EditCommands : public testenv::MainWindowTest {
protected:
    Form3& find = form::Single<Form3>();
    std::vector<modal::MsgBoxCall> boxes;
    modal::ScopedHooks hooks{{.msgBox = [this](const modal::MsgBoxCall& c) { return boxes.push_back(c), IDOK; }}};

    void SetUp() override {
        MainWindowTest::SetUp();
        f.Show();
    }
    void TearDown() override {
        if (find.IsLoaded()) find.Unload();
        MainWindowTest::TearDown();
    }
    HWND t1() { return f.t1(); }
    struct Range {
        LONG cpMin, cpMax;
    };
    void Select(LONG from, LONG to) { editarea::Select(t1(), static_cast<size_t>(from), static_cast<size_t>(to)); }
    Range Selection() {
        size_t from = 0, to = 0;
        editarea::GetSelection(t1(), from, to);
        return {static_cast<LONG>(from), static_cast<LONG>(to)};
    }
    std::wstring SelText() { return editarea::SelectedText(t1()); }
    bool PasteEnabled() {
        return !(GetMenuState(GetMenu(f.Hwnd()), frmMain::EditBase + 4, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED));
    }
    // Types into the search box as the user would, so it sends its change notification.
    void SearchFor(const std::wstring& s) { SetWindowTextW(find.Item(Form3::IdText1), s.c_str()); }
    void ClickFind() { SendMessageW(find.Item(Form3::IdCommand1), BM_CLICK, 0, 0); }
    void ClickFindNext() { SendMessageW(find.Item(Form3::IdCommand3), BM_CLICK, 0, 0); }
    void ExpectSelection(LONG from, LONG to) { EXPECT_EQ(std::make_pair(Selection().cpMin, Selection().cpMax), std::make_pair(from, to)); }
    // Find and Find Next: shown or hidden, enabled or not.
    std::wstring Buttons() {
        std::wstring s;
        for (int id : {Form3::IdCommand1, Form3::IdCommand3})
            s += std::wstring(find.IsVisible(id) ? L"shown" : L"hidden") + (find.IsEnabled(id) ? L"+on " : L"+off ");
        return s;
    }
};

// ---- the clipboard from the test side: text, a picture or nothing put on it; its text read back
bool PutClipboard(const wchar_t* text, bool bitmap = false) {
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    HANDLE data = nullptr;
    if (text) {
        data = GlobalAlloc(GMEM_MOVEABLE, (wcslen(text) + 1) * sizeof(wchar_t));
        wcscpy(static_cast<wchar_t*>(GlobalLock(data)), text);
        GlobalUnlock(data);
    } else if (bitmap) {
        data = CreateBitmap(8, 8, 1, 1, nullptr);
    }
    const bool ok = !data || SetClipboardData(text ? CF_UNICODETEXT : CF_BITMAP, data);
    CloseClipboard();
    return ok;
}

std::wstring ClipboardText() {
    if (!OpenClipboard(nullptr)) return L"<busy>";
    HANDLE h = GetClipboardData(CF_UNICODETEXT);
    const std::wstring s = h ? static_cast<const wchar_t*>(GlobalLock(h)) : L"<no text>";
    if (h) GlobalUnlock(h);
    CloseClipboard();
    return s;
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
    ASSERT_TRUE(PutClipboard(L"from another program"));
    EXPECT_FALSE(PasteEnabled());
    Type(L"one\r\ntwo\r\nthree \u0416\U0001F600");
    Select(3, 3);
    f.mnuedit_Click(2);  // Cut with nothing selected: empty text on the clipboard, Paste enabled
    EXPECT_EQ(ClipboardText(), L"");
    EXPECT_TRUE(PasteEnabled());
    Select(2, 11);  // "e", CR LF, "two", CR LF, "t"
    f.mnuedit_Click(2);
    EXPECT_EQ(ClipboardText(), L"e\r\ntwo\r\nt");  // plain text with CR LF
    EXPECT_EQ(f.Text(), L"onhree \u0416\U0001F600");
    f.mnuedit_Click(0);  // the control's own undo
    EXPECT_EQ(f.Text(), L"one\r\ntwo\r\nthree \u0416\U0001F600");
    Select(16, 19);
    f.mnuedit_Click(3);
    EXPECT_EQ(ClipboardText(), L"\u0416\U0001F600");
    // Pasting over a selection replaces it; line ends arrive as the control's own.
    f.SetEditorText(L"abc|abab");
    ASSERT_TRUE(PutClipboard(L"x\r\ny"));
    Select(0, 3);
    f.mnuedit_Click(4);
    EXPECT_EQ(f.Text(), L"x\r\ny|abab");
    ExpectSelection(4, 4);
    // Paste with a picture or nothing on the clipboard deletes the selection.
    ASSERT_TRUE(PutClipboard(nullptr, true));
    Select(5, 7);
    f.mnuedit_Click(4);
    ASSERT_TRUE(PutClipboard(nullptr));
    Select(0, 1);
    f.mnuedit_Click(4);
    EXPECT_EQ(f.Text(), L"\r\ny|ab");
    f.mnuedit_Click(5);  // Select All
    EXPECT_EQ(Selection().cpMin, 0);
    EXPECT_EQ(SelText(), L"\r\ny|ab");
    for (int i : {1, 6, 9, -1}) f.mnuedit_Click(i);  // separators and others do nothing
    EXPECT_EQ(f.Text(), L"\r\ny|ab");
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
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.find(texts::ClipboardBusy), std::wstring::npos);
    EXPECT_EQ(f.Text(), L"precious");
    EXPECT_FALSE(PasteEnabled());
    f.mnuedit_Click(2);  // free again: the cut goes through
    EXPECT_EQ(ClipboardText(), L"precious");
    EXPECT_EQ(f.Text(), L"");
}

// ---- the Find dialog

TEST_F(EditCommands, TheDialogAndItsButtonsAcrossModesAndLoads) {
    Type(L"abc abc");
    f.mnuedit_Click(7);
    ASSERT_TRUE(find.IsLoaded());
    HWND d = find.Hwnd();
    EXPECT_TRUE(IsWindowVisible(d));
    EXPECT_TRUE(GetWindowLongPtrW(d, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(GetWindow(d, GW_OWNER), nullptr);
    EXPECT_EQ(GetFocus(), find.Item(Form3::IdText1));  // typing goes to the search box
    EXPECT_EQ(Buttons(), L"shown+off hidden+off ");
    SendMessageW(f.Hwnd(), WM_COMMAND, frmMain::EditBase + 7, 0);  // Ctrl+F's command: the same window
    EXPECT_EQ(find.Hwnd(), d);

    SearchFor(L"abc");
    SearchFor(L"");  // a change, even to empty, enables Find
    EXPECT_EQ(Buttons(), L"shown+on hidden+off ");
    SearchFor(L"abc");
    ClickFind();
    EXPECT_EQ(Buttons(), L"shown+on hidden+on ");
    f.mnuedit_Click(8);  // Find Next mode keeps the text
    EXPECT_EQ(Buttons(), L"hidden+on shown+on ");
    EXPECT_EQ(find.Text(Form3::IdText1), L"abc");
    ClickFindNext();
    ExpectSelection(4, 7);
    f.mnuedit_Click(7);  // Find... again: the text emptied counts as a change; Find Next stays behind
    EXPECT_EQ(find.Text(Form3::IdText1), L"");
    EXPECT_EQ(Buttons(), L"shown+on shown+on ");
    // Cancel closes; a new load starts afresh but keeps the last match position.
    SendMessageW(find.Item(Form3::IdCommand2), BM_CLICK, 0, 0);
    EXPECT_FALSE(find.IsLoaded());
    EXPECT_EQ(find.LastMatchPosition, 5);
    f.mnuedit_Click(8);
    EXPECT_EQ(Buttons(), L"hidden+off shown+off ");
    f.mnuedit_Click(7);
    EXPECT_EQ(Buttons(), L"shown+off shown+off ");
    SendMessageW(find.Hwnd(), WM_CLOSE, 0, 0);  // the close box closes too
    EXPECT_FALSE(find.IsLoaded());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(EditCommands, TextEditedBetweenSearchesIsSearchedAfresh) {
    Type(L"cat dog cat");
    f.mnuedit_Click(7);
    SearchFor(L"cat");
    ClickFind();
    Select(8, 9);  // same length, one character typed over
    editarea::ReplaceSelection(t1(), L"b");
    f.mnuedit_Click(8);
    ClickFindNext();
    EXPECT_EQ(boxes.size(), 1u);  // "bat" no longer matches
    f.SetEditorText(L"dog dog cat bat");  // a new text of the very same length, as File > Open loads it
    ClickFindNext();
    ExpectSelection(8, 11);
    Select(0, 3);  // Paste changes the text too
    PutClipboard(L"cat");
    f.mnuedit_Click(4);
    ClickFind();
    ExpectSelection(0, 3);
    // The copy is read again only after a change.
    const auto refreshes = find.Copy().Refreshes();
    ClickFind();
    ClickFindNext();
    EXPECT_EQ(find.Copy().Refreshes(), refreshes);
    EXPECT_EQ(boxes.size(), 1u);
    // A file opened through File > Open is searched with its own line ends.
    testenv::TempDir dir;
    const std::wstring path = dir / L"loaded.cpp";
    ASSERT_TRUE(testenv::WriteBytes(path, "one\r\ntwo cat\r\n"));
    f.Doc().SavedText.Mark(editarea::StoredText(t1()));  // nothing to ask about
    Open(path);
    ASSERT_EQ(f.Caption(), L"loaded.cpp - Tavrin");
    ClickFind();
    ExpectSelection(9, 12);  // "cat" after a CR LF
}

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
        ExpectSelection(static_cast<LONG>(want), static_cast<LONG>(want + 6));
        if (i == 0) f.mnuedit_Click(8);
        ClickFindNext();
    }
    EXPECT_GT(control.find(L"NEEDLE", control.find(L"NEEDLE") + 1), 65535u);
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(find.LastMatchPosition, static_cast<int64_t>(control.rfind(L"NEEDLE")) + 1);
    f.mnuedit_Click(7);
    SearchFor(L"NEEDLE text\r\nline");  // a line end in the search text matches the text's
    ClickFind();
    EXPECT_EQ(SelText(), L"NEEDLE text\r\nline");
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
    EXPECT_EQ(GetFocus(), t1());
    EXPECT_TRUE(Above(find.Hwnd(), f.Hwnd()));
}

}  // namespace
