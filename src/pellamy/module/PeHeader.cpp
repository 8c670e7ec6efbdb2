#include "PeHeader.h"

#include <cstdio>

namespace pellamy {

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

bool PeIsProgram(const unsigned char* data, size_t size) {
    const unsigned char* h = PeHeader(data, size);
    constexpr uint16_t kFileDll = 0x2000;
    return h && !(Le16(h + 4 + 18) & kFileDll);  // the file header's Characteristics
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

}  // namespace pellamy
