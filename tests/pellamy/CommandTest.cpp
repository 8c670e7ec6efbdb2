// The command table and the path box (window-free: runs natively and under Wine).
#include <gtest/gtest.h>


#include "Command.h"
#include "PathBox.h"

using namespace pellamy;

namespace {

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

}  // namespace
