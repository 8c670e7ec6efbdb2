// Horspool's scan for a run of bytes in text folded by a table (ASCII letters to lower case for a
// search without case): Find in Files' plain text, and the text a regular expression starts with.
#pragma once
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace search {

class ByteScan {
public:
    ByteScan();  // every byte as it is, nothing to look for

    void Fold(unsigned char from, unsigned char to) { fold_[from] = to; }
    unsigned char Folded(unsigned char b) const { return fold_[b]; }
    // What to look for (folded here, so set the folds first).
    void LookFor(std::string_view needle);
    const std::string& Needle() const { return needle_; }

    // Where the needle starts at or after `from`; npos when nowhere (and for an empty needle).
    size_t Find(std::string_view text, size_t from) const;

private:
    std::string needle_;
    std::array<unsigned char, 256> fold_{};
    std::array<size_t, 256> skip_{};
    // The bytes that fold into the needle's first and last (a letter's two cases), for the test of
    // sixteen places at once; none when more than two do.
    std::array<unsigned char, 2> firsts_{}, lasts_{};
    bool wide_ = false;
};

}  // namespace search
