#include <windows.h>

#include <vector>

#include "TextReplace.h"

namespace textreplace {

// The system's lower case of every UTF-16 unit, made once.
wchar_t SystemFold(wchar_t c) {
    static const std::vector<wchar_t> table = [] {
        std::vector<wchar_t> t(0x10000);
        for (size_t i = 0; i < t.size(); ++i) t[i] = static_cast<wchar_t>(i);
        // Surrogates stay as they are: folded alone they mean nothing.
        CharLowerBuffW(t.data() + 1, 0xD800 - 1);
        CharLowerBuffW(t.data() + 0xE000, 0x2000);
        return t;
    }();
    return table[static_cast<unsigned short>(c)];
}

}  // namespace textreplace
