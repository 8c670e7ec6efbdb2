#include "SystemApis.h"

namespace syslib {

const WinInet* WinInetApi() {
    static const WinInet* api = [] () -> const WinInet* {
        static WinInet w;
        HMODULE m = LoadSystemLibrary(L"wininet.dll");
        if (!m) return nullptr;
        const bool all = Bind(m, "InternetOpenW", w.InternetOpenW) && Bind(m, "InternetSetOptionW", w.InternetSetOptionW) &&
                         Bind(m, "InternetOpenUrlW", w.InternetOpenUrlW) && Bind(m, "HttpQueryInfoW", w.HttpQueryInfoW) &&
                         Bind(m, "InternetReadFile", w.InternetReadFile) &&
                         Bind(m, "InternetCloseHandle", w.InternetCloseHandle) &&
                         Bind(m, "InternetCrackUrlW", w.InternetCrackUrlW);
        return all ? &w : nullptr;
    }();
    return api;
}

const WinSpool* WinSpoolApi() {
    static const WinSpool* api = [] () -> const WinSpool* {
        static WinSpool w;
        HMODULE m = LoadSystemLibrary(L"winspool.drv");
        if (!m) return nullptr;
        const bool all = Bind(m, "GetDefaultPrinterW", w.GetDefaultPrinterW) && Bind(m, "EnumPrintersW", w.EnumPrintersW);
        return all ? &w : nullptr;
    }();
    return api;
}

}  // namespace syslib
