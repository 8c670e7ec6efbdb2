#include "TextFind.h"

namespace textfind {

void SearchCopy::Refresh(const Stamp& now, std::wstring text) {
    text_ = std::make_shared<const std::wstring>(std::move(text));
    stamp_ = now;
    valid_ = true;
    ++refreshes_;
}

void SearchCopy::Clear() {
    text_ = std::make_shared<const std::wstring>();
    valid_ = false;
}

}  // namespace textfind
