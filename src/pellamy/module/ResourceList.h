// The type list and the name lists of a module's resources, filled by an enumeration.
#pragma once
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace pellamy {

// A numbered resource or type as a 32-bit integer, a named one as a string.
using ResValue = std::variant<int32_t, std::wstring>;

struct ResTypeEntry {
    int32_t Id = 0;
    std::wstring Name;
};

struct NameSlot {
    int32_t TypeIndex = 0;  // 0: the slot is free
    int32_t Count = 0;
    std::vector<ResValue> Names;
};

// "Cursor", "Icon", ... or "Other (n)".
std::wstring ResourceTypeName(int32_t eType);
// ANSI resource text as the enumeration passes it: an integer id below 0x10000, or a name.
ResValue ResValueOf(int32_t id, const std::wstring& name);

// The type list and the reusable name slots of a resource enumeration (all indices 1-based).
// Reading outside the filled range raises error 9.
class ResourceLists {
public:
    int32_t ResourceTypeCount() const { return static_cast<int32_t>(types_.size()); }
    int32_t IndexOfResourceType(int32_t eType) const;
    ResValue ResourceType(int32_t iIndex) const;
    int32_t ResourceNameCount(int32_t iTypeIndex) const;
    ResValue ResourceName(int32_t iTypeIndex, int32_t iNameIndex) const;

    void AddResourceType(int32_t Id, const std::wstring& Name);
    void AddResourceName(int32_t Id, const std::wstring& Name);

    // Frees the type's slot and claims one for a fresh enumeration of its names.
    // Returns the type as the enumeration takes it.
    ResValue BeginNames(int32_t iTypeIndex);

    void ClearTypes();
    void ClearNames(int32_t TypeIndex);
    int32_t FindNameSlot(int32_t TypeIndex) const;
    int32_t GetNameSlot(int32_t TypeIndex);

    // For inspection.
    int32_t SlotCount() const { return static_cast<int32_t>(slots_.size()); }
    const NameSlot& Slot(int32_t index) const;
    int32_t CurrentNameSlot() const { return currentSlot_; }

private:
    const ResTypeEntry& TypeAt(int32_t index) const;
    std::vector<ResTypeEntry> types_;
    std::vector<NameSlot> slots_;
    int32_t currentType_ = 0;
    int32_t currentSlot_ = 0;
};

// Raises the runtime's subscript-out-of-range error (9).
[[noreturn]] void RaiseSubscriptError();

}  // namespace pellamy
