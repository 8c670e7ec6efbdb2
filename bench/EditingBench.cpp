// What a user does in the editor, timed from outside the program: opening in a fresh process and in
// the same window after another file was edited and saved, peak memory, typing and Backspace at the
// top, middle and end of big texts, Page Down, the mouse wheel, save after an edit, Find and Find
// Next near the end, start-up, and Replace All of a word with many matches, beside notepad and
// wordpad of the same bitness. Only window messages both editing controls understand are used; the
// editing area is found by its control id, not its class.
//   EditingBench <tavrin.exe> <peers: notepad,wordpad or -> <peer timeout s> <start file> <typing KB>
//                <needle> <file>...
// Prints one tab-separated line per figure; times in seconds unless the line says ms.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "BenchClock.h"

namespace {

constexpr int kEditId = 1002;
constexpr int kFileOpen = 101, kFileSave = 103, kEditFind = 207, kEditFindNext = 208, kViewWordWrap = 306;
constexpr int kFindText = 102, kFindButton = 103, kFindNextButton = 104;
// Scintilla's caret messages (the rich edit control takes EM_SETSEL instead).
constexpr UINT kSciGotoPos = 2025, kSciScrollCaret = 2169, kSciGetLength = 2006, kSciPositionBefore = 2417;
// Results that are not times.
constexpr double kFailed = -1, kBox = -2, kTimedOut = -3;

double Median(std::vector<double> v) {
    if (v.empty()) return kFailed;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Frames that missed a 60 Hz display's refresh.
size_t Over16(const std::vector<double>& v) { return static_cast<size_t>(std::count_if(v.begin(), v.end(), [](double x) { return x > 16; })); }

std::wstring NameOf(const std::wstring& path) { return path.substr(path.find_last_of(L"\\/") + 1); }

// What a caption shows of a file: the name without its extension, as the Open dialog's file title
// leaves it out where extensions are hidden.
std::wstring StemOf(const std::wstring& path) {
    const std::wstring n = NameOf(path);
    return n.substr(0, n.find_last_of(L'.'));
}

struct Search {
    DWORD pid;
    std::wstring part;  // caption must contain this (empty: any)
    const wchar_t* cls;  // class must be this (null: any)
    HWND not_;          // a window to pass over
    HWND hwnd;
};

BOOL CALLBACK SearchProc(HWND h, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid != s->pid || !IsWindowVisible(h) || h == s->not_) return TRUE;
    if (s->cls) {
        wchar_t c[64] = {};
        GetClassNameW(h, c, 64);
        if (lstrcmpW(c, s->cls) != 0) return TRUE;
    }
    wchar_t cap[512] = {};
    GetWindowTextW(h, cap, 512);
    if (!s->part.empty() && !wcsstr(cap, s->part.c_str())) return TRUE;
    s->hwnd = h;
    return FALSE;
}

HWND FindTop(DWORD pid, const std::wstring& part, const wchar_t* cls = nullptr, HWND not_ = nullptr) {
    Search s{pid, part, cls, not_, nullptr};
    EnumWindows(SearchProc, reinterpret_cast<LPARAM>(&s));
    return s.hwnd;
}

bool Answers(HWND w, double timeout) {
    DWORD_PTR r;
    // Twice: the first returns when the program next looks at its queue, the second after the paint
    // and layout that follow.
    return SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_NORMAL, static_cast<UINT>(timeout * 1000), &r) &&
           SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_NORMAL, static_cast<UINT>(timeout * 1000), &r);
}

// Waits for the process's window whose caption holds `part` to answer. A message box of the
// process (a refusal, an error) ends the wait with kBox.
double WaitWindow(DWORD pid, HANDLE proc, const std::wstring& part, double t0, double timeout, HWND* out) {
    const double end = t0 + timeout;
    while (Now() < end) {
        if (HWND w = FindTop(pid, part)) {
            wchar_t c[64] = {};
            GetClassNameW(w, c, 64);
            if (lstrcmpW(c, L"#32770") == 0) return kBox;
            if (Answers(w, end - Now() + 0.001)) {
                if (out) *out = w;
                return Now() - t0;
            }
        }
        if (FindTop(pid, L"", L"#32770")) return kBox;
        if (WaitForSingleObject(proc, 5) == WAIT_OBJECT_0) return kFailed;
    }
    return kTimedOut;
}

double PeakMB(HANDLE proc) {
    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof(pmc);
    return GetProcessMemoryInfo(proc, &pmc, sizeof(pmc)) ? pmc.PeakWorkingSetSize / 1048576.0 : -1;
}

struct Program {
    PROCESS_INFORMATION pi{};
    HWND main = nullptr;
    double load = kFailed, peakMB = -1;
    ~Program() {
        if (!pi.hProcess) return;
        TerminateProcess(pi.hProcess, 0);
        WaitForSingleObject(pi.hProcess, 10000);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
};

// Starts `exe` with `file` (or nothing) and waits for its window naming the file to answer.
void Start(Program& p, const std::wstring& exe, const std::wstring& file, double timeout) {
    std::wstring cmd = L"\"" + exe + L"\"";
    if (!file.empty()) cmd += L" \"" + file + L"\"";
    STARTUPINFOW si{sizeof(si)};
    const double t0 = Now();
    if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &p.pi)) return;
    p.load = WaitWindow(p.pi.dwProcessId, p.pi.hProcess, file.empty() ? std::wstring() : StemOf(file), t0, timeout,
                        &p.main);
    if (p.load >= 0) p.peakMB = PeakMB(p.pi.hProcess);
}

LRESULT Send(HWND w, UINT msg, WPARAM wp = 0, LPARAM lp = 0, double timeout = 600) {
    DWORD_PTR r = 0;
    SendMessageTimeoutW(w, msg, wp, lp, SMTO_NORMAL, static_cast<UINT>(timeout * 1000), &r);
    return static_cast<LRESULT>(r);
}

bool IsScintilla(HWND edit) {
    wchar_t c[64] = {};
    GetClassNameW(edit, c, 64);
    return lstrcmpW(c, L"Scintilla") == 0;
}

// The caret to a character position, scrolled into view, with each control's own message.
void PutCaret(HWND edit, LRESULT pos) {
    if (IsScintilla(edit)) {
        Send(edit, kSciGotoPos, static_cast<WPARAM>(pos));
        Send(edit, kSciScrollCaret);
    } else {
        Send(edit, EM_SETSEL, static_cast<WPARAM>(pos), pos);
        Send(edit, EM_SCROLLCARET);
    }
}

// Until the editing area has painted what the last message changed: the paint is asked for at once,
// then a message through the queue makes sure the program is back at it.
void Painted(HWND edit, HWND main) {
    RedrawWindow(edit, nullptr, nullptr, RDW_UPDATENOW);
    Send(main, WM_NULL);
}

void Key(HWND edit, UINT vk) {
    Send(edit, WM_KEYDOWN, vk, 1);
    Send(edit, WM_KEYUP, vk, 0xC0000001);
}

// Typing: one character, timed to its repaint, then taken back (untimed), so the text stays the same.
void Typing(HWND main, HWND edit, const std::wstring& name, int count) {
    // Scintilla counts bytes, and a place must not fall between a CR and its LF, where a typed
    // character splits the line end: each key would add a line and take it away again.
    const bool sci = IsScintilla(edit);
    const LRESULT len = Send(edit, sci ? kSciGetLength : WM_GETTEXTLENGTH);
    const LRESULT middle = sci ? Send(edit, kSciPositionBefore, len / 2 + 1) : len / 2;
    const struct {
        const wchar_t* where;
        LRESULT pos;
    } places[] = {{L"top", 0}, {L"middle", middle}, {L"end", len}};
    // PLACE_PAUSE_MS: a user's pause between the caret's move and the first key typed there (0);
    // JUMP_PAUSE_MS: one before the caret's move (0).
    const wchar_t* pause = _wgetenv(L"PLACE_PAUSE_MS");
    const wchar_t* jumpPause = _wgetenv(L"JUMP_PAUSE_MS");
    for (const auto& at : places) {
        if (jumpPause && *jumpPause) Sleep(static_cast<DWORD>(_wtoi(jumpPause)));
        const double j0 = Now();
        PutCaret(edit, at.pos);
        Painted(edit, main);
        wprintf(L"jump\t%ls\t%ls\t%.2f\n", name.c_str(), at.where, (Now() - j0) * 1000);
        if (pause && *pause) Sleep(static_cast<DWORD>(_wtoi(pause)));
        std::vector<double> t, back;
        for (int i = 0; i < count; ++i) {
            double t0 = Now();
            Send(edit, WM_CHAR, L'x', 1);
            Painted(edit, main);
            t.push_back((Now() - t0) * 1000);
            t0 = Now();
            Key(edit, VK_BACK);
            Painted(edit, main);
            back.push_back((Now() - t0) * 1000);
        }
        wprintf(L"type\t%ls\t%ls\t%.2f\t%.2f\t%zu\n", name.c_str(), at.where, Median(t), *std::max_element(t.begin(), t.end()),
                Over16(t));
        wprintf(L"back\t%ls\t%ls\t%.2f\t%.2f\t%zu\n", name.c_str(), at.where, Median(back),
                *std::max_element(back.begin(), back.end()), Over16(back));
        fflush(stdout);
    }
    // Page Down from the top, one screen at a time.
    PutCaret(edit, 0);
    Painted(edit, main);
    std::vector<double> t;
    for (int i = 0; i < 100; ++i) {
        const double t0 = Now();
        Key(edit, VK_NEXT);
        Painted(edit, main);
        t.push_back((Now() - t0) * 1000);
    }
    wprintf(L"page\t%ls\t%.2f\t%.2f\t%zu\t%zu\n", name.c_str(), Median(t), *std::max_element(t.begin(), t.end()), t.size(),
            Over16(t));
    // The mouse wheel from the top, a notch at a time, over the middle of the editing area.
    PutCaret(edit, 0);
    Painted(edit, main);
    RECT r{};
    GetWindowRect(edit, &r);
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    t.clear();
    for (int i = 0; i < 100; ++i) {
        const double t0 = Now();
        Send(edit, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), at);
        Painted(edit, main);
        t.push_back((Now() - t0) * 1000);
    }
    wprintf(L"wheel\t%ls\t%.2f\t%.2f\t%zu\t%zu\n", name.c_str(), Median(t), *std::max_element(t.begin(), t.end()), t.size(),
            Over16(t));
    fflush(stdout);
}

// File > Save after a character typed (and taken back unless told: the same bytes go to disk, but
// the save works as after any edit).
double SaveAfterEdit(HWND main, HWND edit, double timeout, bool takeBack = true) {
    Send(edit, WM_CHAR, L'x', 1);
    if (takeBack) Key(edit, VK_BACK);
    const double t0 = Now();
    DWORD_PTR r;
    if (!SendMessageTimeoutW(main, WM_COMMAND, kFileSave, 0, SMTO_NORMAL, static_cast<UINT>(timeout * 1000), &r))
        return kTimedOut;
    return Now() - t0;
}

// A plain write of `file`'s bytes to a new file beside it, as a program without a safe save writes:
// create, write, flush, close. Timed right after the editor's save, the machine's memory and cache
// are as they were for it. Only the file calls are timed, not the reads that feed them.
double PlainWriteOf(const std::wstring& file) {
    const std::wstring copy = file + L".plain";
    HANDLE from = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (from == INVALID_HANDLE_VALUE) return kFailed;
    std::vector<char> buffer(16u << 20);
    double timed = 0, t0 = Now();
    HANDLE to = CreateFileW(copy.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    timed += Now() - t0;
    bool ok = to != INVALID_HANDLE_VALUE;
    for (DWORD got = 0; ok && ReadFile(from, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) && got;) {
        DWORD put = 0;
        t0 = Now();
        ok = WriteFile(to, buffer.data(), got, &put, nullptr) && put == got;
        timed += Now() - t0;
    }
    CloseHandle(from);
    if (ok) {
        t0 = Now();
        ok = FlushFileBuffers(to) != FALSE;
        CloseHandle(to);
        timed += Now() - t0;
    } else if (to != INVALID_HANDLE_VALUE) {
        CloseHandle(to);
    }
    DeleteFileW(copy.c_str());
    return ok ? timed : kFailed;
}

// Find, then Find Next, of a word written twice into the last 1% of the text; each click timed.
void FindNearEnd(Program& p, const std::wstring& name, const std::wstring& needle) {
    const DWORD pid = p.pi.dwProcessId;
    PostMessageW(p.main, WM_COMMAND, kEditFind, 0);
    HWND dlg = nullptr;
    for (double end = Now() + 30; !dlg && Now() < end; Sleep(10)) {
        Answers(p.main, 30);
        HWND w = FindTop(pid, L"", nullptr, p.main);
        if (w && GetDlgItem(w, kFindText)) dlg = w;
    }
    double find = kFailed, next = kFailed;
    if (dlg) {
        Send(GetDlgItem(dlg, kFindText), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(needle.c_str()));
        Answers(dlg, 30);
        double t0 = Now();
        Send(GetDlgItem(dlg, kFindButton), BM_CLICK);
        find = Now() - t0;
        Answers(p.main, 30);
        Send(p.main, WM_COMMAND, kEditFindNext);
        Answers(p.main, 30);
        t0 = Now();
        Send(GetDlgItem(dlg, kFindNextButton), BM_CLICK);
        next = Now() - t0;
        Answers(p.main, 30);
        // "No match" would have shown a box: then the figures are not of a found word.
        if (FindTop(pid, L"", L"#32770")) find = next = kBox;
    }
    wprintf(L"find\t%ls\t%.2f\t%.2f\n", name.c_str(), find < 0 ? find : find * 1000, next < 0 ? next : next * 1000);
    fflush(stdout);
}

// The Open dialog (File > Open) answered with `file`: seconds from pressing OK to the window naming
// the file and answering; the dialog's own appearance is not counted.
double OpenInSameWindow(Program& p, const std::wstring& file, double timeout) {
    const DWORD pid = p.pi.dwProcessId;
    PostMessageW(p.main, WM_COMMAND, kFileOpen, 0);
    HWND dlg = nullptr;
    for (double end = Now() + 60; !dlg && Now() < end; Sleep(10)) dlg = FindTop(pid, L"", L"#32770");
    if (!dlg) {
        wprintf(L"# no Open dialog\n");
        fflush(stdout);
        return kFailed;
    }
    Answers(dlg, 30);
    // The file name box: a combo box in newer dialogs, an edit box in older ones; both get the name.
    HWND box = nullptr;
    for (int id : {0x480, 0x47C}) {
        HWND b = GetDlgItem(dlg, id);
        if (!b) continue;
        if (HWND e = reinterpret_cast<HWND>(Send(b, WM_USER + 7 /* CBEM_GETEDITCONTROL */))) b = e;
        else if (HWND e2 = FindWindowExW(b, nullptr, L"Edit", nullptr)) b = e2;
        Send(b, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(file.c_str()));
        box = b;
    }
    if (!box) {
        wprintf(L"# no file name box in the Open dialog\n");
        fflush(stdout);
        return kFailed;
    }
    const double t0 = Now();
    // Enter in the name box, as a user would; the dialog takes it as its default button.
    PostMessageW(box, WM_KEYDOWN, VK_RETURN, 1);
    // The dialog goes first; then the caption names the file once the text is in.
    for (double end = t0 + 60; IsWindow(dlg) && IsWindowVisible(dlg) && Now() < end;) {
        Sleep(1);
        if (HWND b = FindTop(pid, L"", L"#32770", dlg)) {
            wchar_t t[300] = {};
            Send(GetDlgItem(b, 0xFFFF), WM_GETTEXT, 300, reinterpret_cast<LPARAM>(t));
            wprintf(L"# box: %ls\n", t);
            fflush(stdout);
            return kBox;
        }
    }
    if (IsWindow(dlg) && IsWindowVisible(dlg)) {
        wprintf(L"# the Open dialog stayed\n");
        fflush(stdout);
        return kFailed;
    }
    // The window answers while a big file is read on a worker, so the caption naming the file is
    // what tells the open ended; a box or the time running out tells it did not.
    for (const double end = t0 + timeout; Now() < end;) {
        if (!Answers(p.main, timeout)) return kTimedOut;
        if (FindTop(pid, L"", L"#32770")) return kBox;
        wchar_t cap[512] = {};
        GetWindowTextW(p.main, cap, 512);
        if (wcsstr(cap, StemOf(file).c_str())) return Now() - t0;
        Sleep(50);
    }
    wchar_t cap[512] = {};
    GetWindowTextW(p.main, cap, 512);
    wprintf(L"# caption after the Open dialog: %ls\n", cap);
    fflush(stdout);
    return kFailed;
}

// Edit > Replace..., then Replace All of `what` with `with`: from the click to the message box that
// counts the replacements (the text is replaced by then).
void ReplaceAll(const std::wstring& tavrin, const std::wstring& file, const wchar_t* what, const wchar_t* with) {
    constexpr int kEditReplace = 210, kFindBox = 102, kWithBox = 104, kReplaceAll = 109;
    Program p;
    Start(p, tavrin, file, 120);
    if (p.load < 0) return;
    PostMessageW(p.main, WM_COMMAND, kEditReplace, 0);
    HWND dlg = nullptr;
    for (double end = Now() + 10; !dlg && Now() < end; Sleep(5)) dlg = FindTop(p.pi.dwProcessId, L"", L"TavrinReplace");
    if (!dlg) {
        wprintf(L"# no Replace dialog\n");
        return;
    }
    Send(GetDlgItem(dlg, kFindBox), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(what));
    Send(GetDlgItem(dlg, kWithBox), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(with));
    const double t0 = Now();
    PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(kReplaceAll, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, kReplaceAll)));
    HWND box = nullptr;
    for (double end = t0 + 120; !box && Now() < end; Sleep(1)) box = FindTop(p.pi.dwProcessId, L"", L"#32770");
    const double took = box ? Now() - t0 : kTimedOut;
    wchar_t said[200] = {};
    if (box) Send(GetDlgItem(box, 0xFFFF), WM_GETTEXT, 200, reinterpret_cast<LPARAM>(said));
    wprintf(L"replace\t%ls\t%.3f\t%ls\n", NameOf(file).c_str(), took, said);
    fflush(stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 8) {
        fwprintf(stderr, L"usage: EditingBench tavrin.exe notepad,wordpad|- peer-timeout start-file typing-KB needle file...\n");
        return 2;
    }
    const std::wstring tavrin = argv[1], peers = argv[2], startFile = argv[4], needle = argv[6];
    const double peerTimeout = _wtof(argv[3]);
    const long long typingBytes = static_cast<long long>(_wtoi(argv[5])) * 1024;
    const double timeout = 600;
    std::vector<std::pair<std::wstring, std::wstring>> others;
    if (peers.find(L"notepad") != std::wstring::npos) others.push_back({L"notepad", L"notepad.exe"});
    if (peers.find(L"wordpad") != std::wstring::npos) {
        wchar_t wp[MAX_PATH];
        ExpandEnvironmentStringsW(L"%ProgramFiles%\\Windows NT\\Accessories\\wordpad.exe", wp, MAX_PATH);
        others.push_back({L"wordpad", wp});
    }

    // Start to an idle window, and the empty window's peak working set; programs take turns.
    std::vector<std::pair<std::wstring, std::wstring>> all{{L"Tavrin", tavrin}};
    all.insert(all.end(), others.begin(), others.end());
    std::vector<std::vector<double>> starts(all.size()), peaks(all.size());
    for (int i = 0; i < 7; ++i)
        for (size_t k = 0; k < all.size(); ++k) {
            Program p;
            Start(p, all[k].second, L"", 60);
            starts[k].push_back(p.load);
            peaks[k].push_back(p.peakMB);
        }
    for (size_t k = 0; k < all.size(); ++k) wprintf(L"start\t%ls\t%.3f\t%.1f\n", all[k].first.c_str(), Median(starts[k]), Median(peaks[k]));
    fflush(stdout);

    for (int a = 7; a < argc; ++a) {
        const std::wstring file = argv[a], name = NameOf(file);
        WIN32_FILE_ATTRIBUTE_DATA fa{};
        GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &fa);
        const long long bytes = (static_cast<long long>(fa.nFileSizeHigh) << 32) | fa.nFileSizeLow;
        {
            if (needle == L"-") goto same;
            // A fresh process: open, memory, typing and paging (big texts), save after an edit, Find.
            Program p;
            Start(p, tavrin, file, timeout);
            wprintf(L"open\tTavrin\t%ls\t%.3f\t%.1f\n", name.c_str(), p.load, p.peakMB);
            fflush(stdout);
            // OPEN_ONLY: no edit and save, which leaves the file in the cache for the next open.
            const wchar_t* openOnly = _wgetenv(L"OPEN_ONLY");
            if (p.load >= 0 && !(openOnly && *openOnly)) {
                HWND edit = GetDlgItem(p.main, kEditId);
                // WRAP: the same with View > Word Wrap on (turned off again after).
                const wchar_t* wrap = _wgetenv(L"WRAP");
                const bool wrapped = wrap && *wrap && edit;
                if (wrapped) Send(p.main, WM_COMMAND, kViewWordWrap);
                // TYPE_AFTER_MS: a user's pause between the text appearing and the first key (0).
                if (const wchar_t* ms = _wgetenv(L"TYPE_AFTER_MS"); ms && *ms) Sleep(static_cast<DWORD>(_wtoi(ms)));
                if (bytes + 64 * 1024 >= typingBytes && edit) Typing(p.main, edit, name, 50);
                if (wrapped) Send(p.main, WM_COMMAND, kViewWordWrap);
                const double saved = edit ? SaveAfterEdit(p.main, edit, timeout) : kFailed;
                wprintf(L"save\t%ls\t%.3f\t%.3f\n", name.c_str(), saved, saved >= 0 ? PlainWriteOf(file) : kFailed);
                fflush(stdout);
                FindNearEnd(p, name, needle);
            }
        }
    same:
        {
            // The same window: a small file opened, edited and saved first.
            Program p;
            Start(p, tavrin, startFile, 60);
            double same = kFailed;
            if (p.load >= 0) {
                HWND edit = GetDlgItem(p.main, kEditId);
                if (edit && SaveAfterEdit(p.main, edit, 60, false) >= 0) same = OpenInSameWindow(p, file, timeout);
            }
            wprintf(L"same\t%ls\t%.3f\n", name.c_str(), same);
            fflush(stdout);
        }
        for (auto& o : others) {
            Program p;
            Start(p, o.second, file, peerTimeout);
            wprintf(L"open\t%ls\t%ls\t%.3f\t%.1f\n", o.first.c_str(), name.c_str(), p.load, p.peakMB);
            fflush(stdout);
        }
    }
    // Replace All of a word with many matches (REPLACE_FILE, the word REPLACE_WORD).
    if (const wchar_t* f = _wgetenv(L"REPLACE_FILE"); f && *f) {
        const wchar_t* w = _wgetenv(L"REPLACE_WORD");
        ReplaceAll(tavrin, f, w && *w ? w : L"value", L"amount");
    }
    return 0;
}
