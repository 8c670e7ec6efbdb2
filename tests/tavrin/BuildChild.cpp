// A build's stand-in for the runner tests:
//   lines <code>  three lines 300 ms apart (stdout, stderr in UTF-8, stdout in the OEM code page), exit <code>
//   hang          starts "sleep" (a copy of itself), prints "child <pid>", never ends
//   sleep         never ends
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

void Write(DWORD which, const std::string& bytes) {
    DWORD written = 0;
    WriteFile(GetStdHandle(which), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    if (mode == L"lines") {
        Write(STD_OUTPUT_HANDLE, "one\r\n");
        Sleep(300);
        Write(STD_ERROR_HANDLE, "zwei \xC3\xBC\xE2\x82\xAC\r\n");
        Sleep(300);
        char oem[8] = {};
        WideCharToMultiByte(CP_OEMCP, 0, L"\u00FC", 1, oem, sizeof(oem), nullptr, nullptr);
        Write(STD_OUTPUT_HANDLE, std::string("drei ") + oem + "\n");
        return argc > 2 ? _wtoi(argv[2]) : 0;
    }
    if (mode == L"hang") {
        wchar_t self[MAX_PATH];
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring line = L"\"" + std::wstring(self) + L"\" sleep";
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi{};
        if (!CreateProcessW(self, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) return 2;
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        Write(STD_OUTPUT_HANDLE, "child " + std::to_string(pi.dwProcessId) + "\r\n");
    }
    if (mode == L"hang" || mode == L"sleep") Sleep(INFINITE);
    return 1;
}
