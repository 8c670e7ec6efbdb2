// Pellamy's window-free logic: runs natively (sanitizers) and under Wine.
#include <gtest/gtest.h>

#include <cstring>

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

TEST(PellamyCommands, OnlyEmptyAndSingleULetterAreKnown) {
    EXPECT_EQ(EntryForCommand(L""), EntryPoint::Register);
    EXPECT_EQ(EntryForCommand(L"u"), EntryPoint::Unregister);
    EXPECT_EQ(EntryForCommand(L"U"), EntryPoint::Unregister);
    for (const wchar_t* other : {L"uu", L" u", L"u ", L"x", L" ", L"R", L"unregister"})
        EXPECT_EQ(EntryForCommand(other), EntryPoint::Unknown) << other;
    EXPECT_STREQ(EntryPointName(EntryPoint::Register), "DllRegisterServer");
    EXPECT_STREQ(EntryPointName(EntryPoint::Unregister), "DllUnregisterServer");
    EXPECT_EQ(EntryPointName(EntryPoint::Unknown), nullptr);
}

TEST(PellamyPaths, SurroundingQuotesAreDroppedOtherwiseTheTextIsKept) {
    EXPECT_EQ(PathFromBox(L"\"C:\\a b\\x.ocx\""), L"C:\\a b\\x.ocx");
    EXPECT_EQ(PathFromBox(L"  \"C:\\x.ocx\"  "), L"C:\\x.ocx");
    EXPECT_EQ(PathFromBox(L"C:\\x.ocx "), L"C:\\x.ocx ");  // the text itself, not trimmed
    EXPECT_EQ(PathFromBox(L"\"C:\\x.ocx"), L"\"C:\\x.ocx");
    EXPECT_EQ(PathFromBox(L"\"a\" \"b\""), L"\"a\" \"b\"");
    EXPECT_EQ(PathFromBox(L"\""), L"\"");
    EXPECT_EQ(HintExample(L"C:\\WINDOWS\\system32"), L"    e.g. C:\\WINDOWS\\system32\\filename.ocx");
}

// A minimal image header: MZ, e_lfanew, PE signature, file header, optional header magic.
std::vector<unsigned char> Header(uint32_t peOffset, uint16_t magic) {
    std::vector<unsigned char> b(peOffset + 26, 0);
    b[0] = 'M';
    b[1] = 'Z';
    std::memcpy(&b[0x3C], &peOffset, 4);
    b[peOffset] = 'P';
    b[peOffset + 1] = 'E';
    b[peOffset + 24] = static_cast<unsigned char>(magic & 0xFF);
    b[peOffset + 25] = static_cast<unsigned char>(magic >> 8);
    return b;
}

TEST(PellamyBitness, ReadFromTheOptionalHeaderMagic) {
    auto h32 = Header(0x80, 0x10B), h64 = Header(0x100, 0x20B);
    EXPECT_EQ(PeBitness(h32.data(), h32.size()), Bitness::Bits32);
    EXPECT_EQ(PeBitness(h64.data(), h64.size()), Bitness::Bits64);
    auto rom = Header(0x80, 0x107);
    EXPECT_EQ(PeBitness(rom.data(), rom.size()), Bitness::NotPe);
    // Cut short, text, a DOS program (no PE signature), an offset past the end.
    EXPECT_EQ(PeBitness(h64.data(), h64.size() - 1), Bitness::NotPe);
    const char text[] = "This is a text file, not a module.\r\n and some more text to pass 64 bytes of length";
    EXPECT_EQ(PeBitness(reinterpret_cast<const unsigned char*>(text), sizeof(text)), Bitness::NotPe);
    auto dos = Header(0x80, 0x10B);
    dos[0x80] = 'N';
    EXPECT_EQ(PeBitness(dos.data(), dos.size()), Bitness::NotPe);
    auto far = Header(0x80, 0x10B);
    uint32_t huge = 0xFFFFFFF0u;
    std::memcpy(&far[0x3C], &huge, 4);
    EXPECT_EQ(PeBitness(far.data(), far.size()), Bitness::NotPe);
    EXPECT_EQ(PeBitness(nullptr, 0), Bitness::NotPe);
    // How much to read before deciding.
    EXPECT_EQ(PeHeaderBytesNeeded(h32.data(), 0x40), 0x80u + 26);
    EXPECT_EQ(PeHeaderBytesNeeded(h32.data(), 10), 0x40u);
    EXPECT_STREQ(BuildFor(Bitness::Bits64), L"Pellamy64.exe");
    EXPECT_STREQ(BuildFor(Bitness::Bits32), L"Pellamy.exe");
}

TEST(PellamyVersion, TranslationTableFirstThenCommonPairsWithoutRepeats) {
    const uint16_t table[] = {0x040C, 1252, 0x0407, 1252, 0x0409, 1200};
    auto c = CandidateTranslations(table, 6);
    ASSERT_GE(c.size(), 3u);
    EXPECT_EQ(TranslationKey(c[0]), L"040C04E4");
    EXPECT_EQ(TranslationKey(c[1]), L"040704E4");
    EXPECT_EQ(TranslationKey(c[2]), L"040904B0");
    for (size_t i = 3; i < c.size(); ++i) EXPECT_NE(TranslationKey(c[i]), L"040904B0");
    auto none = CandidateTranslations(nullptr, 0);
    ASSERT_FALSE(none.empty());
    EXPECT_EQ(TranslationKey(none[0]), L"040904B0");
    EXPECT_EQ(TranslationKey(none[1]), L"040904E4");
    // An odd word at the end of a damaged table is ignored.
    EXPECT_EQ(CandidateTranslations(table, 3).size(), none.size() + 1);
}

TEST(PellamyVersion, CompanyCutAt21AndBlankVersionCountsAsNone) {
    EXPECT_EQ(CutCompanyName(L"Pellamy Test Fixtures Incorporated"), L"Pellamy Test Fixtures");
    EXPECT_EQ(CutCompanyName(L"Exactly Twenty-One Co"), L"Exactly Twenty-One Co");
    EXPECT_EQ(CutCompanyName(L""), L"");
    EXPECT_TRUE(HasProductVersion(L"1.0"));
    EXPECT_FALSE(HasProductVersion(L"   "));
    EXPECT_FALSE(HasProductVersion(L""));
    EXPECT_EQ(FileInfoText(L"Acme", L"1.2"), L"Company Name:  Acme\r\nProduct Version:  1.2");
    EXPECT_EQ(FileInfoText(L"", L"3.1.4"), L"Company Name:  \r\nProduct Version:  3.1.4");
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
    EXPECT_EQ(f, W(L"OCX Files (*.OCX)\0*.OCX\0Dynamic Link Librarys (*.DLL)\0*.DLL\0All Files (*.*)\0*.*"
                              L"\0\0"));
    EXPECT_EQ(GetFilterPair(f, 1), W(L"OCX Files (*.OCX)\0*.OCX"));
    EXPECT_EQ(GetFilterPair(f, 2), W(L"Dynamic Link Librarys (*.DLL)\0*.DLL"));
    EXPECT_EQ(GetFilterPair(f, 3), W(L"All Files (*.*)\0*.*"));
    EXPECT_EQ(GetFilterPair(f, 4), L"");
    EXPECT_EQ(GetFilterPair(f, 0), L"");
    EXPECT_EQ(GetFilterPair(f, -1), L"");
    // A colon ends an item just as a bar does.
    const std::wstring c = ConvertFilter(L"Text: plain|*.txt");
    EXPECT_EQ(c, W(L"Text\0 plain\0*.txt\0\0"));
    EXPECT_EQ(GetFilterPair(c, 1), W(L"Text\0 plain"));
    EXPECT_EQ(ConvertFilter(L""), std::wstring(2, L'\0'));
    EXPECT_EQ(GetFilterPair(ConvertFilter(L""), 1), L"");
    EXPECT_EQ(GetFilterPair(L"no nul at all", 1), L"");
}

TEST(PellamyFilters, StripAtNullAndMultipleSelection) {
    EXPECT_EQ(StripAtNull(W(L"C:\\a.ocx\0\0\0")), L"C:\\a.ocx");
    EXPECT_EQ(StripAtNull(L"plain"), L"plain");
    EXPECT_EQ(StripAtNull(W(L"\0x")), L"");
    EXPECT_EQ(MultiSelectResult(W(L"C:\\dir\0a.ocx\0b.ocx\0\0\0\0")),
              W(L"C:\\dir\0a.ocx\0b.ocx"));
    EXPECT_EQ(MultiSelectResult(W(L"C:\\one.ocx\0")), L"C:\\one.ocx");
    EXPECT_EQ(MultiSelectResult(L"C:\\one.ocx"), L"C:\\one.ocx");
}

TEST(PellamyResources, TypeNames) {
    EXPECT_EQ(ResourceTypeName(1), L"Cursor");
    EXPECT_EQ(ResourceTypeName(3), L"Icon");
    EXPECT_EQ(ResourceTypeName(6), L"String");
    EXPECT_EQ(ResourceTypeName(10), L"RC Data");
    EXPECT_EQ(ResourceTypeName(14), L"Group Icon");
    EXPECT_EQ(ResourceTypeName(16), L"Version");
    EXPECT_EQ(ResourceTypeName(19), L"VXD");
    EXPECT_EQ(ResourceTypeName(20), L"VXD");
    EXPECT_EQ(ResourceTypeName(23), L"HTML");
    for (int n : {0, 13, 15, 18, 24, 300, -1})
        EXPECT_EQ(ResourceTypeName(n), L"Other (" + std::to_wstring(n) + L")");
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
    EXPECT_EQ(r.ResourceTypeCount(), 3);
    EXPECT_EQ(r.IndexOfResourceType(6), 3);
    EXPECT_EQ(r.IndexOfResourceType(0), 2);  // the first named type
    EXPECT_EQ(r.IndexOfResourceType(99), 0);
    EXPECT_EQ(std::get<int32_t>(r.ResourceType(1)), 3);
    EXPECT_EQ(std::get<std::wstring>(r.ResourceType(2)), L"MYDATA");

    // Names of types 1, 2, 3 land in slots 1, 2, 3.
    for (int32_t t = 1; t <= 3; ++t) {
        ResValue type = r.BeginNames(t);
        EXPECT_EQ(r.CurrentNameSlot(), t);
        r.AddResourceName(t * 10, L"");
        r.AddResourceName(0, L"NAMED" + std::to_wstring(t));
        if (t == 2) {
            EXPECT_EQ(std::get<std::wstring>(type), L"MYDATA");
        }
    }
    EXPECT_EQ(r.SlotCount(), 3);
    EXPECT_EQ(r.ResourceNameCount(2), 2);
    EXPECT_EQ(std::get<int32_t>(r.ResourceName(2, 1)), 20);
    EXPECT_EQ(std::get<std::wstring>(r.ResourceName(2, 2)), L"NAMED2");

    // Again for the same type: its slot is freed and claimed again, not doubled.
    r.BeginNames(2);
    EXPECT_EQ(r.CurrentNameSlot(), 2);
    r.AddResourceName(7, L"");
    EXPECT_EQ(r.ResourceNameCount(2), 1);
    EXPECT_EQ(r.SlotCount(), 3);

    // Free slots 1 and 3; a new enumeration for type 1 takes the LAST free slot (3).
    r.ClearNames(1);
    r.ClearNames(3);
    EXPECT_EQ(r.Slot(1).TypeIndex, 0);
    EXPECT_EQ(r.Slot(3).TypeIndex, 0);
    EXPECT_EQ(r.FindNameSlot(1), 0);
    r.BeginNames(1);
    EXPECT_EQ(r.CurrentNameSlot(), 3);
    r.BeginNames(3);
    EXPECT_EQ(r.CurrentNameSlot(), 1);
    EXPECT_EQ(r.SlotCount(), 3);
    EXPECT_EQ(r.ResourceNameCount(1), 0);

    // Clearing everything.
    r.ClearNames(0);
    EXPECT_EQ(r.SlotCount(), 0);
    r.ClearTypes();
    EXPECT_EQ(r.ResourceTypeCount(), 0);
}

TEST(PellamyResources, ReadsOutsideTheFilledRangeRaiseError9) {
    ResourceLists r;
    EXPECT_EQ(ErrorNumberOf([&] { r.ResourceType(1); }), 9);
    r.AddResourceType(3, L"");
    EXPECT_EQ(ErrorNumberOf([&] { r.ResourceType(0); }), 9);
    EXPECT_EQ(ErrorNumberOf([&] { r.ResourceType(2); }), 9);
    EXPECT_EQ(ErrorNumberOf([&] { r.ResourceNameCount(1); }), 9);  // names never enumerated
    EXPECT_EQ(ErrorNumberOf([&] { r.AddResourceName(1, L""); }), 9);  // no enumeration running
    EXPECT_EQ(ErrorNumberOf([&] { r.BeginNames(2); }), 9);
    r.BeginNames(1);
    r.AddResourceName(1, L"");
    EXPECT_EQ(ErrorNumberOf([&] { r.ResourceName(1, 0); }), 9);
    EXPECT_EQ(ErrorNumberOf([&] { r.ResourceName(1, 2); }), 9);
    EXPECT_EQ(ErrorNumberOf([&] { r.ResourceName(1, 1); }), 0);
    EXPECT_EQ(Err().Number, 9);
    EXPECT_EQ(Err().Description, L"Subscript out of range");
}

}  // namespace
