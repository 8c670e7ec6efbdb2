#include "PellamyCore.h"

#include <cstdio>

#include "AppInfo.h"
#include "ErrRecord.h"
#include "TextConv.h"
#include "Texts.h"

namespace pellamy {

EntryPoint EntryForCommand(const std::wstring& command) {
    if (command.empty()) return EntryPoint::Register;
    if (command == L"U" || command == L"u") return EntryPoint::Unregister;
    return EntryPoint::Unknown;
}

const char* EntryPointName(EntryPoint e) {
    switch (e) {
    case EntryPoint::Register: return "DllRegisterServer";
    case EntryPoint::Unregister: return "DllUnregisterServer";
    default: return nullptr;
    }
}

std::wstring PathFromBox(const std::wstring& text) {
    std::wstring t = TrimBlanks(text);
    if (t.size() >= 2 && t.front() == L'"' && t.back() == L'"') {
        std::wstring inner = t.substr(1, t.size() - 2);
        if (inner.find(L'"') == std::wstring::npos) return inner;
    }
    return text;
}

std::wstring HintExample(const std::wstring& systemFolder) {
    return std::wstring(txt::HintExamplePrefix) + systemFolder + txt::HintExampleFile;
}

namespace {
uint32_t Le32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t Le16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
constexpr size_t kPeFieldsEnd = 4 + 20 + 2;  // signature, file header, optional header magic
}  // namespace

size_t PeHeaderBytesNeeded(const unsigned char* data, size_t size) {
    if (size < 0x40) return 0x40;
    if (data[0] != 'M' || data[1] != 'Z') return 0x40;
    return static_cast<size_t>(Le32(data + 0x3C)) + kPeFieldsEnd;
}

namespace {
// The PE signature's position, or null when the bytes hold no complete header.
const unsigned char* PeHeader(const unsigned char* data, size_t size) {
    if (size < 0x40 || data[0] != 'M' || data[1] != 'Z') return nullptr;
    const uint32_t pe = Le32(data + 0x3C);
    if (pe > size || size - pe < kPeFieldsEnd) return nullptr;
    const unsigned char* h = data + pe;
    if (h[0] != 'P' || h[1] != 'E' || h[2] != 0 || h[3] != 0) return nullptr;
    return h;
}
constexpr uint16_t kMachineX86 = 0x14C;
constexpr uint16_t kMachineX64 = 0x8664;
}  // namespace

uint16_t PeMachine(const unsigned char* data, size_t size) {
    const unsigned char* h = PeHeader(data, size);
    return h ? Le16(h + 4) : 0;
}

Bitness PeBitness(const unsigned char* data, size_t size) {
    const unsigned char* h = PeHeader(data, size);
    if (!h) return Bitness::NotPe;
    const uint16_t machine = Le16(h + 4), magic = Le16(h + 24);
    if (magic != 0x10B && magic != 0x20B) return Bitness::NotPe;
    if (machine == kMachineX86) return magic == 0x10B ? Bitness::Bits32 : Bitness::NotPe;
    if (machine == kMachineX64) return magic == 0x20B ? Bitness::Bits64 : Bitness::NotPe;
    return Bitness::OtherProcessor;
}

std::wstring MachineName(uint16_t machine) {
    switch (machine) {
    case kMachineX86: return L"x86";
    case kMachineX64: return L"x64";
    case 0xAA64: return L"ARM64";
    case 0xA641: return L"ARM64EC";
    case 0xA64E: return L"ARM64X";
    case 0x1C0:
    case 0x1C2:
    case 0x1C4: return L"ARM";
    case 0x200: return L"Itanium";
    case 0x5032: return L"RISC-V 32-bit";
    case 0x5064: return L"RISC-V 64-bit";
    case 0x6232: return L"LoongArch 32-bit";
    case 0x6264: return L"LoongArch 64-bit";
    case 0x166:
    case 0x168:
    case 0x169: return L"MIPS";
    case 0x1F0:
    case 0x1F1: return L"PowerPC";
    case 0x184: return L"Alpha";
    case 0x284: return L"Alpha 64-bit";
    default: {
        wchar_t buf[8];
        std::swprintf(buf, 8, L"0x%04X", static_cast<unsigned>(machine));
        return buf;
    }
    }
}

const wchar_t* BuildFor(Bitness b) { return b == Bitness::Bits64 ? L"Pellamy64.exe" : L"Pellamy.exe"; }

std::wstring TranslationKey(Translation t) {
    wchar_t buf[16];
    std::swprintf(buf, 16, L"%04X%04X", static_cast<unsigned>(t.language), static_cast<unsigned>(t.codePage));
    return buf;
}

std::vector<Translation> CandidateTranslations(const uint16_t* table, size_t words) {
    std::vector<Translation> out;
    auto add = [&out](Translation t) {
        for (const auto& have : out)
            if (have == t) return;
        out.push_back(t);
    };
    for (size_t i = 0; table && i + 1 < words; i += 2) add({table[i], table[i + 1]});
    // Blocks without a table most often use US English with Unicode or Western code pages.
    for (Translation t : {Translation{0x0409, 1200}, Translation{0x0409, 1252}, Translation{0x0409, 0},
                          Translation{0x0000, 1200}, Translation{0x0000, 1252}, Translation{0x0000, 0}})
        add(t);
    return out;
}

size_t ItemsInBlock(const void* block, size_t blockSize, const void* value, size_t count, size_t itemSize) {
    const auto begin = reinterpret_cast<uintptr_t>(block), at = reinterpret_cast<uintptr_t>(value);
    if (!block || !value || itemSize == 0 || at < begin || at - begin >= blockSize) return 0;
    const size_t room = (blockSize - (at - begin)) / itemSize;
    return count < room ? count : room;
}

std::wstring VersionString(const void* block, size_t blockSize, const void* value, size_t chars) {
    const size_t n = ItemsInBlock(block, blockSize, value, chars, sizeof(uint16_t));
    const auto* bytes = static_cast<const unsigned char*>(value);
    std::wstring out;
    for (size_t i = 0; i < n; ++i) {
        const wchar_t c = static_cast<wchar_t>(Le16(bytes + 2 * i));  // the block need not be aligned
        if (c == 0) break;
        out += c;
    }
    return out;
}

std::wstring CutCompanyName(const std::wstring& name) { return name.substr(0, 21); }

bool HasProductVersion(const std::wstring& version) { return !TrimBlanks(version).empty(); }

std::wstring FileInfoText(const std::wstring& company, const std::wstring& product) {
    return std::wstring(txt::CompanyPrefix) + company + L"\r\n" + txt::ProductPrefix + product;
}

std::wstring HexCode(uint32_t code) {
    wchar_t buf[16];
    std::swprintf(buf, 16, L"0x%08X", static_cast<unsigned>(code));
    return buf;
}

bool IsFailureStatus(uint32_t status) { return (status & 0x80000000u) != 0; }

std::wstring EntryFailedText(uint32_t status, const std::wstring& systemText) {
    std::wstring s = std::wstring(txt::EntryFailed) + HexCode(status) + L".";
    if (!systemText.empty()) s += L"\r\n" + systemText;
    // Access denied while writing the registry: the usual cause is a missing elevation.
    if (status == 0x80070005u || status == 0x8002801Cu) s += std::wstring(L"\r\n") + txt::RunAsAdmin;
    return s;
}

std::wstring EntryCrashedText(uint32_t exceptionCode) {
    std::wstring s = std::wstring(txt::EntryCrashed) + HexCode(exceptionCode);
    if (exceptionCode == 0xC0000005u) s += std::wstring(L" ") + txt::AccessViolation;
    return s + L".";
}

std::wstring EntryEndedThreadText(uint32_t exitCode) {
    return std::wstring(txt::EntryEndedThread) + HexCode(exitCode) + L".";
}

std::wstring LoadFailedText(uint32_t error, const std::wstring& systemText) {
    std::wstring reason = systemText.empty() ? std::wstring(txt::LoadErrorPrefix) + std::to_wstring(error) : systemText;
    return std::wstring(txt::LoadFailure) + L"\r\n" + reason;
}

std::wstring OtherBitnessText(Bitness module, bool offer) {
    std::wstring s = std::wstring(txt::LoadFailure) + L"\r\n" +
                     (module == Bitness::Bits64 ? txt::Is64Bit : txt::Is32Bit) + BuildFor(module) + L".";
    if (offer) s += std::wstring(L"\r\n\r\n") + txt::OpenInOther + BuildFor(module) + L"?";
    return s;
}

std::wstring OtherProcessorText(uint16_t machine) {
    return std::wstring(txt::LoadFailure) + L"\r\n" + txt::OtherProcessor + MachineName(machine) + L").";
}

std::wstring ConvertFilter(const std::wstring& filter) {
    std::wstring out;
    out.reserve(filter.size() + 2);
    for (wchar_t c : filter) out += (c == L'|' || c == L':') ? L'\0' : c;
    out += L'\0';
    out += L'\0';
    return out;
}

std::wstring StripAtNull(const std::wstring& text) {
    auto z = text.find(L'\0');
    return z == std::wstring::npos ? text : text.substr(0, z);
}

std::wstring GetFilterPair(const std::wstring& converted, int32_t index) {
    size_t start = 0;
    for (int32_t n = 1; start < converted.size(); ++n) {
        size_t endDesc = converted.find(L'\0', start);
        if (endDesc == std::wstring::npos) return {};
        size_t endPattern = converted.find(L'\0', endDesc + 1);
        if (endPattern == std::wstring::npos) return {};
        if (endDesc == start) return {};  // the closing double NUL: no more pairs
        if (n == index) return converted.substr(start, endPattern - start);
        start = endPattern + 1;
    }
    return {};
}

std::wstring MultiSelectResult(const std::wstring& buffer) {
    auto dbl = buffer.find(std::wstring(2, L'\0'));
    return dbl == std::wstring::npos ? StripAtNull(buffer) : buffer.substr(0, dbl);
}

std::wstring ResourceTypeName(int32_t eType) {
    switch (eType) {
    case 1: return L"Cursor";
    case 2: return L"Bitmap";
    case 3: return L"Icon";
    case 4: return L"Menu";
    case 5: return L"Dialog";
    case 6: return L"String";
    case 7: return L"Font Directory";
    case 8: return L"Font";
    case 9: return L"Accelerators";
    case 10: return L"RC Data";
    case 11: return L"Message Table";
    case 12: return L"Group Cursor";
    case 14: return L"Group Icon";
    case 16: return L"Version";
    case 17: return L"Dialog Include";
    case 19:
    case 20: return L"VXD";
    case 21: return L"Animated Cursor";
    case 22: return L"Animated Icon";
    case 23: return L"HTML";
    default: return L"Other (" + std::to_wstring(eType) + L")";
    }
}

ResValue ResValueOf(int32_t id, const std::wstring& name) {
    if (id != 0) return id;
    return name;
}

void RaiseSubscriptError() {
#ifdef _WIN32
    const std::wstring source = ExeName();
#else
    const std::wstring source;
#endif
    RaiseError(errnum::SubscriptOutOfRange, source, txt::SubscriptOutOfRange);
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
