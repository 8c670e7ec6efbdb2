// Pellamy's window-free logic: the command table, path and module checks, version record
// selection, result texts, the Open dialog's filter texts and the resource lists.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace pellamy {

// ---- Registration commands ----------------------------------------------------------------
enum class EntryPoint { Register, Unregister, Unknown };
// "" registers, "U" or "u" unregisters; anything else is unknown (exact match, no trimming).
EntryPoint EntryForCommand(const std::wstring& command);
// The export to look up: "DllRegisterServer" or "DllUnregisterServer" (null for Unknown).
const char* EntryPointName(EntryPoint e);

// ---- Paths ----------------------------------------------------------------------------------
// The path as typed, or the text inside one pair of surrounding double quotes ("Copy as path").
std::wstring PathFromBox(const std::wstring& text);
// Second line of the hint before upper-casing: "    e.g. " + folder + "\filename.ocx".
std::wstring HintExample(const std::wstring& systemFolder);

// ---- Module bitness from the file's first bytes ----------------------------------------------
// Bits32: an x86 module, Bits64: an x64 one; OtherProcessor: one for a processor neither build runs on.
enum class Bitness { NotPe, Bits32, Bits64, OtherProcessor };
// Reads the MZ and PE headers (machine field and optional header magic); NotPe when the bytes do not
// hold a complete PE header or the two disagree.
Bitness PeBitness(const unsigned char* data, size_t size);
// The PE header's machine field; 0 when the bytes hold no complete PE header.
uint16_t PeMachine(const unsigned char* data, size_t size);
// "ARM64", "ARM", ... for a machine field; its number in hex for one without a name.
std::wstring MachineName(uint16_t machine);
// Bytes needed from the file start to decide (0x40 for the DOS header, more once e_lfanew is known).
size_t PeHeaderBytesNeeded(const unsigned char* data, size_t size);
// Name of the build that loads modules of that bitness.
const wchar_t* BuildFor(Bitness b);  // L"Pellamy.exe" / L"Pellamy64.exe"

// ---- Version information ----------------------------------------------------------------------
struct Translation {
    uint16_t language;
    uint16_t codePage;
    bool operator==(const Translation&) const = default;
};
// "040904B0"
std::wstring TranslationKey(Translation t);
// Translation table entries (raw pairs of 16-bit words) in order, then the common pairs not in it.
std::vector<Translation> CandidateTranslations(const uint16_t* table, size_t words);
// How many whole items of `itemSize` bytes, of the `count` a value claims, lie between `value` and the
// block's end; 0 when the value does not start inside the block.
size_t ItemsInBlock(const void* block, size_t blockSize, const void* value, size_t count, size_t itemSize);
// A string value of a version block (UTF-16 units): up to its first NUL, never past its claimed
// length nor the block's end.
std::wstring VersionString(const void* block, size_t blockSize, const void* value, size_t chars);
// The company name as shown: at most 21 characters.
std::wstring CutCompanyName(const std::wstring& name);
// A product version of blanks only counts as none.
bool HasProductVersion(const std::wstring& version);
// The two-line text of the information label.
std::wstring FileInfoText(const std::wstring& company, const std::wstring& product);

// ---- Result texts --------------------------------------------------------------------------
std::wstring HexCode(uint32_t code);  // "0x80070005"
bool IsFailureStatus(uint32_t status);
// The message for an entry point that returned a failure status; systemText may be empty.
std::wstring EntryFailedText(uint32_t status, const std::wstring& systemText);
std::wstring EntryCrashedText(uint32_t exceptionCode);
// The worker thread ended without coming back from the entry point.
std::wstring EntryEndedThreadText(uint32_t exitCode);
// "Failure loading control DLL" + CR LF + the reason (system text, or "Error n" without one).
std::wstring LoadFailedText(uint32_t error, const std::wstring& systemText);
// The load-failure message for a module of the other bitness; `offer` adds the question.
std::wstring OtherBitnessText(Bitness module, bool offer);
// The load-failure message for a module built for another processor.
std::wstring OtherProcessorText(uint16_t machine);

// ---- Open dialog texts ----------------------------------------------------------------------
// Every "|" and ":" becomes a NUL; two NULs are appended.
std::wstring ConvertFilter(const std::wstring& filter);
// The text up to its first NUL.
std::wstring StripAtNull(const std::wstring& text);
// The index-th (1-based) "description NUL pattern" pair of a converted filter; empty when none.
std::wstring GetFilterPair(const std::wstring& converted, int32_t index);
// The buffer text up to its first double NUL, or up to its first NUL when it has none.
std::wstring MultiSelectResult(const std::wstring& buffer);

// ---- Resource lists -------------------------------------------------------------------------
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
