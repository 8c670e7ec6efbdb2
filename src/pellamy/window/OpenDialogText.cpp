#include "OpenDialogText.h"

namespace pellamy {

std::wstring ConvertFilter(const std::wstring& filter) {
    std::wstring out;
    out.reserve(filter.size() + 2);
    for (wchar_t c : filter) out += (c == L'|' || c == L':') ? L'\0' : c;
    out += L'\0';
    out += L'\0';
    return out;
}

std::wstring StripAtNull(const std::wstring& text) {
    auto z = text.find(L'\0');
    return z == std::wstring::npos ? text : text.substr(0, z);
}

std::wstring GetFilterPair(const std::wstring& converted, int32_t index) {
    size_t start = 0;
    for (int32_t n = 1; start < converted.size(); ++n) {
        size_t endDesc = converted.find(L'\0', start);
        if (endDesc == std::wstring::npos) return {};
        size_t endPattern = converted.find(L'\0', endDesc + 1);
        if (endPattern == std::wstring::npos) return {};
        if (endDesc == start) return {};  // the closing double NUL: no more pairs
        if (n == index) return converted.substr(start, endPattern - start);
        start = endPattern + 1;
    }
    return {};
}

std::wstring MultiSelectResult(const std::wstring& buffer) {
    auto dbl = buffer.find(std::wstring(2, L'\0'));
    return dbl == std::wstring::npos ? StripAtNull(buffer) : buffer.substr(0, dbl);
}

}  // namespace pellamy
