// The record a registration child reports to its parent: what it holds comes back whole; anything
// but one whole record of this version is refused.
#include <gtest/gtest.h>

#include "RunRecord.h"

using namespace pellamy;

namespace {

RunRecord Sample() {
    RunRecord r;
    r.result = {RunOutcome::Failed, 0x80070005u};
    r.notWritten = {L"HKEY_LOCAL_MACHINE\\Software\\X", L""};
    r.captured = {{L"HKEY_CLASSES_ROOT\\Caf\u00e9", {StringValue(L"", L"v"), DwordValue(L"n", 7)}},
                  {L"HKEY_CLASSES_ROOT\\Empty", {}}};
    return r;
}

TEST(PellamyRunRecord, WhatItHoldsComesBackWhole) {
    RunRecord back;
    ASSERT_TRUE(DecodeRunRecord(EncodeRunRecord(Sample()), back));
    EXPECT_TRUE(back.result.outcome == RunOutcome::Failed && back.result.code == 0x80070005u);
    EXPECT_EQ(back.notWritten, Sample().notWritten);
    EXPECT_EQ(RegFileText(back.captured), RegFileText(Sample().captured));
}

// Cut short or grown (with its length made to match), of another version or kind, or counting more
// than it holds.
TEST(PellamyRunRecord, AnythingButOneWholeRecordIsRefused) {
    const std::string good = EncodeRunRecord(Sample());
    auto patched = [](std::string b, size_t at, size_t v) {
        for (size_t i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
        return b;
    };
    RunRecord r;
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
