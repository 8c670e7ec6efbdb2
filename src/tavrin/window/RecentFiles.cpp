#include "RecentFiles.h"

#include <algorithm>
#include <cwctype>

namespace recent {

namespace {

// The longest path the system takes (with the \\?\ prefix).
constexpr size_t kLongestPath = 32767;

bool SamePath(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::towlower(a[i]) != std::towlower(b[i])) return false;
    return true;
}

bool Usable(const std::wstring& path) {
    if (path.empty() || path.size() > kLongestPath) return false;
    for (wchar_t c : path)
        if (c < 0x20 || c == 0x7F) return false;
    return true;
}

}  // namespace

std::vector<std::wstring> Clean(const std::vector<std::optional<std::wstring>>& values) {
    std::vector<std::wstring> list;
    for (const auto& v : values) {
        if (!v || !Usable(*v) || list.size() == kMost) continue;
        bool listed = false;
        for (const std::wstring& p : list) listed = listed || SamePath(p, *v);
        if (!listed) list.push_back(*v);
    }
    return list;
}

void Remove(std::vector<std::wstring>& list, const std::wstring& path) {
    std::erase_if(list, [&](const std::wstring& p) { return SamePath(p, path); });
}

void Add(std::vector<std::wstring>& list, const std::wstring& path) {
    if (!Usable(path)) return;
    Remove(list, path);
    list.insert(list.begin(), path);
    if (list.size() > kMost) list.resize(kMost);
}

std::wstring Caption(size_t index, const std::wstring& path) {
    std::wstring shown = path;
    if (shown.size() > kShownChars) {
        // The start (the drive or share) and as much of the name as fits.
        const size_t sep = shown.find_last_of(L"\\/");
        const size_t name = sep == std::wstring::npos ? shown.size() : shown.size() - sep;  // with its separator
        const size_t tail = std::min<size_t>(name, 40);
        const size_t head = kShownChars - 3 - tail;
        shown = shown.substr(0, head) + L"..." + shown.substr(shown.size() - tail);
    }
    std::wstring escaped;
    for (wchar_t c : shown) {
        if (c == L'&') escaped += L'&';  // shown as itself, not as a mnemonic
        escaped += c;
    }
    const std::wstring number = index < 9 ? L"&" + std::to_wstring(index + 1) : L"1&0";
    return number + L" " + escaped;
}

}  // namespace recent
