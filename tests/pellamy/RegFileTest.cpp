// The .reg writer: every value type as the registry editor writes it, odd characters, empty keys,
// default values, the editor's wrapping of long hex values, and the file's bytes.
#include <gtest/gtest.h>

#include "RegFile.h"

using namespace pellamy;

namespace {

RegValue Raw(const std::wstring& name, uint32_t type, std::vector<uint8_t> data) { return {name, type, std::move(data)}; }

std::vector<std::wstring> Lines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    size_t start = 0;
    for (size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    lines.push_back(text.substr(start));
    return lines;
}

struct ValueCase {
    const char* what;
    RegValue value;
    std::wstring text;
};

TEST(PellamyRegFile, EveryValueTypeAndOddCharacters) {
    const ValueCase cases[] = {
        {"string", StringValue(L"Name", L"plain"), L"\"Name\"=\"plain\""},
        {"default value", StringValue(L"", L"Class"), L"@=\"Class\""},
        {"empty string", StringValue(L"e", L""), L"\"e\"=\"\""},
        {"quotes and backslashes", StringValue(L"a\"b\\c", L"C:\\dir\\\"q\""), L"\"a\\\"b\\\\c\"=\"C:\\\\dir\\\\\\\"q\\\"\""},
        {"= and ] in a name", StringValue(L"k=v]", L"[x]=y"), L"\"k=v]\"=\"[x]=y\""},
        {"non-ASCII", StringValue(L"Gr\u00f6\u00dfe", L"\u65e5\u672c"), L"\"Gr\u00f6\u00dfe\"=\"\u65e5\u672c\""},
        {"a line break is kept as hex(1)", StringValue(L"s", L"a\r\nb"),
         L"\"s\"=hex(1):61,00,0d,00,0a,00,62,00,00,00"},
        {"a string without terminator as hex(1)", Raw(L"s", regtype::Sz, {0x61, 0}), L"\"s\"=hex(1):61,00"},
        {"dword", DwordValue(L"d", 10), L"\"d\"=dword:0000000a"},
        {"dword, all bits", DwordValue(L"", 0xFFFFFFFFu), L"@=dword:ffffffff"},
        {"dword of a wrong size", Raw(L"d", regtype::Dword, {1, 2, 3}), L"\"d\"=hex(4):01,02,03"},
        {"expand string kept as hex(2)", StringValue(L"p", L"%A%", regtype::ExpandSz),
         L"\"p\"=hex(2):25,00,41,00,25,00,00,00"},
        {"multi-string", Raw(L"m", regtype::MultiSz, {0x61, 0, 0, 0, 0x62, 0, 0, 0, 0, 0}),
         L"\"m\"=hex(7):61,00,00,00,62,00,00,00,00,00"},
        {"qword", Raw(L"q", regtype::Qword, {1, 0, 0, 0, 0, 0, 0, 0x80}), L"\"q\"=hex(b):01,00,00,00,00,00,00,80"},
        {"binary", Raw(L"b", regtype::Binary, {0x00, 0xAB, 0xFF}), L"\"b\"=hex:00,ab,ff"},
        {"empty binary", Raw(L"b", regtype::Binary, {}), L"\"b\"=hex:"},
        {"none", Raw(L"n", regtype::None, {}), L"\"n\"=hex(0):"},
        {"another type", Raw(L"o", 0x20, {0xFF}), L"\"o\"=hex(20):ff"},
    };
    for (const ValueCase& c : cases) EXPECT_EQ(RegValueText(c.value), c.text) << c.what;
}

// Lines as the registry editor wraps them: the first line (with its name) ends at 80 columns at
// most, continuation lines are indented two blanks and hold 25 bytes.
TEST(PellamyRegFile, LongHexValuesWrapAsTheEditorWrapsThem) {
    const std::vector<std::wstring> imagePath =
        Lines(RegValueText(StringValue(L"ImagePath", L"%SystemRoot%\\System32\\drivers\\x.sys", regtype::ExpandSz)));
    const std::vector<std::wstring> expected = {
        L"\"ImagePath\"=hex(2):25,00,53,00,79,00,73,00,74,00,65,00,6d,00,52,00,6f,00,6f,00,\\",
        L"  74,00,25,00,5c,00,53,00,79,00,73,00,74,00,65,00,6d,00,33,00,32,00,5c,00,64,\\",
        L"  00,72,00,69,00,76,00,65,00,72,00,73,00,5c,00,78,00,2e,00,73,00,79,00,73,00,\\",
        L"  00,00",
    };
    EXPECT_EQ(imagePath, expected);

    std::vector<uint8_t> bytes(300);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i);
    const std::vector<std::wstring> lines = Lines(RegValueText(Raw(L"FailureActions", regtype::Binary, bytes)));
    ASSERT_GT(lines.size(), 3u);
    EXPECT_EQ(lines[0], L"\"FailureActions\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,\\");
    size_t count = 19;
    for (size_t i = 1; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].substr(0, 2), L"  ") << i;
        EXPECT_LE(lines[i].size(), 80u) << i;
        const size_t onLine = (lines[i].size() - 2 + 1) / 3;
        if (i + 1 < lines.size()) {
            EXPECT_EQ(onLine, 25u) << i;
        }
        count += onLine;
    }
    EXPECT_EQ(count, bytes.size());
    EXPECT_EQ(lines.back().substr(lines.back().size() - 2), L"2b");  // the last byte, 299 = 0x12b
}

TEST(PellamyRegFile, FileTextEmptyKeysDefaultValuesAndBytes) {
    const std::vector<RegKeyEntry> keys = {
        {L"HKEY_CLASSES_ROOT\\Empty", {}},
        {L"HKEY_CLASSES_ROOT\\Caf\u00e9\\Sub", {StringValue(L"", L"v"), DwordValue(L"n", 1)}},
    };
    const std::wstring text = RegFileText(keys);
    EXPECT_EQ(text,
              L"Windows Registry Editor Version 5.00\r\n\r\n"
              L"[HKEY_CLASSES_ROOT\\Empty]\r\n\r\n"
              L"[HKEY_CLASSES_ROOT\\Caf\u00e9\\Sub]\r\n@=\"v\"\r\n\"n\"=dword:00000001\r\n\r\n");
    EXPECT_EQ(RegFileText({}), L"Windows Registry Editor Version 5.00\r\n\r\n");

    const std::string bytes = RegFileBytes(keys);
    ASSERT_EQ(bytes.size(), 2 + text.size() * 2);
    EXPECT_EQ(bytes.substr(0, 6), std::string("\xFF\xFEW\0i\0", 6));  // byte-order mark, UTF-16 LE
    EXPECT_NE(bytes.find(std::string("\xE9\0\\\0S\0", 6)), std::string::npos);  // é as one unit
    EXPECT_EQ(bytes.substr(bytes.size() - 8), std::string("\r\0\n\0\r\0\n\0", 8));
}

}  // namespace
