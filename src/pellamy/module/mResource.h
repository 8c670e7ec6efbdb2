// The resource enumeration calls and their callbacks; each callback reaches its cResources
// through the enumeration's own parameter.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "ResourceList.h"

class cResources;

int32_t EnumTypesOf(cResources& owner);
int32_t EnumNamesOf(cResources& owner, const pellamy::ResValue& type);
BOOL CALLBACK EnumResTypeProc(HMODULE module, LPWSTR type, LONG_PTR param);
BOOL CALLBACK EnumResNameProc(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR param);
// The error source for a module tag: "<exe name>.<tag>".
std::wstring ResourceErrorSource(const wchar_t* tag);
