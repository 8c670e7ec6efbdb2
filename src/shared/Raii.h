// One owner type per kind of Windows resource, so every exit path releases it.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <utility>

namespace raii {

// Generic move-only owner: Traits gives the invalid value and the release call.
template <class Traits>
class Unique {
public:
    using T = typename Traits::Type;
    Unique() noexcept = default;
    explicit Unique(T v) noexcept : v_(v) {}
    ~Unique() { reset(); }
    Unique(Unique&& o) noexcept : v_(o.release()) {}
    Unique& operator=(Unique&& o) noexcept { if (this != &o) reset(o.release()); return *this; }
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;

    T get() const noexcept { return v_; }
    explicit operator bool() const noexcept { return Traits::Valid(v_); }
    T release() noexcept { T v = v_; v_ = Traits::Invalid(); return v; }
    void reset(T v = Traits::Invalid()) noexcept {
        if (Traits::Valid(v_)) Traits::Close(v_);
        v_ = v;
    }
    // For APIs that return the resource through a pointer.
    T* put() noexcept { reset(); return &v_; }

private:
    T v_ = Traits::Invalid();
};

struct HandleTraits {  // kernel handles whose failure value is NULL
    using Type = HANDLE;
    static HANDLE Invalid() { return nullptr; }
    static bool Valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { ::CloseHandle(h); }
};
struct FileTraits : HandleTraits {  // CreateFile and friends fail with INVALID_HANDLE_VALUE
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
};
struct FindTraits {
    using Type = HANDLE;
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static bool Valid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(HANDLE h) { ::FindClose(h); }
};
struct ModuleTraits {
    using Type = HMODULE;
    static HMODULE Invalid() { return nullptr; }
    static bool Valid(HMODULE h) { return h != nullptr; }
    static void Close(HMODULE h) { ::FreeLibrary(h); }
};
struct RegKeyTraits {
    using Type = HKEY;
    static HKEY Invalid() { return nullptr; }
    static bool Valid(HKEY h) { return h != nullptr; }
    static void Close(HKEY h) { ::RegCloseKey(h); }
};
template <class G>
struct GdiTraits {
    using Type = G;
    static G Invalid() { return nullptr; }
    static bool Valid(G h) { return h != nullptr; }
    static void Close(G h) { ::DeleteObject(h); }
};
struct IconTraits {
    using Type = HICON;
    static HICON Invalid() { return nullptr; }
    static bool Valid(HICON h) { return h != nullptr; }
    static void Close(HICON h) { ::DestroyIcon(h); }
};
struct WindowTraits {  // a window made for a task of its own, on the thread that destroys it
    using Type = HWND;
    static HWND Invalid() { return nullptr; }
    static bool Valid(HWND h) { return h != nullptr; }
    static void Close(HWND h) { ::DestroyWindow(h); }
};
struct MenuTraits {
    using Type = HMENU;
    static HMENU Invalid() { return nullptr; }
    static bool Valid(HMENU h) { return h != nullptr; }
    static void Close(HMENU h) { ::DestroyMenu(h); }
};
struct AccelTraits {
    using Type = HACCEL;
    static HACCEL Invalid() { return nullptr; }
    static bool Valid(HACCEL h) { return h != nullptr; }
    static void Close(HACCEL h) { ::DestroyAcceleratorTable(h); }
};
struct GlobalTraits {
    using Type = HGLOBAL;
    static HGLOBAL Invalid() { return nullptr; }
    static bool Valid(HGLOBAL h) { return h != nullptr; }
    static void Close(HGLOBAL h) { ::GlobalFree(h); }
};
struct DcTraits {  // CreateDC / CreateCompatibleDC
    using Type = HDC;
    static HDC Invalid() { return nullptr; }
    static bool Valid(HDC h) { return h != nullptr; }
    static void Close(HDC h) { ::DeleteDC(h); }
};
struct CoMemTraits {
    using Type = void*;
    static void* Invalid() { return nullptr; }
    static bool Valid(void* p) { return p != nullptr; }
    static void Close(void* p) { ::CoTaskMemFree(p); }
};

template <class I>
struct ComTraits {  // a COM interface pointer
    using Type = I*;
    static I* Invalid() { return nullptr; }
    static bool Valid(I* p) { return p != nullptr; }
    static void Close(I* p) { p->Release(); }
};

using Handle = Unique<HandleTraits>;
using File = Unique<FileTraits>;
using FindHandle = Unique<FindTraits>;
using Module = Unique<ModuleTraits>;
using RegKey = Unique<RegKeyTraits>;
using Font = Unique<GdiTraits<HFONT>>;
using Bitmap = Unique<GdiTraits<HBITMAP>>;
using Brush = Unique<GdiTraits<HBRUSH>>;
using Icon = Unique<IconTraits>;
using Window = Unique<WindowTraits>;
using Menu = Unique<MenuTraits>;
using Accel = Unique<AccelTraits>;
using GlobalMem = Unique<GlobalTraits>;
using Dc = Unique<DcTraits>;
using CoMem = Unique<CoMemTraits>;
template <class I>
using ComPtr = Unique<ComTraits<I>>;

// Selects a GDI object into a DC for a scope and puts the old one back.
class SelectObj {
public:
    SelectObj(HDC dc, HGDIOBJ obj) : dc_(dc), old_(::SelectObject(dc, obj)) {}
    ~SelectObj() { if (old_) ::SelectObject(dc_, old_); }
    SelectObj(const SelectObj&) = delete;
    SelectObj& operator=(const SelectObj&) = delete;
private:
    HDC dc_;
    HGDIOBJ old_;
};

// A window DC from GetDC, released on scope exit.
class WindowDc {
public:
    explicit WindowDc(HWND w) : w_(w), dc_(::GetDC(w)) {}
    ~WindowDc() { if (dc_) ::ReleaseDC(w_, dc_); }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }
private:
    HWND w_;
    HDC dc_;
};

// COM or OLE initialisation for the calling thread; uninitialises only what it initialised.
class ComInit {
public:
    enum Kind { Apartment, Ole };
    explicit ComInit(Kind k = Apartment) : kind_(k) {
        hr_ = (k == Ole) ? ::OleInitialize(nullptr) : ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    }
    ~ComInit() {
        if (SUCCEEDED(hr_)) { if (kind_ == Ole) ::OleUninitialize(); else ::CoUninitialize(); }
    }
    ComInit(const ComInit&) = delete;
    ComInit& operator=(const ComInit&) = delete;
    HRESULT result() const { return hr_; }
private:
    Kind kind_;
    HRESULT hr_;
};

// A cursor shown for a scope (the hourglass), restored on every exit path.
class WaitCursor {
public:
    WaitCursor() : old_(::SetCursor(::LoadCursorW(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { ::SetCursor(old_); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
private:
    HCURSOR old_;
};

}  // namespace raii
