// A build's stand-in for the runner tests:
//   hang   starts "sleep" (a copy of itself), prints "child <pid>", never ends
//   sleep  never ends
//   flood N  prints N lines of 200 characters as fast as it can (0: without end)
//   long   prints 8 MB without a line end, then a line "after"
// Copied as g++.exe it stands in for the compiler: it reports the source's errors in three
// compilers' formats (named as FAKE_AS says, if set), and one in other.h beside it, 300 ms apart,
// makes the -o file a copy of itself and ends with FAKE_EXIT (1 without); with FAKE_HANG it never
// ends (as "hang" does).
// Started with no arguments (a built program run), it writes ran.txt.
#include <windows.h>

#include <cstdlib>
#include <cwchar>
#include <string>

namespace {

void Write(DWORD which, const std::string& bytes) {
    DWORD written = 0;
    WriteFile(GetStdHandle(which), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::wstring Self() {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return self;
}

// A copy of this program that never ends, started as the build's own child; says its id.
bool StartSleeper() {
    std::wstring line = L"\"" + Self() + L"\" sleep";
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(Self().c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    Write(STD_OUTPUT_HANDLE, "child " + std::to_string(pi.dwProcessId) + "\r\n");
    return true;
}

int FakeCompiler(int argc, wchar_t** argv) {
    std::wstring out, src;
    for (int i = 1; i < argc; ++i) {
        if (std::wstring(argv[i]) == L"-o" && i + 1 < argc) out = argv[i + 1];
        src = argv[i];
    }
    wchar_t flag[16] = {};
    if (GetEnvironmentVariableW(L"FAKE_HANG", flag, 16)) {
        StartSleeper();
        Sleep(INFINITE);
    }
    if (!out.empty()) CopyFileW(Self().c_str(), out.c_str(), FALSE);
    wchar_t as[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"FAKE_AS", as, MAX_PATH)) src = as;
    const std::wstring folder = src.substr(0, src.find_last_of(L"\\/") + 1);
    const std::wstring lines[] = {src + L":2:9: error: expected ';' before 'return'",  // after a tab
                                  src + L"(3,1): error C2143: syntax error: missing ';'",
                                  L"Error E2451 " + src + L" 1: Undefined symbol 'x' in function main()",
                                  folder + L"other.h:2:1: warning: in another file"};
    for (const std::wstring& l : lines) {
        std::string b(l.size() * 4 + 2, '\0');
        b.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, l.c_str(), static_cast<int>(l.size()), b.data(),
                                                         static_cast<int>(b.size()), nullptr, nullptr)));
        Write(STD_ERROR_HANDLE, b + "\r\n");
        Sleep(300);
    }
    return GetEnvironmentVariableW(L"FAKE_EXIT", flag, 16) ? _wtoi(flag) : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring self = argv[0];
    self = self.substr(self.find_last_of(L"\\/") + 1);
    if (_wcsicmp(self.c_str(), L"g++.exe") == 0 || _wcsicmp(self.c_str(), L"g++") == 0) return FakeCompiler(argc, argv);
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    if (mode.empty()) {  // a built program, run
        CloseHandle(CreateFileW(L"ran.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        return 0;
    }
    if (mode == L"flood") {
        const std::string line = std::string(200, 'x') + "\r\n";
        std::string block;
        for (int i = 0; i < 100; ++i) block += line;
        const long n = argc > 2 ? _wtol(argv[2]) : 0;
        for (long i = 0; n == 0 || i < n; i += 100) Write(STD_OUTPUT_HANDLE, block);
        return 0;
    }
    if (mode == L"long") {
        const std::string chunk(1 << 20, 'y');
        for (int i = 0; i < 8; ++i) Write(STD_OUTPUT_HANDLE, chunk);
        Write(STD_OUTPUT_HANDLE, "\r\nafter\r\n");
        return 0;
    }
    if (mode == L"hang" && !StartSleeper()) return 2;
    if (mode == L"hang" || mode == L"sleep") Sleep(INFINITE);
    return 1;
}
