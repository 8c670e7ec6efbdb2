// What is read from a module file's bytes: its bitness and processor from the header, values of its
// version block without leaving the block; the lists its resources are kept in (window-free).
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <tuple>
#include <vector>

#include "ErrRecord.h"
#include "PeHeader.h"
#include "ResourceList.h"
#include "VersionBlock.h"

using namespace pellamy;

namespace {

// A minimal image header: MZ, e_lfanew, PE signature, file header (machine), optional header magic.
std::vector<unsigned char> Header(uint32_t peOffset, uint16_t magic, uint16_t machine) {
    std::vector<unsigned char> b(peOffset + 26, 0);
    b[0] = 'M', b[1] = 'Z';
    std::memcpy(&b[0x3C], &peOffset, 4);
    b[peOffset] = 'P', b[peOffset + 1] = 'E';
    std::memcpy(&b[peOffset + 4], &machine, 2);
    std::memcpy(&b[peOffset + 24], &magic, 2);
    return b;
}

// The machine field decides which build can load a module, not the optional header's magic alone.
TEST(PellamyBitness, MachineAndMagicDecideWhichBuildCanLoadIt) {
    const struct {
        uint16_t machine, magic;
        Bitness bits;
        const wchar_t* name;
    } cases[] = {
        {0x14C, 0x10B, Bitness::Bits32, L"x86"},       {0x8664, 0x20B, Bitness::Bits64, L"x64"},
        {0xAA64, 0x20B, Bitness::OtherProcessor, L"ARM64"}, {0x1C4, 0x10B, Bitness::OtherProcessor, L"ARM"},
        {0x1234, 0x10B, Bitness::OtherProcessor, L"0x1234"},
        {0x14C, 0x20B, Bitness::NotPe, L"x86"},  // machine and magic disagree: the loader decides
        {0x8664, 0x10B, Bitness::NotPe, L"x64"},    {0xAA64, 0x107, Bitness::NotPe, L"ARM64"},  // a ROM image
    };
    for (const auto& c : cases) {
        const auto h = Header(0x80, c.magic, c.machine);
        EXPECT_EQ(std::tuple(PeBitness(h.data(), h.size()), PeMachine(h.data(), h.size()), MachineName(c.machine)),
                  std::tuple(c.bits, c.machine, std::wstring(c.name))) << c.machine;
        EXPECT_EQ(std::pair(PeBitness(h.data(), h.size() - 1), PeMachine(h.data(), h.size() - 1)),  // cut short
                  std::pair(Bitness::NotPe, uint16_t{0}));
    }
    auto dos = Header(0x80, 0x10B, 0x14C), far = dos, nearly = dos, noMz = dos, text = std::vector<unsigned char>(100, 't');
    dos[0x80] = 'N';     // no PE signature
    noMz[0] = 'N';       // "NZ": not an executable at all
    nearly[0x83] = 'X';  // "PE\0X": a signature only in part
    const uint32_t huge = 0xFFFFFFF0u;
    std::memcpy(&far[0x3C], &huge, 4);
    for (const auto* b : {&dos, &far, &nearly, &noMz, &text}) EXPECT_EQ(PeBitness(b->data(), b->size()), Bitness::NotPe);
    EXPECT_EQ(PeHeaderBytesNeeded(dos.data(), 0x40), 0x80u + 26);  // how much to read before deciding
    EXPECT_EQ(PeHeaderBytesNeeded(dos.data(), 10), 0x40u);
}

// The old single-byte layout: a value is found by its path (keys without case) and never read past
// its node, its claimed length or the block, however the block is cut.
TEST(PellamyVersion, ValuesOfEitherLayoutStayInsideTheBlock) {
    // Root "VS" { "SFI" { "Co" = "Acme" } }: lengths, value lengths, keys and values padded to 4 bytes.
    const unsigned char raw[] = {29, 0, 0, 0, 'V', 'S', 0, 0, 21, 0, 0, 0, 'S', 'F', 'I', 0,
                                 13, 0, 5, 0, 'C', 'o', 0, 0, 'A', 'c', 'm', 'e', 0};
    const struct {
        std::vector<std::string> path;
        size_t claimed;  // the value length Co claims
        const char* value;  // "-": not found
    } cases[] = {{{"sfi", "CO"}, 5, "Acme"}, {{"SFI"}, 5, ""}, {{"SFI", "Co"}, 200, "Acme"}, {{"SFI", "Co"}, 2, "Ac"},
                 {{"Co"}, 5, "-"}, {{"SFI", "Cox"}, 5, "-"}, {{"SFI", "Co", "X"}, 5, "-"},
                 {{"SFX", "Co"}, 5, "-"}};  // a key of the same length is not the one asked for
    for (const auto& c : cases) {
        std::vector<unsigned char> b(raw, raw + sizeof(raw));
        b[18] = static_cast<unsigned char>(c.claimed);
        std::string v;
        EXPECT_EQ(SingleByteValue(b.data(), b.size(), c.path, v) ? v.substr(0, v.find('\0')) : "-", c.value) << c.path.back();
        for (size_t cut = 0; cut < b.size(); ++cut)  // exactly `cut` bytes, so a read past them is caught
            EXPECT_FALSE(SingleByteValue(std::vector<unsigned char>(b.begin(), b.begin() + cut).data(), cut, c.path, v));
    }
    const unsigned char wide[] = {8, 0, 0, 0, 1, 0, 'V', 0};  // the newer layout: its type word at byte 4
    EXPECT_FALSE(IsSingleByteLayout(wide, sizeof(wide)));
    // A crafted block whose values claim more than the block holds: nothing past its end is read.
    // "Acme" without a terminator at the very end; "1.0" NUL-terminated before it; an odd byte count.
    const char wideRaw[] = "X\0Y\0" "1\0.\0" "0\0\0\0" "A\0c\0m\0e\0" "Z";
    std::vector<unsigned char> block(wideRaw, wideRaw + sizeof(wideRaw) - 1);  // without the literal's own NUL
    const unsigned char* b = block.data();
    const size_t size = block.size();
    const struct {
        size_t offset, claimed;
        const wchar_t* value;
    } claims[] = {
        {4, 3, L"1.0"},     {4, 500, L"1.0"},  // stops at its NUL whatever it claims
        {4, 2, L"1."},      {12, 4, L"Acme"},  // stops at its claimed length
        {12, 4000, L"Acme"},                   // a claim past the end: the whole units left, not the odd byte
        {size - 1, 9, L""}, {size, 9, L""},    // no whole unit left / at the end
        {0, 0, L""},
    };
    for (const auto& c : claims)
        EXPECT_EQ(VersionString(b, size, b + c.offset, c.claimed), c.value) << c.offset << " " << c.claimed;
    std::vector<unsigned char> outside(8, 'x');
    EXPECT_EQ(VersionString(b, size, outside.data(), 4), L"");
    EXPECT_EQ(ItemsInBlock(b, size, b + 4, 1000, 2), (size - 4) / 2);  // a translation table's words
    EXPECT_EQ(ItemsInBlock(b, size, b + 4, 3, 2), 3u);
    for (const void* at : std::initializer_list<const void*>{outside.data(), b + size, nullptr})
        EXPECT_EQ(ItemsInBlock(b, size, at, 3, 2), 0u);  // outside, starting exactly at the block's end, none
    EXPECT_EQ(CutCompanyName(L"Pellamy Test Fixtures Incorporated"), L"Pellamy Test Fixtures");  // 21 shown
    EXPECT_FALSE(HasProductVersion(L"   "));
    // The table's pairs first, in order and once, an odd last word left; then the usual ones.
    const uint16_t table[] = {0x0407, 1252, 0x0407, 1252, 0x0409, 1200, 0x0C0A};
    const std::vector<Translation> tried = CandidateTranslations(table, std::size(table));
    ASSERT_GE(tried.size(), 3u);
    EXPECT_EQ(TranslationKey(tried[0]) + TranslationKey(tried[1]) + TranslationKey(tried[2]), L"040704E4040904B0040904E4");
}

int32_t ErrorNumberOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const VbError& e) {
        return e.Number();
    }
    return 0;
}

// Freed name slots are reused last free first; reads outside the filled range raise error 9.
TEST(PellamyResources, FreedNameSlotsAreReusedLastFreeFirst) {
    ResourceLists r;
    r.AddResourceType(3, L"");
    for (auto bad : std::vector<std::function<void()>>{[&] { r.ResourceType(2); }, [&] { r.ResourceNameCount(1); },
                     [&] { r.AddResourceName(1, L""); }, [&] { r.BeginNames(2); }})
        EXPECT_EQ(ErrorNumberOf(bad), 9);
    r.AddResourceType(0, L"MYDATA");
    r.AddResourceType(6, L"");
    EXPECT_EQ(r.IndexOfResourceType(6), 3);
    EXPECT_EQ(r.IndexOfResourceType(0), 2);  // the first named type
    EXPECT_EQ(r.IndexOfResourceType(99), 0);
    std::wstring begun;  // what each type is called: its number, or its name
    for (int32_t t = 1; t <= 3; ++t) {  // names of types 1, 2, 3 land in slots 1, 2, 3
        const ResValue v = r.BeginNames(t);
        begun += std::holds_alternative<int32_t>(v) ? std::to_wstring(std::get<int32_t>(v)) : std::get<std::wstring>(v);
        EXPECT_EQ(r.CurrentNameSlot(), t);
        r.AddResourceName(t * 10, L"");
        r.AddResourceName(0, L"NAMED" + std::to_wstring(t));
    }
    EXPECT_EQ(begun, L"3MYDATA6");
    EXPECT_EQ(std::get<std::wstring>(r.ResourceName(2, 2)), L"NAMED2");
    EXPECT_EQ(ErrorNumberOf([&] { r.ResourceName(1, 3); }), 9);
    r.BeginNames(2);  // again for the same type: its slot is freed and claimed again, not doubled
    EXPECT_EQ(r.CurrentNameSlot(), 2);
    EXPECT_EQ(r.GetNameSlot(2), 2);  // asked again: the slot it has
    r.AddResourceName(7, L"");
    EXPECT_EQ(r.ResourceNameCount(2), 1);
    r.ClearNames(1);
    r.ClearNames(3);
    EXPECT_EQ(r.FindNameSlot(1), 0);
    r.BeginNames(1);
    EXPECT_EQ(r.CurrentNameSlot(), 3);
    r.BeginNames(3);
    EXPECT_EQ(r.CurrentNameSlot(), 1);
    r.ClearNames(0);
    EXPECT_EQ(r.SlotCount(), 0);
}

}  // namespace
