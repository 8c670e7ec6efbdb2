// The editing area's text as it lies in memory: the bytes before the control's gap and after it.
// Read this way the gap stays where it is; joining the two would move up to the whole text.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

struct HeldText {
    std::string_view before, after;
    HeldText() = default;
    HeldText(std::string_view whole) : before(whole) {}  // NOLINT: one run is a held text too
    HeldText(const char* whole) : before(whole) {}       // NOLINT
    HeldText(const std::string& whole) : before(whole) {}  // NOLINT
    HeldText(std::string_view b, std::string_view a) : before(b), after(a) {}
    size_t size() const { return before.size() + after.size(); }
    bool empty() const { return before.empty() && after.empty(); }
    char operator[](size_t i) const { return i < before.size() ? before[i] : after[i - before.size()]; }
};
