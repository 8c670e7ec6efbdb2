// The command table and the path box (window-free: runs natively and under Wine).
#include <gtest/gtest.h>

#include "Command.h"
#include "PathBox.h"

using namespace pellamy;

namespace {

TEST(PellamyCommands, OnlyEmptyAndSingleULetterAreKnownAndQuotedPathsAreAccepted) {
    const std::pair<const wchar_t*, EntryPoint> commands[] = {
        {L"", EntryPoint::Register},  {L"u", EntryPoint::Unregister}, {L"U", EntryPoint::Unregister},
        {L"uu", EntryPoint::Unknown}, {L" u", EntryPoint::Unknown},   {L"unregister", EntryPoint::Unknown}};
    for (const auto& [text, entry] : commands) EXPECT_EQ(EntryForCommand(text), entry) << text;
    const std::pair<const wchar_t*, const wchar_t*> paths[] = {
        {L"  \"C:\\a b\\x.ocx\"  ", L"C:\\a b\\x.ocx"},  // one pair of quotes around it, as "Copy as path" gives
        {L"C:\\x.ocx ", L"C:\\x.ocx "},                  // otherwise the text itself, not trimmed
        {L"\"C:\\x.ocx", L"\"C:\\x.ocx"},
        {L"\"a\" \"b\"", L"\"a\" \"b\""}};
    for (const auto& [box, path] : paths) EXPECT_EQ(PathFromBox(box), path) << box;
}

}  // namespace
