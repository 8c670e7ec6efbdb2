// The recovery file's format and the timing of its writes, without a window.
#include <gtest/gtest.h>

#include <tuple>

#include "Recovery.h"
#include "Texts.h"

namespace {

using recovery::Record;

Record Make(std::wstring path, docfile::Encoding e, bool bom, docfile::LineEnd le, std::string text) {
    Record r;
    r.path = std::move(path);
    r.format = {e, bom, le};
    r.writtenAt = 133801234567890123ULL;
    r.text = std::move(text);
    return r;
}

TEST(RecoveryFile, RoundTripsEveryFormatAndADamagedOneIsRefusedWhole) {
    const Record rows[] = {
        Make(L"", docfile::Encoding::Ansi, false, docfile::LineEnd::CrLf, "typed\r\nbut never saved"),
        Make(L"C:\\D\u00e9j\u00e0 vu\\\u6587.cpp", docfile::Encoding::Utf8, true, docfile::LineEnd::Lf, "\xe6\x96\x87\n"),
        Make(L"\\\\server\\share\\a.h", docfile::Encoding::Utf16Le, true, docfile::LineEnd::Cr, "a\rb"),
        Make(L"x.txt", docfile::Encoding::Utf16Be, false, docfile::LineEnd::CrLf, std::string("nul\0inside\n\n", 12)),
        Make(L"empty.txt", docfile::Encoding::Ansi, false, docfile::LineEnd::CrLf, ""),
    };
    for (const Record& r : rows) {
        const recovery::Parsed parsed = recovery::Parse(recovery::Serialize(r));
        ASSERT_TRUE(parsed) << r.path;
        const Record& back = parsed.record;
        EXPECT_EQ(std::tuple(back.path, back.format, back.writtenAt, back.text),
                  std::tuple(r.path, r.format, r.writtenAt, r.text));
    }
    // A damaged file is refused whole.
    const std::string good =
        recovery::Serialize(Make(L"C:\\a.cpp", docfile::Encoding::Utf8, false, docfile::LineEnd::CrLf, "int main() {}\r\n"));
    const size_t textAt = good.find("\n\n") + 2;
    const auto edited = [&](size_t at, const std::string& with) { return std::string(good).replace(at, with.size(), with); };
    struct Row {
        std::string bytes;
        const wchar_t* reason;
    } damaged[] = {
        {good.substr(0, good.size() - 1), texts::RecoveryTruncated},  // cut in the text
        {good.substr(0, textAt), texts::RecoveryTruncated},           // the text lost
        {good + "x", texts::RecoveryTruncated},                       // grown
        {good.substr(0, 30), texts::RecoveryDamaged},                 // cut in the header
        {"", texts::RecoveryDamaged},
        {"Tavrin recovery 2\n" + good.substr(18), texts::RecoveryDamaged},
        {edited(textAt + 3, "T"), texts::RecoveryDamaged},  // same length, other text
        {edited(good.find("encoding: 1"), "encoding: 7"), texts::RecoveryDamaged},
        {edited(good.find("bom: 0"), "bom: 2"), texts::RecoveryDamaged},
        {edited(good.find("time: ") + 6, "x"), texts::RecoveryDamaged},  // a number with a letter in it
    };
    for (const Row& r : damaged) {
        const recovery::Parsed parsed = recovery::Parse(r.bytes);
        EXPECT_EQ(parsed.failure, r.reason) << r.bytes.size();
        EXPECT_TRUE(parsed.record.path.empty() && parsed.record.text.empty());  // nothing half applied
    }
    // Cut just before the blank line that ends the header, read where more bytes follow.
    EXPECT_EQ(recovery::Parse(std::string_view(good).substr(0, textAt - 1)).failure, texts::RecoveryDamaged);
}

TEST(RecoverySchedule, WritesWhenTheTypingPausesAndAtLeastEveryThirtySeconds) {
    recovery::Schedule s;
    EXPECT_FALSE(s.Pending());
    s.Changed(1000);
    s.Changed(2500);
    EXPECT_TRUE(s.Pending());
    EXPECT_EQ(s.Due(), 2500 + recovery::Schedule::kQuietMs);
    for (uint64_t t = 2500; t < 60000; t += 500) s.Changed(t);  // typing on without a pause
    EXPECT_EQ(s.Due(), 1000 + recovery::Schedule::kLongestMs);
    s.Written();
    EXPECT_FALSE(s.Pending());
    s.Changed(70000);  // a new run of changes starts its own count
    EXPECT_EQ(s.Due(), 70000 + recovery::Schedule::kQuietMs);
}

}  // namespace
