// A module's version block: which translations to try, values read without leaving the block,
// and the text the window shows of them.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pellamy {

struct Translation {
    uint16_t language;
    uint16_t codePage;
    bool operator==(const Translation&) const = default;
};
// "040904B0"
std::wstring TranslationKey(Translation t);
// Translation table entries (raw pairs of 16-bit words) in order, then the common pairs not in it.
std::vector<Translation> CandidateTranslations(const uint16_t* table, size_t words);
// How many whole items of `itemSize` bytes, of the `count` a value claims, lie between `value` and the
// block's end; 0 when the value does not start inside the block.
size_t ItemsInBlock(const void* block, size_t blockSize, const void* value, size_t count, size_t itemSize);
// A string value of a version block (UTF-16 units): up to its first NUL, never past its claimed
// length nor the block's end.
std::wstring VersionString(const void* block, size_t blockSize, const void* value, size_t chars);
// The old single-byte layout, as 16-bit resource compilers wrote it: each node is its length and its
// value's length (16 bits each), its key as an 8-bit NUL-terminated string, its value and then its
// children, each padded to 4 bytes from the block's start. Its key starts at byte 4, where the
// newer layout has its type word.
bool IsSingleByteLayout(const void* block, size_t blockSize);
// The value bytes of the node at `path` below the root (keys compared without case), never past
// its node, its claimed length nor the block's end; false when there is no such node.
bool SingleByteValue(const void* block, size_t blockSize, const std::vector<std::string>& path, std::string& value);

// The company name as shown: at most 21 characters.
std::wstring CutCompanyName(const std::wstring& name);
// A product version of blanks only counts as none.
bool HasProductVersion(const std::wstring& version);
// The two-line text of the information label.
std::wstring FileInfoText(const std::wstring& company, const std::wstring& product);

}  // namespace pellamy
