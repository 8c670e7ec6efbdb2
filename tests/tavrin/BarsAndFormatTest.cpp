// The toolbar, the status bar, the View and Format menus of the main window, seen from outside:
// the common controls' own state, the menu, and the editing area's character formats.
#include "MainWindowFixture.h"

#include "MainBars.h"
#include "Scintilla.h"
#include "Texts.h"

namespace {

class Bars : public testenv::MainWindowTest {
protected:
    // A click on a toolbar button, as the toolbar reports it.
    void Click(int position) {
        SendMessageW(f.Hwnd(), WM_COMMAND, MAKEWPARAM(bars::ButtonId(position), BN_CLICKED),
                     reinterpret_cast<LPARAM>(f.tbToolbar()));
    }
    // Typed at the caret, with the format set there.
    void TypeHere(const std::wstring& text) { editarea::ReplaceSelection(f.t1(), text); }
    void Select(size_t start, size_t end) { editarea::Select(f.t1(), start, end); }
    // A range's format as the area reports it: "face bold italic points colour" (0 and -1 when mixed).
    std::wstring FormatAt(size_t start, size_t end) {
        Select(start, end);
        double points = 0;
        COLORREF color = 0;
        if (!editarea::SelectionPoints(f.t1(), points)) points = 0;
        if (!editarea::SelectionColor(f.t1(), color)) color = CLR_INVALID;
        return editarea::FaceName(f.t1()) + L" " + std::to_wstring(editarea::SelectionBold(f.t1())) + L" " +
               std::to_wstring(editarea::SelectionItalic(f.t1())) + L" " + std::to_wstring(static_cast<int>(points)) +
               L" " + std::to_wstring(static_cast<long>(color));
    }
};

TEST_F(Bars, ButtonsRunTheirCommandsAndFailuresEndSilently) {
    int prompts = 0, opens = 0, saves = 0;
    bool failPrompt = false;
    modal::ScopedHooks hooks({
        .msgBox = [&](const modal::MsgBoxCall& c) {
            if (c.text != texts::SaveChangesPrompt) boxes.push_back(c);
            else if (failPrompt) RaiseError(5, L"Tavrin.test", L"prompt failed");
            else ++prompts;
            return IDNO;
        },
        .openFile = [&](OPENFILENAMEW&) { return ++opens, FALSE; },
        .saveFile = [&](OPENFILENAMEW&) { return ++saves, FALSE; },
    });
    Type(L"changed");
    Click(1);  // New: asks, then empties the area
    EXPECT_EQ(f.Text(), L"");
    Click(2);
    Click(3);  // Save of an untitled document asks for a name
    EXPECT_EQ(std::to_string(prompts) + std::to_string(opens) + std::to_string(saves), "111");
    Type(L"kept");
    failPrompt = true;  // an error from the toolbar shows no box and loses nothing
    Click(1);
    f.tbToolbar_ButtonClick(L"New");
    EXPECT_EQ(prompts, 1);
    EXPECT_EQ(f.Text(), L"kept");
    EXPECT_TRUE(boxes.empty());
}

TEST_F(Bars, StatusBarPanelsClockAndViewToggle) {
    ASSERT_EQ(SendMessageW(f.sbStatusBar(), SB_GETPARTS, 0, 0), 6);
    EXPECT_EQ(Panel(0) + L"|" + Panel(1) + L"|" + Panel(2) + L"|" + Panel(3) + L"|" + Panel(4) + L"|" + Panel(5),
              L"Status|Ln 1, Col 1|ANSI, CR LF||" + bars::ShortDate() + L"|" + bars::ShortTime());
    SendMessageW(f.sbStatusBar(), SB_SETTEXTW, 4, reinterpret_cast<LPARAM>(L"old"));
    SendMessageW(f.Hwnd(), WM_TIMER, 1, 0);  // the clock makes the panels current again
    EXPECT_EQ(Panel(4), bars::ShortDate());
    // View > Status Bar: the bar and its check mark; the editing area stays as it is. (The window
    // itself is not shown in these tests: the bar's own visibility.)
    RECT before{}, now{};
    GetWindowRect(f.t1(), &before);
    auto view = [&] { return Checked(frmMain::ViewBase + 1) * 2 + ((GetWindowLongW(f.sbStatusBar(), GWL_STYLE) & WS_VISIBLE) != 0); };
    f.mnuview_Click(1);
    EXPECT_EQ(view(), 0);
    GetWindowRect(f.t1(), &now);
    EXPECT_TRUE(EqualRect(&before, &now));
    SendMessageW(f.sbStatusBar(), SB_SETTEXTW, 5, reinterpret_cast<LPARAM>(L"stale"));
    f.mnuview_Click(1);
    EXPECT_EQ(view(), 3);
    EXPECT_EQ(Panel(5), bars::ShortTime());  // current again when shown
}

TEST_F(Bars, WordWrapIsKeptAndTheZoomHasAPanelWhileNotAtItsDefault) {
    f.mnuview_Click(mainmenu::ViewWordWrap);
    EXPECT_EQ(Stored(L"WordWrap").value_or(L""), L"1");
    f.Unload();
    ASSERT_TRUE(f.Load());  // the next start wraps too
    EXPECT_EQ(SendMessageW(f.t1(), SCI_GETWRAPMODE, 0, 0), SC_WRAP_WORD);
    EXPECT_TRUE(Checked(frmMain::ViewBase + mainmenu::ViewWordWrap));
    // Ctrl+Plus, then Ctrl and the wheel: the panel shows the zoom; Ctrl+0 takes it back to none.
    EXPECT_TRUE(testenv::PressCtrl(f.t1(), VK_OEM_PLUS));
    EXPECT_EQ(Panel(bars::kZoomPanel), L"110%");
    SendMessageW(f.t1(), WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, WHEEL_DELTA), 0);
    EXPECT_EQ(Panel(bars::kZoomPanel), L"120%");
    EXPECT_TRUE(testenv::PressCtrl(f.t1(), '0'));
    EXPECT_EQ(Panel(bars::kZoomPanel), L"");
}

// Font: the face for all text, the rest for the selection or what is typed at the caret. Text
// Color: the selection or the caret; Forecolor: the background. Each dialog opens on the previous
// choice, and Cancel changes nothing, whatever the dialog left in its structure.
TEST_F(Bars, FontAndColoursOnTheSelectionAtTheCaretRememberedAndCancelled) {
    bool cancel = false;
    LOGFONTW seenFont{};
    COLORREF pick = RGB(255, 0, 0), seenColor = 0;
    modal::ScopedHooks hooks({
        .chooseFont = [&](CHOOSEFONTW& cf) {
            seenFont = *cf.lpLogFont;
            *cf.lpLogFont = LOGFONTW{.lfHeight = -19, .lfWeight = FW_BOLD, .lfItalic = TRUE, .lfFaceName = L"Tahoma"};
            cf.iPointSize = 140;
            return !cancel;
        },
        .chooseColor = [&](CHOOSECOLORW& cc) {
            seenColor = cc.rgbResult;
            cc.rgbResult = cancel ? RGB(0, 255, 0) : pick;
            return !cancel;
        },
    });
    const std::wstring text = std::to_wstring(static_cast<long>(GetSysColor(COLOR_WINDOWTEXT)));
    f.SetEditorText(L"hello world");
    Select(0, 5);
    f.mnuformat_Click(0);
    EXPECT_EQ(FormatAt(0, 5), L"Tahoma 1 1 14 " + text);
    EXPECT_EQ(FormatAt(6, 11), L"Tahoma 0 0 10 " + text);
    Select(11, 11);
    f.mnuformat_Click(0);
    EXPECT_EQ(seenFont.lfWeight, FW_BOLD);
    TypeHere(L"XY");
    EXPECT_EQ(FormatAt(11, 13), L"Tahoma 1 1 14 " + text);
    Select(6, 11);
    f.mnuformat_Click(1);
    EXPECT_EQ(FormatAt(6, 11), L"Tahoma 0 0 10 255");
    Select(13, 13);
    pick = RGB(0, 128, 0);
    f.mnuformat_Click(1);
    EXPECT_EQ(seenColor, RGB(255, 0, 0));
    TypeHere(L"!");
    EXPECT_EQ(FormatAt(13, 14), L"Tahoma 1 1 14 32768");  // the font of the text before it, in the new colour
    cancel = true;
    for (int item : {0, 1, 2}) {
        Select(0, 5);
        f.mnuformat_Click(item);
    }
    EXPECT_EQ(FormatAt(0, 5), L"Tahoma 1 1 14 " + text);
    EXPECT_NE(editarea::BackColor(f.t1()), RGB(0, 255, 0));
    cancel = false;
    pick = RGB(0, 0, 255);
    f.mnuformat_Click(2);
    EXPECT_EQ(seenColor, RGB(0, 128, 0));
    EXPECT_EQ(editarea::BackColor(f.t1()), RGB(0, 0, 255));
}

}  // namespace
