#include "VersionBlock.h"

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

std::wstring CutCompanyName(const std::wstring& name) { return name.substr(0, 21); }

bool HasProductVersion(const std::wstring& version) { return !TrimBlanks(version).empty(); }

std::wstring FileInfoText(const std::wstring& company, const std::wstring& product) {
    return std::wstring(texts::kCompanyPrefix) + company + L"\r\n" + texts::kProductPrefix + product;
}

}  // namespace pellamy
