#include "Clipboard.h"

#include <cstring>

#include "AppInfo.h"
#include "ErrRecord.h"
#include "Raii.h"
#include "Texts.h"

namespace clipboard {

namespace {

// Another program may hold the clipboard for a moment: try a few times before giving up.
void Open(HWND owner) {
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (OpenClipboard(owner)) return;
        Sleep(20);
    }
    RaiseError(texts::ClipboardErrorNumber, ExeName(), texts::ClipboardBusy);
}

class Opened {
public:
    explicit Opened(HWND owner) { Open(owner); }
    ~Opened() { CloseClipboard(); }
    Opened(const Opened&) = delete;
    Opened& operator=(const Opened&) = delete;
};

}  // namespace

void SetText(HWND owner, const std::wstring& text) {
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    raii::GlobalMem mem(GlobalAlloc(GMEM_MOVEABLE, bytes));
    void* p = mem ? GlobalLock(mem.get()) : nullptr;
    if (!p) RaiseError(texts::OutOfMemoryNumber, ExeName(), texts::OutOfMemory);
    memcpy(p, text.c_str(), bytes);
    GlobalUnlock(mem.get());
    Opened open(owner);
    EmptyClipboard();
    if (SetClipboardData(CF_UNICODETEXT, mem.get())) {
        mem.release();  // the clipboard owns it now
        return;
    }
    RaiseError(texts::ClipboardErrorNumber, ExeName(), texts::ClipboardBusy);
}

std::wstring GetText(HWND owner) {
    Opened open(owner);
    HANDLE h = GetClipboardData(CF_UNICODETEXT);
    if (!h) return {};
    const auto* p = static_cast<const wchar_t*>(GlobalLock(h));
    if (!p) return {};
    // Never past the block, also when its text lacks the closing NUL.
    const size_t max = GlobalSize(h) / sizeof(wchar_t);
    size_t n = 0;
    while (n < max && p[n]) ++n;
    std::wstring text(p, n);
    GlobalUnlock(h);
    return text;
}

}  // namespace clipboard
