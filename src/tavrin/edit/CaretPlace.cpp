#include "CaretPlace.h"

#include "Texts.h"

namespace caretplace {

std::wstring LineColumnText(int64_t line, int64_t column) {
    return texts::CaretLine + std::to_wstring(line) + texts::CaretColumn + std::to_wstring(column);
}

int64_t GoToTarget(std::wstring_view entry, int64_t lineCount) {
    while (!entry.empty() && entry.front() == L' ') entry.remove_prefix(1);
    while (!entry.empty() && entry.back() == L' ') entry.remove_suffix(1);
    if (entry.empty() || lineCount < 1) return -1;
    int64_t n = 0;
    for (wchar_t c : entry) {
        if (c < L'0' || c > L'9') return -1;
        // Any number past the last line goes there; no need to read the rest.
        if (n <= lineCount) n = n * 10 + (c - L'0');
    }
    if (n == 0) return -1;
    return (n < lineCount ? n : lineCount) - 1;
}

}  // namespace caretplace
