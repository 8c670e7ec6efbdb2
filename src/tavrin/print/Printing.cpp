#include "Printing.h"

#include <commdlg.h>
#include <winspool.h>

#include <algorithm>
#include <vector>

#include "PageLayout.h"
#include "SystemApis.h"

namespace printing {

namespace {

constexpr double kMarginInches = 0.75;
// A piece of a line is measured at most this long: no page holds more, and a huge line is not
// measured whole for every piece.
constexpr size_t kMeasureLimit = 4096;

struct Locked {
    explicit Locked(HGLOBAL h) : h_(h), p_(h ? GlobalLock(h) : nullptr) {}
    ~Locked() { if (p_) GlobalUnlock(h_); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
    void* get() const { return p_; }
private:
    HGLOBAL h_;
    void* p_;
};

}  // namespace

bool PrinterChoice::AnyPrinter() {
    const syslib::WinSpool* spool = syslib::WinSpoolApi();
    if (!spool) return false;
    DWORD size = 0;
    spool->GetDefaultPrinterW(nullptr, &size);
    if (size > 0) return true;
    DWORD needed = 0, count = 0;
    spool->EnumPrintersW(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 4, nullptr, 0, &needed, &count);
    if (needed == 0) return false;
    std::vector<BYTE> buf(needed);
    return spool->EnumPrintersW(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 4, buf.data(), needed, &needed,
                         &count) &&
           count > 0;
}

void PrinterChoice::LendTo(PRINTDLGW& pd) {
    pd.hDevMode = devMode_.release();
    pd.hDevNames = devNames_.release();
}

void PrinterChoice::TakeBack(PRINTDLGW& pd) {
    devMode_.reset(pd.hDevMode);
    devNames_.reset(pd.hDevNames);
    pd.hDevMode = nullptr;
    pd.hDevNames = nullptr;
}

raii::Dc PrinterChoice::CreateDc() const {
    Locked names(devNames_.get());
    Locked mode(devMode_.get());
    if (auto* dn = static_cast<const DEVNAMES*>(names.get())) {
        const auto* base = reinterpret_cast<const wchar_t*>(dn);
        const auto* dm = static_cast<const DEVMODEW*>(mode.get());
        raii::Dc dc(CreateDCW(base + dn->wDriverOffset, base + dn->wDeviceOffset, nullptr, dm));
        if (dc) return dc;
    }
    const syslib::WinSpool* spool = syslib::WinSpoolApi();
    if (!spool) return {};
    DWORD size = 0;
    spool->GetDefaultPrinterW(nullptr, &size);
    if (size == 0) return {};
    std::wstring name(size, L'\0');
    if (!spool->GetDefaultPrinterW(name.data(), &size)) return {};
    name.resize(wcslen(name.c_str()));
    return raii::Dc(CreateDCW(L"WINSPOOL", name.c_str(), nullptr, nullptr));
}

int TakeCopies(PRINTDLGW& pd) {
    int copies = pd.nCopies > 0 ? pd.nCopies : 1;
    Locked mode(pd.hDevMode);
    if (auto* dm = static_cast<DEVMODEW*>(mode.get())) {
        if ((dm->dmFields & DM_COPIES) && dm->dmCopies > 1) copies = std::max<int>(copies, dm->dmCopies);
        dm->dmCopies = 1;
    }
    return copies;
}

bool PrintText(HDC dc, const std::wstring& docName, const std::wstring& text, int copies, const PrintFont& font,
               DWORD& error) {
    error = 0;
    if (!dc) {
        error = ERROR_INVALID_HANDLE;
        return false;
    }
    pagelayout::PageGeometry g;
    g.physicalWidth = GetDeviceCaps(dc, PHYSICALWIDTH);
    g.physicalHeight = GetDeviceCaps(dc, PHYSICALHEIGHT);
    g.offsetX = GetDeviceCaps(dc, PHYSICALOFFSETX);
    g.offsetY = GetDeviceCaps(dc, PHYSICALOFFSETY);
    g.printableWidth = GetDeviceCaps(dc, HORZRES);
    g.printableHeight = GetDeviceCaps(dc, VERTRES);
    g.dpiX = GetDeviceCaps(dc, LOGPIXELSX);
    g.dpiY = GetDeviceCaps(dc, LOGPIXELSY);
    const pagelayout::TextArea area = pagelayout::TextAreaFor(g, kMarginInches);

    const int height = -static_cast<int>(font.points * g.dpiY / 72.0 + 0.5);
    raii::Font f(CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                             font.face.empty() ? L"Courier New" : font.face.c_str()));
    raii::SelectObj use(dc, f.get());
    SetTextColor(dc, font.color);
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_TOP | TA_LEFT | TA_NOUPDATECP);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    const int lineHeight = std::max<int>(tm.tmHeight + tm.tmExternalLeading, 1);

    auto fit = [dc](std::wstring_view s, int width) -> size_t {
        const int n = static_cast<int>(std::min(s.size(), kMeasureLimit));
        int fits = 0;
        SIZE size{};
        if (!GetTextExtentExPointW(dc, s.data(), n, width, &fits, nullptr, &size)) return s.size();
        return static_cast<size_t>(fits);
    };
    // Laid out once; the copies are paged from it one page at a time.
    const std::vector<std::wstring> pieces = pagelayout::WrapText(text, area.width, fit, font.tabColumns);
    pagelayout::Pager pager(pieces, copies, area, lineHeight);

    DOCINFOW di{};
    di.cbSize = sizeof(di);
    di.lpszDocName = docName.c_str();
    if (StartDocW(dc, &di) <= 0) {
        error = GetLastError();
        if (!error) error = ERROR_PRINT_CANCELLED;
        return false;
    }
    pagelayout::PrintedPage page;
    while (pager.Next(page)) {
        bool ok = StartPage(dc) > 0;
        if (ok) {
            // A new page may come with the device's default objects again.
            SelectObject(dc, f.get());
            SetTextColor(dc, font.color);
            SetBkMode(dc, TRANSPARENT);
            for (const auto& line : page)
                if (!line.text.empty())
                    ok = TextOutW(dc, line.x, line.y, line.text.c_str(), static_cast<int>(line.text.size())) && ok;
            ok = EndPage(dc) > 0 && ok;
        }
        if (!ok) {
            error = GetLastError();
            if (!error) error = ERROR_WRITE_FAULT;
            AbortDoc(dc);
            return false;
        }
    }
    if (EndDoc(dc) <= 0) {
        error = GetLastError();
        if (!error) error = ERROR_WRITE_FAULT;
        return false;
    }
    return true;
}

}  // namespace printing
