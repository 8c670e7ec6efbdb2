// File > Recent Files: the last files opened or saved, most recent first. The list's rules; the
// registry, the menu and the shell in RecentMenu.
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace recent {

inline constexpr size_t kMost = 10;
inline constexpr size_t kShownChars = 60;

// The stored values, File1 first: anything that is not a usable path (missing, empty, longer than
// the system allows, holding control characters) and repeats are left out, so nothing odd is shown.
std::vector<std::wstring> Clean(const std::vector<std::optional<std::wstring>>& values);
// `path` at the top (moved there when listed, whatever its letter case), at most kMost kept.
void Add(std::vector<std::wstring>& list, const std::wstring& path);
void Remove(std::vector<std::wstring>& list, const std::wstring& path);
// The menu's caption of item `index`: "&1 C:\...\name.cpp", shortened in the middle to kShownChars.
std::wstring Caption(size_t index, const std::wstring& path);

}  // namespace recent
