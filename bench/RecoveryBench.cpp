// How long the window waits while the recovery file of a modified document is written: the time
// in the call that hands the text over, and the longest gap between two messages the window
// handles while the worker writes (a 1 ms timer keeps them coming), for 1 MB and 10 MB texts.
#include <windows.h>

#include <cstdio>
#include <string>

#include "BenchClock.h"
#include "EditArea.h"
#include "basTavrin.h"
#include "frmMain.h"

int wmain() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring appData = std::wstring(temp) + L"TavrinRecoveryBench";
    CreateDirectoryW(appData.c_str(), nullptr);
    SetEnvironmentVariableW(L"LOCALAPPDATA", appData.c_str());
    settings::KeyPath = L"Software\\TavrinBench\\Settings";
    if (!editarea::RegisterWindowClass()) return 1;
    frmMain& f = form::Single<frmMain>();
    if (!f.Load()) return 1;
    f.Show();
    // Each size twice: the first write, and one after it (as while the user types on).
    for (size_t mb : {1, 1, 10, 10}) {
        std::wstring text;
        while (text.size() < mb << 20) text += L"    for (int i = 0; i < count; ++i) total += values[i];  // sum\r\n";
        f.SetEditorText(text);
        editarea::Select(f.t1(), 0, 0);
        editarea::ReplaceSelection(f.t1(), L"x");  // modified, as typing does
        // The user goes on typing a moment before the write is due.
        for (double until = Now() + 0.5; Now() < until;) {
            MSG m;
            while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
            Sleep(5);
        }
        SetTimer(f.Hwnd(), 99, 1, nullptr);
        const double t0 = Now();
        f.WriteRecovery();
        const double handOver = Now() - t0;
        double last = Now(), worst = 0;
        while (!f.Recovery().Idle()) {
            MSG m;
            if (!GetMessageW(&m, nullptr, 0, 0)) break;
            DispatchMessageW(&m);
            const double now = Now();
            if (now - last > worst) worst = now - last;
            last = now;
        }
        const double total = Now() - t0;
        KillTimer(f.Hwnd(), 99);
        wprintf(L"recovery\t%zu MB\thand-over %.1f ms\tlongest gap %.1f ms\twritten in %.0f ms\n", mb, handOver * 1000,
                worst * 1000, total * 1000);
        fflush(stdout);
    }
    f.Doc().ExitConfirmed = true;
    f.Unload();
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\TavrinBench");
    return 0;
}
