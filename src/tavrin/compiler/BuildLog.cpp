#include "BuildLog.h"

void BuildLog::Clear(std::wstring folder) {
    items_.clear();
    current_.reset();
    folder_ = std::move(folder);
    columns_ = ColumnKind::Characters;
}

bool BuildLog::Add(const std::wstring& line, size_t paneLine) {
    if (auto kind = CompilerColumns(line)) columns_ = *kind;
    std::optional<Diagnostic> d = ParseDiagnostic(line);
    if (!d) return false;
    items_.push_back({std::move(*d), paneLine});
    return true;
}

std::optional<size_t> BuildLog::OnPaneLine(size_t paneLine) const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].paneLine == paneLine) return i;
    return std::nullopt;
}

std::optional<size_t> BuildLog::Step(bool forward) {
    if (items_.empty()) return std::nullopt;
    const size_t n = items_.size();
    if (!current_ || *current_ >= n) current_ = forward ? 0 : n - 1;
    else current_ = forward ? (*current_ + 1) % n : (*current_ + n - 1) % n;
    return current_;
}

std::wstring BuildLog::PathOf(const Diagnostic& d) const {
    std::wstring file = d.file;
    for (wchar_t& c : file)
        if (c == L'/') c = L'\\';
    const bool complete = (file.size() > 1 && file[1] == L':') || file.rfind(L"\\\\", 0) == 0;
    if (complete || folder_.empty()) return file;
    if (!file.empty() && file[0] == L'\\') return folder_.substr(0, 2) + file;  // the drive's root
    std::wstring path = folder_;
    if (path.back() != L'\\') path += L'\\';
    return path + file;
}
