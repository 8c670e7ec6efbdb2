// Lists the resource types and names of a module loaded as a data file (none of its code runs).
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "Raii.h"
#include "ResourceList.h"
#include "mResource.h"

class cResources {
public:
    cResources() = default;
    ~cResources() { ClearUp(); }
    cResources(const cResources&) = delete;
    cResources& operator=(const cResources&) = delete;

    static std::wstring ResourceTypeName(int32_t eType) { return pellamy::ResourceTypeName(eType); }
    int32_t ResourceTypeCount() const { return lists_.ResourceTypeCount(); }
    int32_t IndexOfResourceType(int32_t eType) const { return lists_.IndexOfResourceType(eType); }
    pellamy::ResValue ResourceType(int32_t iIndex) const { return lists_.ResourceType(iIndex); }
    int32_t ResourceNameCount(int32_t iTypeIndex) const { return lists_.ResourceNameCount(iTypeIndex); }
    pellamy::ResValue ResourceName(int32_t iTypeIndex, int32_t iNameIndex) const {
        return lists_.ResourceName(iTypeIndex, iNameIndex);
    }
    // Rebuild the type list / the names of one type; the enumeration's result (nonzero on success).
    int32_t GetResourceTypes();
    int32_t GetResourceNames(int32_t iTypeIndex);

    const std::wstring& file() const { return file_; }
    // Loads sFile as a data file; raises 0x80040419 (source "<exe>.cResources") when it cannot.
    void file(const std::wstring& sFile);
    void UnloadModule();
    HMODULE hModule() const { return hModule_.get(); }
    void ClearUp();

    void AddResourceType(int32_t Id, const std::wstring& Name) { lists_.AddResourceType(Id, Name); }
    void AddResourceName(int32_t Id, const std::wstring& Name) { lists_.AddResourceName(Id, Name); }

    // For inspection.
    const pellamy::ResourceLists& Lists() const { return lists_; }

private:
    raii::Module hModule_;  // loaded as a data file; FreeLibrary releases it as it does a module
    std::wstring file_;
    pellamy::ResourceLists lists_;
};
