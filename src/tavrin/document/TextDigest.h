// The saved text as the document keeps it to tell whether it has changed: its length and a 64-bit
// hash of its bytes (UTF-8, as the editing area holds it), instead of a second copy of the whole text.
// SHA-256 marks the recovery files.
#pragma once
#include <array>
#include <string>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <thread>

#include "HeldText.h"

namespace textdigest {

using Digest = std::array<uint8_t, 32>;

// SHA-256 of `size` bytes.
Digest Sha256(const void* data, size_t size);

// A text's hash made piece by piece, as the text is read: four lanes of multiply and rotate over
// 32-byte stripes, several GB a second (SHA-256 would take longer than the reading of a big file).
class TextHash {
public:
    void Add(std::string_view piece);
    uint64_t Done() const;
    size_t Length() const { return static_cast<size_t>(total_); }

private:
    void Stripe(const uint8_t* p);
    uint64_t lanes_[4] = {0x60ea27eeadc0b5d6ull, 0xc2b2ae3d27d4eb4full, 0, 0x61c8864e7a143579ull};
    uint8_t buffer_[32] = {};
    size_t used_ = 0;
    uint64_t total_ = 0;
};

// A held text's hash made on the other core while the caller goes on (a save writes meanwhile),
// or at once for a small text or when no thread starts. The text stays as it is until Take.
class HashBeside {
public:
    explicit HashBeside(const HeldText& text);
    ~HashBeside() { Take(); }
    HashBeside(const HashBeside&) = delete;
    HashBeside& operator=(const HashBeside&) = delete;
    const TextHash& Take();

private:
    HeldText text_;
    TextHash hash_;
    std::thread thread_;
};

class TextDigest {
public:
    TextDigest() { Mark(""); }
    explicit TextDigest(const HeldText& text) { Mark(text); }
    void Mark(const HeldText& text);
    // The text the hash was made of.
    void Mark(const TextHash& hash) { length_ = hash.Length(), hash_ = hash.Done(); }
    // A mark no text matches: a document whose saved text is not known (recovered unsaved text).
    void MarkNone() { length_ = static_cast<size_t>(-1); }
    // The length decides at once; the digest only when the lengths agree.
    bool Matches(const HeldText& text) const;
    bool Matches(const TextHash& hash) const { return hash.Length() == length_ && hash.Done() == hash_; }
    size_t Length() const { return length_; }

private:
    size_t length_ = 0;
    uint64_t hash_ = 0;
};

}  // namespace textdigest
