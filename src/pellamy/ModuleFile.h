// A module's file as Pellamy looks at it before loading: its full path and its header bytes.
#pragma once
#include <string>
#include <vector>

namespace pellamy {

// The full path of a path as typed; the path itself when the system cannot make one.
std::wstring FullPath(const std::wstring& path);
// The file's first bytes, as many as its PE header needs (fewer when the file is shorter or unreadable).
std::vector<unsigned char> ModuleHeader(const std::wstring& path);

}  // namespace pellamy
