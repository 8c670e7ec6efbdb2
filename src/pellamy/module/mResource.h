// The resource enumeration calls and their callbacks; each callback reaches the lists it fills
// through the enumeration's own parameter. The callers own the module and the lists.
#pragma once
#include <windows.h>

#include <cstdint>
#include <exception>
#include <string>

#include "ResourceList.h"

// Error numbers raised by the enumeration.
namespace reserr {
constexpr int32_t LoadOrTypes = static_cast<int32_t>(0x80040419);  // loading, listing types
constexpr int32_t Names = static_cast<int32_t>(0x8004041A);        // listing names
}  // namespace reserr

// What an enumeration fills; an error raised inside a callback waits here until the enumeration
// call has returned (nothing may unwind through the system's frames).
struct ResourceGathering {
    pellamy::ResourceLists& lists;
    std::exception_ptr pending;
};

// `file` names the module in an error's text.
int32_t EnumTypesOf(HMODULE module, const std::wstring& file, pellamy::ResourceLists& lists);
int32_t EnumNamesOf(HMODULE module, const std::wstring& file, const pellamy::ResValue& type, pellamy::ResourceLists& lists);
BOOL CALLBACK EnumResTypeProc(HMODULE module, LPWSTR type, LONG_PTR param);
BOOL CALLBACK EnumResNameProc(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR param);
// The error source for a module tag: "<exe name>.<tag>".
std::wstring ResourceErrorSource(const wchar_t* tag);
