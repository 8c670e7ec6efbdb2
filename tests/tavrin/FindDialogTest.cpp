// The Edit menu and the Find dialog seen from outside: the clipboard, the editing area's selection,
// the dialog's buttons, the real "No Match found." box.
#include <gtest/gtest.h>

#include <windows.h>
#include <richedit.h>

#include <string>
#include <thread>
#include <vector>

#include "DialogAnswerer.h"
#include "Form3.h"
#include "Modal.h"
#include "RichText.h"
#include "TestEnv.h"
#include "Texts.h"
#include "basTavrin.h"
#include "frmMain.h"

namespace {

class EditCommands : public ::testing::Test {
protected:
    frmMain& f = form::Single<frmMain>();
    Form3& find = form::Single<Form3>();
    std::vector<modal::MsgBoxCall> boxes;
    modal::ScopedHooks hooks{{.msgBox = [this](const modal::MsgBoxCall& c) {
        boxes.push_back(c);
        return IDOK;
    }}};

    void SetUp() override {
        ASSERT_TRUE(richtext::LoadLibraryClass());
        settings::KeyPath = L"Software\\TavrinTests\\Settings";
        ASSERT_TRUE(f.Load());
        f.Show();
    }
    void TearDown() override {
        if (find.IsLoaded()) find.Unload();
        if (f.IsLoaded()) {
            f.Doc().ExitConfirmed = true;
            f.Unload();
        }
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\TavrinTests");
    }

    HWND t1() { return f.t1(); }
    void Type(const std::wstring& text) {
        SendMessageW(t1(), EM_SETSEL, -1, -1);
        SendMessageW(t1(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
    }
    void Select(LONG from, LONG to) {
        CHARRANGE r{from, to};
        SendMessageW(t1(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
    }
    CHARRANGE Selection() {
        CHARRANGE r{};
        SendMessageW(t1(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
        return r;
    }
    // The selected text as the control holds it (one CR per line end).
    std::wstring SelText() {
        const CHARRANGE r = Selection();
        std::wstring s(static_cast<size_t>(r.cpMax - r.cpMin) + 1, L'\0');
        s.resize(static_cast<size_t>(SendMessageW(t1(), EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(s.data()))));
        return s;
    }
    bool PasteEnabled() {
        return !(GetMenuState(GetMenu(f.Hwnd()), frmMain::EditBase + 4, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED));
    }
    // Types into the search box as the user would, so it sends its change notification.
    void SearchFor(const std::wstring& s) { SetWindowTextW(find.Item(Form3::IdText1), s.c_str()); }
    void ClickFind() { SendMessageW(find.Item(Form3::IdCommand1), BM_CLICK, 0, 0); }
    void ClickFindNext() { SendMessageW(find.Item(Form3::IdCommand3), BM_CLICK, 0, 0); }
    void ExpectSelection(LONG from, LONG to) {
        const CHARRANGE r = Selection();
        EXPECT_EQ(r.cpMin, from);
        EXPECT_EQ(r.cpMax, to);
    }
};

// ---- clipboard helpers of the test side

bool PutClipboardText(const std::wstring& text) {
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    memcpy(GlobalLock(mem), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(mem);
    const bool ok = SetClipboardData(CF_UNICODETEXT, mem) != nullptr;
    CloseClipboard();
    return ok;
}

bool PutClipboardBitmap() {
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    HDC dc = GetDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(dc, 8, 8);
    ReleaseDC(nullptr, dc);
    const bool ok = SetClipboardData(CF_BITMAP, bmp) != nullptr;
    CloseClipboard();
    return ok;
}

std::wstring ClipboardText(bool* hasText = nullptr) {
    std::wstring s;
    if (hasText) *hasText = false;
    if (!OpenClipboard(nullptr)) return L"<busy>";
    if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
        if (hasText) *hasText = true;
        s = static_cast<const wchar_t*>(GlobalLock(h));
        GlobalUnlock(h);
    }
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

TEST_F(EditCommands, PasteStartsGreyedAndCutWithNothingSelectedEnablesIt) {
    ASSERT_TRUE(PutClipboardText(L"from another program"));
    EXPECT_FALSE(PasteEnabled());
    Type(L"keep me");
    Select(3, 3);
    f.mnuedit_Click(2);
    EXPECT_EQ(f.Text(), L"keep me");
    bool hasText = false;
    EXPECT_EQ(ClipboardText(&hasText), L"");  // empty text, not left over
    EXPECT_TRUE(hasText);
    EXPECT_TRUE(PasteEnabled());
}

TEST_F(EditCommands, CutPutsPlainTextWithCrLfOnTheClipboardAndDeletesTheSelection) {
    Type(L"one\r\ntwo\r\nthree \u0416\U0001F600");
    Select(2, 9);  // "e", CR, "two", CR, "t" in the control's count
    f.mnuedit_Click(2);
    EXPECT_EQ(ClipboardText(), L"e\r\ntwo\r\nt");
    EXPECT_EQ(f.Text(), L"onhree \u0416\U0001F600");
    // Undo brings the cut text back, as the control's own undo does.
    f.mnuedit_Click(0);
    EXPECT_EQ(f.Text(), L"one\r\ntwo\r\nthree \u0416\U0001F600");
    Select(14, 17);
    f.mnuedit_Click(3);
    EXPECT_EQ(ClipboardText(), L"\u0416\U0001F600");
}

TEST_F(EditCommands, CopyThenPasteElsewhereAndAgain) {
    Type(L"abc|");
    Select(0, 2);
    f.mnuedit_Click(3);
    Select(4, 4);
    f.mnuedit_Click(4);
    f.mnuedit_Click(4);
    EXPECT_EQ(f.Text(), L"abc|abab");
    // Pasting over a selection replaces it; line ends arrive as the control's own.
    ASSERT_TRUE(PutClipboardText(L"x\r\ny"));
    Select(0, 3);
    f.mnuedit_Click(4);
    EXPECT_EQ(f.Text(), L"x\r\ny|abab");
    ExpectSelection(3, 3);
}

TEST_F(EditCommands, PasteWithoutTextOnTheClipboardDeletesTheSelection) {
    Type(L"a picture here");
    ASSERT_TRUE(PutClipboardBitmap());
    Select(2, 10);
    f.mnuedit_Click(4);
    EXPECT_EQ(f.Text(), L"a here");
    // An empty clipboard likewise.
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    Select(0, 2);
    f.mnuedit_Click(4);
    EXPECT_EQ(f.Text(), L"here");
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
    EXPECT_THROW(f.mnuedit_Click(2), VbError);
    EXPECT_EQ(Err().Number, texts::ClipboardErrorNumber);
    EXPECT_EQ(Err().Description, texts::ClipboardBusy);
    EXPECT_THROW(f.mnuedit_Click(4), VbError);
    // From the menu the error is shown, not lost.
    SendMessageW(f.Hwnd(), WM_COMMAND, frmMain::EditBase + 3, 0);
    SetEvent(release);
    holder.join();
    CloseHandle(held);
    CloseHandle(release);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.find(texts::ClipboardBusy), std::wstring::npos);
    EXPECT_EQ(f.Text(), L"precious");
    EXPECT_FALSE(PasteEnabled());
    f.mnuedit_Click(2);  // free again: the cut goes through
    EXPECT_EQ(ClipboardText(), L"precious");
    EXPECT_EQ(f.Text(), L"");
    EXPECT_TRUE(PasteEnabled());
}

TEST_F(EditCommands, UndoAndSelectAllActOnTheEditingArea) {
    Type(L"first");
    SendMessageW(t1(), EM_EMPTYUNDOBUFFER, 0, 0);
    Type(L" second");
    f.mnuedit_Click(0);
    EXPECT_EQ(f.Text(), L"first");
    Type(L"\r\nline");
    f.mnuedit_Click(5);
    // Everything, with the control's closing paragraph mark.
    EXPECT_EQ(Selection().cpMin, 0);
    EXPECT_GE(Selection().cpMax, 10);
    EXPECT_EQ(SelText().substr(0, 10), L"first\rline");
    for (int i : {1, 6, 9, -1}) f.mnuedit_Click(i);  // separators and others do nothing
    EXPECT_EQ(f.Text(), L"first\r\nline");
}

// ---- the Find dialog

TEST_F(EditCommands, TheDialogOpensTopmostWithoutOwnerWithItsControls) {
    f.mnuedit_Click(7);
    ASSERT_TRUE(find.IsLoaded());
    HWND d = find.Hwnd();
    EXPECT_TRUE(IsWindowVisible(d));
    EXPECT_EQ(find.Caption(), L"Find");
    EXPECT_TRUE(GetWindowLongPtrW(d, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(GetWindow(d, GW_OWNER), nullptr);
    const LONG_PTR style = GetWindowLongPtrW(d, GWL_STYLE);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_EQ(find.Text(Form3::IdLabel1), L"Find What:");
    EXPECT_EQ(find.Text(Form3::IdCommand1), L"Find");
    EXPECT_EQ(find.Text(Form3::IdCommand3), L"Find Next");
    EXPECT_EQ(find.Text(Form3::IdCommand2), L"Cancel");
    EXPECT_EQ(find.Text(Form3::IdText1), L"");
    EXPECT_EQ(GetFocus(), find.Item(Form3::IdText1));  // typing goes to the search box
    EXPECT_TRUE(find.IsVisible(Form3::IdCommand1));
    EXPECT_FALSE(find.IsEnabled(Form3::IdCommand1));
    EXPECT_FALSE(find.IsVisible(Form3::IdCommand3));
    EXPECT_FALSE(find.IsEnabled(Form3::IdCommand3));
    EXPECT_TRUE(find.IsEnabled(Form3::IdCommand2));
    // Both search buttons in one place.
    RECT r1, r3;
    GetWindowRect(find.Item(Form3::IdCommand1), &r1);
    GetWindowRect(find.Item(Form3::IdCommand3), &r3);
    EXPECT_TRUE(EqualRect(&r1, &r3));
    // One instance: opening again brings the same window.
    f.mnuedit_Click(7);
    EXPECT_EQ(find.Hwnd(), d);
    // Ctrl+F reaches the same command.
    find.Unload();
    SendMessageW(f.Hwnd(), WM_COMMAND, frmMain::EditBase + 7, 0);
    EXPECT_TRUE(find.IsLoaded());
}

TEST_F(EditCommands, ButtonStatesAcrossModesAndLoads) {
    Type(L"abc abc");
    f.mnuedit_Click(7);
    SearchFor(L"abc");
    EXPECT_TRUE(find.IsEnabled(Form3::IdCommand1));
    SearchFor(L"");  // emptying the box keeps Find enabled
    EXPECT_TRUE(find.IsEnabled(Form3::IdCommand1));
    SearchFor(L"abc");
    EXPECT_FALSE(find.IsEnabled(Form3::IdCommand3));
    ClickFind();
    EXPECT_TRUE(find.IsEnabled(Form3::IdCommand3));
    f.mnuedit_Click(8);  // Find Next mode keeps the text
    EXPECT_FALSE(find.IsVisible(Form3::IdCommand1));
    EXPECT_TRUE(find.IsVisible(Form3::IdCommand3));
    EXPECT_EQ(find.Text(Form3::IdText1), L"abc");
    ClickFindNext();
    ExpectSelection(4, 7);
    // Find... again: the text is emptied, which counts as a change; Find Next stays shown behind.
    f.mnuedit_Click(7);
    EXPECT_EQ(find.Text(Form3::IdText1), L"");
    EXPECT_TRUE(find.IsVisible(Form3::IdCommand1));
    EXPECT_TRUE(find.IsEnabled(Form3::IdCommand1));
    EXPECT_TRUE(find.IsVisible(Form3::IdCommand3));
    // Find is the one in front (clicks reach it) and next after the search box in the tab order.
    RECT r;
    GetWindowRect(find.Item(Form3::IdCommand1), &r);
    POINT mid{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ScreenToClient(find.Hwnd(), &mid);
    EXPECT_EQ(ChildWindowFromPoint(find.Hwnd(), mid), find.Item(Form3::IdCommand1));
    EXPECT_EQ(GetNextDlgTabItem(find.Hwnd(), find.Item(Form3::IdText1), FALSE), find.Item(Form3::IdCommand1));
    // Cancel closes; the next opening starts afresh but keeps the last match position.
    SendMessageW(find.Item(Form3::IdCommand2), BM_CLICK, 0, 0);
    EXPECT_FALSE(find.IsLoaded());
    EXPECT_EQ(find.LastMatchPosition, 5);
    f.mnuedit_Click(8);
    EXPECT_TRUE(find.IsVisible(Form3::IdCommand3));
    EXPECT_FALSE(find.IsEnabled(Form3::IdCommand3));  // no search possible in a fresh Find Next mode
    EXPECT_FALSE(find.IsVisible(Form3::IdCommand1));
    f.mnuedit_Click(7);
    EXPECT_FALSE(find.IsEnabled(Form3::IdCommand1));  // an empty box that did not change
    // The close box closes too.
    SendMessageW(find.Hwnd(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(find.IsLoaded());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(EditCommands, FindSelectsTheFirstMatchAndFindNextGoesOnWithoutWrapping) {
    Type(L"aaaa ABC abc");
    f.mnuedit_Click(7);
    SearchFor(L"aa");
    ClickFind();
    ExpectSelection(0, 2);
    ClickFind();  // Find again: still the first
    ExpectSelection(0, 2);
    EXPECT_EQ(find.LastMatchPosition, 1);
    f.mnuedit_Click(8);
    ClickFindNext();
    ExpectSelection(1, 3);
    ClickFindNext();
    ExpectSelection(2, 4);
    EXPECT_TRUE(boxes.empty());
    ClickFindNext();
    ClickFindNext();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, L"No Match found.");
    EXPECT_EQ(boxes[0].title, L"Tavrin");
    EXPECT_EQ(boxes[0].flags, static_cast<UINT>(MB_OK));
    ExpectSelection(2, 4);  // the selection and the last match stay
    EXPECT_EQ(find.LastMatchPosition, 3);
    EXPECT_EQ(GetFocus(), t1());

    f.mnuedit_Click(7);
    SearchFor(L"abc");  // case-sensitive: ABC is passed over
    ClickFind();
    ExpectSelection(9, 12);
    EXPECT_EQ(GetFocus(), t1());
    EXPECT_TRUE(find.IsLoaded() && IsWindowVisible(find.Hwnd()));  // the dialog stays open
}

TEST_F(EditCommands, EmptySearchTextWalksTheCaretAndAnEmptyAreaNeverMatches) {
    f.mnuedit_Click(7);
    SearchFor(L"x");
    ClickFind();
    ASSERT_EQ(boxes.size(), 1u);  // empty editing area
    SearchFor(L"");
    ClickFind();
    ASSERT_EQ(boxes.size(), 2u);

    Type(L"ab\r\nc");
    Select(1, 3);
    ClickFind();
    ExpectSelection(0, 0);
    f.mnuedit_Click(8);
    for (LONG pos = 1; pos <= 3; ++pos) {
        ClickFindNext();
        ExpectSelection(pos, pos);
    }
    EXPECT_EQ(boxes.size(), 2u);
    ClickFindNext();  // past the last character
    EXPECT_EQ(boxes.size(), 3u);
    ExpectSelection(3, 3);
}

TEST_F(EditCommands, SelectionLandsOnTheMatchAfterLineEndsAndOutsideTheBasicPlane) {
    Type(L"line one\r\n\U0001F600\U0001F600 two\r\n\r\nthe needle\r\nneedle");
    f.mnuedit_Click(7);
    SearchFor(L"needle");
    ClickFind();
    EXPECT_EQ(SelText(), L"needle");
    const CHARRANGE first = Selection();
    f.mnuedit_Click(8);
    ClickFindNext();
    EXPECT_EQ(SelText(), L"needle");
    EXPECT_GT(Selection().cpMin, first.cpMin);
    f.mnuedit_Click(7);
    SearchFor(L"\U0001F600 two\r\n\r\nthe");  // a search text with a line end matches the control's line end
    ClickFind();
    EXPECT_EQ(SelText(), L"\U0001F600 two\r\rthe");
    EXPECT_TRUE(boxes.empty());
}

TEST_F(EditCommands, TextEditedBetweenSearchesIsSearchedAfresh) {
    Type(L"cat dog cat");
    f.mnuedit_Click(7);
    SearchFor(L"cat");
    ClickFind();
    EXPECT_EQ(find.LastMatchPosition, 1);
    // Same length, one character changed by typing over a selection.
    Select(8, 9);
    SendMessageW(t1(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"b"));
    f.mnuedit_Click(8);
    ClickFindNext();
    EXPECT_EQ(boxes.size(), 1u);  // "bat" no longer matches
    // The last match position is not adjusted: Find Next starts after it in the new text.
    Select(0, 0);
    SendMessageW(t1(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"cat "));
    ClickFindNext();
    ExpectSelection(4, 7);  // "cat cat dog bat": from position 2, the second "cat"
    // A whole new text (as File > Open loads it) of the very same length.
    f.SetEditorText(L"dog dog cat bat");
    ClickFindNext();
    ExpectSelection(8, 11);
    EXPECT_EQ(boxes.size(), 1u);
    // Paste changes the text too.
    Select(0, 3);
    PutClipboardText(L"cat");
    f.mnuedit_Click(4);
    ClickFind();
    ExpectSelection(0, 3);
    // A control that stops sending change notifications is read every time.
    const LRESULT mask = SendMessageW(t1(), EM_GETEVENTMASK, 0, 0);
    SendMessageW(t1(), EM_SETEVENTMASK, 0, mask & ~ENM_CHANGE);
    Select(0, 1);
    SendMessageW(t1(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"b"));
    ClickFind();
    ExpectSelection(8, 11);
    SendMessageW(t1(), EM_SETEVENTMASK, 0, mask);
    // The copy is read again only after a change.
    const auto refreshes = find.Copy().Refreshes();
    ClickFind();
    f.mnuedit_Click(8);
    ClickFindNext();
    EXPECT_EQ(find.Copy().Refreshes(), refreshes);
}

TEST_F(EditCommands, MatchesPastSixteenBitPositionsAreFoundAndSelected) {
    // About 140,000 characters in CR LF lines, needles past 32767, past 65535 and near the end.
    std::wstring text;
    for (int i = 0; text.size() < 140000; ++i) text += L"line " + std::to_wstring(i) + L" of filler text\r\n";
    for (size_t at : {35000, 70000, 139000}) text.replace(text.find(L"filler", at), 6, L"NEEDLE");
    f.SetEditorText(text);
    f.mnuedit_Click(7);
    SearchFor(L"NEEDLE");
    ClickFind();
    std::vector<int64_t> found;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(SelText(), L"NEEDLE");
        found.push_back(Selection().cpMin);
        if (i == 0) f.mnuedit_Click(8);
        ClickFindNext();
    }
    EXPECT_EQ(boxes.size(), 1u);
    ASSERT_EQ(found.size(), 3u);
    const std::wstring control = textfind::ToControlText(text);
    size_t from = 0;
    for (size_t i = 0; i < 3; ++i) {
        const size_t want = control.find(L"NEEDLE", from);
        EXPECT_EQ(found[i], static_cast<int64_t>(want));
        from = want + 1;
    }
    EXPECT_GT(found[0], 32767);
    EXPECT_GT(found[1], 65535);
    EXPECT_EQ(find.LastMatchPosition, found[2] + 1);
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
    // The dialog stays above the activated main window.
    EXPECT_TRUE(GetWindowLongPtrW(find.Hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(Above(find.Hwnd(), f.Hwnd()));
    SetForegroundWindow(f.Hwnd());
    SetWindowPos(f.Hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_TRUE(Above(find.Hwnd(), f.Hwnd()));

    f.mnuedit_Click(8);
    {
        DialogAnswerer answer({DialogAnswerer::Press(IDOK)});
        ClickFindNext();
        ASSERT_EQ(answer.Answered(), 1u);
        const auto seen = answer.Seen();
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].title, L"Tavrin");
        EXPECT_EQ(seen[0].text, L"No Match found.");
    }
    ExpectSelection(6, 10);
    EXPECT_EQ(GetFocus(), t1());
    EXPECT_TRUE(Above(find.Hwnd(), f.Hwnd()));
}

}  // namespace
