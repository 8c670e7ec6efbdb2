#include "AppInfo.h"

#ifdef _WIN32
#include <windows.h>
#endif

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

#ifdef _WIN32
std::wstring ExePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) { path.resize(n); return path; }
        path.resize(path.size() * 2);
    }
}

std::wstring ProgramFolder() {
    std::wstring p = ExePath();
    auto slash = p.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return {};
    p.resize(slash);
    return p;  // "C:" for a program in a drive root: callers add the "\\" themselves
}

std::wstring ExeName() {
    std::wstring p = ExePath();
    auto slash = p.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? p : p.substr(slash + 1);
    auto dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos) name.resize(dot);
    return name;
}

std::wstring SystemErrorText(unsigned long code, const std::wstring& name) {
    wchar_t* buf = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<wchar_t*>(&buf), 0, nullptr);
    std::wstring text;
    if (n && buf) text.assign(buf, n);
    if (buf) LocalFree(buf);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ' || text.back() == L'.'))
        text.pop_back();
    if (!text.empty()) text += L'.';
    return FillMessageInserts(text, name);
}
#endif
