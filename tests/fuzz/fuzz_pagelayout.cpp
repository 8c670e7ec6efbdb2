// Page layout with any printer geometry and text: no overflow, at least one page, every page
// holds a line, and wrapping drops nothing but the blanks at a break.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "PageLayout.h"

namespace {

int TakeInt(const uint8_t*& data, size_t& size) {
    int32_t v = 0;
    if (size >= sizeof(v)) {
        std::memcpy(&v, data, sizeof(v));
        data += sizeof(v);
        size -= sizeof(v);
    }
    return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    pagelayout::PageGeometry g;
    g.physicalWidth = TakeInt(data, size);
    g.physicalHeight = TakeInt(data, size);
    g.offsetX = TakeInt(data, size);
    g.offsetY = TakeInt(data, size);
    g.printableWidth = TakeInt(data, size);
    g.printableHeight = TakeInt(data, size);
    g.dpiX = TakeInt(data, size);
    g.dpiY = TakeInt(data, size);
    const pagelayout::TextArea area = pagelayout::TextAreaFor(g, 1.0);
    if (area.width < 1 || area.height < 1) std::abort();

    // The rest is UTF-16 text (capped so a run stays quick); a character is 7 units wide.
    std::wstring text;
    for (size_t i = 0; i + 1 < size && text.size() < 4096; i += 2) text.push_back(static_cast<wchar_t>(data[i] | data[i + 1] << 8));
    const int width = area.width > 2000 ? 2000 : area.width;
    const int height = area.height > 2000 ? 2000 : area.height;
    auto fit = [](std::wstring_view s, int w) { return std::min(s.size(), static_cast<size_t>(w / 7)); };
    auto nonBlank = [](const std::wstring& s) {
        size_t n = 0;
        for (wchar_t c : s) n += c != L' ' && c != L'\t';
        return n;
    };
    for (const std::wstring& line : pagelayout::SplitLines(text)) {
        size_t kept = 0;
        for (const std::wstring& piece : pagelayout::WrapLine(line, width, fit)) {
            if (piece.empty() && !line.empty()) std::abort();
            kept += nonBlank(piece);
        }
        if (kept != nonBlank(line)) std::abort();
    }
    const auto pages = pagelayout::Layout(text, 2, pagelayout::TextArea{0, 0, width, height}, 12, fit);
    if (pages.empty()) std::abort();
    for (const auto& page : pages)
        if (page.empty()) std::abort();
    return 0;
}
