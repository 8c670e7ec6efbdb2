#include "ModuleVersion.h"

#include <windows.h>

#include <cstdint>
#include <vector>

#include "SystemLibraries.h"
#include "VersionBlock.h"

namespace pellamy {

namespace {

// The version library is loaded at first use, from the system folder: imported at load time, a
// copy planted beside the program would be found first.
struct VersionApi {
    decltype(&GetFileVersionInfoSizeW) infoSize = nullptr;
    decltype(&GetFileVersionInfoW) info = nullptr;
    decltype(&VerQueryValueW) query = nullptr;
    bool ready = false;
};

const VersionApi& Version() {
    static const VersionApi api = [] {
        VersionApi a;
        if (HMODULE m = syslib::LoadSystemLibrary(L"version.dll")) {  // kept for the program's life
            syslib::Bind(m, "GetFileVersionInfoSizeW", a.infoSize);
            syslib::Bind(m, "GetFileVersionInfoW", a.info);
            syslib::Bind(m, "VerQueryValueW", a.query);
        }
        a.ready = a.infoSize && a.info && a.query;
        return a;
    }();
    return api;
}

// The old layout's strings are in the code page of their translation (the system's where it names
// none, or one this system lacks).
std::wstring Decoded(const std::string& bytes, uint16_t codePage) {
    const std::string text = bytes.substr(0, bytes.find('\0'));
    if (text.empty()) return {};
    UINT page = codePage == 0 || codePage == 1200 || !IsValidCodePage(codePage) ? CP_ACP : codePage;
    const int n = MultiByteToWideChar(page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(n > 0 ? n : 0, L'\0');
    if (n > 0) MultiByteToWideChar(page, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

// A block in the single-byte layout of 16-bit resource compilers, which the wide query does not read.
void ReadSingleByteBlock(const std::vector<unsigned char>& block, ModuleVersion& out) {
    std::string table;
    std::vector<uint16_t> words;
    if (SingleByteValue(block.data(), block.size(), {"VarFileInfo", "Translation"}, table))
        for (size_t i = 0; i + 1 < table.size(); i += 2)
            words.push_back(static_cast<uint16_t>(static_cast<unsigned char>(table[i]) |
                                                  (static_cast<unsigned char>(table[i + 1]) << 8)));
    bool haveCompany = false, haveProduct = false;
    for (const Translation& t : CandidateTranslations(words.data(), words.size())) {
        const std::wstring wide = TranslationKey(t);
        const std::string group(wide.begin(), wide.end());  // hex digits only
        std::string v;
        if (!haveCompany && SingleByteValue(block.data(), block.size(), {"StringFileInfo", group, "CompanyName"}, v))
            haveCompany = true, out.company = Decoded(v, t.codePage);
        if (!haveProduct && SingleByteValue(block.data(), block.size(), {"StringFileInfo", group, "ProductVersion"}, v))
            haveProduct = true, out.product = Decoded(v, t.codePage);
    }
}

}  // namespace

ModuleVersion ReadModuleVersion(const std::wstring& fullPath) {
    ModuleVersion out;
    const VersionApi& api = Version();
    if (!api.ready) return out;
    DWORD ignored = 0;
    const DWORD size = api.infoSize(fullPath.c_str(), &ignored);
    if (size == 0) return out;
    out.hasBlock = true;
    std::vector<unsigned char> block(size);
    out.read = api.info(fullPath.c_str(), 0, size, block.data()) != 0;
    if (!out.read) return out;
    if (IsSingleByteLayout(block.data(), block.size())) {
        ReadSingleByteBlock(block, out);
        return out;
    }

    // Lengths in the block are the file's word: every value is kept inside the block.
    void* p = nullptr;
    UINT len = 0;
    const uint16_t* table = nullptr;
    size_t words = 0;
    if (api.query(block.data(), L"\\VarFileInfo\\Translation", &p, &len) && p) {
        words = ItemsInBlock(block.data(), block.size(), p, len / sizeof(uint16_t), sizeof(uint16_t));
        if (reinterpret_cast<uintptr_t>(p) % alignof(uint16_t) == 0) table = static_cast<const uint16_t*>(p);
    }
    const std::vector<Translation> candidates = CandidateTranslations(table, words);
    auto value = [&](const wchar_t* key, std::wstring& found) {
        for (const Translation& t : candidates) {
            const std::wstring query = L"\\StringFileInfo\\" + TranslationKey(t) + L"\\" + key;
            void* v = nullptr;
            UINT chars = 0;
            if (api.query(block.data(), query.c_str(), &v, &chars) && v) {
                found = VersionString(block.data(), block.size(), v, chars);
                return;
            }
        }
    };
    value(L"CompanyName", out.company);
    value(L"ProductVersion", out.product);
    return out;
}

}  // namespace pellamy
