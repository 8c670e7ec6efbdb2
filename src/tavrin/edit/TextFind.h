// Searching the editing area's text, without a window: the search rule of the Find dialog and the
// copy of the text it searches, refreshed only when the text has changed.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace textfind {

// The first 1-based position p >= start at which `what` occurs in `text`, comparing character codes
// exactly (case-sensitive, overlapping, no wrap-around); 0 when there is none. An empty `text` never
// matches; an empty `what` matches at `start` itself while start lies within the text.
int64_t FindFrom(std::wstring_view text, std::wstring_view what, int64_t start);

// What identifies one state of the control's text: the control, a counter of its change
// notifications and its length. Equal stamps mean the text has not changed.
struct Stamp {
    const void* control = nullptr;
    uint64_t changes = 0;
    int64_t length = -1;
    bool operator==(const Stamp&) const = default;
};

// The search copy of the text; Refresh replaces it, Current tells whether it still holds.
class SearchCopy {
public:
    bool Current(const Stamp& now) const { return valid_ && now == stamp_; }
    void Refresh(const Stamp& now, std::wstring text);
    void Clear();
    const std::wstring& Text() const { return text_; }
    uint64_t Refreshes() const { return refreshes_; }

private:
    std::wstring text_;
    Stamp stamp_;
    bool valid_ = false;
    uint64_t refreshes_ = 0;
};

}  // namespace textfind
