#include "HyperlinkLabel.h"

#include "Raii.h"
#include "GShell.h"

namespace hyperlink {

namespace {

struct State {
    std::wstring address;
    HFONT baseFont = nullptr;  // the parent's font, not owned
    raii::Font underlined;
    bool pressed = false;
};

State* StateOf(HWND h) { return reinterpret_cast<State*>(GetWindowLongPtrW(h, GWLP_USERDATA)); }

std::wstring CaptionOf(HWND h) {
    int n = GetWindowTextLengthW(h);
    std::wstring s(static_cast<size_t>(n) + 1, L'\0');
    s.resize(static_cast<size_t>(GetWindowTextW(h, s.data(), n + 1)));
    return s;
}

void Paint(HWND h, State& s) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    RECT rc;
    GetClientRect(h, &rc);
    FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
    if (!s.underlined) {
        LOGFONTW lf{};
        HFONT base = s.baseFont ? s.baseFont : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        GetObjectW(base, sizeof(lf), &lf);
        lf.lfUnderline = TRUE;
        s.underlined.reset(CreateFontIndirectW(&lf));
    }
    raii::SelectObj font(dc, s.underlined.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, IsWindowEnabled(h) ? RGB(0, 0, 255) : GetSysColor(COLOR_GRAYTEXT));
    const std::wstring text = CaptionOf(h);
    RECT textRc = rc;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textRc,
              DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (GetFocus() == h) {
        RECT focus = rc;
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &focus,
                  DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
        if (focus.right > rc.right) focus.right = rc.right;
        if (focus.bottom > rc.bottom) focus.bottom = rc.bottom;
        DrawFocusRect(dc, &focus);
    }
    EndPaint(h, &ps);
}

void Activate(HWND h) {
    Follow(h);
    HWND parent = GetParent(h);
    if (parent)
        SendMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h), BN_CLICKED), reinterpret_cast<LPARAM>(h));
}

LRESULT CALLBACK LinkProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    State* s = StateOf(h);
    switch (msg) {
    case WM_NCCREATE:
        SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new State));
        break;
    case WM_NCDESTROY:
        delete s;
        SetWindowLongPtrW(h, GWLP_USERDATA, 0);
        break;
    case WM_SETFONT:
        if (s) {
            s->baseFont = reinterpret_cast<HFONT>(wp);
            s->underlined.reset();
            if (LOWORD(lp)) InvalidateRect(h, nullptr, TRUE);
        }
        return 0;
    case WM_GETFONT:
        return s ? reinterpret_cast<LRESULT>(s->baseFont) : 0;
    case WM_SETTEXT: {
        LRESULT r = DefWindowProcW(h, msg, wp, lp);
        InvalidateRect(h, nullptr, TRUE);
        return r;
    }
    case WM_PAINT:
        if (s) {
            Paint(h, *s);
            return 0;
        }
        break;
    case WM_ERASEBKGND:
        return 1;
    case WM_SETCURSOR:
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
        InvalidateRect(h, nullptr, TRUE);
        return 0;
    case WM_LBUTTONDOWN:
        if (s) s->pressed = true;
        SetFocus(h);
        SetCapture(h);
        return 0;
    case WM_LBUTTONUP: {
        const bool wasPressed = s && s->pressed;
        if (s) s->pressed = false;
        if (GetCapture() == h) ReleaseCapture();
        RECT rc;
        GetClientRect(h, &rc);
        POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        if (wasPressed && PtInRect(&rc, pt)) Activate(h);  // a press dragged off the link is no click
        return 0;
    }
    case WM_CAPTURECHANGED:
        if (s) s->pressed = false;
        return 0;
    case WM_GETDLGCODE: {
        // Enter on the focused link follows it instead of pressing the default button.
        const MSG* m = reinterpret_cast<const MSG*>(lp);
        if (m && m->message == WM_KEYDOWN && m->wParam == VK_RETURN) return DLGC_WANTMESSAGE;
        return DLGC_BUTTON;
    }
    case WM_KEYDOWN:
        if (wp == VK_RETURN) {
            Activate(h);
            return 0;
        }
        break;
    case WM_KEYUP:
        if (wp == VK_SPACE) {
            Activate(h);
            return 0;
        }
        break;
    default:
        break;
    }
    return DefWindowProcW(h, msg, wp, lp);
}

}  // namespace

bool RegisterLinkClass() {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    HINSTANCE inst = GetModuleHandleW(nullptr);
    if (GetClassInfoExW(inst, kClassName, &existing)) return true;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &LinkProc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursorW(nullptr, IDC_HAND);
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

void SetAddress(HWND link, const std::wstring& address) {
    if (State* s = link ? StateOf(link) : nullptr) s->address = address;
}

std::wstring Address(HWND link) {
    State* s = link ? StateOf(link) : nullptr;
    return s ? s->address : std::wstring();
}

bool Follow(HWND link) {
    const std::wstring address = Address(link);
    if (address.empty()) return false;
    return GShell(address, SW_SHOWNORMAL, L"", L"", L"open", nullptr);
}

}  // namespace hyperlink
