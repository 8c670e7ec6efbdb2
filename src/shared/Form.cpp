#include "Form.h"

#include <set>

#include "AppInfo.h"
#include "Modal.h"

namespace form {

namespace {

// Per-monitor DPI functions exist from Windows 10; load them where present.
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
using SpiForDpiFn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);

template <class Fn>
Fn User32Proc(const char* name) {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

int ScreenDpi() {
    raii::WindowDc dc(nullptr);
    int dpi = dc.get() ? GetDeviceCaps(dc.get(), LOGPIXELSX) : 96;
    return dpi > 0 ? dpi : 96;
}

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

}  // namespace

int WindowDpi(HWND hwnd) {
    static const auto getDpi = User32Proc<GetDpiForWindowFn>("GetDpiForWindow");
    if (hwnd && getDpi) {
        UINT dpi = getDpi(hwnd);
        if (dpi) return static_cast<int>(dpi);
    }
    return ScreenDpi();
}

Form::~Form() {
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

Form* Form::FromHwnd(HWND hwnd) {
    if (!hwnd) return nullptr;
    // Only our own window classes carry a Form pointer.
    if (GetWindowLongPtrW(hwnd, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&Form::StaticWndProc))
        return nullptr;
    return reinterpret_cast<Form*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

void Form::ShowUnhandled(const ErrRecord& e) {
    modal::MsgBox(UnhandledErrorText(e), MB_OK | MB_ICONEXCLAMATION);
}

int Form::Dpi() const { return WindowDpi(hwnd_); }

SIZE Form::OuterSizeForClient(int clientWidthTw, int clientHeightTw) const {
    const FormDef& d = Definition();
    const int dpi = Dpi();
    RECT rc{0, 0, TwipsToPixels(clientWidthTw, dpi), TwipsToPixels(clientHeightTw, dpi)};
    const DWORD style = hwnd_ ? static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE)) : d.style;
    const DWORD ex = hwnd_ ? static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)) : d.exStyle;
    const BOOL hasMenu = hwnd_ && GetMenu(hwnd_) != nullptr;
    static const auto adjust = User32Proc<AdjustForDpiFn>("AdjustWindowRectExForDpi");
    if (adjust)
        adjust(&rc, style, hasMenu, ex, static_cast<UINT>(dpi));
    else
        AdjustWindowRectEx(&rc, style, hasMenu, ex);
    return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

bool Form::Load() {
    if (hwnd_) return true;
    const FormDef& d = Definition();

    static std::set<std::wstring> registered;
    if (!registered.count(d.className)) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &Form::StaticWndProc;
        wc.hInstance = Instance();
        wc.hIcon = static_cast<HICON>(LoadImageW(Instance(), MAKEINTRESOURCEW(d.iconId), IMAGE_ICON,
                                                 GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
        wc.hIconSm = static_cast<HICON>(LoadImageW(Instance(), MAKEINTRESOURCEW(d.iconId), IMAGE_ICON,
                                                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = d.className;
        if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
        registered.insert(d.className);
    }

    HMENU menu = CreateMenuBar();
    // Modeless forms have no owner: each stands on the taskbar on its own.
    HWND created = CreateWindowExW(d.exStyle | WS_EX_CONTROLPARENT, d.className, d.caption, d.style,
                                   CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, nullptr, menu, Instance(), this);
    if (!created) {
        if (menu) DestroyMenu(menu);
        return false;
    }
    const SIZE outer = OuterSizeForClient(d.clientWidth, d.clientHeight);
    SetWindowPos(hwnd_, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CenterOnWorkArea();
    CreateControls();
    Guard([&] { Form_Load(); });
    return hwnd_ != nullptr;
}

void Form::CenterOnWorkArea() {
    RECT wr;
    GetWindowRect(hwnd_, &wr);
    MONITORINFO mi{};
    mi.cbSize = sizeof(mi);
    GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &mi);
    const RECT& a = mi.rcWork;
    int w = wr.right - wr.left, h = wr.bottom - wr.top;
    int x = a.left + ((a.right - a.left) - w) / 2;
    int y = a.top + ((a.bottom - a.top) - h) / 2;
    SetWindowPos(hwnd_, nullptr, x < a.left ? a.left : x, y < a.top ? a.top : y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::Show(int showCmd) {
    if (!Load()) return;
    if (IsIconic(hwnd_))
        ShowWindow(hwnd_, SW_RESTORE);
    else if (!IsWindowVisible(hwnd_))
        ShowWindow(hwnd_, showCmd);
    SetForegroundWindow(hwnd_);
    BringWindowToTop(hwnd_);
}

void Form::Hide() {
    if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
}

bool Form::Unload() {
    if (!hwnd_) return true;
    SendMessageW(hwnd_, WM_CLOSE, 0, 0);
    return hwnd_ == nullptr;
}

void Form::ShowModal(HWND owner) {
    if (!Load()) return;
    if (modal::TestHooks().modalForm) {  // a test works the form, then it goes
        modal::TestHooks().modalForm(*this);
        Unload();
        return;
    }
    if (owner && IsWindowEnabled(owner)) {
        SetWindowLongPtrW(hwnd_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
        EnableWindow(owner, FALSE);
        modalOwner_ = owner;
    }
    Show();
    MSG msg;
    while (hwnd_) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {  // the program is ending: the outer loop sees the quit too
            PostQuitMessage(static_cast<int>(msg.wParam));
            Unload();
            break;
        }
        if (got < 0) break;
        if (!PreTranslate(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    if (modalOwner_) EnableWindow(modalOwner_, TRUE);
    modalOwner_ = nullptr;
}

std::wstring Form::Caption() const {
    if (!hwnd_) return {};
    int n = GetWindowTextLengthW(hwnd_);
    std::wstring s(static_cast<size_t>(n) + 1, L'\0');
    s.resize(static_cast<size_t>(GetWindowTextW(hwnd_, s.data(), n + 1)));
    return s;
}

void Form::SetCaption(const std::wstring& text) {
    if (hwnd_) SetWindowTextW(hwnd_, text.c_str());
}

std::wstring Form::Text(int id) const {
    HWND h = Item(id);
    if (!h) return {};
    int n = GetWindowTextLengthW(h);
    std::wstring s(static_cast<size_t>(n) + 1, L'\0');
    s.resize(static_cast<size_t>(GetWindowTextW(h, s.data(), n + 1)));
    return s;
}

void Form::SetText(int id, const std::wstring& text) {
    if (HWND h = Item(id)) SetWindowTextW(h, text.c_str());
}

void Form::SetEnabled(int id, bool enabled) {
    if (HWND h = Item(id)) EnableWindow(h, enabled);
}

bool Form::IsEnabled(int id) const {
    HWND h = Item(id);
    return h && IsWindowEnabled(h);
}

void Form::SetVisible(int id, bool visible) {
    if (HWND h = Item(id)) ShowWindow(h, visible ? SW_SHOWNA : SW_HIDE);
}

bool Form::IsVisible(int id) const {
    HWND h = Item(id);
    return h && (GetWindowLongPtrW(h, GWL_STYLE) & WS_VISIBLE);
}

void Form::Move(int id, int left, int top, int width, int height) {
    if (HWND h = Item(id))
        MoveWindow(h, Px(left), Px(top), Px(width < 0 ? 0 : width), Px(height < 0 ? 0 : height), TRUE);
}

HFONT Form::FontFor(const FontSpec* want) {
    const int dpi = Dpi();
    if (dpi != fontDpi_) {
        fonts_.clear();
        fontDpi_ = dpi;
    }
    auto it = fonts_.find(want);
    if (it != fonts_.end()) return it->second.get();

    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = sizeof(ncm);
    static const auto spiForDpi = User32Proc<SpiForDpiFn>("SystemParametersInfoForDpi");
    LOGFONTW lf{};
    if (spiForDpi && spiForDpi(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0, static_cast<UINT>(dpi))) {
        lf = ncm.lfMessageFont;
    } else if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0)) {
        lf = ncm.lfMessageFont;
        lf.lfHeight = MulDiv(lf.lfHeight, dpi, ScreenDpi());
    } else {
        lf.lfHeight = -PointsToPixels(8, dpi);
        wcscpy_s(lf.lfFaceName, L"Tahoma");
    }
    if (want) {
        if (want->face) wcsncpy_s(lf.lfFaceName, want->face, _TRUNCATE);
        if (want->points > 0) lf.lfHeight = -PointsToPixels(want->points, dpi);
        lf.lfWeight = want->bold ? FW_BOLD : FW_NORMAL;
        lf.lfUnderline = want->underline ? TRUE : FALSE;
    }
    lf.lfQuality = CLEARTYPE_QUALITY;
    HFONT f = CreateFontIndirectW(&lf);
    fonts_.emplace(want, raii::Font(f));
    return f;
}

void Form::CreateControls() {
    const FormDef& d = Definition();
    for (size_t i = 0; i < d.controlCount; ++i) {
        const Control& c = d.controls[i];
        HWND h = CreateWindowExW(c.exStyle, c.cls, c.text, WS_CHILD | c.style, 0, 0, 0, 0, hwnd_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), Instance(), nullptr);
        if (h) SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(c.font)), FALSE);
    }
    PlaceControls();
}

void Form::PlaceControls() {
    const FormDef& d = Definition();
    for (size_t i = 0; i < d.controlCount; ++i) {
        const Control& c = d.controls[i];
        if (HWND h = Item(c.id)) {
            MoveWindow(h, Px(c.left), Px(c.top), Px(c.width), Px(c.height), FALSE);
            SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(c.font)), FALSE);
        }
    }
    InvalidateRect(hwnd_, nullptr, TRUE);
}

LRESULT CALLBACK Form::StaticWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Form* self;
    if (msg == WM_NCCREATE) {
        self = static_cast<Form*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<Form*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
    LRESULT r = self->WndProc(msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        self->fonts_.clear();
        self->fontDpi_ = 0;
    }
    return r;
}

LRESULT Form::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = 0;
    bool taken = false;
    Guard([&] { taken = OnMessage(msg, wp, lp, result); });
    if (taken) return result;

    const FormDef& d = Definition();
    switch (msg) {
    case WM_COMMAND: {
        int id = LOWORD(wp);
        // Enter and Esc from the dialog keys arrive as IDOK / IDCANCEL.
        if (!lp && id == IDOK && d.defaultButton) id = d.defaultButton;
        if (!lp && id == IDCANCEL && d.cancelButton) id = d.cancelButton;
        Guard([&] { OnCommand(id, HIWORD(wp), reinterpret_cast<HWND>(lp)); });
        return 0;
    }
    case DM_GETDEFID:
        if (d.defaultButton) return MAKELRESULT(d.defaultButton, DC_HASDEFID);
        break;
    case WM_CLOSE: {
        bool cancel = false;
        Guard([&] { Form_Unload(cancel); });
        if (!cancel && hwnd_) {
            // The owner comes back before the dialog goes, so the activation returns to it.
            if (modalOwner_) EnableWindow(modalOwner_, TRUE);
            modalOwner_ = nullptr;
            DestroyWindow(hwnd_);
        }
        return 0;
    }
    case WM_SIZE:
        Guard([&] { Form_Resize(); });
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wp) != WA_INACTIVE) Guard([&] { Form_Activate(); });
        break;
    case WM_DPICHANGED: {
        const RECT* r = reinterpret_cast<const RECT*>(lp);
        SetWindowPos(hwnd_, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        PlaceControls();
        Guard([&] { OnDpiChanged(); Form_Resize(); });
        return 0;
    }
    case WM_DESTROY:
        if (quitOnDestroy_) PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

bool PreTranslate(MSG& msg) {
    if (!msg.hwnd) return false;
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    Form* f = Form::FromHwnd(root);
    if (!f) return false;
    if (f->accel_ && TranslateAcceleratorW(root, f->accel_, &msg)) return true;
    if (f->Definition().dialogKeys && IsDialogMessageW(root, &msg)) return true;
    return false;
}

int RunMessageLoop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (PreTranslate(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (PreTranslate(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace form
