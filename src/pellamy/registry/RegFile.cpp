#include "RegFile.h"

#include <cwchar>

namespace pellamy {
namespace {

constexpr const wchar_t* kHeader = L"Windows Registry Editor Version 5.00";
constexpr const wchar_t* kLineEnd = L"\r\n";
// The editor breaks a hex line once it reaches this many characters (after the byte's comma);
// continuation lines start with two blanks.
constexpr size_t kWrapAt = 77;

std::wstring Quoted(const std::wstring& s) {
    std::wstring out = L"\"";
    for (wchar_t c : s) {
        if (c == L'\\' || c == L'"') out += L'\\';
        out += c;
    }
    return out + L"\"";
}

std::wstring NamePrefix(const RegValue& v) { return (v.name.empty() ? std::wstring(L"@") : Quoted(v.name)) + L"="; }

// The text of a string value when it reads back unchanged: one terminator at the end, none inside,
// and no line break (which would end the line in the file).
bool AsPlainString(const std::vector<uint8_t>& data, std::wstring& text) {
    if (data.size() < 2 || data.size() % 2 != 0) return false;
    const size_t n = data.size() / 2;
    text.clear();
    for (size_t i = 0; i < n; ++i) {
        const wchar_t c = static_cast<wchar_t>(data[2 * i] | (data[2 * i + 1] << 8));
        if (i + 1 == n) return c == L'\0';
        if (c == L'\0' || c == L'\r' || c == L'\n') return false;
        text += c;
    }
    return false;
}

std::wstring HexType(uint32_t type) {
    if (type == regtype::Binary) return L"hex:";
    wchar_t buf[24];
    std::swprintf(buf, 24, L"hex(%x):", static_cast<unsigned>(type));
    return buf;
}

std::wstring HexText(const std::wstring& prefix, const std::vector<uint8_t>& data) {
    std::wstring out = prefix;
    size_t line = prefix.size();
    for (size_t i = 0; i < data.size(); ++i) {
        wchar_t byte[4];
        std::swprintf(byte, 4, L"%02x", static_cast<unsigned>(data[i]));
        out += byte;
        if (i + 1 == data.size()) break;
        out += L',';
        line += 3;
        if (line >= kWrapAt) {
            out += L"\\\r\n  ";
            line = 2;
        }
    }
    return out;
}

std::wstring Shown(const std::wstring& name) {
    std::wstring out;
    for (wchar_t c : name) out += c == L'\r' ? L"<CR>" : c == L'\n' ? L"<LF>" : c == L'\0' ? L"<NUL>" : std::wstring(1, c);
    return out;
}

}  // namespace

bool NameFitsRegFile(const std::wstring& name) { return name.find_first_of(std::wstring(L"\r\n\0", 3)) == std::wstring::npos; }

std::vector<std::wstring> TakeUnfitNames(std::vector<RegKeyEntry>& keys) {
    std::vector<std::wstring> unfit;
    std::vector<RegKeyEntry> kept;
    for (RegKeyEntry& k : keys) {
        if (!NameFitsRegFile(k.path)) {
            // Keys under one already listed go with it.
            std::wstring shown = Shown(k.path);
            const std::wstring_view last = unfit.empty() ? std::wstring_view() : std::wstring_view(unfit.back());
            const bool under = !last.empty() && shown.size() > last.size() && shown.compare(0, last.size(), last) == 0 &&
                               shown[last.size()] == L'\\';
            if (!under) unfit.push_back(std::move(shown));
            continue;
        }
        std::vector<RegValue> values;
        for (RegValue& v : k.values) {
            if (NameFitsRegFile(v.name))
                values.push_back(std::move(v));
            else
                unfit.push_back(Shown(k.path) + L" : \"" + Shown(v.name) + L"\"");
        }
        k.values = std::move(values);
        kept.push_back(std::move(k));
    }
    keys = std::move(kept);
    return unfit;
}

std::wstring RegValueText(const RegValue& v) {
    const std::wstring prefix = NamePrefix(v);
    if (v.type == regtype::Sz) {
        std::wstring text;
        if (AsPlainString(v.data, text)) return prefix + Quoted(text);
    }
    if (v.type == regtype::Dword && v.data.size() == 4) {
        const uint32_t d = v.data[0] | (v.data[1] << 8) | (v.data[2] << 16) | (static_cast<uint32_t>(v.data[3]) << 24);
        wchar_t buf[24];
        std::swprintf(buf, 24, L"dword:%08x", static_cast<unsigned>(d));
        return prefix + buf;
    }
    return HexText(prefix + HexType(v.type), v.data);
}

std::wstring RegFileText(const std::vector<RegKeyEntry>& keys) {
    std::wstring out = std::wstring(kHeader) + kLineEnd + kLineEnd;
    for (const RegKeyEntry& k : keys) {
        out += L"[" + k.path + L"]" + kLineEnd;
        for (const RegValue& v : k.values) out += RegValueText(v) + kLineEnd;
        out += kLineEnd;
    }
    return out;
}

std::string RegFileBytes(const std::vector<RegKeyEntry>& keys) {
    const std::wstring text = RegFileText(keys);
    std::string bytes = "\xFF\xFE";
    bytes.reserve(2 + text.size() * 2);
    for (wchar_t c : text) {
        // wchar_t holds UTF-16 units on Windows; a wider one (the native build) is cut to them.
        const uint32_t u = static_cast<uint32_t>(c);
        if (u > 0xFFFF) {
            const uint32_t s = u - 0x10000;
            const uint16_t hi = static_cast<uint16_t>(0xD800 + (s >> 10)), lo = static_cast<uint16_t>(0xDC00 + (s & 0x3FF));
            for (uint16_t unit : {hi, lo}) {
                bytes += static_cast<char>(unit & 0xFF);
                bytes += static_cast<char>(unit >> 8);
            }
            continue;
        }
        bytes += static_cast<char>(u & 0xFF);
        bytes += static_cast<char>((u >> 8) & 0xFF);
    }
    return bytes;
}

RegValue StringValue(const std::wstring& name, const std::wstring& text, uint32_t type) {
    RegValue v{name, type, {}};
    for (wchar_t c : text) {
        v.data.push_back(static_cast<uint8_t>(static_cast<uint32_t>(c) & 0xFF));
        v.data.push_back(static_cast<uint8_t>((static_cast<uint32_t>(c) >> 8) & 0xFF));
    }
    v.data.push_back(0);
    v.data.push_back(0);
    return v;
}

RegValue DwordValue(const std::wstring& name, uint32_t d) {
    return {name, regtype::Dword,
            {static_cast<uint8_t>(d), static_cast<uint8_t>(d >> 8), static_cast<uint8_t>(d >> 16),
             static_cast<uint8_t>(d >> 24)}};
}

}  // namespace pellamy
