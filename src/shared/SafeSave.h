// Reading document files and saving them so that a failure never costs the old file: the new
// content goes to a temporary file in the same folder, which replaces the target only once it is
// completely written and flushed. Windows only (SafeSave_win.cpp).
#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace safesave {

// Faults injected by tests: each returns a system error code to fail that step with, or 0.
struct Faults {
    std::function<unsigned long()> createTemp;
    std::function<unsigned long(size_t written)> write;  // before each piece, with the bytes so far
    std::function<unsigned long()> replace;
    std::function<unsigned long(size_t read)> read;  // before each piece read, with the bytes so far
};
Faults& TestFaults();

// The path in the form the file calls take also beyond 260 characters ("\\?\" for long paths).
std::wstring LongPath(const std::wstring& path);

// The file's size in bytes; false with the system's error code.
bool FileSize(const std::wstring& path, unsigned long long& size, unsigned long& error);

// Reads the whole file; false with the system's error code.
bool ReadAll(const std::wstring& path, std::string& bytes, unsigned long& error);

// Reads the file in pieces of at most `piece` bytes, handing each to `take` in order (false from
// it stops the reading, which still succeeds); false with the system's error code. A file of more
// than one piece is read a piece ahead on a thread, through two buffers.
bool ReadPieces(const std::wstring& path, size_t piece, const std::function<bool(std::string_view)>& take,
                unsigned long& error);

// Writes `bytes` as the file at `path` through a temporary file beside it, keeping the attributes
// of the file it replaces. A symbolic link's final target is the file written; a file with more
// than one hard link is written in place. On failure the old file is untouched, the temporary file
// is gone and `error` holds the system's error code.
bool WriteAll(const std::wstring& path, std::string_view bytes, unsigned long& error);
// The same for a file made of several parts one after another (a mark, the text, a line end).
// `verdict`, when given, decides whether the new bytes may replace the file: it is asked before
// each piece is written (wait false: false gives up at once) and once they are all on the disk (wait
// true; for a file written in place, before anything is written). A no leaves the old file as it
// was and fails with ERROR_CANCELLED.
using Parts = std::vector<std::string_view>;
using Verdict = std::function<bool(bool wait)>;
bool WriteAll(const std::wstring& path, const Parts& parts, unsigned long& error, const Verdict& verdict = {});

}  // namespace safesave
