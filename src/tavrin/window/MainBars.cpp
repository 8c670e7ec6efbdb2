#include "MainBars.h"

#include <algorithm>

#include "MainLayout.h"
#include "Raii.h"
#include "Texts.h"
#include "ToolbarDef.h"
#include "Twips.h"

namespace bars {

namespace {

// The platform's standard image for each key of the image list.
constexpr int kStandardImage[toolbar::kImageCount] = {STD_FILENEW, STD_FILEOPEN, STD_FILESAVE, STD_PRINT,
                                                     STD_PRINTPRE, STD_CUT,     STD_COPY,     STD_PASTE,
                                                     STD_FIND,    STD_REDOW,   STD_UNDO};

const toolbar::Position* At(int id) {
    const int pos = PositionOf(id);
    return pos ? &toolbar::Positions()[pos - 1] : nullptr;
}

}  // namespace

int PositionOf(int id) {
    const int pos = id - kButtonBase + 1;
    return pos >= 1 && pos <= static_cast<int>(toolbar::kCount) ? pos : 0;
}

std::wstring KeyOf(int id) {
    const toolbar::Position* p = At(id);
    return p && p->key ? p->key : L"";
}

const wchar_t* TooltipOf(int id) {
    const toolbar::Position* p = At(id);
    return p ? p->tooltip : nullptr;
}

bool AnswerTooltip(NMHDR& header) {
    if (header.code != TTN_GETDISPINFOW || !PositionOf(static_cast<int>(header.idFrom))) return false;
    auto& info = reinterpret_cast<NMTTDISPINFOW&>(header);
    const wchar_t* tip = TooltipOf(static_cast<int>(header.idFrom));
    info.lpszText = const_cast<wchar_t*>(tip ? tip : L"");
    info.hinst = nullptr;
    return true;
}

void ToolbarIcons::reset() {
    list_.reset();
    size_ = 0;
}

bool ToolbarIcons::Create(HWND parent, int dpi) {
    reset();
    const bool large = dpi >= 132;
    size_ = large ? 24 : 16;
    // A throwaway toolbar loads the standard images; it owns and frees that list itself.
    HWND loader = CreateWindowExW(0, TOOLBARCLASSNAMEW, L"", WS_CHILD, 0, 0, 0, 0, parent, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    if (!loader) return false;
    SendMessageW(loader, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    // The loaded strip is cut at the toolbar's image size (16 x 15 unless told).
    SendMessageW(loader, TB_SETBITMAPSIZE, 0, MAKELPARAM(size_, size_));
    SendMessageW(loader, TB_LOADIMAGES, large ? IDB_STD_LARGE_COLOR : IDB_STD_SMALL_COLOR,
                 reinterpret_cast<LPARAM>(HINST_COMMCTRL));
    HIMAGELIST strip = reinterpret_cast<HIMAGELIST>(SendMessageW(loader, TB_GETIMAGELIST, 0, 0));
    // A copy of the whole strip, our images copied past its end in our order and then to the front,
    // and the list cut to size: a few blits, where adding image by image took 25 ms under Wine.
    list_.reset(strip ? ImageList_Duplicate(strip) : nullptr);
    HIMAGELIST list = list_.get();
    const int count = list ? ImageList_GetImageCount(list) : 0, n = static_cast<int>(toolbar::kImageCount);
    bool ok = count > 0 && ImageList_SetImageCount(list, static_cast<UINT>(count + n));
    for (int i = 0; ok && i < n; ++i)
        ok = kStandardImage[i] < count && ImageList_Copy(list, count + i, list, kStandardImage[i], ILCF_MOVE);
    for (int i = 0; ok && i < n; ++i) ok = ImageList_Copy(list, i, list, count + i, ILCF_MOVE);
    ok = ok && ImageList_SetImageCount(list, static_cast<UINT>(n));
    DestroyWindow(loader);
    if (!ok) reset();
    return ok;
}

void SetToolbarImages(HWND tb, const ToolbarIcons& icons) {
    const int s = icons.size() ? icons.size() : 16;
    SendMessageW(tb, TB_SETBITMAPSIZE, 0, MAKELPARAM(s, s));
    SendMessageW(tb, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(icons.get()));
    // 23 x 22 pixels around a 16-pixel image.
    SendMessageW(tb, TB_SETBUTTONSIZE, 0, MAKELPARAM(s + 7, s + 6));
    SendMessageW(tb, TB_AUTOSIZE, 0, 0);
}

void FillToolbar(HWND tb, const ToolbarIcons& icons) {
    SendMessageW(tb, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SetToolbarImages(tb, icons);
    TBBUTTON buttons[toolbar::kCount] = {};
    for (size_t i = 0; i < toolbar::kCount; ++i) {
        const toolbar::Position& p = toolbar::Positions()[i];
        TBBUTTON& b = buttons[i];
        b.idCommand = ButtonId(static_cast<int>(i) + 1);
        b.iString = -1;  // icons only
        if (p.kind == toolbar::Kind::Separator) {
            b.fsStyle = BTNS_SEP;
            continue;
        }
        b.iBitmap = toolbar::ImageIndex(p.imageKey);
        b.fsStyle = BTNS_BUTTON;
        b.fsState = static_cast<BYTE>((p.enabled ? TBSTATE_ENABLED : 0) | (p.hidden ? TBSTATE_HIDDEN : 0));
    }
    SendMessageW(tb, TB_ADDBUTTONSW, toolbar::kCount, reinterpret_cast<LPARAM>(buttons));
    SendMessageW(tb, TB_AUTOSIZE, 0, 0);
}

std::wstring LocalDateTime(unsigned long long fileTime) {
    FILETIME utc{static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)};
    SYSTEMTIME u{}, local{};
    if (!FileTimeToSystemTime(&utc, &u) || !SystemTimeToTzSpecificLocalTime(nullptr, &u, &local)) return L"";
    wchar_t date[128] = {}, time[128] = {};
    GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &local, nullptr, date, 128, nullptr);
    GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, TIME_NOSECONDS, &local, nullptr, time, 128);
    return std::wstring(date) + L" " + time;
}

std::wstring ShortDate() {
    wchar_t buf[128] = {};
    return GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, buf, 128, nullptr) ? buf
                                                                                                        : L"";
}

std::wstring ShortTime() {
    wchar_t buf[128] = {};
    return GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, TIME_NOSECONDS, nullptr, nullptr, buf, 128) ? buf : L"";
}

UINT MsToNextMinute() {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    return static_cast<UINT>((59 - t.wSecond) * 1000 + (1000 - t.wMilliseconds) + 50);
}

void UpdateStatusBar(HWND sb, int dpi, bool zoomShown, const std::wstring& note) {
    if (!sb) return;
    const std::wstring date = ShortDate(), time = ShortTime();
    int w1 = 0, w2 = 0, w3 = 0, wf = 0, wz = 0, wn = 0;
    {
        raii::WindowDc dc(sb);
        HFONT font = reinterpret_cast<HFONT>(SendMessageW(sb, WM_GETFONT, 0, 0));
        raii::SelectObj use(dc.get(), font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
        const auto width = [&](const std::wstring& text) {
            SIZE s{};
            GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &s);
            return static_cast<int>(s.cx);
        };
        w2 = width(date);
        w3 = width(time);
        // Wide enough for a long file's place, so the panels do not shift while the caret moves.
        w1 = width(L"Ln 0000000, Col 00000");
        wf = width(L"UTF-8 with BOM, Mixed");
        wz = zoomShown ? width(L"500%") : 0;
        // A note is read whole; the plain "Status" only fills what is left.
        wn = note == texts::StatusPanel ? 0 : width(note);
    }
    // Room for the panel borders; at least an inch each.
    const int pad = MulDiv(12, dpi, 96), inch = TwipsToPixels(1440, dpi);
    w1 = w1 + pad;
    wf = wf + pad;
    wz = zoomShown ? wz + pad : 0;
    wn = wn ? wn + pad : 0;
    w2 = std::max(w2 + pad, inch);
    w3 = std::max(w3 + pad, inch) + GetSystemMetrics(SM_CXVSCROLL);  // the size grip
    RECT r{};
    GetClientRect(sb, &r);
    const std::vector<int> edges = StatusEdges(r.right, wn, {w1, wf, wz, w2, w3});
    SendMessageW(sb, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    SendMessageW(sb, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(note.c_str()));
    SendMessageW(sb, SB_SETTEXTW, 4, reinterpret_cast<LPARAM>(date.c_str()));
    SendMessageW(sb, SB_SETTEXTW, 5, reinterpret_cast<LPARAM>(time.c_str()));
}

void SetPlaceText(HWND sb, const std::wstring& text) {
    if (sb) SendMessageW(sb, SB_SETTEXTW, kPlacePanel, reinterpret_cast<LPARAM>(text.c_str()));
}

}  // namespace bars
