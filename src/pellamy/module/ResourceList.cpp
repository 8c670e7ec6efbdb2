#include "ResourceList.h"

#include <iterator>

#include "ErrRecord.h"
#include "Texts.h"

namespace pellamy {

std::wstring ResourceTypeName(int32_t eType) {
    if (eType >= 0 && eType < static_cast<int32_t>(std::size(texts::ResourceTypeNames)) && texts::ResourceTypeNames[eType])
        return texts::ResourceTypeNames[eType];
    return texts::ResourceTypeOther + std::to_wstring(eType) + L")";
}

ResValue ResValueOf(int32_t id, const std::wstring& name) {
    if (id != 0) return id;
    return name;
}

const ResTypeEntry& ResourceLists::TypeAt(int32_t index) const {
    if (index < 1 || index > ResourceTypeCount()) RaiseSubscriptError();
    return types_[static_cast<size_t>(index - 1)];
}

int32_t ResourceLists::IndexOfResourceType(int32_t eType) const {
    for (size_t i = 0; i < types_.size(); ++i)
        if (types_[i].Id == eType) return static_cast<int32_t>(i + 1);
    return 0;
}

ResValue ResourceLists::ResourceType(int32_t iIndex) const {
    const ResTypeEntry& e = TypeAt(iIndex);
    if (!e.Name.empty()) return e.Name;
    return e.Id;
}

const NameSlot& ResourceLists::Slot(int32_t index) const {
    if (index < 1 || index > SlotCount()) RaiseSubscriptError();
    return slots_[static_cast<size_t>(index - 1)];
}

int32_t ResourceLists::ResourceNameCount(int32_t iTypeIndex) const { return Slot(FindNameSlot(iTypeIndex)).Count; }

ResValue ResourceLists::ResourceName(int32_t iTypeIndex, int32_t iNameIndex) const {
    const NameSlot& s = Slot(FindNameSlot(iTypeIndex));
    if (iNameIndex < 1 || iNameIndex > s.Count) RaiseSubscriptError();
    return s.Names[static_cast<size_t>(iNameIndex - 1)];
}

void ResourceLists::AddResourceType(int32_t Id, const std::wstring& Name) { types_.push_back({Id, Name}); }

void ResourceLists::AddResourceName(int32_t Id, const std::wstring& Name) {
    if (currentSlot_ < 1 || currentSlot_ > SlotCount()) RaiseSubscriptError();
    NameSlot& s = slots_[static_cast<size_t>(currentSlot_ - 1)];
    s.Names.push_back(ResValueOf(Id, Name));
    s.Count = static_cast<int32_t>(s.Names.size());
}

ResValue ResourceLists::BeginNames(int32_t iTypeIndex) {
    const ResTypeEntry& e = TypeAt(iTypeIndex);
    ClearNames(iTypeIndex);
    currentType_ = iTypeIndex;
    currentSlot_ = GetNameSlot(iTypeIndex);
    if (!e.Name.empty()) return e.Name;
    return e.Id;
}

void ResourceLists::ClearTypes() { types_.clear(); }

void ResourceLists::ClearNames(int32_t TypeIndex) {
    if (TypeIndex == 0) {
        slots_.clear();
        currentSlot_ = 0;
        currentType_ = 0;
        return;
    }
    if (int32_t s = FindNameSlot(TypeIndex)) {
        NameSlot& slot = slots_[static_cast<size_t>(s - 1)];
        slot.Count = 0;
        slot.Names.clear();
        slot.TypeIndex = 0;
    }
}

int32_t ResourceLists::FindNameSlot(int32_t TypeIndex) const {
    for (size_t i = 0; i < slots_.size(); ++i)
        if (slots_[i].TypeIndex == TypeIndex) return static_cast<int32_t>(i + 1);
    return 0;
}

int32_t ResourceLists::GetNameSlot(int32_t TypeIndex) {
    int32_t freeSlot = 0;
    for (size_t i = 0; i < slots_.size(); ++i) {
        if (slots_[i].TypeIndex == TypeIndex) return static_cast<int32_t>(i + 1);
        if (slots_[i].TypeIndex == 0) freeSlot = static_cast<int32_t>(i + 1);  // the last free one wins
    }
    if (freeSlot) {
        slots_[static_cast<size_t>(freeSlot - 1)].TypeIndex = TypeIndex;
        return freeSlot;
    }
    slots_.push_back(NameSlot{TypeIndex, 0, {}});
    return SlotCount();
}

}  // namespace pellamy
