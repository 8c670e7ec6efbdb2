#include "MainChildren.h"

#include <commctrl.h>

#include "EditArea.h"
#include "FixedFace.h"
#include "MainLayout.h"
#include "Twips.h"

namespace {

// The editing area's text before the user picks a font: a fixed-pitch face for source text (another
// installed fixed-pitch face where this one is missing).
constexpr const wchar_t* kEditFace = L"Courier New";
constexpr double kEditPoints = 10;

// Gap between the toolbar strip and the editing area (360 - 330 twips at design).
constexpr int kGapTwips = 30;
// The output pane's height when the window has room for it (about eight lines).
constexpr int kPaneTwips = 1800;

HMENU IdOf(int id) { return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)); }

}  // namespace

void MainChildren::Create(HWND owner, int dpi, const Ids& ids, BuildPane& pane) {
    ids_ = ids;
    HINSTANCE inst = GetModuleHandleW(nullptr);
    HWND tb = CreateWindowExW(0, TOOLBARCLASSNAMEW, L"",
                              WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP | CCS_NODIVIDER,
                              0, 0, 0, 0, owner, IdOf(ids.toolbar), inst, nullptr);
    if (tb) {
        SendMessageW(tb, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
        SendMessageW(tb, TB_SETBUTTONSIZE, 0, MAKELPARAM(23, 22));
    }
    CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, owner,
                    IdOf(ids.statusBar), inst, nullptr);
    if (HWND edit = editarea::Create(owner, ids.edit)) {
        editarea::SetBaseFont(edit, fixedface::Installed(kEditFace), DEFAULT_CHARSET, kEditPoints);
        editarea::ShowLineNumbers(edit, true);
        SetFocus(edit);
    }
    pane.Prepare(owner, ids.output, kEditFace, kEditPoints);
    if (tb) {
        imlToolbarIcons_.Create(owner, dpi);
        bars::FillToolbar(tb, imlToolbarIcons_);
    }
}

void MainChildren::OnDpiChanged(HWND owner, int dpi) {
    constexpr UINT kDpiChangedAfterParent = 0x02E3;  // WM_DPICHANGED_AFTERPARENT, newer headers only
    if (HWND edit = GetDlgItem(owner, ids_.edit)) SendMessageW(edit, kDpiChangedAfterParent, 0, 0);
    if (HWND bar = GetDlgItem(owner, ids_.toolbar)) {
        bars::ToolbarIcons old;
        old.swap(imlToolbarIcons_);  // freed after the toolbar has the new ones
        imlToolbarIcons_.Create(owner, dpi);
        bars::SetToolbarImages(bar, imlToolbarIcons_);
    }
}

void MainChildren::Layout(HWND owner, int dpi, bool paneShown) {
    HWND tb = GetDlgItem(owner, ids_.toolbar), sb = GetDlgItem(owner, ids_.statusBar);
    HWND edit = GetDlgItem(owner, ids_.edit), pane = GetDlgItem(owner, ids_.output);
    if (tb) SendMessageW(tb, TB_AUTOSIZE, 0, 0);
    if (sb) SendMessageW(sb, WM_SIZE, 0, 0);
    RECT client{}, r{};
    GetClientRect(owner, &client);
    int toolbarH = 0, statusH = 0;
    if (tb && GetWindowRect(tb, &r)) toolbarH = r.bottom - r.top;
    // The status bar strip stays reserved while the bar is hidden.
    if (sb && GetWindowRect(sb, &r)) statusH = r.bottom - r.top;
    const int gap = TwipsToPixels(kGapTwips, dpi);
    const LayoutRect a = EditAreaRect(client.right, client.bottom, toolbarH, statusH, gap);
    if (paneShown) {
        const PaneSplit split = SplitForPane(a, TwipsToPixels(kPaneTwips, dpi), gap);
        MoveWindow(edit, split.edit.left, split.edit.top, split.edit.width, split.edit.height, TRUE);
        MoveWindow(pane, split.pane.left, split.pane.top, split.pane.width, split.pane.height, TRUE);
    } else {
        MoveWindow(edit, a.left, a.top, a.width, a.height, TRUE);
    }
}
