// Printed page layout, free of any device: margins inside the printable area, tab expansion,
// wrapping at the printable width and page breaks. All measures are device units (printer dots).
#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pagelayout {

// What the printer reports about one sheet.
struct PageGeometry {
    int physicalWidth = 0, physicalHeight = 0;  // the whole sheet
    int offsetX = 0, offsetY = 0;               // where the printable area starts on the sheet
    int printableWidth = 0, printableHeight = 0;
    int dpiX = 0, dpiY = 0;
};

// Where text goes, relative to the printable area's origin (the device's 0,0).
struct TextArea {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const TextArea&) const = default;
};

// Margins of `marginInches` from the sheet's edges, kept inside the printable area; never empty.
TextArea TextAreaFor(const PageGeometry& page, double marginInches);

// Text measuring for one font: how many leading characters of `s` fit in `width` units.
using FitFunction = std::function<size_t(std::wstring_view s, int width)>;

struct PrintedLine {
    std::wstring text;
    int x = 0, y = 0;
};
using PrintedPage = std::vector<PrintedLine>;

inline constexpr int kTabColumns = 8;

// Splits text at CR LF, CR or LF; an empty text is one empty line, a final line end ends one
// more (empty) line, as printing the text followed by a line end would.
std::vector<std::wstring> SplitLines(std::wstring_view text);

// Tabs to spaces up to the next multiple of `columns`.
std::wstring ExpandTabs(std::wstring_view line, int columns = kTabColumns);

// Pieces of one line that each fit `width`: broken after the last blank that fits, otherwise
// inside the word; at least one character per piece, so nothing is ever dropped.
std::vector<std::wstring> WrapLine(const std::wstring& line, int width, const FitFunction& fit);

// One copy of the text laid out: every line's pieces, in order. Never empty.
std::vector<std::wstring> WrapText(std::wstring_view text, int width, const FitFunction& fit,
                                   int tabColumns = kTabColumns);

// The pages of a job, one at a time: `copies` copies of the laid-out pieces, each copy following
// the previous one's last line without a page break, onto pages of `area` with `lineHeight`.
// Every page holds at least one line. The pieces are laid out once, whatever the copies.
class Pager {
public:
    Pager(const std::vector<std::wstring>& pieces, int copies, const TextArea& area, int lineHeight);
    // The next page; false after the last.
    bool Next(PrintedPage& page);

private:
    const std::vector<std::wstring>& pieces_;
    int copies_;
    TextArea area_;
    int lineHeight_;
    int copy_ = 0;
    size_t piece_ = 0;
    bool started_ = false;
};

// The whole job at once (WrapText, then every page of a Pager). At least one page.
std::vector<PrintedPage> Layout(std::wstring_view text, int copies, const TextArea& area, int lineHeight,
                                const FitFunction& fit);

}  // namespace pagelayout
