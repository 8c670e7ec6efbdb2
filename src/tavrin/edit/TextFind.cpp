#include "TextFind.h"

namespace textfind {

int64_t FindFrom(std::wstring_view text, std::wstring_view what, int64_t start) {
    if (text.empty()) return 0;
    if (start < 1) start = 1;
    const auto size = static_cast<int64_t>(text.size());
    if (start > size) return 0;
    if (what.empty()) return start;
    const size_t p = text.find(what, static_cast<size_t>(start - 1));
    return p == std::wstring_view::npos ? 0 : static_cast<int64_t>(p) + 1;
}

void SearchCopy::Refresh(const Stamp& now, std::wstring text) {
    text_ = std::move(text);
    stamp_ = now;
    valid_ = true;
    ++refreshes_;
}

void SearchCopy::Clear() {
    text_.clear();
    text_.shrink_to_fit();
    valid_ = false;
}

}  // namespace textfind
