#include "mResource.h"

#include <utility>

#include "AppInfo.h"
#include "ErrRecord.h"
#include "cResources.h"

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

}  // namespace

std::wstring ResourceErrorSource(const wchar_t* tag) { return ExeName() + L"." + tag; }

BOOL CALLBACK EnumResTypeProc(HMODULE, LPWSTR type, LONG_PTR param) {
    auto* owner = reinterpret_cast<cResources*>(param);
    try {
        int32_t id;
        std::wstring name;
        Split(type, id, name);
        owner->AddResourceType(id, name);
        return TRUE;
    } catch (...) {  // nothing may unwind through the system's frames
        owner->pending = std::current_exception();
        return FALSE;
    }
}

BOOL CALLBACK EnumResNameProc(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param) {
    auto* owner = reinterpret_cast<cResources*>(param);
    try {
        int32_t id;
        std::wstring text;
        Split(name, id, text);
        owner->AddResourceName(id, text);
        return TRUE;
    } catch (...) {
        owner->pending = std::current_exception();
        return FALSE;
    }
}

int32_t EnumTypesOf(cResources& owner) {
    owner.pending = nullptr;
    BOOL ok = EnumResourceTypesW(owner.hModule(), &EnumResTypeProc, reinterpret_cast<LONG_PTR>(&owner));
    const DWORD err = GetLastError();
    if (owner.pending) std::rethrow_exception(std::exchange(owner.pending, nullptr));
    if (!ok) RaiseError(reserr::LoadOrTypes, ResourceErrorSource(L"cResource"), SystemErrorText(err, owner.file()));
    return ok;
}

int32_t EnumNamesOf(cResources& owner, const pellamy::ResValue& type) {
    owner.pending = nullptr;
    LPCWSTR t = std::holds_alternative<std::wstring>(type)
                    ? std::get<std::wstring>(type).c_str()
                    : MAKEINTRESOURCEW(static_cast<WORD>(std::get<int32_t>(type)));
    BOOL ok = EnumResourceNamesW(owner.hModule(), t, &EnumResNameProc, reinterpret_cast<LONG_PTR>(&owner));
    const DWORD err = GetLastError();
    if (owner.pending) std::rethrow_exception(std::exchange(owner.pending, nullptr));
    if (!ok) RaiseError(reserr::Names, ResourceErrorSource(L"cResource"), SystemErrorText(err, owner.file()));
    return ok;
}
