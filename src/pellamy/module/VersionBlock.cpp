#include "VersionBlock.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "TextConv.h"
#include "Texts.h"

namespace pellamy {

std::wstring TranslationKey(Translation t) {
    wchar_t buf[16];
    std::swprintf(buf, 16, L"%04X%04X", static_cast<unsigned>(t.language), static_cast<unsigned>(t.codePage));
    return buf;
}

std::vector<Translation> CandidateTranslations(const uint16_t* table, size_t words) {
    std::vector<Translation> out;
    auto add = [&out](Translation t) {
        for (const auto& have : out)
            if (have == t) return;
        out.push_back(t);
    };
    for (size_t i = 0; table && i + 1 < words; i += 2) add({table[i], table[i + 1]});
    // Blocks without a table most often use US English with Unicode or Western code pages.
    for (Translation t : {Translation{0x0409, 1200}, Translation{0x0409, 1252}, Translation{0x0409, 0},
                          Translation{0x0000, 1200}, Translation{0x0000, 1252}, Translation{0x0000, 0}})
        add(t);
    return out;
}

size_t ItemsInBlock(const void* block, size_t blockSize, const void* value, size_t count, size_t itemSize) {
    const auto begin = reinterpret_cast<uintptr_t>(block), at = reinterpret_cast<uintptr_t>(value);
    if (!block || !value || itemSize == 0 || at < begin || at - begin >= blockSize) return 0;
    const size_t room = (blockSize - (at - begin)) / itemSize;
    return count < room ? count : room;
}

std::wstring VersionString(const void* block, size_t blockSize, const void* value, size_t chars) {
    const size_t n = ItemsInBlock(block, blockSize, value, chars, sizeof(uint16_t));
    const auto* bytes = static_cast<const unsigned char*>(value);
    std::wstring out;
    for (size_t i = 0; i < n; ++i) {
        // The block need not be aligned: read each unit byte by byte.
        const wchar_t c = static_cast<wchar_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
        if (c == 0) break;
        out += c;
    }
    return out;
}

namespace {

uint16_t Word(const unsigned char* b, size_t at) { return static_cast<uint16_t>(b[at] | (b[at + 1] << 8)); }
size_t Padded(size_t at) { return (at + 3) & ~static_cast<size_t>(3); }

bool SameKey(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
    return true;
}

// A node of the single-byte layout, its parts as offsets into the block, each inside its node.
struct Node {
    std::string key;
    size_t value = 0, valueEnd = 0, children = 0, end = 0;
};

bool ReadNode(const unsigned char* b, size_t at, size_t limit, Node& n) {
    if (at >= limit || limit - at < 5) return false;
    const size_t length = Word(b, at);
    if (length < 5 || length > limit - at) return false;
    n.end = at + length;
    const size_t claimed = Word(b, at + 2);
    size_t k = at + 4;
    while (k < n.end && b[k] != 0) ++k;
    if (k == n.end) return false;  // a key without its end
    n.key.assign(reinterpret_cast<const char*>(b + at + 4), k - (at + 4));
    n.value = std::min(Padded(k + 1), n.end);
    n.valueEnd = n.value + std::min(claimed, n.end - n.value);
    n.children = std::min(Padded(n.value + claimed), n.end);
    return true;
}

}  // namespace

bool IsSingleByteLayout(const void* block, size_t blockSize) {
    return block && blockSize > 4 && static_cast<const unsigned char*>(block)[4] >= ' ';
}

bool SingleByteValue(const void* block, size_t blockSize, const std::vector<std::string>& path, std::string& value) {
    const auto* b = static_cast<const unsigned char*>(block);
    Node node;
    if (!IsSingleByteLayout(block, blockSize) || !ReadNode(b, 0, blockSize, node)) return false;
    for (const std::string& key : path) {
        // Each child lies after the one before it, so the walk always moves on and ends.
        const size_t end = node.end;
        bool found = false;
        for (size_t at = node.children; !found && ReadNode(b, at, end, node);) {
            found = SameKey(node.key, key);
            at = Padded(node.end);
        }
        if (!found) return false;
    }
    value.assign(reinterpret_cast<const char*>(b + node.value), node.valueEnd - node.value);
    return true;
}

std::wstring CutCompanyName(const std::wstring& name) { return name.substr(0, 21); }

bool HasProductVersion(const std::wstring& version) { return !TrimBlanks(version).empty(); }

std::wstring FileInfoText(const std::wstring& company, const std::wstring& product) {
    return std::wstring(texts::CompanyPrefix) + company + L"\r\n" + texts::ProductPrefix + product;
}

}  // namespace pellamy
