// The toolbar, the status bar, the View and Format menus of the main window, seen from outside:
// the common controls' own state, the menu, and the editing area's character formats.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <string>

#include "MainBars.h"
#include "Modal.h"
#include "RichFormat.h"
#include "RichText.h"
#include "Texts.h"
#include "ToolbarDef.h"
#include "basTavrin.h"
#include "frmMain.h"

namespace {

class Bars : public ::testing::Test {
protected:
    frmMain& f = form::Single<frmMain>();

    void SetUp() override {
        ASSERT_TRUE(richtext::LoadLibraryClass());
        settings::KeyPath = L"Software\\TavrinTests\\Settings";
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\TavrinTests");
        ASSERT_TRUE(f.Load());
    }
    void TearDown() override {
        if (f.IsLoaded()) {
            f.Doc().ExitConfirmed = true;
            f.Unload();
        }
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\TavrinTests");
    }
    HWND tb() { return f.tbToolbar(); }
    HWND sb() { return f.sbStatusBar(); }
    TBBUTTON Button(int index) {
        TBBUTTON b{};
        SendMessageW(tb(), TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&b));
        return b;
    }
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
        SendMessageW(f.Hwnd(), WM_COMMAND, MAKEWPARAM(bars::ButtonId(position), BN_CLICKED),
                     reinterpret_cast<LPARAM>(tb()));
    }
    std::wstring Tooltip(int position) {
        NMTTDISPINFOW info{};
        info.hdr.hwndFrom = reinterpret_cast<HWND>(SendMessageW(tb(), TB_GETTOOLTIPS, 0, 0));
        info.hdr.idFrom = static_cast<UINT_PTR>(bars::ButtonId(position));
        info.hdr.code = TTN_GETDISPINFOW;
        SendMessageW(f.Hwnd(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
        return info.lpszText ? info.lpszText : L"";
    }
    void Type(const std::wstring& text) {
        SendMessageW(f.t1(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
    }
    CHARFORMAT2W FormatAt(int start, int end) {
        SendMessageW(f.t1(), EM_SETSEL, start, end);
        CHARFORMAT2W cf{};
        cf.cbSize = sizeof(cf);
        SendMessageW(f.t1(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
        return cf;
    }
    // The editing area's own size, in twips of a point (what typed text gets by default).
    LONG BaseHeight() {
        CHARFORMAT2W cf{};
        cf.cbSize = sizeof(cf);
        SendMessageW(f.t1(), EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
        return cf.yHeight;
    }
    COLORREF Background() {
        const COLORREF c = static_cast<COLORREF>(SendMessageW(f.t1(), EM_SETBKGNDCOLOR, 0, 0));
        SendMessageW(f.t1(), EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(c));
        return c;
    }
};

// The window itself is not shown in these tests: the child's own visibility.
bool Shown(HWND child) { return (GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE) != 0; }

bool Bold(const CHARFORMAT2W& cf) { return (cf.dwMask & CFM_BOLD) && (cf.dwEffects & CFE_BOLD); }
bool Italic(const CHARFORMAT2W& cf) { return (cf.dwMask & CFM_ITALIC) && (cf.dwEffects & CFE_ITALIC); }

// Font dialog answers: Tahoma 14 bold italic, as a user would pick.
LOGFONTW g_seenFont;
DWORD g_seenFontFlags = 0;
BOOL PickTahoma(CHOOSEFONTW& cf) {
    g_seenFont = *cf.lpLogFont;
    g_seenFontFlags = cf.Flags;
    LOGFONTW& lf = *cf.lpLogFont;
    wcscpy_s(lf.lfFaceName, L"Tahoma");
    lf.lfWeight = FW_BOLD;
    lf.lfItalic = TRUE;
    lf.lfHeight = -19;
    cf.iPointSize = 140;
    return TRUE;
}
BOOL CancelFont(CHOOSEFONTW& cf) {
    // A cancelled dialog may leave edits in the structure: they must not be applied.
    wcscpy_s(cf.lpLogFont->lfFaceName, L"Symbol");
    cf.iPointSize = 300;
    return FALSE;
}
COLORREF g_pick = RGB(255, 0, 0);
COLORREF g_seenColor = 0;
DWORD g_seenColorFlags = 0;
BOOL PickColor(CHOOSECOLORW& cc) {
    g_seenColor = cc.rgbResult;
    g_seenColorFlags = cc.Flags;
    cc.rgbResult = g_pick;
    return TRUE;
}
BOOL CancelColor(CHOOSECOLORW& cc) {
    cc.rgbResult = RGB(0, 255, 0);
    return FALSE;
}

}  // namespace

TEST_F(Bars, ToolbarHasFourteenIconOnlyPositionsAsTheTableSays) {
    ASSERT_EQ(SendMessageW(tb(), TB_BUTTONCOUNT, 0, 0), 14);
    for (int i = 0; i < 14; ++i) {
        const toolbar::Position& p = toolbar::Positions()[i];
        const TBBUTTON b = Button(i);
        EXPECT_EQ(b.idCommand, bars::ButtonId(i + 1));
        EXPECT_EQ((b.fsStyle & BTNS_SEP) != 0, p.kind == toolbar::Kind::Separator) << i;
        if (p.kind == toolbar::Kind::Separator) continue;
        EXPECT_EQ((b.fsState & TBSTATE_HIDDEN) != 0, p.hidden) << i;
        EXPECT_EQ((b.fsState & TBSTATE_ENABLED) != 0, p.enabled) << i;
        EXPECT_EQ(b.iBitmap, toolbar::ImageIndex(p.imageKey)) << i;
        EXPECT_LE(SendMessageW(tb(), TB_GETBUTTONTEXTW, b.idCommand, 0), 0) << "no caption text at " << i;
    }
    EXPECT_TRUE(SendMessageW(tb(), TB_ISBUTTONHIDDEN, bars::ButtonId(6), 0));   // PREVIEW
    EXPECT_TRUE(SendMessageW(tb(), TB_ISBUTTONHIDDEN, bars::ButtonId(13), 0));  // Redo
    EXPECT_FALSE(SendMessageW(tb(), TB_ISBUTTONENABLED, bars::ButtonId(10), 0));  // Paste
    EXPECT_TRUE(Shown(tb()));
}

TEST_F(Bars, ImageListHoldsElevenSixteenPixelImagesAtNinetySixDpi) {
    auto* list = reinterpret_cast<HIMAGELIST>(SendMessageW(tb(), TB_GETIMAGELIST, 0, 0));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(list), 11);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(list, &cx, &cy);
    EXPECT_EQ(cx, MulDiv(16, f.Dpi() >= 132 ? 3 : 2, 2));
    EXPECT_EQ(cy, cx);
    const DWORD size = static_cast<DWORD>(SendMessageW(tb(), TB_GETBUTTONSIZE, 0, 0));
    EXPECT_EQ(LOWORD(size), cx + 7);
    EXPECT_EQ(HIWORD(size), cy + 6);
}

TEST_F(Bars, TooltipsNameTheButtons) {
    const wchar_t* expected[] = {L"New", L"Open", L"Save", L"", L"Print", L"", L"", L"Cut", L"Copy",
                                 L"Paste", L"Find", L"", L"Redo", L"Undo"};
    for (int pos = 1; pos <= 14; ++pos) EXPECT_EQ(Tooltip(pos), expected[pos - 1]) << pos;
}

TEST_F(Bars, NewOpenAndSaveButtonsRunTheirFileCommands) {
    int prompts = 0, opens = 0, saves = 0;
    modal::ScopedHooks hooks({
        .msgBox = [&](const modal::MsgBoxCall& c) {
            if (c.text == texts::SaveChangesPrompt) ++prompts;
            return IDNO;
        },
        .openFile = [&](OPENFILENAMEW&) { ++opens; return FALSE; },
        .saveFile = [&](OPENFILENAMEW&) { ++saves; return FALSE; },
    });
    Type(L"changed");
    Click(1);  // New: asks, then empties the area
    EXPECT_EQ(prompts, 1);
    EXPECT_EQ(f.Text(), L"");
    Click(2);  // Open
    EXPECT_EQ(opens, 1);
    Click(3);  // Save of an untitled document asks for a name
    EXPECT_EQ(saves, 1);
    // The hidden buttons and the separators do nothing.
    Type(L"still here");
    for (int pos : {4, 6, 7, 12, 13}) Click(pos);
    EXPECT_EQ(prompts, 1);
    EXPECT_EQ(f.Text(), L"still here");
}

TEST_F(Bars, AFailingCommandFromTheToolbarEndsSilently) {
    int shown = 0;
    modal::ScopedHooks hooks({.msgBox = [&](const modal::MsgBoxCall& c) -> int {
        if (c.text == texts::SaveChangesPrompt) RaiseError(5, L"Tavrin.test", L"prompt failed");
        ++shown;
        return IDOK;
    }});
    Type(L"kept");
    Click(1);
    f.tbToolbar_ButtonClick(L"New");
    EXPECT_EQ(shown, 0);  // no error box
    EXPECT_EQ(f.Text(), L"kept");
    EXPECT_TRUE(IsWindowEnabled(f.Hwnd()));
}

TEST_F(Bars, PasteButtonAndMenuItemStayEnabledOnceEnabled) {
    HMENU menu = GetMenu(f.Hwnd());
    EXPECT_FALSE(f.PasteEnabled());
    EXPECT_TRUE(GetMenuState(menu, frmMain::EditBase + 4, MF_BYCOMMAND) & MF_GRAYED);
    f.EnablePaste();
    EXPECT_TRUE(f.PasteEnabled());
    EXPECT_TRUE(SendMessageW(tb(), TB_ISBUTTONENABLED, bars::ButtonId(toolbar::kPastePosition), 0));
    EXPECT_FALSE(GetMenuState(menu, frmMain::EditBase + 4, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED));
    OpenClipboard(f.Hwnd());
    EmptyClipboard();
    CloseClipboard();
    f.EnablePaste();
    EXPECT_TRUE(SendMessageW(tb(), TB_ISBUTTONENABLED, bars::ButtonId(toolbar::kPastePosition), 0));
}

TEST_F(Bars, StatusBarShowsStatusTheDateAndTheTime) {
    ASSERT_EQ(SendMessageW(sb(), SB_GETPARTS, 0, 0), 3);
    int edges[3] = {};
    SendMessageW(sb(), SB_GETPARTS, 3, reinterpret_cast<LPARAM>(edges));
    RECT r{};
    GetClientRect(sb(), &r);
    const int inch = MulDiv(f.Dpi(), 1, 1);
    EXPECT_GE(edges[0], inch);  // "Status" takes the rest, at least an inch here
    EXPECT_GE(edges[1] - edges[0], inch);
    EXPECT_GE(r.right - edges[1], inch);
    EXPECT_EQ(edges[2], -1);
    EXPECT_EQ(Panel(0), L"Status");
    EXPECT_EQ(Panel(1), bars::ShortDate());
    EXPECT_EQ(Panel(2), bars::ShortTime());
    EXPECT_EQ(Panel(2).find(L":00:"), std::wstring::npos);
    // The clock wakes the bar; the panel texts are made current again.
    SendMessageW(sb(), SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(L"old"));
    SendMessageW(f.Hwnd(), WM_TIMER, 1, 0);
    EXPECT_EQ(Panel(1), bars::ShortDate());
}

TEST_F(Bars, StatusBarPanelsFollowTheWindowsWidth) {
    SetWindowPos(f.Hwnd(), nullptr, 0, 0, 900, 500, SWP_NOMOVE | SWP_NOZORDER);
    int edges[3] = {};
    SendMessageW(sb(), SB_GETPARTS, 3, reinterpret_cast<LPARAM>(edges));
    RECT r{};
    GetClientRect(sb(), &r);
    const int dateWidth = edges[1] - edges[0];
    EXPECT_GT(edges[0], r.right / 2);
    SetWindowPos(f.Hwnd(), nullptr, 0, 0, 600, 500, SWP_NOMOVE | SWP_NOZORDER);
    SendMessageW(sb(), SB_GETPARTS, 3, reinterpret_cast<LPARAM>(edges));
    EXPECT_EQ(edges[1] - edges[0], dateWidth);
}

TEST_F(Bars, ViewStatusBarTogglesTheBarAndItsCheckMark) {
    HMENU menu = GetMenu(f.Hwnd());
    const UINT id = frmMain::ViewBase + 1;
    EXPECT_TRUE(GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_TRUE(Shown(sb()));
    const RECT before = EditRect();
    f.mnuview_Click(1);
    EXPECT_FALSE(GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_FALSE(Shown(sb()));
    const RECT after = EditRect();
    EXPECT_TRUE(EqualRect(&before, &after));
    SetWindowPos(f.Hwnd(), nullptr, 0, 0, 700, 520, SWP_NOMOVE | SWP_NOZORDER);  // a resize keeps the strip
    RECT client{};
    GetClientRect(f.Hwnd(), &client);
    RECT bar{};
    GetWindowRect(sb(), &bar);
    EXPECT_EQ(EditRect().bottom, client.bottom - (bar.bottom - bar.top));
    SendMessageW(sb(), SB_SETTEXTW, 2, reinterpret_cast<LPARAM>(L"stale"));
    f.mnuview_Click(1);
    EXPECT_TRUE(GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_TRUE(Shown(sb()));
    EXPECT_EQ(Panel(2), bars::ShortTime());  // current again when shown
    // The Toolbar item is hidden and the toolbar stays.
    EXPECT_EQ(GetMenuState(menu, frmMain::ViewBase + 0, MF_BYCOMMAND), static_cast<UINT>(-1));
    f.mnuview_Click(0);
    EXPECT_TRUE(Shown(tb()));
}

TEST_F(Bars, AClickOnTheStatusBarDoesNothing) {
    const RECT before = EditRect();
    for (int panel = 0; panel < 3; ++panel) {
        NMMOUSE m{};
        m.hdr.hwndFrom = sb();
        m.hdr.idFrom = frmMain::IdStatusBar;
        m.hdr.code = NM_CLICK;
        m.dwItemSpec = static_cast<DWORD_PTR>(panel);
        SendMessageW(f.Hwnd(), WM_NOTIFY, frmMain::IdStatusBar, reinterpret_cast<LPARAM>(&m));
    }
    SendMessageW(sb(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(sb(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    const RECT after = EditRect();
    EXPECT_TRUE(EqualRect(&before, &after));
    EXPECT_EQ(Panel(0), L"Status");
}

TEST_F(Bars, FontSetsTheFaceOfAllTextAndBoldItalicSizeOfTheSelection) {
    f.SetEditorText(L"hello world");
    SendMessageW(f.t1(), EM_SETSEL, 0, 5);
    modal::ScopedHooks hooks({.chooseFont = PickTahoma});
    f.mnuformat_Click(0);
    EXPECT_EQ(g_seenFontFlags & (CF_SCREENFONTS | CF_EFFECTS), static_cast<DWORD>(CF_SCREENFONTS));
    const CHARFORMAT2W sel = FormatAt(0, 5), rest = FormatAt(6, 11);
    EXPECT_STREQ(sel.szFaceName, L"Tahoma");
    EXPECT_STREQ(rest.szFaceName, L"Tahoma");
    EXPECT_EQ(richformat::FaceName(f.t1()), L"Tahoma");
    EXPECT_TRUE(Bold(sel));
    EXPECT_TRUE(Italic(sel));
    EXPECT_EQ(sel.yHeight, 280);
    EXPECT_FALSE(Bold(rest));
    EXPECT_FALSE(Italic(rest));
    EXPECT_EQ(rest.yHeight, BaseHeight());
    EXPECT_EQ(f.Text(), L"hello world");
    EXPECT_FALSE(f.Doc().IsModified() && f.Doc().SavedText == L"hello world");
}

TEST_F(Bars, FontAtTheCaretAppliesToWhatIsTypedNext) {
    f.SetEditorText(L"abc");
    SendMessageW(f.t1(), EM_SETSEL, 3, 3);
    modal::ScopedHooks hooks({.chooseFont = PickTahoma});
    f.mnuformat_Click(0);
    Type(L"XY");
    const CHARFORMAT2W typed = FormatAt(3, 5), before = FormatAt(0, 3);
    EXPECT_TRUE(Bold(typed));
    EXPECT_TRUE(Italic(typed));
    EXPECT_EQ(typed.yHeight, 280);
    EXPECT_FALSE(Bold(before));
    EXPECT_EQ(before.yHeight, BaseHeight());
    EXPECT_STREQ(before.szFaceName, L"Tahoma");
}

TEST_F(Bars, TheFontDialogOpensOnItsPreviousChoiceAndCancelChangesNothing) {
    f.SetEditorText(L"abc def");
    modal::ScopedHooks hooks({.chooseFont = PickTahoma});
    SendMessageW(f.t1(), EM_SETSEL, 0, 3);
    f.mnuformat_Click(0);
    f.mnuformat_Click(0);
    EXPECT_STREQ(g_seenFont.lfFaceName, L"Tahoma");
    EXPECT_EQ(g_seenFont.lfWeight, FW_BOLD);
    EXPECT_TRUE(g_seenFontFlags & CF_INITTOLOGFONTSTRUCT);
    modal::ScopedHooks cancel({.chooseFont = CancelFont});
    SendMessageW(f.t1(), EM_SETSEL, 4, 7);
    f.mnuformat_Click(0);
    const CHARFORMAT2W cf = FormatAt(4, 7);
    EXPECT_STREQ(cf.szFaceName, L"Tahoma");
    EXPECT_FALSE(Bold(cf));
    EXPECT_EQ(cf.yHeight, BaseHeight());
}

TEST_F(Bars, TextColorColoursTheSelectionOrWhatIsTypedNext) {
    f.SetEditorText(L"red and plain");
    SendMessageW(f.t1(), EM_SETSEL, 0, 3);
    g_pick = RGB(255, 0, 0);
    modal::ScopedHooks hooks({.chooseColor = PickColor});
    f.mnuformat_Click(1);
    EXPECT_EQ(g_seenColorFlags, static_cast<DWORD>(CC_RGBINIT | CC_PREVENTFULLOPEN));
    CHARFORMAT2W sel = FormatAt(0, 3), rest = FormatAt(4, 13);
    EXPECT_EQ(sel.crTextColor, RGB(255, 0, 0));
    EXPECT_FALSE(sel.dwEffects & CFE_AUTOCOLOR);
    EXPECT_TRUE((rest.dwEffects & CFE_AUTOCOLOR) || rest.crTextColor != RGB(255, 0, 0));
    // At the caret.
    SendMessageW(f.t1(), EM_SETSEL, 13, 13);
    g_pick = RGB(0, 128, 0);
    f.mnuformat_Click(1);
    EXPECT_EQ(g_seenColor, RGB(255, 0, 0));  // opens on the previous colour
    Type(L"!");
    EXPECT_EQ(FormatAt(13, 14).crTextColor, RGB(0, 128, 0));
    EXPECT_NE(FormatAt(4, 13).crTextColor, RGB(0, 128, 0));
    // The quick print's colour is the one at the selection.
    COLORREF c = 0;
    SendMessageW(f.t1(), EM_SETSEL, 0, 3);
    ASSERT_TRUE(richformat::SelectionColor(f.t1(), c));
    EXPECT_EQ(c, RGB(255, 0, 0));
    SendMessageW(f.t1(), EM_SETSEL, 0, 13);
    EXPECT_FALSE(richformat::SelectionColor(f.t1(), c));  // mixed colours cannot be read
}

TEST_F(Bars, ForecolorPaintsTheWholeBackgroundAndSharesTheColour) {
    f.SetEditorText(L"text");
    const COLORREF original = Background();
    g_pick = RGB(255, 0, 0);
    modal::ScopedHooks hooks({.chooseColor = PickColor});
    f.mnuformat_Click(1);
    g_pick = RGB(0, 0, 255);
    f.mnuformat_Click(2);
    EXPECT_EQ(g_seenColor, RGB(255, 0, 0));  // the colour the text colour dialog left
    EXPECT_EQ(Background(), RGB(0, 0, 255));
    EXPECT_NE(FormatAt(0, 4).crTextColor, RGB(0, 0, 255));
    modal::ScopedHooks cancel({.msgBox = [](const modal::MsgBoxCall&) { return IDNO; }, .chooseColor = CancelColor});
    f.mnuformat_Click(2);
    f.mnuformat_Click(1);
    EXPECT_EQ(Background(), RGB(0, 0, 255));
    f.mnufile_Click(0);  // New keeps the background
    EXPECT_EQ(Background(), RGB(0, 0, 255));
    EXPECT_NE(original, RGB(0, 0, 255));
}

TEST_F(Bars, PrintPreviewAndSendShowTheirPlaceholders) {
    std::vector<modal::MsgBoxCall> boxes;
    modal::ScopedHooks hooks({.msgBox = [&](const modal::MsgBoxCall& c) {
        boxes.push_back(c);
        return IDOK;
    }});
    f.mnufile_Click(7);
    f.mnufile_Click(10);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, L"preview");
    EXPECT_EQ(boxes[1].text, L"send");
    for (const auto& b : boxes) {
        EXPECT_EQ(b.title, L"Tavrin");
        EXPECT_EQ(b.flags, static_cast<UINT>(MB_OK));
    }
    HMENU menu = GetMenu(f.Hwnd());
    EXPECT_EQ(GetMenuState(menu, frmMain::FileBase + 7, MF_BYCOMMAND), static_cast<UINT>(-1));
    EXPECT_EQ(GetMenuState(menu, frmMain::FileBase + 10, MF_BYCOMMAND), static_cast<UINT>(-1));
}
