// The output pane under a flood: a stand-in build prints 50,000 lines of 200 characters into a
// BuildPane in a window. Prints how long the lines took to arrive, the longest time the window's
// thread went without taking a message (what a key typed meanwhile waits at most), the batches, and
// how long Stop took to end an endless flood and show it in the pane.
//   build_pane_bench <build_test_child.exe>
#include <windows.h>

#include <cstdio>
#include <string>

#include "BenchClock.h"
#include "BuildPane.h"
#include "Texts.h"

namespace {

BuildCommand Child(const std::wstring& child, const std::wstring& args) {
    BuildCommand c;
    c.application = child;
    c.commandLine = L"\"" + child + L"\" " + args;
    return c;
}

// Pumps until `done`; returns the longest gap between two messages taken, in ms.
template <class Pred>
double PumpUntil(Pred done, double& gapMs) {
    double last = Now();
    gapMs = 0;
    while (!done()) {
        MSG m;
        // A pause in the pumping measures only the queue: a timer message comes every 10 ms.
        if (GetMessageW(&m, nullptr, 0, 0) <= 0) break;
        const double now = Now();
        if ((now - last) * 1000 > gapMs) gapMs = (now - last) * 1000;
        last = now;
        DispatchMessageW(&m);
    }
    return gapMs;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    HWND frame = CreateWindowExW(0, L"STATIC", L"bench", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    BuildPane pane;
    pane.Prepare(frame, 1, L"Courier New", 10);
    HWND control = pane.Ensure();
    MoveWindow(control, 0, 0, 780, 560, FALSE);
    ShowWindow(control, SW_SHOW);
    SetTimer(frame, 1, 10, nullptr);
    bool ended = false;
    pane.BuildEnded = [&] { ended = true; };

    const double start = Now();
    if (!pane.Build(Child(argv[1], L"flood 50000"), L"C:\\bench\\flood.cpp")) return 1;
    double gap = 0;
    PumpUntil([&] { return ended; }, gap);
    const double seconds = Now() - start;
    std::printf("50,000 lines of 200 characters: %.2f s in the pane (%zu lines), longest wait for a message %.0f ms\n",
                seconds, pane.Lines().size(), gap);

    ended = false;
    if (!pane.Build(Child(argv[1], L"flood 0"), L"C:\\bench\\flood.cpp")) return 1;
    PumpUntil([&] { return pane.Lines().size() > 20000; }, gap);
    const double stop = Now();
    pane.Stop();
    PumpUntil([&] { return ended; }, gap);
    std::printf("Stop during an endless flood: %.0f ms until the pane says \"%ls\" (longest wait %.0f ms)\n",
                (Now() - stop) * 1000, pane.Lines().back().c_str(), gap);
    DestroyWindow(frame);
    return 0;
}
