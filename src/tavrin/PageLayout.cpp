#include "PageLayout.h"

#include <algorithm>

namespace pagelayout {

namespace {

// The margin on one axis: from the sheet's edge, but never in the unprintable border.
void Axis(int physical, int offset, int printable, int dpi, double inches, int& start, int& length) {
    int margin = static_cast<int>(inches * (dpi > 0 ? dpi : 0) + 0.5);
    if (physical <= 0) physical = offset + printable;
    const int lead = std::max(margin - offset, 0);
    const int trail = std::max(margin - (physical - offset - printable), 0);
    start = lead;
    length = printable - lead - trail;
    if (length < printable / 2) {  // margins that leave little room: use the printable area as it is
        start = 0;
        length = printable;
    }
    if (length < 1) length = 1;
}

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

}  // namespace

TextArea TextAreaFor(const PageGeometry& page, double marginInches) {
    TextArea a;
    Axis(page.physicalWidth, page.offsetX, page.printableWidth, page.dpiX, marginInches, a.left, a.width);
    Axis(page.physicalHeight, page.offsetY, page.printableHeight, page.dpiY, marginInches, a.top, a.height);
    return a;
}

std::vector<std::wstring> SplitLines(std::wstring_view text) {
    std::vector<std::wstring> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'\r' && text[i] != L'\n') continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
        start = i + 1;
    }
    lines.emplace_back(text.substr(start));
    return lines;
}

std::wstring ExpandTabs(std::wstring_view line, int columns) {
    if (columns < 1) columns = 1;
    std::wstring out;
    out.reserve(line.size());
    for (wchar_t c : line) {
        if (c == L'\t') out.append(columns - out.size() % columns, L' ');
        else out.push_back(c);
    }
    return out;
}

std::vector<std::wstring> WrapLine(const std::wstring& line, int width, const FitFunction& fit) {
    std::vector<std::wstring> pieces;
    std::wstring_view rest = line;
    while (rest.size() > 0) {
        size_t n = std::min(fit(rest, width), rest.size());
        if (n == rest.size()) {
            pieces.emplace_back(rest);
            return pieces;
        }
        if (n == 0) n = 1;  // a character wider than the page still gets printed
        // Break after the last blank in the fitting part, unless that leaves nothing.
        size_t cut = n;
        if (!IsBlank(rest[n])) {
            size_t b = n;
            while (b > 0 && !IsBlank(rest[b - 1])) --b;
            if (b > 0) cut = b;
        }
        pieces.emplace_back(rest.substr(0, cut));
        rest.remove_prefix(cut);
        // The blanks at the break belong to neither line.
        if (cut == n)
            while (!rest.empty() && IsBlank(rest.front())) rest.remove_prefix(1);
    }
    if (pieces.empty()) pieces.emplace_back();
    return pieces;
}

std::vector<PrintedPage> Layout(std::wstring_view text, int copies, const TextArea& area, int lineHeight,
                                const FitFunction& fit) {
    if (lineHeight < 1) lineHeight = 1;
    if (copies < 1) copies = 1;
    const std::vector<std::wstring> lines = SplitLines(text);
    std::vector<PrintedPage> pages(1);
    int y = area.top;
    for (int copy = 0; copy < copies; ++copy) {
        for (const std::wstring& line : lines) {
            for (std::wstring& piece : WrapLine(ExpandTabs(line), area.width, fit)) {
                if (!pages.back().empty() && y + lineHeight > area.top + area.height) {
                    pages.emplace_back();
                    y = area.top;
                }
                pages.back().push_back({std::move(piece), area.left, y});
                y += lineHeight;
            }
        }
    }
    return pages;
}

}  // namespace pagelayout
