// Find in Files against the floor (walking and reading every file once) and the system's findstr,
// warm, over one folder; then a regular expression's Find Next over a 100 MB text.
// Usage: fif_bench <folder> <word> [runs]
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

#include "BenchClock.h"
#include "FindInFiles.h"

namespace {

struct Figures {
    double seconds = 0, first = 0;
    size_t files = 0, matches = 0;
};

Figures Floor(const std::wstring& folder) {
    Figures f;
    const double t0 = Now();
    auto fs = findfiles::SystemFileSystem();
    std::vector<std::wstring> folders{folder};
    std::vector<findfiles::FileSystem::Entry> entries;
    std::string bytes;
    while (!folders.empty()) {
        const std::wstring at = folders.back();
        folders.pop_back();
        entries.clear();
        if (!fs->List(at, entries)) continue;
        for (const auto& e : entries) {
            const std::wstring path = fs->Join(at, e.name);
            if (e.folder) folders.push_back(path);
            else if (fs->Read(path, bytes)) ++f.files;
        }
    }
    f.seconds = Now() - t0;
    return f;
}

Figures Find(const std::wstring& folder, const std::wstring& what, bool regex) {
    Figures f;
    std::wstring error;
    const auto pattern = search::Pattern::Make({what, true, false, regex}, error);
    auto fs = findfiles::SystemFileSystem();
    const std::atomic<bool> stop{false};
    const double t0 = Now();
    const findfiles::Totals t = findfiles::Search(*fs, {folder, {}, true}, *pattern, [&](std::vector<findfiles::Hit>&&) {
        if (f.first == 0) f.first = Now() - t0;
    }, stop);
    f.seconds = Now() - t0;
    f.files = t.searched;
    f.matches = t.matches;
    return f;
}

Figures Findstr(const std::wstring& folder, const std::wstring& what) {
    Figures f;
    std::wstring command = L"findstr.exe /s /n /c:" + what + L" *";
    SECURITY_ATTRIBUTES sa{sizeof(sa), nullptr, TRUE};
    HANDLE nul = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = si.hStdError = nul;
    PROCESS_INFORMATION pi{};
    const double t0 = Now();
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, folder.c_str(), &si, &pi)) {
        CloseHandle(nul);
        f.seconds = -1;
        return f;
    }
    WaitForSingleObject(pi.hProcess, INFINITE);
    f.seconds = Now() - t0;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    CloseHandle(nul);
    return f;
}

template <class F>
Figures Best(int runs, F run) {
    Figures best;
    for (int i = 0; i < runs; ++i) {
        const Figures f = run();
        if (i == 0 || f.seconds < best.seconds) best = f;
    }
    return best;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fwprintf(stderr, L"usage: fif_bench <folder> <word> [runs]\n");
        return 2;
    }
    const std::wstring folder = argv[1], word = argv[2];
    const int runs = argc > 3 ? _wtoi(argv[3]) : 3;
    Floor(folder);  // warm: every file read once before the timed runs
    const Figures floor = Best(runs, [&] { return Floor(folder); });
    const Figures plain = Best(runs, [&] { return Find(folder, word, false); });
    const Figures regex = Best(runs, [&] { return Find(folder, L"\\b" + word + L"\\w*", true); });
    const Figures findstr = Best(runs, [&] { return Findstr(folder, word); });
    std::wprintf(L"| %d-bit | %zu files | floor %.2f s | plain %.2f s (%.2fx, first %.0f ms, %zu matches) | regex %.2f s (%.2fx) | findstr %.2f s |\n",
                 static_cast<int>(sizeof(void*) * 8), floor.files, floor.seconds, plain.seconds,
                 plain.seconds / floor.seconds, plain.first * 1000, plain.matches, regex.seconds,
                 regex.seconds / floor.seconds, findstr.seconds);
    // A regular expression's Find Next over 100 MB of source-like lines (UTF-16), the match at the end.
    std::wstring text;
    text.reserve((100u << 20) / sizeof(wchar_t) + 64);
    for (int i = 0; text.size() < (100u << 20) / sizeof(wchar_t); ++i)
        text += L"    int value_" + std::to_wstring(i) + L" = compute(value_" + std::to_wstring(i + 1) + L");\r\n";
    text += L"int needle_found = 1;\r\n";
    std::wstring error;
    const auto pattern = search::Pattern::Make({L"needle_\\w+ = \\d", true, false, true}, error);
    const double t0 = Now();
    const auto m = pattern->Find(text, 0, text.size());
    std::wprintf(L"| %d-bit | regex Find Next over %.0f M characters | %.2f s | %ls |\n", static_cast<int>(sizeof(void*) * 8),
                 text.size() / 1e6, Now() - t0, m ? L"found" : L"not found");
    return 0;
}
