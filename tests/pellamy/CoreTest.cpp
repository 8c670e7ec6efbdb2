// Pellamy's window-free logic: runs natively (sanitizers) and under Wine.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "ErrRecord.h"
#include "PellamyCore.h"
#include "Texts.h"

using namespace pellamy;

namespace {

// A literal with embedded NULs as a whole string.
template <size_t N>
std::wstring W(const wchar_t (&s)[N]) {
    return std::wstring(s, N - 1);
}

TEST(PellamyCommands, OnlyEmptyAndSingleULetterAreKnownAndQuotedPathsAreAccepted) {
    EXPECT_EQ(EntryForCommand(L""), EntryPoint::Register);
    EXPECT_EQ(EntryForCommand(L"u"), EntryPoint::Unregister);
    EXPECT_EQ(EntryForCommand(L"U"), EntryPoint::Unregister);
    for (const wchar_t* other : {L"uu", L" u", L"x", L"unregister"})
        EXPECT_EQ(EntryForCommand(other), EntryPoint::Unknown) << other;
    EXPECT_STREQ(EntryPointName(EntryPoint::Unregister), "DllUnregisterServer");
    EXPECT_EQ(EntryPointName(EntryPoint::Unknown), nullptr);
    EXPECT_EQ(PathFromBox(L"  \"C:\\a b\\x.ocx\"  "), L"C:\\a b\\x.ocx");
    EXPECT_EQ(PathFromBox(L"C:\\x.ocx "), L"C:\\x.ocx ");  // the text itself, not trimmed
    EXPECT_EQ(PathFromBox(L"\"C:\\x.ocx"), L"\"C:\\x.ocx");
    EXPECT_EQ(PathFromBox(L"\"a\" \"b\""), L"\"a\" \"b\"");
}

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

TEST(PellamyVersion, CompanyCutAt21AndBlankVersionCountsAsNone) {
    EXPECT_EQ(CutCompanyName(L"Pellamy Test Fixtures Incorporated"), L"Pellamy Test Fixtures");
    EXPECT_EQ(CutCompanyName(L"Exactly Twenty-One Co"), L"Exactly Twenty-One Co");
    EXPECT_TRUE(HasProductVersion(L"1.0"));
    EXPECT_FALSE(HasProductVersion(L"   "));
    EXPECT_EQ(FileInfoText(L"Acme", L"1.2"), L"Company Name:  Acme\r\nProduct Version:  1.2");
}

// A crafted block whose values claim more than the block holds: nothing past its end is read.
TEST(PellamyVersion, ValuesStayInsideTheBlock) {
    // "Acme" without a terminator at the very end; "1.0" NUL-terminated before it; an odd byte count.
    const char raw[] = "X\0Y\0" "1\0.\0" "0\0\0\0" "A\0c\0m\0e\0" "Z";
    std::vector<unsigned char> block(raw, raw + sizeof(raw) - 1);  // without the literal's own NUL
    const unsigned char* b = block.data();
    const size_t size = block.size();
    const struct {
        size_t offset, claimed;
        const wchar_t* value;
    } cases[] = {
        {4, 3, L"1.0"},     {4, 500, L"1.0"},  // stops at its NUL whatever it claims
        {4, 2, L"1."},      {12, 4, L"Acme"},  // stops at its claimed length
        {12, 4000, L"Acme"},                   // a claim past the end: the whole units left, not the odd byte
        {size - 1, 9, L""}, {size, 9, L""},    // no whole unit left / at the end
        {0, 0, L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(VersionString(b, size, b + c.offset, c.claimed), c.value) << c.offset << " " << c.claimed;
    std::vector<unsigned char> outside(8, 'x');
    EXPECT_EQ(VersionString(b, size, outside.data(), 4), L"");
    EXPECT_EQ(ItemsInBlock(b, size, b + 4, 1000, 2), (size - 4) / 2);  // a translation table's words
    EXPECT_EQ(ItemsInBlock(b, size, b + 4, 3, 2), 3u);
    EXPECT_EQ(ItemsInBlock(b, size, outside.data(), 3, 2), 0u);
    EXPECT_EQ(ItemsInBlock(b, size, nullptr, 3, 2), 0u);
}

TEST(PellamyResults, StatusAndFailureTexts) {
    EXPECT_EQ(HexCode(0x80070005u), L"0x80070005");
    EXPECT_EQ(HexCode(0), L"0x00000000");
    EXPECT_TRUE(IsFailureStatus(0x80004005u));
    EXPECT_FALSE(IsFailureStatus(0));
    EXPECT_FALSE(IsFailureStatus(1));  // S_FALSE is a success
    EXPECT_EQ(EntryFailedText(0x80070005u, L"Access denied."),
              L"Process failed: the entry point returned 0x80070005.\r\nAccess denied.\r\n"
              L"Run Pellamy as administrator to register this file.");
    EXPECT_EQ(EntryFailedText(0x80004005u, L""), L"Process failed: the entry point returned 0x80004005.");
    EXPECT_EQ(EntryCrashedText(0xC0000005u),
              L"Process failed: the entry point stopped with exception 0xC0000005 (access violation).");
    EXPECT_EQ(EntryCrashedText(0xC0000094u), L"Process failed: the entry point stopped with exception 0xC0000094.");
    EXPECT_EQ(EntryEndedThreadText(3), L"Process failed: the entry point ended its thread with code 0x00000003.");
    EXPECT_EQ(LoadFailedText(193, L"Bad EXE format."), L"Failure loading control DLL\r\nBad EXE format.");
    EXPECT_EQ(LoadFailedText(126, L""), L"Failure loading control DLL\r\nError 126");
    EXPECT_EQ(OtherBitnessText(Bitness::Bits64, false),
              L"Failure loading control DLL\r\nThis is a 64-bit module; the 32-bit Pellamy cannot load it. "
              L"Use Pellamy64.exe.");
    EXPECT_EQ(OtherBitnessText(Bitness::Bits32, true),
              L"Failure loading control DLL\r\nThis is a 32-bit module; the 64-bit Pellamy cannot load it. "
              L"Use Pellamy.exe.\r\n\r\nOpen it in Pellamy.exe?");
}

TEST(PellamyFilters, BarsAndColonsBecomeNulsAndPairsAreFoundByIndex) {
    const std::wstring f = ConvertFilter(txt::BrowseFilter);
    EXPECT_EQ(f, W(L"OCX Files (*.OCX)\0*.OCX\0Dynamic Link Librarys (*.DLL)\0*.DLL\0All Files (*.*)\0*.*\0\0"));
    EXPECT_EQ(GetFilterPair(f, 1), W(L"OCX Files (*.OCX)\0*.OCX"));
    EXPECT_EQ(GetFilterPair(f, 3), W(L"All Files (*.*)\0*.*"));
    for (int bad : {4, 0, -1}) EXPECT_EQ(GetFilterPair(f, bad), L"") << bad;
    const std::wstring c = ConvertFilter(L"Text: plain|*.txt");  // a colon ends an item just as a bar does
    EXPECT_EQ(c, W(L"Text\0 plain\0*.txt\0\0"));
    EXPECT_EQ(GetFilterPair(c, 1), W(L"Text\0 plain"));
    EXPECT_EQ(GetFilterPair(ConvertFilter(L""), 1), L"");
    EXPECT_EQ(GetFilterPair(L"no nul at all", 1), L"");
    EXPECT_EQ(StripAtNull(W(L"C:\\a.ocx\0\0\0")), L"C:\\a.ocx");
    EXPECT_EQ(StripAtNull(W(L"\0x")), L"");
    EXPECT_EQ(MultiSelectResult(W(L"C:\\dir\0a.ocx\0b.ocx\0\0\0\0")), W(L"C:\\dir\0a.ocx\0b.ocx"));
    EXPECT_EQ(MultiSelectResult(W(L"C:\\one.ocx\0")), L"C:\\one.ocx");
}

TEST(PellamyResources, TypeNames) {
    const std::pair<int, const wchar_t*> known[] = {{1, L"Cursor"},  {6, L"String"}, {14, L"Group Icon"},
                                                    {16, L"Version"}, {19, L"VXD"},   {20, L"VXD"},
                                                    {23, L"HTML"}};
    for (const auto& [n, name] : known) EXPECT_EQ(ResourceTypeName(n), name) << n;
    for (int n : {0, 13, 24, -1}) EXPECT_EQ(ResourceTypeName(n), L"Other (" + std::to_wstring(n) + L")");
}

int32_t ErrorNumberOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const VbError& e) {
        return e.Number();
    }
    return 0;
}

TEST(PellamyResources, FreedNameSlotsAreReusedLastFreeFirst) {
    ResourceLists r;
    r.AddResourceType(3, L"");
    r.AddResourceType(0, L"MYDATA");
    r.AddResourceType(6, L"");
    EXPECT_EQ(r.IndexOfResourceType(6), 3);
    EXPECT_EQ(r.IndexOfResourceType(0), 2);  // the first named type
    EXPECT_EQ(r.IndexOfResourceType(99), 0);
    EXPECT_EQ(std::get<std::wstring>(r.ResourceType(2)), L"MYDATA");
    for (int32_t t = 1; t <= 3; ++t) {  // names of types 1, 2, 3 land in slots 1, 2, 3
        r.BeginNames(t);
        EXPECT_EQ(r.CurrentNameSlot(), t);
        r.AddResourceName(t * 10, L"");
        r.AddResourceName(0, L"NAMED" + std::to_wstring(t));
    }
    EXPECT_EQ(std::get<int32_t>(r.ResourceName(2, 1)), 20);
    EXPECT_EQ(std::get<std::wstring>(r.ResourceName(2, 2)), L"NAMED2");
    r.BeginNames(2);  // again for the same type: its slot is freed and claimed again, not doubled
    EXPECT_EQ(r.CurrentNameSlot(), 2);
    r.AddResourceName(7, L"");
    EXPECT_EQ(r.ResourceNameCount(2), 1);
    // Free slots 1 and 3; a new enumeration for type 1 takes the LAST free slot (3).
    r.ClearNames(1);
    r.ClearNames(3);
    EXPECT_EQ(r.FindNameSlot(1), 0);
    r.BeginNames(1);
    EXPECT_EQ(r.CurrentNameSlot(), 3);
    r.BeginNames(3);
    EXPECT_EQ(r.CurrentNameSlot(), 1);
    EXPECT_EQ(r.SlotCount(), 3);
    r.ClearNames(0);
    EXPECT_EQ(r.SlotCount(), 0);
}

TEST(PellamyResources, ReadsOutsideTheFilledRangeRaiseError9) {
    ResourceLists r;
    EXPECT_EQ(ErrorNumberOf([&] { r.ResourceType(1); }), 9);
    r.AddResourceType(3, L"");
    for (auto bad : std::vector<std::function<void()>>{[&] { r.ResourceType(2); }, [&] { r.ResourceNameCount(1); },
                                                       [&] { r.AddResourceName(1, L""); }, [&] { r.BeginNames(2); }})
        EXPECT_EQ(ErrorNumberOf(bad), 9);
    r.BeginNames(1);
    r.AddResourceName(1, L"");
    EXPECT_EQ(ErrorNumberOf([&] { r.ResourceName(1, 2); }), 9);
    EXPECT_EQ(ErrorNumberOf([&] { r.ResourceName(1, 1); }), 0);
    EXPECT_EQ(Err().Description, L"Subscript out of range");
}

}  // namespace
