#include "TypeLibInfo.h"

#include <windows.h>
#include <oleauto.h>

#include "Raii.h"
#include "Texts.h"

namespace pellamy {

TypeLibInfo ReadTypeLibInfo(const std::wstring& fullPath) {
    TypeLibInfo info;
    raii::ComPtr<ITypeLib> lib;
    HRESULT hr = LoadTypeLibEx(fullPath.c_str(), REGKIND_NONE, lib.put());
    TLIBATTR* attr = nullptr;
    if (SUCCEEDED(hr)) hr = lib.get()->GetLibAttr(&attr);
    if (FAILED(hr)) {
        info.error = static_cast<uint32_t>(hr);
        return info;
    }
    info.version = std::to_wstring(attr->wMajorVerNum) + L"." + std::to_wstring(attr->wMinorVerNum);
    wchar_t guid[64] = {};
    StringFromGUID2(attr->guid, guid, 64);
    info.guid = guid;
    lib.get()->ReleaseTLibAttr(attr);
    BSTR name = nullptr;
    if (SUCCEEDED(lib.get()->GetDocumentation(-1, &name, nullptr, nullptr, nullptr)) && name) {
        info.name.assign(name, SysStringLen(name));
        SysFreeString(name);
    }
    return info;
}

std::wstring TypeLibInfoText(const TypeLibInfo& info) {
    return std::wstring(texts::TypeLibPrefix) + info.name + L" " + info.version + L"\r\n" + texts::TypeLibGuidPrefix + info.guid;
}

}  // namespace pellamy
