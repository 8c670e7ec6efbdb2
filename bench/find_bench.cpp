// Times Find and Find Next of the Find dialog near the end of big texts in the main window's
// editing area and prints one row per text size. Usage: find_bench [size in KB ...]
#include <windows.h>
#include <richedit.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "BenchClock.h"
#include "Form3.h"
#include "Modal.h"
#include "EditArea.h"
#include "basTavrin.h"
#include "frmMain.h"

namespace {

// Source-like lines with CR LF ends; the needle twice in the last 1%.
std::wstring MakeText(size_t chars, const std::wstring& needle) {
    std::wstring t;
    t.reserve(chars + 200);
    for (int i = 0; t.size() < chars; ++i)
        t += L"    int value_" + std::to_wstring(i) + L" = compute(value_" + std::to_wstring(i + 1) +
             L", \"text\") + 42;  // line " + std::to_wstring(i) + L"\r\n";
    t.resize(chars);
    const size_t a = chars - chars / 100, b = chars - chars / 200;
    for (size_t at : {a, b}) t.replace(t.find(L"value", at), needle.size(), needle);
    return t;
}


template <class F>
double Time(F f) {
    const double t0 = Now();
    f();
    return Now() - t0;
}

int NoBox(const modal::MsgBoxCall&) { return IDOK; }

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<size_t> sizesKb;
    for (int i = 1; i < argc; ++i) sizesKb.push_back(wcstoul(argv[i], nullptr, 10));
    if (sizesKb.empty()) sizesKb = {256, 512, 1024};

    settings::KeyPath = L"Software\\TavrinBench\\Settings";
    modal::ScopedHooks hooks({.msgBox = &NoBox});
    if (!editarea::RegisterWindowClass()) {
        std::printf("no editing control\n");
        return 1;
    }
    const std::wstring needle = L"NEEDLE_NEAR_END";
    std::printf("%-6s %8s %9s %10s %11s %12s %12s %13s %11s\n", "build", "size", "load s", "Find 1st",
                "Find again", "Find Next", "Next none", "Find edited", "plain find");
    for (size_t kb : sizesKb) {
        frmMain& f = form::Single<frmMain>();
        Form3& find = form::Single<Form3>();
        if (!f.Load()) return 1;
        f.Show();
        const std::wstring text = MakeText(kb * 1024, needle);
        const double load = Time([&] { editarea::SetText(f.t1(), text); }) / 1000.0;
        form::PumpMessages();

        f.mnuedit_Click(7);
        SetWindowTextW(find.Item(Form3::IdText1), needle.c_str());
        HWND cmd1 = find.Item(Form3::IdCommand1), cmd3 = find.Item(Form3::IdCommand3);
        const double first = Time([&] { SendMessageW(cmd1, BM_CLICK, 0, 0); });
        const int64_t firstAt = find.LastMatchPosition;
        form::PumpMessages();
        const double again = Time([&] { SendMessageW(cmd1, BM_CLICK, 0, 0); });
        form::PumpMessages();
        f.mnuedit_Click(8);
        const double next = Time([&] { SendMessageW(cmd3, BM_CLICK, 0, 0); });
        const int64_t nextAt = find.LastMatchPosition;
        form::PumpMessages();
        const double none = Time([&] { SendMessageW(cmd3, BM_CLICK, 0, 0); });
        form::PumpMessages();
        // One character typed at the end: the next search reads the text afresh.
        editarea::Select(f.t1(), editarea::TextLength(f.t1()), editarea::TextLength(f.t1()));
        editarea::ReplaceSelection(f.t1(), L"x");
        f.mnuedit_Click(7);
        SetWindowTextW(find.Item(Form3::IdText1), needle.c_str());
        const double edited = Time([&] { SendMessageW(cmd1, BM_CLICK, 0, 0); });
        // The search alone in the copy, for comparison.
        const std::wstring copy = find.Copy().Text();
        size_t sink = 0;
        const double plain = Time([&] { sink = copy.find(needle); });
        const bool ok = firstAt > 0 && nextAt > firstAt && sink != std::wstring::npos;

        std::printf("%-6s %7zuK %9.1f %8.2f ms %8.2f ms %9.2f ms %9.2f ms %10.2f ms %8.2f ms%s\n",
                    sizeof(void*) == 8 ? "x64" : "x86", kb, load, first, again, next, none, edited, plain,
                    ok ? "" : "  (match not found!)");
        std::fflush(stdout);
        find.Unload();
        f.Doc().ExitConfirmed = true;
        f.Unload();
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\TavrinBench");
    return 0;
}
