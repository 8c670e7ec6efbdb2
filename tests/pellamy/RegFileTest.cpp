// The .reg writer (every value type as the registry editor writes it, its wrapping, the file's
// bytes), the captured keys (folded, sorted, summarised) an export or a per-user run is made of, and
// the record a registration child reports them in.
#include <gtest/gtest.h>

#include "RegCapture.h"
#include "RegFile.h"
#include "RunRecord.h"

using namespace pellamy;

namespace {

RegValue Raw(const std::wstring& name, uint32_t type, std::vector<uint8_t> data) { return {name, type, std::move(data)}; }

std::vector<std::wstring> Paths(const std::vector<RegKeyEntry>& keys) {
    std::vector<std::wstring> p;
    for (const RegKeyEntry& k : keys) p.push_back(k.path);
    return p;
}

TEST(PellamyRegFile, EveryValueTypeAndOddCharacters) {
    const std::pair<RegValue, std::wstring> cases[] = {
        {StringValue(L"", L"Class"), L"@=\"Class\""},
        {StringValue(L"a\"b\\c", L"C:\\dir\\\"q\""), L"\"a\\\"b\\\\c\"=\"C:\\\\dir\\\\\\\"q\\\"\""},
        {StringValue(L"k=v]", L"[x]=y"), L"\"k=v]\"=\"[x]=y\""},
        {StringValue(L"Gr\u00f6\u00dfe", L"\u65e5\u672c"), L"\"Gr\u00f6\u00dfe\"=\"\u65e5\u672c\""},
        {StringValue(L"s", L"a\r\nb"), L"\"s\"=hex(1):61,00,0d,00,0a,00,62,00,00,00"},  // a line break: as hex
        {Raw(L"s", regtype::Sz, {0x61, 0}), L"\"s\"=hex(1):61,00"},                      // no terminator
        {Raw(L"s", regtype::Sz, {0, 0, 0}), L"\"s\"=hex(1):00,00,00"},                   // half a unit after it
        {Raw(L"d", regtype::Dword, {1, 2, 3}), L"\"d\"=hex(4):01,02,03"},  // of a wrong size
        {StringValue(L"p", L"%A%", regtype::ExpandSz), L"\"p\"=hex(2):25,00,41,00,25,00,00,00"},
        {Raw(L"m", regtype::MultiSz, {0x61, 0, 0, 0, 0, 0}), L"\"m\"=hex(7):61,00,00,00,00,00"},
        {Raw(L"q", regtype::Qword, {1, 0, 0, 0, 0, 0, 0, 0x80}), L"\"q\"=hex(b):01,00,00,00,00,00,00,80"},
        {DwordValue(L"", 0xFFFFFFFFu), L"@=dword:ffffffff"}, {Raw(L"n", regtype::None, {}), L"\"n\"=hex(0):"},
        {Raw(L"o", 0x20, {0xFF}), L"\"o\"=hex(20):ff"}, {Raw(L"b", regtype::Binary, {0x00, 0xAB, 0xFF}), L"\"b\"=hex:00,ab,ff"},
    };
    for (const auto& [value, text] : cases) EXPECT_EQ(RegValueText(value), text);
    // The editor's wrapping: the first line (with its name) ends at 80 columns at most, continuation
    // lines are indented two blanks and hold 25 bytes.
    EXPECT_EQ(RegValueText(StringValue(L"ImagePath", L"%SystemRoot%\\System32\\drivers\\x.sys", regtype::ExpandSz)),
              L"\"ImagePath\"=hex(2):25,00,53,00,79,00,73,00,74,00,65,00,6d,00,52,00,6f,00,6f,00,\\\r\n"
              L"  74,00,25,00,5c,00,53,00,79,00,73,00,74,00,65,00,6d,00,33,00,32,00,5c,00,64,\\\r\n"
              L"  00,72,00,69,00,76,00,65,00,72,00,73,00,5c,00,78,00,2e,00,73,00,79,00,73,00,\\\r\n"
              L"  00,00");
}

// A line break in a name would start a line of the module's choosing: such names are taken out and
// shown; a key's subkeys go with it.
TEST(PellamyRegFile, NamesTheFileCannotHoldAreTakenOutAndShown) {
    std::vector<RegKeyEntry> keys = {
        {L"R\\A", {StringValue(L"ok", L"1"), StringValue(L"x\r\n[X]", L"2"), StringValue(std::wstring(L"n\0l", 3), L"3")}},
        {L"R\\A\\Evil\r\n[HKLM", {}},
        {L"R\\A\\Evil\r\n[HKLM\\Evil]", {StringValue(L"", L"4")}},
        {L"R\\A\\Line\nFeed", {}},
        {L"R\\A\\Tab\t]", {StringValue(L"q\"\\", L"5")}},
    };
    EXPECT_EQ(TakeUnfitNames(keys), (std::vector<std::wstring>{L"R\\A : \"x<CR><LF>[X]\"", L"R\\A : \"n<NUL>l\"",
                                                               L"R\\A\\Evil<CR><LF>[HKLM", L"R\\A\\Line<LF>Feed"}));
    EXPECT_EQ(Paths(keys), (std::vector<std::wstring>{L"R\\A", L"R\\A\\Tab\t]"}));
    EXPECT_EQ(keys[0].values.size(), 1u);
}

TEST(PellamyRegFile, FileTextEmptyKeysDefaultValuesAndBytes) {
    const std::vector<RegKeyEntry> keys = {
        {L"HKEY_CLASSES_ROOT\\Empty", {}},
        {L"HKEY_CLASSES_ROOT\\Caf\u00e9\\Sub", {StringValue(L"", L"v"), DwordValue(L"n", 1)}},
    };
    const std::wstring text = RegFileText(keys);
    EXPECT_EQ(text, L"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CLASSES_ROOT\\Empty]\r\n\r\n"
                    L"[HKEY_CLASSES_ROOT\\Caf\u00e9\\Sub]\r\n@=\"v\"\r\n\"n\"=dword:00000001\r\n\r\n");
    const std::string bytes = RegFileBytes(keys);
    ASSERT_EQ(bytes.size(), 2 + text.size() * 2);
    EXPECT_EQ(bytes.substr(0, 6), std::string("\xFF\xFEW\0i\0", 6));           // byte-order mark, UTF-16 LE
    EXPECT_NE(bytes.find(std::string("\xE9\0\\\0S\0", 6)), std::string::npos);  // é as one unit
}

TEST(PellamyRegCapture, MachineClassesFoldIntoClassesRootOncePreparedKeysGoAndTheSummaryCounts) {
    const std::wstring sw = L"HKEY_LOCAL_MACHINE\\Software", classes = sw + L"\\Classes";
    const std::vector<std::wstring> skeleton = {sw, classes};
    std::vector<RegKeyEntry> captured = {
        {L"HKEY_CLASSES_ROOT\\CLSID", {}},  // the first spelling stays
        {L"HKEY_CLASSES_ROOT\\CLSID\\{1}", {StringValue(L"", L"One")}},
        {sw, {}}, {classes, {}}, {L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\clsid", {}},
        {classes + L"\\CLSID\\{1}", {StringValue(L"", L"Two"), DwordValue(L"x", 1)}},
        {sw + L"\\Vendor", {DwordValue(L"v", 1)}},  // a sibling of the classes keeps its parent
    };
    std::vector<RegKeyEntry> folded = FoldCapturedKeys(captured, skeleton);
    EXPECT_EQ(Paths(folded), (std::vector<std::wstring>{L"HKEY_CLASSES_ROOT\\CLSID", L"HKEY_CLASSES_ROOT\\CLSID\\{1}",
                                                         sw, sw + L"\\Vendor"}));
    ASSERT_EQ(folded[1].values.size(), 2u);
    EXPECT_EQ(RegValueText(folded[1].values[0]), L"@=\"Two\"");  // the later write wins, once
    EXPECT_TRUE(FoldCapturedKeys({{sw, {}}, {classes, {}}}, skeleton).empty());
    // Not folded (a per-user run reports them where they were written).
    captured = {{sw, {}}, {classes, {}}, {classes + L"\\X", {DwordValue(L"v", 1)}}};
    EXPECT_EQ(Paths(FoldCapturedKeys(captured, skeleton, false)), (std::vector<std::wstring>{sw, classes, classes + L"\\X"}));
    EXPECT_EQ(WrittenKeyPaths({{sw, {}}, {sw + L"\\V", {DwordValue(L"v", 1)}}, {sw + L"\\V\\Empty", {}}}),
              (std::vector<std::wstring>{sw + L"\\V", sw + L"\\V\\Empty"}));  // those with values, and the leaves
    std::vector<RegKeyEntry> keys = {{L"R\\b", {}}, {L"R\\A\\x", {}}, {L"R\\a-z", {}}, {L"R\\A", {}}, {L"R", {}}};
    SortKeys(keys);  // parents first, siblings without case
    EXPECT_EQ(Paths(keys), (std::vector<std::wstring>{L"R", L"R\\A", L"R\\A\\x", L"R\\a-z", L"R\\b"}));
    // The summary counts classes, ProgIDs, type libraries and interfaces.
    const std::wstring cr = L"HKEY_CLASSES_ROOT\\";
    const std::vector<RegKeyEntry> summarised = {
        {cr + L"CLSID", {}}, {cr + L"CLSID\\{1}", {StringValue(L"", L"First Class")}},
        {cr + L"CLSID\\{1}\\InprocServer32", {StringValue(L"", L"x.dll")}}, {cr + L"CLSID\\{2}", {}},
        {cr + L"Lib.First.1\\CLSID", {StringValue(L"", L"{1}")}}, {cr + L"Interface\\{I1}", {}}, {cr + L"Interface\\{I2}", {}},
        {cr + L"TypeLib\\{T}", {}}, {cr + L"TypeLib\\{T}\\1.0", {}},
        {L"HKEY_LOCAL_MACHINE\\Software\\Lib\\CLSID", {}},  // not a ProgID: not under the classes
    };
    const RegistrationSummary s = Summarize(summarised);
    EXPECT_EQ(s.classes, (std::vector<std::wstring>{L"First Class", L"{2}"}));
    EXPECT_NE(ExportSummaryText(s, L"x.reg").find(L"Classes: 2\r\n    First Class\r\n    {2}\r\nProgIDs: 1\r\n"
                                                  L"Type libraries: 1\r\nInterfaces: 2\r\n"),
              std::wstring::npos);
}

// The record a registration child reports to its parent: what it holds comes back whole; anything
// but one whole record of this version is refused.
RunRecord Sample() {
    RunRecord r;
    r.result = {RunOutcome::Failed, 0x80070005u};
    r.notWritten = {L"HKEY_LOCAL_MACHINE\\Software\\X", L""};
    r.captured = {{L"HKEY_CLASSES_ROOT\\Caf\u00e9", {StringValue(L"", L"v"), DwordValue(L"n", 7)}},
                  {L"HKEY_CLASSES_ROOT\\Empty", {}}};
    return r;
}

// Cut short or grown (with its length made to match), of another version or kind, or counting more
// than it holds: refused.
TEST(PellamyRunRecord, WhatItHoldsComesBackWholeAndAnythingButOneWholeRecordIsRefused) {
    RunRecord r;
    const std::string good = EncodeRunRecord(Sample());
    ASSERT_TRUE(DecodeRunRecord(good, r));
    EXPECT_TRUE(r.result.outcome == RunOutcome::Failed && r.result.code == 0x80070005u);
    EXPECT_EQ(r.notWritten, Sample().notWritten);
    EXPECT_EQ(RegFileText(r.captured), RegFileText(Sample().captured));
    auto patched = [](std::string b, size_t at, size_t v) {
        for (size_t i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
        return b;
    };
    for (size_t cut = 0; cut < good.size(); ++cut)
        EXPECT_FALSE(DecodeRunRecord(cut < 12 ? good.substr(0, cut) : patched(good.substr(0, cut), 8, cut), r)) << cut;
    const std::pair<std::string, const char*> cases[] = {
        {good + '\0', "grown"},        {patched(good + '\0', 8, good.size() + 1), "grown, length to match"},
        {patched(good, 0, 0), "magic"}, {patched(good, 4, 2), "version"},
        {patched(good, 12, 99), "kind"}, {patched(good, 20, 0xFFFFFFFF), "count"},
    };
    for (const auto& [bytes, what] : cases) EXPECT_FALSE(DecodeRunRecord(bytes, r)) << what;
}

}  // namespace
