// One registration of a module whose entry points return at once, timed from start to outcome:
// called in this process (how Pellamy ran it before every run got a process of its own), through
// the registration child (the window's route), on Pellamy's command line, and by the system's own
// registration tool. Prints the median and the worst of `runs` runs of each.
//   pellamy_bench <module.dll> <folder of Pellamy.exe and Pellamy64.exe> [runs]
#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "BenchClock.h"
#include "ChildRun.h"

namespace {

void Row(const char* what, int runs, const std::function<bool()>& once) {
    std::vector<double> ms;
    bool ok = true;
    for (int i = 0; i < runs; ++i) {
        const double t0 = Now();
        ok = once() && ok;
        ms.push_back((Now() - t0) * 1000);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("| %-46s | %8.1f | %8.1f | %s |\n", what, ms[ms.size() / 2], ms.back(), ok ? "yes" : "NO");
}

bool InProcess(const std::wstring& module) {
    HMODULE m = LoadLibraryW(module.c_str());
    if (!m) return false;
    auto entry = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
        reinterpret_cast<void*>(GetProcAddress(m, "DllRegisterServer")));
    const bool ok = entry && SUCCEEDED(entry());
    FreeLibrary(m);
    return ok;
}

bool Process(const std::wstring& commandLine) {
    STARTUPINFOW si{sizeof si};
    PROCESS_INFORMATION pi{};
    std::wstring line = commandLine;
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code == 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: pellamy_bench <module.dll> <folder of Pellamy*.exe> [runs]\n");
        return 2;
    }
    const std::wstring module = argv[1], folder = argv[2];
    const int runs = argc > 3 ? std::max(1, _wtoi(argv[3])) : 20;
    const std::wstring program = folder + (sizeof(void*) == 8 ? L"\\Pellamy64.exe" : L"\\Pellamy.exe");
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::printf("%d-bit, %d runs each, start to outcome\n\n", static_cast<int>(sizeof(void*) * 8), runs);
    std::printf("| %-46s | %8s | %8s | %s |\n", "route", "median ms", "worst ms", "registered");
    std::printf("|---|---|---|---|\n");
    Row("in this process (LoadLibrary, entry point)", runs, [&] { return InProcess(module); });
    Row("registration child (the window's route)", runs, [&] {
        pellamy::ChildRequest r{module, pellamy::ChildMode::Plain, {pellamy::EntryCall{}}, folder};
        return pellamy::RunInChild(r).result.outcome == pellamy::RunOutcome::Completed;
    });
    Row("Pellamy command line (/s)", runs, [&] { return Process(L"\"" + program + L"\" /s \"" + module + L"\""); });
    Row("system's regsvr32 /s", runs,
        [&] { return Process(L"\"" + std::wstring(system) + L"\\regsvr32.exe\" /s \"" + module + L"\""); });
    CoUninitialize();
    return 0;
}
