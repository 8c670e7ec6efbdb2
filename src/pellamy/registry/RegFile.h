// The registry editor's .reg format: a list of keys with their values, written as the editor
// exports them (UTF-16 LE with a byte-order mark, CR LF line ends).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace pellamy {

struct RegValue {
    std::wstring name;  // empty: the key's default value
    uint32_t type = 0;  // REG_SZ, REG_DWORD, ...
    std::vector<uint8_t> data;
};

struct RegKeyEntry {
    std::wstring path;  // with the root's full name: "HKEY_CLASSES_ROOT\CLSID\{...}"
    std::vector<RegValue> values;
};

// Value types by number, so this file needs no Windows header.
namespace regtype {
inline constexpr uint32_t None = 0, Sz = 1, ExpandSz = 2, Binary = 3, Dword = 4, MultiSz = 7, Qword = 11;
}

// A key's or value's name the file can hold: a line break would end its line there (and start a line
// of the name's choosing), and the editor ends a name at NUL.
bool NameFitsRegFile(const std::wstring& name);
// Takes out of `keys` every key whose path and every value whose name the file cannot hold, and
// returns them as a message shows them: "path" or "path : "name"", line breaks as <CR> and <LF>.
std::vector<std::wstring> TakeUnfitNames(std::vector<RegKeyEntry>& keys);

// One value as the editor writes it, continuation lines included (joined with CR LF, no final line end).
std::wstring RegValueText(const RegValue& value);
// The whole file as text: the header, then each key line with its values, a blank line after each key.
std::wstring RegFileText(const std::vector<RegKeyEntry>& keys);
// The file's bytes: a byte-order mark and the text in UTF-16 LE.
std::string RegFileBytes(const std::vector<RegKeyEntry>& keys);

// Helpers to build values.
RegValue StringValue(const std::wstring& name, const std::wstring& text, uint32_t type = regtype::Sz);
RegValue DwordValue(const std::wstring& name, uint32_t v);

}  // namespace pellamy
