// A save in a process of its own, for the test that kills a save part-way:
//   tavrin_save_child <target> <event name>
// Writes 3 MB to <target> through the safe save; after the first megabyte is on disk it signals
// the event and waits to be killed.
#include <windows.h>

#include <string>

#include "SafeSave.h"

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    const std::wstring event = argv[2];
    safesave::TestFaults().write = [event](size_t written) -> unsigned long {
        if (written == 0) return 0;
        if (HANDLE e = OpenEventW(EVENT_MODIFY_STATE, FALSE, event.c_str())) SetEvent(e);
        Sleep(INFINITE);
        return 0;
    };
    unsigned long error = 0;
    return safesave::WriteAll(argv[1], std::string(3u << 20, 'n'), error) ? 0 : 1;
}
