// Where the caret is, as the status bar says it, and where Go To takes it.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace caretplace {

// "Ln 12, Col 5" for the 1-based line and column.
std::wstring LineColumnText(int64_t line, int64_t column);

// The 0-based line Go To moves to for what was typed: a number beyond the last line is the last
// line; -1 (nothing changes) for an empty entry, zero or anything that is not a number.
int64_t GoToTarget(std::wstring_view entry, int64_t lineCount);

}  // namespace caretplace
