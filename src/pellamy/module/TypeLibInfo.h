// A type library's name, version and GUID, read from the file (or a module's type library
// resource) as data, for the confirmation where a module shows its company and version.
#pragma once
#include <cstdint>
#include <string>

namespace pellamy {

struct TypeLibInfo {
    uint32_t error = 0;  // nonzero: the file holds no readable type library (the HRESULT)
    std::wstring name;
    std::wstring version;  // "major.minor"
    std::wstring guid;     // "{...}"
};

TypeLibInfo ReadTypeLibInfo(const std::wstring& fullPath);
// "Type Library:  name version" + CR LF + "GUID:  {...}".
std::wstring TypeLibInfoText(const TypeLibInfo& info);

}  // namespace pellamy
