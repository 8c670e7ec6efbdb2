#include "Recovery.h"

#include <cstdio>

#include "TextConv.h"
#include "TextDigest.h"
#include "Texts.h"

namespace recovery {

namespace {

constexpr std::string_view kMagic = "Tavrin recovery 1\n";

const char* LineEndName(docfile::LineEnd e) {
    return e == docfile::LineEnd::Lf ? "lf" : e == docfile::LineEnd::Cr ? "cr" : "crlf";
}

std::string Hex(const textdigest::Digest& d) {
    static const char digits[] = "0123456789abcdef";
    std::string s;
    for (uint8_t b : d) s += digits[b >> 4], s += digits[b & 15];
    return s;
}

bool Number(std::string_view s, uint64_t& v) {
    if (s.empty() || s.size() > 20) return false;
    v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + static_cast<uint64_t>(c - '0');
    }
    return true;
}

// "name: value" lines up to an empty line; `at` moves past it.
bool Field(std::string_view bytes, size_t& at, std::string_view name, std::string_view& value) {
    const size_t end = bytes.find('\n', at);
    if (end == std::string_view::npos) return false;
    const std::string_view line = bytes.substr(at, end - at);
    if (line.size() < name.size() + 2 || line.substr(0, name.size()) != name || line.substr(name.size(), 2) != ": ")
        return false;
    value = line.substr(name.size() + 2);
    at = end + 1;
    return true;
}

}  // namespace

std::string SerializeHead(const Record& r) {
    std::string s(kMagic);
    s += "path: " + WideToUtf8(r.path) + "\n";
    s += "encoding: " + std::to_string(static_cast<int>(r.format.encoding)) + "\n";
    s += std::string("bom: ") + (r.format.bom ? "1" : "0") + "\n";
    s += std::string("lineend: ") + LineEndName(r.format.lineEnd) + "\n";
    s += "time: " + std::to_string(r.writtenAt) + "\n";
    s += "length: " + std::to_string(r.text.size()) + "\n";
    s += "sha256: " + Hex(textdigest::Sha256(r.text.data(), r.text.size())) + "\n\n";
    return s;
}

std::string Serialize(const Record& r) { return SerializeHead(r) + r.text; }

Parsed Parse(std::string_view bytes) {
    const Parsed damaged{{}, texts::RecoveryDamaged};
    if (bytes.substr(0, kMagic.size()) != kMagic) return damaged;
    size_t at = kMagic.size();
    std::string_view path, encoding, bom, lineEnd, time, length, sha;
    if (!Field(bytes, at, "path", path) || !Field(bytes, at, "encoding", encoding) || !Field(bytes, at, "bom", bom) ||
        !Field(bytes, at, "lineend", lineEnd) || !Field(bytes, at, "time", time) ||
        !Field(bytes, at, "length", length) || !Field(bytes, at, "sha256", sha))
        return damaged;
    if (at >= bytes.size() || bytes[at] != '\n') return damaged;
    ++at;
    uint64_t enc = 0, when = 0, size = 0;
    if (!Number(encoding, enc) || enc > static_cast<uint64_t>(docfile::Encoding::Oem) || !Number(time, when) ||
        !Number(length, size) || (bom != "0" && bom != "1"))
        return damaged;
    if (lineEnd != "crlf" && lineEnd != "lf" && lineEnd != "cr") return damaged;
    // Cut short or grown: the text is not the one written.
    if (bytes.size() - at != size) return {{}, texts::RecoveryTruncated};
    const std::string_view text = bytes.substr(at);
    if (Hex(textdigest::Sha256(text.data(), text.size())) != sha) return damaged;
    Parsed parsed;
    Record& out = parsed.record;
    out.path = Utf8ToWide(path);
    out.format.encoding = static_cast<docfile::Encoding>(enc);
    out.format.bom = bom == "1";
    out.format.lineEnd = lineEnd == "lf" ? docfile::LineEnd::Lf : lineEnd == "cr" ? docfile::LineEnd::Cr
                                                                                  : docfile::LineEnd::CrLf;
    out.writtenAt = when;
    out.text.assign(text);
    return parsed;
}

void Schedule::Changed(uint64_t now) {
    if (!pending_) first_ = now;
    pending_ = true;
    last_ = now;
}

uint64_t Schedule::Due() const {
    const uint64_t quiet = last_ + kQuietMs, longest = first_ + kLongestMs;
    return quiet < longest ? quiet : longest;
}

}  // namespace recovery
