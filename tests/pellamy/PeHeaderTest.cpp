// A module's bitness and processor from its header bytes (window-free).
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "PeHeader.h"
#include "ResultTexts.h"

using namespace pellamy;

namespace {

// A minimal image header: MZ, e_lfanew, PE signature, file header (machine), optional header magic.
std::vector<unsigned char> Header(uint32_t peOffset, uint16_t magic, uint16_t machine = 0) {
    if (machine == 0) machine = magic == 0x20B ? 0x8664 : 0x14C;
    std::vector<unsigned char> b(peOffset + 26, 0);
    b[0] = 'M';
    b[1] = 'Z';
    std::memcpy(&b[0x3C], &peOffset, 4);
    b[peOffset] = 'P';
    b[peOffset + 1] = 'E';
    b[peOffset + 4] = static_cast<unsigned char>(machine & 0xFF);
    b[peOffset + 5] = static_cast<unsigned char>(machine >> 8);
    b[peOffset + 24] = static_cast<unsigned char>(magic & 0xFF);
    b[peOffset + 25] = static_cast<unsigned char>(magic >> 8);
    return b;
}

TEST(PellamyBitness, ReadFromTheOptionalHeaderMagic) {
    auto h32 = Header(0x80, 0x10B), h64 = Header(0x100, 0x20B), rom = Header(0x80, 0x107), dos = h32, far = h32;
    dos[0x80] = 'N';  // no PE signature
    const uint32_t huge = 0xFFFFFFF0u;
    std::memcpy(&far[0x3C], &huge, 4);
    const std::string text(100, 't');
    EXPECT_EQ(PeBitness(h32.data(), h32.size()), Bitness::Bits32);
    EXPECT_EQ(PeBitness(h64.data(), h64.size()), Bitness::Bits64);
    EXPECT_EQ(PeBitness(h64.data(), h64.size() - 1), Bitness::NotPe);  // cut short
    for (const auto* b : {&rom, &dos, &far}) EXPECT_EQ(PeBitness(b->data(), b->size()), Bitness::NotPe);
    EXPECT_EQ(PeBitness(reinterpret_cast<const unsigned char*>(text.data()), text.size()), Bitness::NotPe);
    EXPECT_EQ(PeHeaderBytesNeeded(h32.data(), 0x40), 0x80u + 26);  // how much to read before deciding
    EXPECT_EQ(PeHeaderBytesNeeded(h32.data(), 10), 0x40u);
}

TEST(PellamyBitness, TheMachineFieldDecidesWhichBuildCanLoadIt) {
    const struct {
        uint16_t machine, magic;
        Bitness bits;
        const wchar_t* name;
    } cases[] = {
        {0x14C, 0x10B, Bitness::Bits32, L"x86"},
        {0x8664, 0x20B, Bitness::Bits64, L"x64"},
        {0xAA64, 0x20B, Bitness::OtherProcessor, L"ARM64"},
        {0x1C4, 0x10B, Bitness::OtherProcessor, L"ARM"},
        {0x1C2, 0x10B, Bitness::OtherProcessor, L"ARM"},
        {0x200, 0x20B, Bitness::OtherProcessor, L"Itanium"},
        {0x5064, 0x20B, Bitness::OtherProcessor, L"RISC-V 64-bit"},
        {0x1234, 0x10B, Bitness::OtherProcessor, L"0x1234"},
        {0x14C, 0x20B, Bitness::NotPe, L"x86"},  // machine and magic disagree: the loader decides
        {0x8664, 0x10B, Bitness::NotPe, L"x64"},
        {0xAA64, 0x107, Bitness::NotPe, L"ARM64"},
    };
    for (const auto& c : cases) {
        const auto h = Header(0x80, c.magic, c.machine);
        EXPECT_EQ(PeBitness(h.data(), h.size()), c.bits) << c.machine;
        EXPECT_EQ(PeMachine(h.data(), h.size()), c.machine);
        EXPECT_EQ(MachineName(c.machine), c.name);
    }
    const auto arm = Header(0x80, 0x20B, 0xAA64);
    EXPECT_EQ(PeMachine(arm.data(), arm.size() - 1), 0);  // cut short
    EXPECT_EQ(OtherProcessorText(0xAA64), L"Failure loading control DLL\r\nThis module is for another processor (ARM64).");
}

}  // namespace
