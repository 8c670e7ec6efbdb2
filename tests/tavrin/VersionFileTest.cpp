// The version file and the version comparison, without a network.
#include <gtest/gtest.h>

#include <tuple>

#include "VersionFile.h"

namespace {

TEST(VersionCompare, FieldsCompareAsNumbersNotAsText) {
    // As text 1.4 would be later; missing fields count as 0, leading zeros do not count, and numbers
    // longer than any integer type still compare.
    for (auto [a, b, sign] : {std::tuple{L"1.35", L"1.135", -1}, {L"1.135", L"2.0", -1}, {L"1.35", L"1.4", 1}, {L"2", L"2.0.0", 0},
                              {L"1.035", L"1.35", 0}, {L"1.99999999999999999999", L"1.100000000000000000000", -1}})
        EXPECT_EQ((CompareVersions(a, b) > 0) - (CompareVersions(a, b) < 0), sign) << a << " " << b;
    EXPECT_TRUE(IsVersionText(L"1.35.0.101"));
    for (const wchar_t* bad : {L"", L"1.", L".1", L"1..2", L"v1.35", L" 1.35", L"\u0661.\u0662"})
        EXPECT_FALSE(IsVersionText(bad)) << bad;
}

// Ours is read leniently about spacing, case, a mark and unknown keys; anything else is refused.
TEST(VersionFileFormat, OursIsReadLenientlyAndAnythingElseRefused) {
    const std::string good = "version=1.40\ndownload=https://example.org/x\n";
    const std::pair<std::string, const wchar_t*> rows[] = {
        {"# Tavrin releases\r\nversion=1.40\r\ndownload=https://tavrin.example.org/t-1.40.zip\r\n"
         "info=Faster find.\r\ninfo=Printing fixes.\r\n",
         L"1.40|https://tavrin.example.org/t-1.40.zip|Faster find.\nPrinting fixes."},
        {"\xEF\xBB\xBF\n  Version = 2.0 \n\tDOWNLOAD=http://example.org/t\nreleased=x\n", L"2.0|http://example.org/t|"},
        {"", L"-"},                                                              // empty
        {"<html><body>Not Found</body></html>", L"-"},                           // a web page
        {"version=1.40\n", L"-"},                                                // no download address
        {"version=1.4x\ndownload=https://example.org/x\n", L"-"},                // not a version
        {"version=1.40\ndownload=file:///C:/Windows/notepad.exe\n", L"-"},       // not a web address
        {"version=1.40\ndownload=https://example.org/a b\n", L"-"},              // blank inside
        {"version=1.40\ndownload=https://example.org/\xE2\x80\xAEtxt.exe\n", L"-"},  // a direction mark
        {"version=1.40\ndownload=http://\\\\host\\share\n", L"-"},
        {"version=1.40\nversion=1.50\ndownload=https://example.org/x\n", L"-"},  // twice
        {good + "just text\n", L"-"},    // a line without =
        {good + "=value\n", L"-"},       // no key
        {good + "info=\xFF\xFE\n", L"-"},  // not UTF-8
        {good + '\0', L"-"},
        {good + "info=" + std::string(kMaxVersionFileBytes, 'a') + "\n", L"-"},
    };
    for (const auto& [file, want] : rows) {
        VersionFile f;
        EXPECT_EQ(ParseVersionFile(file, f) ? f.version + L"|" + f.download + L"|" + f.info : L"-", want) << file.substr(0, 80);
    }
}

TEST(VersionFile, DownloadAddressesAreAbsoluteWebAddressesInPrintableAscii) {
    for (const wchar_t* good : {L"HTTP://127.0.0.1:8080/v.txt", L"https://example.org", L"http://a.b/c?d=e#f",
                                L"https://user@example.org:443/x", L"http://[::1]:8080/", L"https://example.org/a%20b"})
        EXPECT_TRUE(IsWebAddress(good)) << good;
    for (const wchar_t* bad : {
             L"ftp://example.org/", L"file:///C:/x", L"javascript:alert(1)", L"mailto:a@b.c", L"example.org/x",
             L"\\\\host\\share", L"https:///path", L"http://", L"http://:80/", L"http://user@/x", L"http://[]/",
             L"http://host:8x/", L"https://example.org/\x01", L"https://example.org/\x7F",
             L"https://example.org/\x85", L"https://example.org/a\x00A0" L"b", L"https://example.org/\x2028",
             L"https://example.org/\x202Egpj.exe", L"\xFEFFhttps://example.org/", L"https://example.org/\xFEFF",
             L"https://ex\x00E4mple.org/", L"http://\\\\host\\share", L"http:\\\\host\\share",
             L"https://example.org\\x", L"https://example.org/a b", L"https://example.org/<x>",
             L"https://example.org/\"x\""})
        EXPECT_FALSE(IsWebAddress(bad)) << bad;
}

}  // namespace
