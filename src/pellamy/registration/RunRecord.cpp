#include "RunRecord.h"

#include <utility>

namespace pellamy {
namespace {

constexpr uint32_t kMagic = 0x52524C50;  // "PLRR"
constexpr uint32_t kLastOutcome = static_cast<uint32_t>(RunOutcome::EndedProcess);
constexpr size_t kHeaderBytes = 12;  // magic, version, total length

void Put(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// Text as UTF-16 units, each wchar_t one unit (the units Windows holds).
void PutText(std::string& out, const std::wstring& s) {
    Put(out, static_cast<uint32_t>(s.size()));
    for (wchar_t c : s) {
        const uint32_t u = static_cast<uint32_t>(c) & 0xFFFF;
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    }
}

// Reads forward through the record; every read checks what is left first.
class Reader {
public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}
    bool Get(uint32_t& v) {
        if (Left() < 4) return false;
        v = 0;
        for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(static_cast<unsigned char>(bytes_[at_ + i])) << (8 * i);
        at_ += 4;
        return true;
    }
    // A count of items of at least `itemBytes` each, no more than the bytes left can hold.
    bool Count(uint32_t& n, size_t itemBytes) { return Get(n) && n <= Left() / itemBytes; }
    bool Text(std::wstring& s) {
        uint32_t n = 0;
        if (!Count(n, 2)) return false;
        s.resize(n);
        for (uint32_t i = 0; i < n; ++i, at_ += 2)
            s[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes_[at_]) | (static_cast<unsigned char>(bytes_[at_ + 1]) << 8));
        return true;
    }
    bool Bytes(std::vector<uint8_t>& b) {
        uint32_t n = 0;
        if (!Count(n, 1)) return false;
        b.assign(bytes_.begin() + static_cast<std::ptrdiff_t>(at_), bytes_.begin() + static_cast<std::ptrdiff_t>(at_ + n));
        at_ += n;
        return true;
    }
    size_t Left() const { return bytes_.size() - at_; }

private:
    std::string_view bytes_;
    size_t at_ = 0;
};

}  // namespace

std::string EncodeRunRecord(const RunRecord& r) {
    std::string out;
    Put(out, kMagic);
    Put(out, kRunRecordVersion);
    Put(out, 0);  // the total length, set at the end
    Put(out, static_cast<uint32_t>(r.result.outcome));
    Put(out, r.result.code);
    Put(out, static_cast<uint32_t>(r.notWritten.size()));
    for (const std::wstring& k : r.notWritten) PutText(out, k);
    Put(out, static_cast<uint32_t>(r.captured.size()));
    for (const RegKeyEntry& k : r.captured) {
        PutText(out, k.path);
        Put(out, static_cast<uint32_t>(k.values.size()));
        for (const RegValue& v : k.values) {
            PutText(out, v.name);
            Put(out, v.type);
            Put(out, static_cast<uint32_t>(v.data.size()));
            out.append(v.data.begin(), v.data.end());
        }
    }
    const uint32_t total = static_cast<uint32_t>(out.size());
    for (int i = 0; i < 4; ++i) out[8 + i] = static_cast<char>((total >> (8 * i)) & 0xFF);
    return out;
}

bool DecodeRunRecord(std::string_view bytes, RunRecord& record) {
    if (bytes.size() < kHeaderBytes || bytes.size() > kRunRecordMaxBytes) return false;
    Reader in(bytes);
    uint32_t magic = 0, version = 0, total = 0, outcome = 0, count = 0;
    if (!in.Get(magic) || !in.Get(version) || !in.Get(total)) return false;
    if (magic != kMagic || version != kRunRecordVersion || total != bytes.size()) return false;
    RunRecord r;
    if (!in.Get(outcome) || outcome > kLastOutcome || !in.Get(r.result.code)) return false;
    r.result.outcome = static_cast<RunOutcome>(outcome);
    if (!in.Count(count, 4)) return false;
    r.notWritten.resize(count);
    for (std::wstring& k : r.notWritten)
        if (!in.Text(k)) return false;
    if (!in.Count(count, 8)) return false;  // a key is at least its path's length and its value count
    r.captured.resize(count);
    for (RegKeyEntry& k : r.captured) {
        if (!in.Text(k.path) || !in.Count(count, 12)) return false;
        k.values.resize(count);
        for (RegValue& v : k.values)
            if (!in.Text(v.name) || !in.Get(v.type) || !in.Bytes(v.data)) return false;
    }
    if (in.Left() != 0) return false;
    record = std::move(r);
    return true;
}

}  // namespace pellamy
