// Reads a registry key and everything under it into the .reg writer's entries.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "RegFile.h"

namespace pellamy {

// The key `subkey` of `parent` (the parent itself when subkey is empty) and every key under it,
// parents first; paths start with `displayPath` in place of the key's own path. With
// `includeSelf` false the key itself is left out (a root whose name is not a key of the file).
// Nothing when the key is missing.
std::vector<RegKeyEntry> ReadKeyTree(HKEY parent, const std::wstring& subkey, const std::wstring& displayPath,
                                     bool includeSelf = true);

}  // namespace pellamy
