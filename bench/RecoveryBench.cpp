// How long the window waits while the recovery file of a modified document is written: the longest
// gap between two messages the window handles from the change until the worker has written the file
// (a 1 ms timer keeps them coming), for 1 MB, 10 MB and 100 MB texts.
#include <windows.h>

#include <cstdio>
#include <string>

#include "BenchClock.h"
#include "EditArea.h"
#include "Recovery.h"
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
    // Each size twice: the first write, and one after it (as while the user types on). The write
    // comes from the window's own timer once the typing pauses, as for a user.
    for (size_t mb : {1, 1, 10, 10, 100, 100}) {
        std::wstring text;
        while (text.size() < mb << 20) text += L"    for (int i = 0; i < count; ++i) total += values[i];  // sum\r\n";
        f.SetEditorText(text);
        editarea::Select(f.t1(), 0, 0);
        editarea::ReplaceSelection(f.t1(), L"x");  // modified, as typing does
        const double typed = Now();
        SetTimer(f.Hwnd(), 99, 1, nullptr);
        double last = Now(), worst = 0;
        // The pause that makes the write due, then until the worker has written it.
        while (Now() < typed + recovery::Schedule::kQuietMs / 1000.0 + 0.5 || !f.Recovery().Idle()) {
            MSG m;
            if (!GetMessageW(&m, nullptr, 0, 0)) break;
            DispatchMessageW(&m);
            const double now = Now();
            if (now - last > worst) worst = now - last;
            last = now;
        }
        KillTimer(f.Hwnd(), 99);
        wprintf(L"recovery\t%zu MB\tlongest gap %.1f ms\n", mb, worst * 1000);
        fflush(stdout);
    }
    f.Doc().ExitConfirmed = true;
    f.Unload();
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\TavrinBench");
    return 0;
}
