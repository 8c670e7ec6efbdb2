// The toolbar, the status bar, the View and Format menus of the main window, seen from outside:
// the common controls' own state, the menu, and the editing area's character formats.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "MainBars.h"
#include "MainWindowFixture.h"
#include "Raii.h"
#include "EditArea.h"
#include "Texts.h"
#include "ToolbarDef.h"

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
DWORD g_seenFontFlags = 0, g_seenColorFlags = 0;
COLORREF g_pick = RGB(255, 0, 0), g_seenColor = 0;
BOOL PickFont(CHOOSEFONTW& cf) {
    g_seenFont = *cf.lpLogFont;
    g_seenFontFlags = cf.Flags;
    *cf.lpLogFont = LOGFONTW{.lfHeight = -19, .lfWeight = FW_BOLD, .lfItalic = TRUE, .lfFaceName = L"Tahoma"};
    cf.iPointSize = 140;
    return !g_cancel;
}
BOOL PickColor(CHOOSECOLORW& cc) {
    g_seenColor = cc.rgbResult;
    g_seenColorFlags = cc.Flags;
    cc.rgbResult = g_cancel ? RGB(0, 255, 0) : g_pick;
    return !g_cancel;
}

}  // namespace

TEST_F(Bars, ToolbarImagesAreThePlatformsOwn) {
    // Eleven images, 16 pixels at 100% and 24 at 150%.
    auto* list = reinterpret_cast<HIMAGELIST>(SendMessageW(tb(), TB_GETIMAGELIST, 0, 0));
    EXPECT_EQ(ImageList_GetImageCount(list), 11);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(list, &cx, &cy);
    EXPECT_EQ(cx, MulDiv(16, f.Dpi() >= 132 ? 3 : 2, 2));
    EXPECT_EQ(static_cast<DWORD>(SendMessageW(tb(), TB_GETBUTTONSIZE, 0, 0)), static_cast<DWORD>(MAKELONG(cx + 7, cy + 6)));
    // Each image is the platform's own picture for its key, drawn pixel for pixel the same.
    HWND loader = CreateWindowExW(0, TOOLBARCLASSNAMEW, L"", WS_CHILD, 0, 0, 0, 0, f.Hwnd(), nullptr, nullptr, nullptr);
    SendMessageW(loader, TB_SETBITMAPSIZE, 0, MAKELPARAM(cx, cy));
    SendMessageW(loader, TB_LOADIMAGES, cx > 16 ? IDB_STD_LARGE_COLOR : IDB_STD_SMALL_COLOR,
                 reinterpret_cast<LPARAM>(HINST_COMMCTRL));
    auto* std = reinterpret_cast<HIMAGELIST>(SendMessageW(loader, TB_GETIMAGELIST, 0, 0));
    const int standard[] = {STD_FILENEW, STD_FILEOPEN, STD_FILESAVE, STD_PRINT, STD_PRINTPRE, STD_CUT,
                            STD_COPY,    STD_PASTE,    STD_FIND,     STD_REDOW, STD_UNDO};
    auto pixels = [&](HIMAGELIST l, int i) {
        raii::Dc dc(CreateCompatibleDC(nullptr));
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), cx, -cy, 1, 32, BI_RGB};
        void* bits = nullptr;
        raii::Bitmap bmp(CreateDIBSection(dc.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
        HGDIOBJ old = SelectObject(dc.get(), bmp.get());
        PatBlt(dc.get(), 0, 0, cx, cy, WHITENESS);
        ImageList_Draw(l, i, dc.get(), 0, 0, ILD_NORMAL);
        GdiFlush();
        std::vector<uint32_t> v(static_cast<const uint32_t*>(bits), static_cast<const uint32_t*>(bits) + cx * cy);
        SelectObject(dc.get(), old);
        return v;
    };
    for (int i = 0; i < 11; ++i) {
        const auto ours = pixels(list, i);
        EXPECT_EQ(ours, pixels(std, standard[i])) << "image " << i;
        EXPECT_NE(ours, std::vector<uint32_t>(ours.size(), 0x00FFFFFFu)) << "image " << i << " is blank";
    }
    DestroyWindow(loader);
}

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

    f.EnablePaste();  // as the first Cut or Copy does (the menu item is checked with the Edit commands)
    EXPECT_TRUE(SendMessageW(tb(), TB_ISBUTTONENABLED, bars::ButtonId(toolbar::kPastePosition), 0));

    EXPECT_TRUE(boxes.empty());
}

TEST_F(Bars, StatusBarPanelsClockAndViewToggle) {
    SetWindowPos(f.Hwnd(), nullptr, 0, 0, 900, 500, SWP_NOMOVE | SWP_NOZORDER);
    ASSERT_EQ(SendMessageW(sb(), SB_GETPARTS, 0, 0), 4);
    int edges[4] = {};
    SendMessageW(sb(), SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges));
    const int placeWidth = edges[1] - edges[0], dateWidth = edges[2] - edges[1];
    EXPECT_GE(dateWidth, f.Dpi());
    EXPECT_EQ(edges[3], -1);
    SetWindowPos(f.Hwnd(), nullptr, 0, 0, 600, 500, SWP_NOMOVE | SWP_NOZORDER);  // "Status" takes the rest
    SendMessageW(sb(), SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges));
    EXPECT_EQ(edges[1] - edges[0], placeWidth);
    EXPECT_EQ(edges[2] - edges[1], dateWidth);
    EXPECT_GE(edges[0], f.Dpi() / 2);
    EXPECT_EQ(Panel(0), L"Status");
    EXPECT_EQ(Panel(1), L"Ln 1, Col 1");
    EXPECT_EQ(Panel(2), bars::ShortDate());
    EXPECT_EQ(Panel(3), bars::ShortTime());
    EXPECT_EQ(Panel(3).find(L":00:"), std::wstring::npos);  // hours and minutes
    SendMessageW(sb(), SB_SETTEXTW, 2, reinterpret_cast<LPARAM>(L"old"));
    SendMessageW(f.Hwnd(), WM_TIMER, 1, 0);  // the clock makes the panels current again
    EXPECT_EQ(Panel(2), bars::ShortDate());

    const RECT before = EditRect();
    // View > Status Bar: the bar and its check mark; the editing area stays as it is.
    HMENU menu = GetMenu(f.Hwnd());
    auto view = [&] { return ((GetMenuState(menu, frmMain::ViewBase + 1, MF_BYCOMMAND) & MF_CHECKED) ? 2 : 0) + Shown(sb()); };
    EXPECT_EQ(view(), 3);  // checked and shown
    f.mnuview_Click(1);
    EXPECT_EQ(view(), 0);
    RECT now = EditRect();
    EXPECT_TRUE(EqualRect(&before, &now));
    SendMessageW(sb(), SB_SETTEXTW, 3, reinterpret_cast<LPARAM>(L"stale"));
    f.mnuview_Click(1);
    EXPECT_EQ(view(), 3);
    EXPECT_EQ(Panel(3), bars::ShortTime());  // current again when shown
}

TEST_F(Bars, FontOnTheSelectionAtTheCaretRememberedAndCancelled) {
    f.SetEditorText(L"hello world");
    Select(0, 5);
    modal::ScopedHooks hooks({.chooseFont = PickFont});
    g_cancel = false;
    f.mnuformat_Click(0);
    EXPECT_EQ(g_seenFontFlags & (CF_SCREENFONTS | CF_EFFECTS), static_cast<DWORD>(CF_SCREENFONTS));
    const Format sel = FormatAt(0, 5), rest = FormatAt(6, 11);
    EXPECT_EQ(sel.face + rest.face, L"TahomaTahoma");  // the face for all text
    EXPECT_TRUE(sel.bold && sel.italic && sel.points == 14);  // the rest for the selection only
    EXPECT_FALSE(rest.bold || rest.italic || rest.points != 10);
    // At the caret: what is typed next.
    Select(11, 11);
    f.mnuformat_Click(0);
    EXPECT_STREQ(g_seenFont.lfFaceName, L"Tahoma");  // opens on the previous choice
    EXPECT_EQ(g_seenFont.lfWeight, FW_BOLD);
    EXPECT_TRUE(g_seenFontFlags & CF_INITTOLOGFONTSTRUCT);
    Type(L"XY");
    const Format typed = FormatAt(11, 13);
    EXPECT_TRUE(typed.bold && typed.italic && typed.points == 14);
    // Cancel changes nothing, whatever the dialog left in its structure.
    g_cancel = true;
    Select(6, 11);
    f.mnuformat_Click(0);
    const Format after = FormatAt(6, 11);
    EXPECT_EQ(after.face, L"Tahoma");
    EXPECT_FALSE(after.bold || after.points != 10);
}

TEST_F(Bars, TextColorAndForecolorShareTheColourAndCancelChangesNothing) {
    f.SetEditorText(L"red and plain");
    const COLORREF original = Background();
    Select(0, 3);
    g_pick = RGB(255, 0, 0);
    modal::ScopedHooks hooks({.chooseColor = PickColor});
    g_cancel = false;
    f.mnuformat_Click(1);
    EXPECT_EQ(g_seenColorFlags, static_cast<DWORD>(CC_RGBINIT | CC_PREVENTFULLOPEN));
    EXPECT_EQ(FormatAt(0, 3).color, RGB(255, 0, 0));
    EXPECT_EQ(FormatAt(4, 13).color, GetSysColor(COLOR_WINDOWTEXT));
    // At the caret, opening on the previous colour.
    Select(13, 13);
    g_pick = RGB(0, 128, 0);
    f.mnuformat_Click(1);
    EXPECT_EQ(g_seenColor, RGB(255, 0, 0));
    Type(L"!");
    EXPECT_EQ(FormatAt(13, 14).color, RGB(0, 128, 0));
    EXPECT_NE(FormatAt(4, 13).color, RGB(0, 128, 0));
    // The quick print's colour is the one at the selection; mixed colours cannot be read.
    COLORREF c = 0;
    Select(0, 3);
    ASSERT_TRUE(editarea::SelectionColor(f.t1(), c));
    EXPECT_EQ(c, RGB(255, 0, 0));
    Select(0, 13);
    EXPECT_FALSE(editarea::SelectionColor(f.t1(), c));
    // Forecolor: the whole background, from the shared colour.
    g_pick = RGB(0, 0, 255);
    f.mnuformat_Click(2);
    EXPECT_EQ(g_seenColor, RGB(0, 128, 0));
    EXPECT_EQ(Background(), RGB(0, 0, 255));
    EXPECT_NE(original, RGB(0, 0, 255));
    EXPECT_NE(FormatAt(0, 3).color, RGB(0, 0, 255));
    g_cancel = true;
    f.mnuformat_Click(2);
    f.mnuformat_Click(1);
    EXPECT_EQ(Background(), RGB(0, 0, 255));
    EXPECT_EQ(FormatAt(0, 3).color, RGB(255, 0, 0));
}
