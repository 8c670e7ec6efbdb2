// What a registration child tells its parent on the pipe: one small versioned binary record (the
// outcome, and for a per-user run or an export the keys it reports). The parent checks its
// length, version and kind, and trusts it no further: a record that fails a check counts as none.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "RegFile.h"
#include "RunResult.h"

namespace pellamy {

inline constexpr uint32_t kRunRecordVersion = 1;
// A bound on what a parent reads, captured keys of a large export included.
inline constexpr size_t kRunRecordMaxBytes = 64u << 20;

struct RunRecord {
    RunResult result;
    std::vector<std::wstring> notWritten;  // a per-user run: the keys that could not be written for the user
    std::vector<RegKeyEntry> captured;     // an export: what the module wrote
};

std::string EncodeRunRecord(const RunRecord& record);
// True only for one whole record of this version with a known outcome and nothing after it; every
// length and count inside it is checked against the bytes that are there.
bool DecodeRunRecord(std::string_view bytes, RunRecord& record);

}  // namespace pellamy
