#include "PageLayout.h"

#include <algorithm>
#include <climits>

namespace pagelayout {

namespace {

// The margin on one axis: from the sheet's edge, but never in the unprintable border. Worked out in
// 64 bits: a device may report any value, however absurd.
void Axis(int physical, int offset, int printable, int dpi, double inches, int& start, int& length) {
    const double m = inches * (dpi > 0 ? dpi : 0) + 0.5;
    const long long margin = m > 1e12 ? 1000000000000LL : m < 0 ? 0 : static_cast<long long>(m);
    const long long sheet = physical > 0 ? physical : static_cast<long long>(offset) + printable;
    const long long lead = std::max(margin - offset, 0LL);
    const long long trail = std::max(margin - (sheet - offset - printable), 0LL);
    long long first = lead, size = printable - lead - trail;
    if (size < printable / 2) {  // margins that leave little room: use the printable area as it is
        first = 0;
        size = printable;
    }
    // Here the margins take at most half of a non-negative printable size: both fit an int.
    start = static_cast<int>(first);
    length = size < 1 ? 1 : static_cast<int>(size);
}

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }
bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

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
        // A character outside the basic plane is two code units that stay on one line.
        if (IsHighSurrogate(rest[n - 1]) && IsLowSurrogate(rest[n])) n = n > 1 ? n - 1 : n + 1;
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

std::vector<std::wstring> WrapText(std::wstring_view text, int width, const FitFunction& fit, int tabColumns) {
    std::vector<std::wstring> pieces;
    for (const std::wstring& line : SplitLines(text))
        for (std::wstring& piece : WrapLine(ExpandTabs(line, tabColumns), width, fit)) pieces.push_back(std::move(piece));
    return pieces;
}

Pager::Pager(const std::vector<std::wstring>& pieces, int copies, const TextArea& area, int lineHeight)
    : pieces_(pieces), copies_(copies < 1 ? 1 : copies), area_(area), lineHeight_(lineHeight < 1 ? 1 : lineHeight) {}

bool Pager::Next(PrintedPage& page) {
    page.clear();
    if (copy_ >= copies_ || pieces_.empty()) {
        if (started_) return false;
        started_ = true;  // nothing to print is still one empty page
        return true;
    }
    started_ = true;
    const long long bottom = static_cast<long long>(area_.top) + area_.height;
    long long y = area_.top;
    while (copy_ < copies_) {
        if (!page.empty() && y + lineHeight_ > bottom) break;
        page.push_back({pieces_[piece_], area_.left, static_cast<int>(std::min<long long>(y, INT_MAX))});
        y += lineHeight_;
        if (++piece_ == pieces_.size()) {
            piece_ = 0;
            ++copy_;
        }
    }
    return true;
}

std::vector<PrintedPage> Layout(std::wstring_view text, int copies, const TextArea& area, int lineHeight,
                                const FitFunction& fit) {
    const std::vector<std::wstring> pieces = WrapText(text, area.width, fit);
    Pager pager(pieces, copies, area, lineHeight);
    std::vector<PrintedPage> pages;
    PrintedPage page;
    while (pager.Next(page)) pages.push_back(std::move(page));
    return pages;
}

}  // namespace pagelayout
