// The toolbar, the status bar, the View and Format menus of the main window, seen from outside:
// the common controls' own state, the menu, and the editing area's character formats.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "MainBars.h"
#include "MainWindowFixture.h"
#include "EditArea.h"
#include "Scintilla.h"
#include "Texts.h"

namespace {

class Bars : public testenv::MainWindowTest {
protected:
    HWND tb() { return f.tbToolbar(); }
    HWND sb() { return f.sbStatusBar(); }
    std::wstring Panel(int i) {
        wchar_t buf[256] = {};
        SendMessageW(sb(), SB_GETTEXTW, i, reinterpret_cast<LPARAM>(buf));
        return buf;
    }
    RECT EditRect() {
        RECT r{};
        GetWindowRect(f.t1(), &r);
        MapWindowPoints(nullptr, f.Hwnd(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    // A click on a toolbar button, as the toolbar reports it.
    void Click(int position) {
        SendMessageW(f.Hwnd(), WM_COMMAND, MAKEWPARAM(bars::ButtonId(position), BN_CLICKED), reinterpret_cast<LPARAM>(tb()));
    }
    // Typed at the caret, with the format set there.
    void Type(const std::wstring& text) { editarea::ReplaceSelection(f.t1(), text); }
    void Select(size_t start, size_t end) { editarea::Select(f.t1(), start, end); }
    // The format of a range as the area reports it (points 0 and colour unknown when mixed).
    struct Format {
        std::wstring face;
        bool bold = false, italic = false;
        double points = 0;
        COLORREF color = CLR_INVALID;
    };
    Format FormatAt(size_t start, size_t end) {
        Select(start, end);
        Format r;
        r.face = editarea::FaceName(f.t1());
        r.bold = editarea::SelectionBold(f.t1());
        r.italic = editarea::SelectionItalic(f.t1());
        if (!editarea::SelectionPoints(f.t1(), r.points)) r.points = 0;
        if (!editarea::SelectionColor(f.t1(), r.color)) r.color = CLR_INVALID;
        return r;
    }
    COLORREF Background() { return editarea::BackColor(f.t1()); }
};

// The window itself is not shown in these tests: the child's own visibility.
bool Shown(HWND child) { return (GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE) != 0; }

// Dialog answers as a user would give them (Tahoma 14 bold italic, the colour g_pick), or a
// cancel that leaves edits in the structure, which must not be applied.
bool g_cancel = false;
LOGFONTW g_seenFont;
COLORREF g_pick = RGB(255, 0, 0), g_seenColor = 0;
BOOL PickFont(CHOOSEFONTW& cf) {
    g_seenFont = *cf.lpLogFont;
    *cf.lpLogFont = LOGFONTW{.lfHeight = -19, .lfWeight = FW_BOLD, .lfItalic = TRUE, .lfFaceName = L"Tahoma"};
    cf.iPointSize = 140;
    return !g_cancel;
}
BOOL PickColor(CHOOSECOLORW& cc) {
    g_seenColor = cc.rgbResult;
    cc.rgbResult = g_cancel ? RGB(0, 255, 0) : g_pick;
    return !g_cancel;
}

}  // namespace

TEST_F(Bars, ButtonsRunTheirCommandsAndFailuresEndSilently) {
    int prompts = 0, opens = 0, saves = 0;
    std::vector<modal::MsgBoxCall> boxes;
    bool failPrompt = false;
    modal::ScopedHooks hooks({
        .msgBox = [&](const modal::MsgBoxCall& c) {
            if (c.text != texts::SaveChangesPrompt) boxes.push_back(c);
            else if (failPrompt) RaiseError(5, L"Tavrin.test", L"prompt failed");
            else ++prompts;
            return IDNO;
        },
        .openFile = [&](OPENFILENAMEW&) { ++opens; return FALSE; },
        .saveFile = [&](OPENFILENAMEW&) { ++saves; return FALSE; },
    });
    Type(L"changed");
    Click(1);  // New: asks, then empties the area
    EXPECT_EQ(prompts, 1);
    EXPECT_EQ(f.Text(), L"");
    Click(2);
    Click(3);  // Save of an untitled document asks for a name
    EXPECT_EQ(opens, 1);
    EXPECT_EQ(saves, 1);
    Type(L"kept");
    failPrompt = true;  // an error from the toolbar shows no box and loses nothing
    Click(1);
    f.tbToolbar_ButtonClick(L"New");
    EXPECT_EQ(prompts, 1);
    EXPECT_EQ(f.Text(), L"kept");

    EXPECT_TRUE(boxes.empty());
}

TEST_F(Bars, StatusBarPanelsClockAndViewToggle) {
    ASSERT_EQ(SendMessageW(sb(), SB_GETPARTS, 0, 0), 6);
    EXPECT_EQ(Panel(0) + L"|" + Panel(1) + L"|" + Panel(2) + L"|" + Panel(3) + L"|" + Panel(4) + L"|" + Panel(5),
              L"Status|Ln 1, Col 1|ANSI, CR LF||" + bars::ShortDate() + L"|" + bars::ShortTime());
    SendMessageW(sb(), SB_SETTEXTW, 4, reinterpret_cast<LPARAM>(L"old"));
    SendMessageW(f.Hwnd(), WM_TIMER, 1, 0);  // the clock makes the panels current again
    EXPECT_EQ(Panel(4), bars::ShortDate());
    // View > Status Bar: the bar and its check mark; the editing area stays as it is.
    const RECT before = EditRect();
    HMENU menu = GetMenu(f.Hwnd());
    auto view = [&] { return ((GetMenuState(menu, frmMain::ViewBase + 1, MF_BYCOMMAND) & MF_CHECKED) ? 2 : 0) + Shown(sb()); };
    f.mnuview_Click(1);
    EXPECT_EQ(view(), 0);
    RECT now = EditRect();
    EXPECT_TRUE(EqualRect(&before, &now));
    SendMessageW(sb(), SB_SETTEXTW, 5, reinterpret_cast<LPARAM>(L"stale"));
    f.mnuview_Click(1);
    EXPECT_EQ(view(), 3);
    EXPECT_EQ(Panel(5), bars::ShortTime());  // current again when shown
}

// Font: the face for all text, the rest for the selection or what is typed at the caret. Text
// Color: the selection or the caret; Forecolor: the background. Each dialog opens on the previous
// choice, and Cancel changes nothing, whatever the dialog left in its structure.
TEST_F(Bars, WordWrapIsKeptAndTheZoomHasAPanelWhileNotAtItsDefault) {
    f.mnuview_Click(mainmenu::ViewWordWrap);
    EXPECT_EQ(SendMessageW(f.t1(), SCI_GETWRAPMODE, 0, 0), SC_WRAP_WORD);
    EXPECT_EQ(Stored(L"WordWrap").value_or(L""), L"1");
    f.Unload();
    ASSERT_TRUE(f.Load());  // the next start wraps too
    EXPECT_EQ(SendMessageW(f.t1(), SCI_GETWRAPMODE, 0, 0), SC_WRAP_WORD);
    EXPECT_TRUE(GetMenuState(GetMenu(f.Hwnd()), frmMain::ViewBase + mainmenu::ViewWordWrap, MF_BYCOMMAND) & MF_CHECKED);
    // Ctrl+Plus, then Ctrl and the wheel: the panel shows the zoom; Ctrl+0 takes it back to none.
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    MSG plus{f.t1(), WM_KEYDOWN, VK_OEM_PLUS, 1, 0, {}}, zero{f.t1(), WM_KEYDOWN, '0', 1, 0, {}};
    EXPECT_TRUE(form::PreTranslate(plus));
    EXPECT_EQ(Panel(bars::kZoomPanel), L"110%");
    SendMessageW(f.t1(), WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, WHEEL_DELTA), 0);
    EXPECT_EQ(Panel(bars::kZoomPanel), L"120%");
    EXPECT_TRUE(form::PreTranslate(zero));
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(Panel(bars::kZoomPanel), L"");
}

TEST_F(Bars, FontAndColoursOnTheSelectionAtTheCaretRememberedAndCancelled) {
    f.SetEditorText(L"hello world");
    Select(0, 5);
    modal::ScopedHooks hooks({.chooseFont = PickFont, .chooseColor = PickColor});
    g_cancel = false;
    f.mnuformat_Click(0);
    const Format sel = FormatAt(0, 5), rest = FormatAt(6, 11);
    EXPECT_EQ(sel.face + rest.face, L"TahomaTahoma");
    EXPECT_TRUE(sel.bold && sel.italic && sel.points == 14);
    EXPECT_FALSE(rest.bold || rest.italic || rest.points != 10);
    Select(11, 11);
    f.mnuformat_Click(0);
    EXPECT_EQ(g_seenFont.lfWeight, FW_BOLD);
    Type(L"XY");
    const Format typed = FormatAt(11, 13);
    EXPECT_TRUE(typed.bold && typed.italic && typed.points == 14);
    Select(6, 11);
    g_pick = RGB(255, 0, 0);
    f.mnuformat_Click(1);
    EXPECT_EQ(FormatAt(6, 11).color, RGB(255, 0, 0));
    EXPECT_EQ(FormatAt(0, 5).color, GetSysColor(COLOR_WINDOWTEXT));
    Select(13, 13);
    g_pick = RGB(0, 128, 0);
    f.mnuformat_Click(1);
    EXPECT_EQ(g_seenColor, RGB(255, 0, 0));
    Type(L"!");
    EXPECT_EQ(FormatAt(13, 14).color, RGB(0, 128, 0));
    g_cancel = true;
    for (int item : {0, 1}) {
        Select(0, 5);
        f.mnuformat_Click(item);
    }
    const Format after = FormatAt(0, 5);
    EXPECT_TRUE(after.face == L"Tahoma" && after.points == 14);
    EXPECT_EQ(after.color, GetSysColor(COLOR_WINDOWTEXT));
    g_cancel = false;
    g_pick = RGB(0, 0, 255);
    f.mnuformat_Click(2);
    EXPECT_EQ(g_seenColor, RGB(0, 128, 0));
    EXPECT_EQ(Background(), RGB(0, 0, 255));
    g_cancel = true;
    f.mnuformat_Click(2);
    EXPECT_EQ(Background(), RGB(0, 0, 255));
}
