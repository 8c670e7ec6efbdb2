#include "TextDigest.h"

#include <cstring>
#include <system_error>

namespace textdigest {

namespace {

constexpr uint32_t kRound[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

constexpr uint32_t Rotr(uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

class Sha256State {
public:
    void Add(const uint8_t* p, size_t n) {
        total_ += n;
        if (used_) {
            const size_t take = n < 64 - used_ ? n : 64 - used_;
            memcpy(block_ + used_, p, take);
            used_ += take;
            p += take;
            n -= take;
            if (used_ < 64) return;
            Compress(block_);
            used_ = 0;
        }
        for (; n >= 64; p += 64, n -= 64) Compress(p);
        memcpy(block_, p, n);
        used_ = n;
    }
    Digest Finish() {
        const uint64_t bits = total_ * 8;
        const uint8_t one = 0x80, zero = 0;
        Add(&one, 1);
        while (used_ != 56) Add(&zero, 1);
        uint8_t len[8];
        for (int i = 0; i < 8; ++i) len[i] = static_cast<uint8_t>(bits >> (56 - 8 * i));
        Add(len, 8);
        Digest d{};
        for (int i = 0; i < 8; ++i)
            for (int j = 0; j < 4; ++j) d[static_cast<size_t>(i * 4 + j)] = static_cast<uint8_t>(h_[i] >> (24 - 8 * j));
        return d;
    }

private:
    void Compress(const uint8_t* p) {
        uint32_t w[64];
        for (int i = 0; i < 16; ++i)
            w[i] = static_cast<uint32_t>(p[4 * i]) << 24 | static_cast<uint32_t>(p[4 * i + 1]) << 16 |
                   static_cast<uint32_t>(p[4 * i + 2]) << 8 | p[4 * i + 3];
        for (int i = 16; i < 64; ++i) {
            const uint32_t s0 = Rotr(w[i - 15], 7) ^ Rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
            const uint32_t s1 = Rotr(w[i - 2], 17) ^ Rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
            w[i] = w[i - 16] + s0 + w[i - 7] + s1;
        }
        uint32_t a = h_[0], b = h_[1], c = h_[2], d = h_[3], e = h_[4], f = h_[5], g = h_[6], h = h_[7];
        for (int i = 0; i < 64; ++i) {
            const uint32_t t1 = h + (Rotr(e, 6) ^ Rotr(e, 11) ^ Rotr(e, 25)) + ((e & f) ^ (~e & g)) + kRound[i] + w[i];
            const uint32_t t2 = (Rotr(a, 2) ^ Rotr(a, 13) ^ Rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
            h = g;
            g = f;
            f = e;
            e = d + t1;
            d = c;
            c = b;
            b = a;
            a = t1 + t2;
        }
        h_[0] += a; h_[1] += b; h_[2] += c; h_[3] += d;
        h_[4] += e; h_[5] += f; h_[6] += g; h_[7] += h;
    }

    uint32_t h_[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    uint8_t block_[64] = {};
    size_t used_ = 0;
    uint64_t total_ = 0;
};

}  // namespace

Digest Sha256(const void* data, size_t size) {
    Sha256State s;
    s.Add(static_cast<const uint8_t*>(data), size);
    return s.Finish();
}

namespace {

constexpr uint64_t kP1 = 0x9E3779B185EBCA87ull, kP2 = 0xC2B2AE3D27D4EB4Full, kP3 = 0x165667B19E3779F9ull;

constexpr uint64_t Rotl(uint64_t x, int n) { return (x << n) | (x >> (64 - n)); }

// Little-endian, as every machine the programs run on.
uint64_t Lane(const uint8_t* p) {
    uint64_t v;
    memcpy(&v, p, sizeof(v));
    return v;
}

uint64_t Round(uint64_t acc, uint64_t lane) { return Rotl(acc + lane * kP2, 31) * kP1; }

}  // namespace

void TextHash::Stripe(const uint8_t* p) {
    for (int i = 0; i < 4; ++i) lanes_[i] = Round(lanes_[i], Lane(p + 8 * i));
}

void TextHash::Add(std::string_view piece) {
    const auto* p = reinterpret_cast<const uint8_t*>(piece.data());
    size_t n = piece.size();
    if (n == 0) return;  // an empty run (the part past the gap, often) may have no address at all
    total_ += n;
    if (used_) {
        const size_t take = n < 32 - used_ ? n : 32 - used_;
        memcpy(buffer_ + used_, p, take);
        used_ += take;
        p += take;
        n -= take;
        if (used_ < 32) return;
        Stripe(buffer_);
        used_ = 0;
    }
    // The lanes in locals: the bytes may alias them, so a member would go to memory at every stripe.
    uint64_t a = lanes_[0], b = lanes_[1], c = lanes_[2], d = lanes_[3];
    for (; n >= 32; p += 32, n -= 32) {
        a = Round(a, Lane(p));
        b = Round(b, Lane(p + 8));
        c = Round(c, Lane(p + 16));
        d = Round(d, Lane(p + 24));
    }
    lanes_[0] = a, lanes_[1] = b, lanes_[2] = c, lanes_[3] = d;
    memcpy(buffer_, p, n);
    used_ = n;
}

uint64_t TextHash::Done() const {
    uint64_t h = Rotl(lanes_[0], 1) + Rotl(lanes_[1], 7) + Rotl(lanes_[2], 12) + Rotl(lanes_[3], 18);
    for (uint64_t lane : lanes_) h = (h ^ Round(0, lane)) * kP1 + kP3;
    h += total_;
    for (size_t i = 0; i < used_; ++i) h = Rotl(h ^ (buffer_[i] * kP3), 11) * kP1;
    h ^= h >> 33;
    h *= kP2;
    h ^= h >> 29;
    h *= kP3;
    return h ^ (h >> 32);
}

namespace {

TextHash HashOf(const HeldText& text) {
    TextHash h;
    h.Add(text.before);
    h.Add(text.after);
    return h;
}

}  // namespace

HashBeside::HashBeside(const HeldText& text) : text_(text) {
    constexpr size_t kWorthAThread = 4u << 20;
    if (text.size() >= kWorthAThread) {
        try {
            thread_ = std::thread([this] { hash_ = HashOf(text_); });
            return;
        } catch (const std::system_error&) {
        }
    }
    hash_ = HashOf(text_);
}

const TextHash& HashBeside::Take() {
    if (thread_.joinable()) thread_.join();
    return hash_;
}

void TextDigest::Mark(const HeldText& text) { Mark(HashOf(text)); }

bool TextDigest::Matches(const HeldText& text) const {
    return text.size() == length_ && HashOf(text).Done() == hash_;
}

}  // namespace textdigest
