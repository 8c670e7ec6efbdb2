// Line ends between a file, the editor's text and the editing control: the one place for their rules.
// The editor's text (what the control gives and takes) ends every line with CR LF; the control
// itself counts a line end as one CR, so its selection positions are offsets in CrLfToCr's result.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace docfile {

// How many line ends of each kind a text held.
struct LineEndCounts {
    size_t crlf = 0, lf = 0, cr = 0;
};

// Every line end (CR LF, lone CR, lone LF) as CR LF; CR CR LF is two line ends.
std::wstring ToCrLf(std::wstring_view text, LineEndCounts* counts = nullptr);

// Each CR LF as the one CR the control keeps (other characters as they are).
std::wstring CrLfToCr(std::wstring_view text);

// Each CR LF as LF (a file of LF lines).
std::wstring CrLfToLf(std::wstring_view text);

// The text as it is written: followed by CR LF unless it already ends with a line end, so an
// unchanged file saves back byte for byte.
std::wstring WithFinalLineEnd(std::wstring_view text);

// How many of the `available` characters at `data` to hand to the editing control in one stream
// chunk: never a chunk that ends in CR while its LF may follow (the control would add an empty
// line) nor one that ends between the two halves of a surrogate pair, unless this is the end.
size_t ChunkLength(const wchar_t* data, size_t available, bool endOfText);

}  // namespace docfile
