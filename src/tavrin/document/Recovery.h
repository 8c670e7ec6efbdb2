// Unsaved text kept for after a crash, without a window: the recovery file's format (the text with
// the document's path and format beside it, checked on reading so a damaged file is never half
// applied) and when to write it while the user types.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "FileEncoding.h"

namespace recovery {

struct Record {
    std::wstring path;  // empty: an untitled document
    docfile::FileFormat format;
    uint64_t writtenAt = 0;  // 100 ns units since 1601 (UTC), as the system counts file times
    std::string text;        // UTF-8, as the editing area holds it
};

// A recovery file read back: its record, or why it cannot be used.
struct Parsed {
    Record record;
    std::wstring failure;  // empty when the record is whole
    explicit operator bool() const { return failure.empty(); }
};

// The file's head, which the text follows; and the whole file.
std::string SerializeHead(const Record& record);
std::string Serialize(const Record& record);
// A failure when the bytes are not a whole recovery file of this program.
Parsed Parse(std::string_view bytes);

// When unsaved text is written: a few seconds after the typing stops, and at least every 30 s
// while it goes on. Times in ms of any steady clock.
class Schedule {
public:
    static constexpr uint64_t kQuietMs = 3000, kLongestMs = 30000;
    void Changed(uint64_t now);
    void Written() { pending_ = false; }
    bool Pending() const { return pending_; }
    // The time the next write is due (meaningful while pending).
    uint64_t Due() const;

private:
    bool pending_ = false;
    uint64_t first_ = 0, last_ = 0;
};

}  // namespace recovery
