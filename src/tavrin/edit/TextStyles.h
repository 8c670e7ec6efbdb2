// The character formats the user gives parts of the text (bold, italic, size) as numbered styles of
// the editing control: each distinct format gets a number once and keeps it.
#pragma once
#include <cstddef>
#include <vector>

namespace textstyles {

struct Format {
    bool bold = false;
    bool italic = false;
    int size100 = 0;  // points times 100; 0: the area's base size
    bool operator==(const Format&) const = default;
};

// Style 0 is plain text; the control keeps 32 to 39 for its own parts.
constexpr int kPlain = 0;
constexpr int kFirstReserved = 32, kLastReserved = 39, kLast = 255;

class Table {
public:
    // The style for a format: plain text's for the plain format, the one given before, or a new
    // number; -1 when every number is taken.
    int StyleFor(const Format& f);
    // The format of a style number (plain for one never given out).
    Format FormatOf(int style) const;
    // Numbers given out so far, in order.
    const std::vector<int>& Used() const { return used_; }
    void Clear() { formats_.clear(), used_.clear(); }

private:
    std::vector<Format> formats_;  // by number - 1
    std::vector<int> used_;
};

}  // namespace textstyles
