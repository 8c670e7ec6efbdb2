// The small form layer every window of both programs stands on: a window class per form,
// messages dispatched to the form's handlers, control tables in twips scaled by the window's DPI,
// and one instance per modeless form.
#pragma once
#include <windows.h>

#include <map>
#include <string>

#include "ErrRecord.h"
#include "Raii.h"
#include "Twips.h"

namespace form {

// A font for a control; a null face means the system's message font.
struct FontSpec {
    const wchar_t* face = nullptr;
    double points = 0;
    bool bold = false;
    bool underline = false;
};

// One control of a form's table: positions in twips, created in table order (which is the tab order).
struct Control {
    int id;
    const wchar_t* cls;
    const wchar_t* text;
    DWORD style;  // WS_CHILD is added; leave out WS_VISIBLE for controls created hidden
    int left, top, width, height;
    DWORD exStyle = 0;
    const FontSpec* font = nullptr;
};

struct FormDef {
    const wchar_t* className;
    const wchar_t* caption;
    int clientWidth;  // twips
    int clientHeight;
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    DWORD exStyle = 0;
    const Control* controls = nullptr;
    size_t controlCount = 0;
    int defaultButton = 0;  // pressed by Enter
    int cancelButton = 0;   // pressed by Esc
    bool dialogKeys = true; // Tab, Enter and Esc move and press as in a dialog box
    int iconId = 1;         // icon resource of the program
};

class Form {
public:
    Form() = default;
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    // Creates the window hidden, with its controls, and runs Form_Load. True when the form is loaded.
    bool Load();
    // Loads when needed, shows the window and brings it forward (a second Show only brings it forward).
    void Show(int showCmd = SW_SHOWNORMAL);
    void Hide();
    // Loads and shows the form owned by `owner`, which is disabled until the form unloads; returns
    // then. Tests answer it through modal::Hooks::modalForm.
    void ShowModal(HWND owner);
    // Runs Form_Unload; unless it cancels, destroys the window. True when the form is unloaded.
    bool Unload();

    bool IsLoaded() const { return hwnd_ != nullptr; }
    HWND Hwnd() const { return hwnd_; }
    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }

    // DPI of the window (of the system before the window exists) and conversions at it.
    int Dpi() const;
    int Px(int twips) const { return TwipsToPixels(twips, Dpi()); }
    int Tw(int pixels) const { return PixelsToTwips(pixels, Dpi()); }

    std::wstring Caption() const;
    void SetCaption(const std::wstring& text);
    std::wstring Text(int id) const;
    void SetText(int id, const std::wstring& text);
    void SetEnabled(int id, bool enabled);
    bool IsEnabled(int id) const;
    void SetVisible(int id, bool visible);
    bool IsVisible(int id) const;
    // Places a control in twips of the client area.
    void Move(int id, int left, int top, int width, int height);

    // Quits the message loop when this window is destroyed (the main window).
    void SetQuitOnDestroy(bool quit) { quitOnDestroy_ = quit; }
    void SetAccelerators(HACCEL accel) { accel_ = accel; }

    // The form that owns a top-level window, or null.
    static Form* FromHwnd(HWND hwnd);

    // Runs a handler; a raised error that it does not handle is shown, as the runtime would.
    template <class F>
    static void Guard(F&& handler) {
        try {
            handler();
        } catch (const VbError& e) {
            ShowUnhandled(e.Record());
        } catch (const std::exception&) {
            ShowUnhandled(ErrRecord{-1, L"", L"Unexpected failure."});
        }
    }
    static void ShowUnhandled(const ErrRecord& e);

protected:
    virtual const FormDef& Definition() const = 0;
    virtual HMENU CreateMenuBar() { return nullptr; }
    virtual void Form_Load() {}
    virtual void Form_Unload(bool& cancel) {}
    virtual void Form_Resize() {}
    virtual void Form_Activate() {}
    virtual void OnCommand(int id, int notifyCode, HWND control) {}
    // Any other message; return true with `result` set to take it.
    virtual bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) { return false; }
    // Called after a DPI change has re-placed the table's controls.
    virtual void OnDpiChanged() {}

    // The font a control asks for, at the window's DPI (cached per form).
    HFONT FontFor(const FontSpec* want);
    // Outer window size for a client size in twips at the window's DPI.
    SIZE OuterSizeForClient(int clientWidthTw, int clientHeightTw) const;

private:
    static LRESULT CALLBACK StaticWndProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp);
    void CreateControls();
    void PlaceControls();
    void CenterOnWorkArea();
    friend bool PreTranslate(MSG& msg);

    HWND hwnd_ = nullptr;
    HACCEL accel_ = nullptr;
    bool quitOnDestroy_ = false;
    HWND modalOwner_ = nullptr;  // disabled while this form shows modally
    std::map<const FontSpec*, raii::Font> fonts_;
    int fontDpi_ = 0;
};

// One instance of a form per run.
template <class T>
T& Single() {
    static T instance;
    return instance;
}

// Accelerators and dialog keys for the form owning msg's window; true when the message was taken.
bool PreTranslate(MSG& msg);
// The program's message loop; returns the quit code.
int RunMessageLoop();
// Processes the messages already queued (tests, long operations).
void PumpMessages();

// The DPI of a window; falls back to the screen's.
int WindowDpi(HWND hwnd);

}  // namespace form
