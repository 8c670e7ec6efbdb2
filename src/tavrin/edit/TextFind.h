// The copy of the editing area's text that the Find dialog searches, refreshed only when the text
// has changed.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace textfind {

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
    const std::wstring& Text() const { return *text_; }
    // Shared with a search still running on a worker after the copy moved on.
    std::shared_ptr<const std::wstring> Shared() const { return text_; }
    uint64_t Refreshes() const { return refreshes_; }

private:
    std::shared_ptr<const std::wstring> text_ = std::make_shared<const std::wstring>();
    Stamp stamp_;
    bool valid_ = false;
    uint64_t refreshes_ = 0;
};

}  // namespace textfind
