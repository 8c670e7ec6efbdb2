#include "cResources.h"

#include "AppInfo.h"
#include "ErrRecord.h"

int32_t cResources::GetResourceTypes() {
    lists_.ClearTypes();
    return EnumTypesOf(hModule_.get(), file_, lists_);
}

int32_t cResources::GetResourceNames(int32_t iTypeIndex) {
    const pellamy::ResValue type = lists_.BeginNames(iTypeIndex);
    return EnumNamesOf(hModule_.get(), file_, type, lists_);
}

void cResources::file(const std::wstring& sFile) {
    ClearUp();
    file_ = sFile;
    hModule_.reset(LoadLibraryExW(sFile.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!hModule_) {
        const DWORD err = GetLastError();
        RaiseError(reserr::LoadOrTypes, ResourceErrorSource(L"cResources"), SystemErrorText(err, sFile));
    }
}

void cResources::UnloadModule() { hModule_.reset(); }

void cResources::ClearUp() {
    UnloadModule();
    lists_.ClearTypes();
    lists_.ClearNames(0);
}
