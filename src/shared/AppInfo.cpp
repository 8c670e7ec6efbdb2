#include "AppInfo.h"

#include "SharedTexts.h"

std::wstring AppTitle;

std::wstring FillMessageInserts(const std::wstring& text, const std::wstring& name) {
    const std::wstring with = name.empty() ? std::wstring(texts::kUnnamedInsert) : name;
    std::wstring out;
    out.reserve(text.size() + with.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'%' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const wchar_t next = text[i + 1];
        if (next < L'1' || next > L'9') {  // an escape ("%%", "%n", ...): kept with what follows
            out += text[i];
            out += next;
            ++i;
            continue;
        }
        size_t j = i + 2;
        if (j < text.size() && text[j] >= L'0' && text[j] <= L'9') ++j;
        if (j < text.size() && text[j] == L'!') {  // a printf format: "%1!s!"
            const size_t close = text.find(L'!', j + 1);
            if (close != std::wstring::npos) j = close + 1;
        }
        out += with;
        i = j - 1;
    }
    return out;
}
