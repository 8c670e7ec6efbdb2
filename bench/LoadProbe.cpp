// How the way the text is handed to the editing control changes the load time: one stream, pieces
// added at the end, and the piece size; "ondemand:" before a method uses a control whose scroll
// bars come and go with the text (the old style). Prints seconds per method for each file.
//   LoadProbe <file> [methods: stream,pieces16,pieces64,ondemand:stream] [control width, px: 440]
#include <windows.h>
#include <richedit.h>

#include <cstdio>
#include <string>

#include "LineEnds.h"
#include "FileEncoding.h"
#include "RichText.h"
#include "SafeSave.h"

namespace {

double Now() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

void Pump() {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
}

void Pieces(HWND edit, const std::wstring& text, size_t piece) {
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    std::wstring p;
    for (size_t pos = 0; pos < text.size();) {
        size_t avail = std::min(piece, text.size() - pos);
        size_t n = docfile::ChunkLength(text.data() + pos, avail, pos + avail == text.size());
        if (n == 0) n = avail;
        p.assign(text, pos, n);
        SendMessageW(edit, EM_SETSEL, -1, -1);
        SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(p.c_str()));
        pos += n;
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    std::string bytes;
    unsigned long e = 0;
    if (!safesave::ReadAll(argv[1], bytes, e)) return 1;
    const std::wstring text = docfile::Decode(bytes).text;
    const std::wstring methods = argc > 2 ? argv[2] : L"stream,ondemand:stream";
    const int width = argc > 3 ? _wtoi(argv[3]) : 440;
    richtext::LoadLibraryClass();
    HWND top = CreateWindowExW(0, L"STATIC", L"probe", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, width + 40, 640, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    for (size_t start = 0; start < methods.size();) {
        size_t end = methods.find(L',', start);
        if (end == std::wstring::npos) end = methods.size();
        std::wstring m = methods.substr(start, end - start);
        const std::wstring label = m;
        start = end + 1;
        HWND edit = nullptr;
        if (m.rfind(L"ondemand:", 0) == 0) {
            edit = CreateWindowExW(WS_EX_CLIENTEDGE, richtext::LoadLibraryClass(), L"",
                                   WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                                       ES_AUTOHSCROLL | ES_WANTRETURN | ES_NOHIDESEL,
                                   0, 0, 0, 0, top, nullptr, GetModuleHandleW(nullptr), nullptr);
            SendMessageW(edit, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
            SendMessageW(edit, EM_SETTARGETDEVICE, 0, 1);
            m = m.substr(9);
        } else {
            edit = richtext::Create(top, 1);
        }
        MoveWindow(edit, 0, 0, width, 560, TRUE);
        Pump();
        const double t0 = Now();
        if (m == L"stream") richtext::SetText(edit, text);
        else Pieces(edit, text, static_cast<size_t>(_wtoi(m.c_str() + 6)) * 1024);
        UpdateWindow(edit);
        Pump();
        const double t = Now() - t0;
        const bool same = richtext::GetText(edit) == text;
        wprintf(L"%ls\t%zu\t%ls\t%.3f\t%ls\n", argv[1], bytes.size(), label.c_str(), t, same ? L"exact" : L"DIFFERENT");
        fflush(stdout);
        DestroyWindow(edit);
    }
    return 0;
}
