// The saved text as the document keeps it to tell whether it has changed: its length and a SHA-256
// digest of its bytes (UTF-8, as the editing area holds it), instead of a second copy of the whole text.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace textdigest {

using Digest = std::array<uint8_t, 32>;

// SHA-256 of `size` bytes.
Digest Sha256(const void* data, size_t size);

class TextDigest {
public:
    TextDigest() { Mark(""); }
    explicit TextDigest(std::string_view text) { Mark(text); }
    void Mark(std::string_view text);
    // A mark no text matches: a document whose saved text is not known (recovered unsaved text).
    void MarkNone() { length_ = static_cast<size_t>(-1); }
    // The length decides at once; the digest only when the lengths agree.
    bool Matches(std::string_view text) const;
    size_t Length() const { return length_; }

private:
    size_t length_ = 0;
    Digest digest_{};
};

}  // namespace textdigest
