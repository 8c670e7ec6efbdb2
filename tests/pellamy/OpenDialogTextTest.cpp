// The Open dialog's filter and file-name buffers (window-free).
#include <gtest/gtest.h>

#include "OpenDialogText.h"

using namespace pellamy;

namespace {

// A literal with embedded NULs as a whole string.
template <size_t N>
std::wstring W(const wchar_t (&s)[N]) {
    return std::wstring(s, N - 1);
}

TEST(PellamyFilters, BarsAndColonsBecomeNulsAndPairsAreFoundByIndex) {
    const std::wstring f = ConvertFilter(L"OCX (*.OCX)|*.OCX|Text: plain|*.txt");  // a colon ends an item too
    EXPECT_EQ(f, W(L"OCX (*.OCX)\0*.OCX\0Text\0 plain\0*.txt\0\0"));
    EXPECT_EQ(GetFilterPair(f, 1), W(L"OCX (*.OCX)\0*.OCX"));
    EXPECT_EQ(GetFilterPair(f, 2), W(L"Text\0 plain"));
    for (int bad : {4, 0, -1}) EXPECT_EQ(GetFilterPair(f, bad), L"") << bad;
    EXPECT_EQ(GetFilterPair(ConvertFilter(L""), 1), L"");
    EXPECT_EQ(GetFilterPair(L"no nul at all", 1), L"");
    EXPECT_EQ(StripAtNull(W(L"C:\\a.ocx\0\0\0")), L"C:\\a.ocx");
    EXPECT_EQ(StripAtNull(W(L"\0x")), L"");
    EXPECT_EQ(MultiSelectResult(W(L"C:\\dir\0a.ocx\0b.ocx\0\0\0\0")), W(L"C:\\dir\0a.ocx\0b.ocx"));
    EXPECT_EQ(MultiSelectResult(W(L"C:\\one.ocx\0")), L"C:\\one.ocx");
}

}  // namespace
