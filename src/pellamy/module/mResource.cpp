#include "mResource.h"

#include "AppInfo.h"
#include "ErrRecord.h"

namespace {

// A resource type or name as the enumeration passes it: a number below 0x10000, or a text.
void Split(LPCWSTR value, int32_t& id, std::wstring& name) {
    if (IS_INTRESOURCE(value)) {
        id = static_cast<int32_t>(reinterpret_cast<ULONG_PTR>(value) & 0xFFFF);
        name.clear();
    } else {
        id = 0;
        name = value;
    }
}

// Adds one type or name to the lists; nothing may unwind through the system's frames.
BOOL Gather(LONG_PTR param, LPCWSTR value, void (pellamy::ResourceLists::*add)(int32_t, const std::wstring&)) {
    auto* owner = reinterpret_cast<ResourceGathering*>(param);
    try {
        int32_t id;
        std::wstring name;
        Split(value, id, name);
        (owner->lists.*add)(id, name);
        return TRUE;
    } catch (...) {
        owner->pending = std::current_exception();
        return FALSE;
    }
}

}  // namespace

std::wstring ResourceErrorSource(const wchar_t* tag) { return ExeName() + L"." + tag; }

BOOL CALLBACK EnumResTypeProc(HMODULE, LPWSTR type, LONG_PTR param) {
    return Gather(param, type, &pellamy::ResourceLists::AddResourceType);
}

BOOL CALLBACK EnumResNameProc(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param) {
    return Gather(param, name, &pellamy::ResourceLists::AddResourceName);
}

int32_t EnumTypesOf(HMODULE module, const std::wstring& file, pellamy::ResourceLists& lists) {
    ResourceGathering owner{lists, nullptr};
    BOOL ok = EnumResourceTypesW(module, &EnumResTypeProc, reinterpret_cast<LONG_PTR>(&owner));
    const DWORD err = GetLastError();
    if (owner.pending) std::rethrow_exception(owner.pending);
    if (!ok) RaiseError(reserr::LoadOrTypes, ResourceErrorSource(L"cResource"), SystemErrorText(err, file));
    return ok;
}

int32_t EnumNamesOf(HMODULE module, const std::wstring& file, const pellamy::ResValue& type, pellamy::ResourceLists& lists) {
    ResourceGathering owner{lists, nullptr};
    LPCWSTR t = std::holds_alternative<std::wstring>(type)
                    ? std::get<std::wstring>(type).c_str()
                    : MAKEINTRESOURCEW(static_cast<WORD>(std::get<int32_t>(type)));
    BOOL ok = EnumResourceNamesW(module, t, &EnumResNameProc, reinterpret_cast<LONG_PTR>(&owner));
    const DWORD err = GetLastError();
    if (owner.pending) std::rethrow_exception(owner.pending);
    if (!ok) RaiseError(reserr::Names, ResourceErrorSource(L"cResource"), SystemErrorText(err, file));
    return ok;
}
