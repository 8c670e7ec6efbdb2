// Line ends: the editing area keeps them as the file has them (CR LF, LF, lone CR, mixed); the
// document's style is the one most of its lines use, given to new lines and the final line end.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace docfile {

enum class LineEnd { CrLf, Lf, Cr };

// How many line ends of each kind a text holds (CR CR LF is a CR and a CR LF).
struct LineEndCounts {
    size_t crlf = 0, lf = 0, cr = 0;
    bool operator==(const LineEndCounts&) const = default;
};
LineEndCounts CountLineEnds(std::string_view text);

// The same over a text given in pieces (a CR ending one piece and an LF starting the next are a
// CR LF), and whether the text holds a NUL.
class LineEndCounter {
public:
    void Add(std::string_view piece);
    LineEndCounts Counts() const { return {pairs_, lf_ - pairs_, cr_ - pairs_}; }
    bool Nul() const { return nul_; }

private:
    size_t pairs_ = 0, lf_ = 0, cr_ = 0;
    bool nul_ = false, lastCr_ = false;
};

// The style of most line ends; CR LF for a text without any, or when none has most.
LineEnd MostUsed(const LineEndCounts& counts);

std::string_view LineEndChars(LineEnd style);

// The text as it is written: followed by a line end in `style` unless it already ends with one,
// so an unchanged file saves back byte for byte.
std::string WithFinalLineEnd(std::string_view text, LineEnd style);

// Every line end of `text` in `style`: text put into a document takes the document's line ends.
std::wstring WithLineEnds(std::wstring_view text, LineEnd style);

}  // namespace docfile
