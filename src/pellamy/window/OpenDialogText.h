// The Open dialog's filter and file-name buffers as text.
#pragma once
#include <cstdint>
#include <string>

namespace pellamy {

// Every "|" and ":" becomes a NUL; two NULs are appended.
std::wstring ConvertFilter(const std::wstring& filter);
// The text up to its first NUL.
std::wstring StripAtNull(const std::wstring& text);
// The index-th (1-based) "description NUL pattern" pair of a converted filter; empty when none.
std::wstring GetFilterPair(const std::wstring& converted, int32_t index);
// The buffer text up to its first double NUL, or up to its first NUL when it has none.
std::wstring MultiSelectResult(const std::wstring& buffer);

}  // namespace pellamy
