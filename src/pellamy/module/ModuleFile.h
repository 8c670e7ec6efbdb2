// A module's file as Pellamy looks at it before loading: its header bytes.
#pragma once
#include <string>
#include <vector>

namespace pellamy {

// The file can be opened for reading (not locked away by another program).
bool IsReadable(const std::wstring& path);
// The file's first bytes, as many as its PE header needs (fewer when the file is shorter or unreadable).
std::vector<unsigned char> ModuleHeader(const std::wstring& path);

}  // namespace pellamy
