#include "TextStyles.h"

namespace textstyles {

namespace {

// The n-th style number after plain text, stepping over the control's own.
int NumberAt(std::size_t n) {
    const int s = static_cast<int>(n) + 1;
    return s < kFirstReserved ? s : s + (kLastReserved - kFirstReserved + 1);
}

}  // namespace

int Table::StyleFor(const Format& f) {
    if (f == Format{}) return kPlain;
    for (std::size_t i = 0; i < formats_.size(); ++i)
        if (formats_[i] == f) return NumberAt(i);
    const int next = NumberAt(formats_.size());
    if (next > kLast) return -1;
    formats_.push_back(f);
    used_.push_back(next);
    return next;
}

Format Table::FormatOf(int style) const {
    for (std::size_t i = 0; i < formats_.size(); ++i)
        if (NumberAt(i) == style) return formats_[i];
    return {};
}

}  // namespace textstyles
