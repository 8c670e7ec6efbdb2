// Values of a version block as shown, read without leaving the block (window-free).
#include <gtest/gtest.h>

#include <vector>

#include "VersionBlock.h"

using namespace pellamy;

namespace {

TEST(PellamyVersion, CompanyCutAt21AndBlankVersionCountsAsNone) {
    EXPECT_EQ(CutCompanyName(L"Pellamy Test Fixtures Incorporated"), L"Pellamy Test Fixtures");
    EXPECT_EQ(CutCompanyName(L"Exactly Twenty-One Co"), L"Exactly Twenty-One Co");
    EXPECT_TRUE(HasProductVersion(L"1.0"));
    EXPECT_FALSE(HasProductVersion(L"   "));
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

}  // namespace
