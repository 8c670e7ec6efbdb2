// Load, save and start-up figures for Tavrin and the platform's notepad and wordpad of the same
// bitness, on the same files. Prints one tab-separated line per measurement (medians of N runs).
//   TavrinBench <runs> <tavrin.exe> <peers: notepad,wordpad or -> <file>...
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "BenchClock.h"
#include "FileEncoding.h"
#include "SafeSave.h"
#include "TextFind.h"

namespace {

double Median(std::vector<double> v) {
    if (v.empty()) return -1;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct Found {
    DWORD pid;
    std::wstring part;  // caption must contain this (empty: any visible window)
    HWND hwnd;
};

BOOL CALLBACK FindProc(HWND h, LPARAM lp) {
    auto* f = reinterpret_cast<Found*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid != f->pid || !IsWindowVisible(h)) return TRUE;
    wchar_t cap[512] = {};
    GetWindowTextW(h, cap, 512);
    if (!f->part.empty() && !wcsstr(cap, f->part.c_str())) return TRUE;
    f->hwnd = h;
    return FALSE;
}

// The process's visible top-level window whose caption holds `part`, once it answers messages.
HWND WaitWindow(DWORD pid, HANDLE proc, const std::wstring& part, double timeout) {
    const double end = Now() + timeout;
    while (Now() < end) {
        Found f{pid, part, nullptr};
        EnumWindows(FindProc, reinterpret_cast<LPARAM>(&f));
        if (f.hwnd) {
            DWORD_PTR r;
            // Twice: the first returns when the program next looks at its queue, the second after
            // the paint and layout that follow.
            if (SendMessageTimeoutW(f.hwnd, WM_NULL, 0, 0, SMTO_NORMAL, static_cast<UINT>(timeout * 1000), &r) &&
                SendMessageTimeoutW(f.hwnd, WM_NULL, 0, 0, SMTO_NORMAL, static_cast<UINT>(timeout * 1000), &r))
                return f.hwnd;
        }
        if (WaitForSingleObject(proc, 5) == WAIT_OBJECT_0) return nullptr;
    }
    return nullptr;
}

struct RunResult {
    double load = -1, save = -1;
    double peakMB = -1;
};

std::wstring NameOf(const std::wstring& path) { return path.substr(path.find_last_of(L"\\/") + 1); }

// Starts `exe` with `file` (or nothing), waits for its window, optionally saves (Tavrin), ends it.
RunResult RunOnce(const std::wstring& exe, const std::wstring& file, bool tavrin, bool save, double timeout) {
    RunResult r;
    std::wstring cmd = L"\"" + exe + L"\"";
    if (!file.empty()) cmd += L" \"" + file + L"\"";
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    const double t0 = Now();
    if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return r;
    const std::wstring part = file.empty() ? std::wstring() : NameOf(file);
    HWND w = WaitWindow(pi.dwProcessId, pi.hProcess, part, timeout);
    // Cut off while still at it: reported as "more than the timeout" (-3), not as a failure.
    if (!w && WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) r.load = -3;
    if (w) {
        r.load = Now() - t0;
        PROCESS_MEMORY_COUNTERS pmc{};
        pmc.cb = sizeof(pmc);
        if (GetProcessMemoryInfo(pi.hProcess, &pmc, sizeof(pmc))) r.peakMB = pmc.PeakWorkingSetSize / 1048576.0;
        if (save && tavrin) {
            DWORD_PTR res;
            // A character typed and taken back: the same bytes go to disk, but the document has
            // been edited, so the save reads the text out of the control as after any edit.
            if (HWND edit = FindWindowExW(w, nullptr, L"RICHEDIT50W", nullptr)) {
                SendMessageTimeoutW(edit, WM_CHAR, L'x', 0, SMTO_NORMAL, 5000, &res);
                SendMessageTimeoutW(edit, WM_KEYDOWN, VK_BACK, 0, SMTO_NORMAL, 5000, &res);
                SendMessageTimeoutW(edit, WM_KEYUP, VK_BACK, 0, SMTO_NORMAL, 5000, &res);
            }
            const double s0 = Now();
            if (SendMessageTimeoutW(w, WM_COMMAND, 103, 0, SMTO_NORMAL, static_cast<UINT>(timeout * 1000), &res))
                r.save = Now() - s0;
        }
    }
    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, 10000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return r;
}

void Floor(const std::wstring& file, int runs) {
    std::vector<double> read, readInto, write, safeWrite, find;
    std::string original;
    unsigned long e = 0;
    safesave::ReadAll(file, original, e);
    for (int i = 0; i < runs; ++i) {
        // Read in pieces and decoded as opening does, the text going nowhere.
        double t0 = Now();
        size_t textBytes = 0;
        docfile::Decoder decoder([&](std::string_view t) { return textBytes += t.size(), true; });
        safesave::ReadPieces(file, 4u << 20, [&](std::string_view piece) {
            return decoder.Add(piece) == docfile::Decoder::Step::Go;
        }, e);
        decoder.Finish();
        read.push_back(Now() - t0);
        // The same, the text put into memory of its size taken fresh from the system, as any
        // editor must hold it: the first touch of new memory is part of every open.
        t0 = Now();
        char* into = static_cast<char*>(VirtualAlloc(nullptr, textBytes + 1, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        size_t at = 0;
        docfile::Decoder held([&](std::string_view t) {
            return into && at + t.size() <= textBytes && (memcpy(into + at, t.data(), t.size()), at += t.size(), true);
        });
        safesave::ReadPieces(file, 4u << 20, [&](std::string_view piece) {
            return held.Add(piece) == docfile::Decoder::Step::Go;
        }, e);
        held.Finish();
        readInto.push_back(into ? Now() - t0 : -1);
        if (into) VirtualFree(into, 0, MEM_RELEASE);
        // A search in a copy of the text that runs to its very end (the corpus repeats itself, so a
        // word near the end is also found early): the cost of Find Next near the end at worst.
        const std::string needle = "\xC2\xA7not in the corpus\xC2\xA7";
        t0 = Now();
        volatile size_t hit = original.find(needle);
        (void)hit;
        find.push_back(Now() - t0);
        // Plain file calls writing the same bytes over a file of them, as a save goes over the
        // file opened: the old file's room given back is part of either write.
        const std::wstring out = file + L".plain";
        safesave::WriteAll(out, original, e);
        t0 = Now();
        HANDLE h = CreateFileW(out.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        for (size_t done = 0; done < original.size();) {  // in writes the 32-bit build can take
            DWORD put = 0;
            const DWORD want = static_cast<DWORD>(std::min<size_t>(original.size() - done, 64u << 20));
            if (!WriteFile(h, original.data() + done, want, &put, nullptr) || put == 0) break;
            done += put;
        }
        FlushFileBuffers(h);
        CloseHandle(h);
        write.push_back(Now() - t0);
        DeleteFileW(out.c_str());
        // The editor's safe save of the same bytes: temporary file, flush, replacement.
        const std::wstring safe = file + L".safe";
        safesave::WriteAll(safe, original, e);
        t0 = Now();
        safesave::WriteAll(safe, original, e);
        safeWrite.push_back(Now() - t0);
        DeleteFileW(safe.c_str());
    }
    wprintf(L"floor\t%ls\t%.4f\t%.4f\t%.5f\t%.4f\t%.4f\n", NameOf(file).c_str(), Median(read), Median(write),
            Median(find), Median(safeWrite), Median(readInto));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 5) {
        fwprintf(stderr, L"usage: TavrinBench runs tavrin.exe notepad,wordpad|- file...\n");
        return 2;
    }
    const int runs = _wtoi(argv[1]);
    const std::wstring tavrin = argv[2];
    const std::wstring peers = argv[3];
    const double timeout = 400;
    // A peer that takes minutes is cut off (PEER_TIMEOUT seconds, 400 by default).
    const wchar_t* pt = _wgetenv(L"PEER_TIMEOUT");
    const double peerTimeout = pt && _wtof(pt) > 0 ? _wtof(pt) : timeout;
    std::vector<std::pair<std::wstring, std::wstring>> programs{{L"Tavrin", tavrin}};
    if (peers == L"floor") programs.clear();  // only the floor figures
    if (peers.find(L"notepad") != std::wstring::npos) programs.push_back({L"notepad", L"notepad.exe"});
    if (peers.find(L"wordpad") != std::wstring::npos) {
        // Not on the search path: in the program folder of this bitness.
        wchar_t wp[MAX_PATH];
        ExpandEnvironmentStringsW(L"%ProgramFiles%\\Windows NT\\Accessories\\wordpad.exe", wp, MAX_PATH);
        programs.push_back({L"wordpad", wp});
    }

    // Cold start to an idle main window: the programs take turns, so none profits from going last,
    // and at least seven runs each, as a start is short and noisy.
    std::vector<std::vector<double>> starts(programs.size());
    for (int i = 0; i < std::max(runs, 7); ++i)
        for (size_t p = 0; p < programs.size(); ++p)
            starts[p].push_back(RunOnce(programs[p].second, L"", false, false, 60).load);
    for (size_t p = 0; p < programs.size(); ++p) {
        wprintf(L"start\t%ls\t-\t%.3f\n", programs[p].first.c_str(), Median(starts[p]));
        fflush(stdout);
    }
    for (int a = 4; a < argc; ++a) {
        const std::wstring file = argv[a];
        Floor(file, runs);
        fflush(stdout);
        std::string before, after;
        unsigned long e = 0;
        safesave::ReadAll(file, before, e);
        for (auto& p : programs) {
            std::vector<double> load, save, peak;
            for (int i = 0; i < runs; ++i) {
                RunResult r = RunOnce(p.second, file, p.first == L"Tavrin", true,
                                      p.first == L"Tavrin" ? timeout : peerTimeout);
                load.push_back(r.load);
                save.push_back(r.save);
                peak.push_back(r.peakMB);
                if (r.load < 0) break;  // a timeout or a crash: no point repeating it
            }
            safesave::ReadAll(file, after, e);
            if (after != before) fwprintf(stderr, L"%ls changed the bytes of %ls!\n", p.first.c_str(), file.c_str());
            wprintf(L"load\t%ls\t%ls\t%.3f\t%.3f\t%.1f\n", p.first.c_str(), NameOf(file).c_str(), Median(load),
                    Median(save), Median(peak));
            fflush(stdout);
        }
    }
    return 0;
}
