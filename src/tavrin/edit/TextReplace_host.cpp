#include "TextReplace.h"

namespace textreplace {

// ASCII and Latin-1 letters: enough for the host tests.
wchar_t SystemFold(wchar_t c) {
    if ((c >= L'A' && c <= L'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return static_cast<wchar_t>(c + 0x20);
    return c;
}

}  // namespace textreplace
