// Page layout with any printer geometry and text: no overflow, at least one page, every page
// holds a line, and wrapping drops nothing but the blanks at a break.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "PageLayout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The geometry from the first 32 bytes, as far as they go.
    int32_t v[8] = {};
    const size_t head = std::min(size, sizeof(v));
    if (head > 0) std::memcpy(v, data, head);
    data += head, size -= head;
    const pagelayout::PageGeometry g{v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]};
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
