// Find in Files against the floor (walking and reading every file once) and the system's findstr,
// warm, over one folder; then a regular expression's Find Next over a 100 MB text.
// Usage: fif_bench <folder> <word> [runs]
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
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

// findstr over the same tree, its output to a file whose lines are counted (so a findstr that
// cannot do the search shows as such, with what it said).
Figures Findstr(const std::wstring& folder, const std::wstring& what, std::wstring& said) {
    Figures f;
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring out = std::wstring(temp) + L"fif-findstr.txt";
    std::wstring command = L"findstr.exe /s /n /c:" + what + L" *";
    SECURITY_ATTRIBUTES sa{sizeof(sa), nullptr, TRUE};
    HANDLE file = CreateFileW(out.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = si.hStdError = file;
    PROCESS_INFORMATION pi{};
    const double t0 = Now();
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, folder.c_str(), &si, &pi)) {
        CloseHandle(file);
        f.seconds = -1;
        said = L"findstr.exe could not be started";
        return f;
    }
    WaitForSingleObject(pi.hProcess, INFINITE);
    f.seconds = Now() - t0;
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    CloseHandle(file);
    std::string bytes;
    findfiles::SystemFileSystem()->Read(out, bytes);
    DeleteFileW(out.c_str());
    f.matches = static_cast<size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
    said = L"exit " + std::to_wstring(code) + L", " + std::to_wstring(f.matches) + L" lines";
    if (f.matches < 5) said += L": " + std::wstring(bytes.begin(), bytes.begin() + std::min<size_t>(bytes.size(), 300));
    return f;
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
    // Taken in turns, so a burst of load on the shared machine falls on all of them alike.
    std::vector<Figures> floors, plains, regexes, findstrs;
    std::wstring said;
    for (int i = 0; i < runs; ++i) {
        floors.push_back(Floor(folder));
        plains.push_back(Find(folder, word, false));
        regexes.push_back(Find(folder, L"\\b" + word + L"\\w*", true));
        findstrs.push_back(Findstr(folder, word, said));
    }
    auto median = [](std::vector<Figures>& all) {
        std::sort(all.begin(), all.end(), [](const Figures& a, const Figures& b) { return a.seconds < b.seconds; });
        return all[all.size() / 2];
    };
    const Figures floor = median(floors), plain = median(plains), regex = median(regexes), findstr = median(findstrs);
    std::wprintf(L"| %d-bit | %zu files | floor %.2f s | plain %.2f s (%.2fx, first %.0f ms, %zu matches) | regex %.2f s (%.2fx, %zu matches) | findstr %.2f s (%.2fx; %ls) |\n",
                 static_cast<int>(sizeof(void*) * 8), floor.files, floor.seconds, plain.seconds,
                 plain.seconds / floor.seconds, plain.first * 1000, plain.matches, regex.seconds,
                 regex.seconds / floor.seconds, regex.matches, findstr.seconds, findstr.seconds / floor.seconds,
                 said.c_str());
    if (std::getenv("FIF_NO_FIND_NEXT")) return 0;
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
