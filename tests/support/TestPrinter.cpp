#include "TestPrinter.h"

#include <winspool.h>

#include <string>

#include "Raii.h"
#include "TestEnv.h"

namespace testenv {

namespace {

std::wstring Failed(const wchar_t* what) { return std::wstring(what) + L" failed, error " + std::to_wstring(GetLastError()); }

// The driver's generic PPD, taken from the spooler's resources.
std::wstring WritePpd(const std::wstring& path) {
    raii::Module spool(LoadLibraryExW(L"winspool.drv", nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!spool) return Failed(L"LoadLibraryEx(winspool.drv)");
    HRSRC res = FindResourceW(spool.get(), MAKEINTRESOURCEW(1), L"PPDFILE");
    HGLOBAL data = res ? LoadResource(spool.get(), res) : nullptr;
    const char* p = data ? static_cast<const char*>(LockResource(data)) : nullptr;
    if (!p) return Failed(L"PPDFILE resource");
    const DWORD size = SizeofResource(spool.get(), res);
    std::string ppd(p, size);
    ppd.resize(strnlen(ppd.c_str(), ppd.size()));
    if (!WriteBytes(path, ppd)) return Failed(L"writing the PPD file");
    return {};
}

}  // namespace

std::wstring DefaultPrinterName() {
    DWORD size = 0;
    GetDefaultPrinterW(nullptr, &size);
    if (size == 0) return {};
    std::wstring name(size, L'\0');
    if (!GetDefaultPrinterW(name.data(), &size)) return {};
    name.resize(wcslen(name.c_str()));
    return name;
}

bool RemovePrinter(const std::wstring& name) {
    HANDLE h = nullptr;
    PRINTER_DEFAULTSW pd{nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (OpenPrinterW(const_cast<wchar_t*>(name.c_str()), &h, &pd)) {
        DeletePrinter(h);
        ClosePrinter(h);
    }
    DeletePrinterDriverW(nullptr, nullptr, const_cast<wchar_t*>(name.c_str()));
    HANDLE again = nullptr;
    if (OpenPrinterW(const_cast<wchar_t*>(name.c_str()), &again, nullptr)) {
        ClosePrinter(again);
        return false;
    }
    return true;
}

std::wstring InstallFilePrinter(const std::wstring& name, const std::wstring& portPath) {
    RemovePrinter(name);
    // The driver looks for its data file in the printer driver folder.
    wchar_t dir[MAX_PATH] = {};
    DWORD needed = 0;
    if (!GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(dir), sizeof(dir), &needed))
        return Failed(L"GetPrinterDriverDirectory");
    CreateDirectoryW(dir, nullptr);
    const std::wstring ppd = std::wstring(dir) + L"\\tavrin-test-printer.ppd";
    std::wstring err = WritePpd(ppd);
    if (!err.empty()) return err;

    const auto w = [](const std::wstring& t) { return const_cast<wchar_t*>(t.c_str()); };
    const std::wstring ps = L"wineps.drv", raw = L"RAW";
    DRIVER_INFO_3W di{.cVersion = 3, .pName = w(name), .pDriverPath = w(ps), .pDataFile = w(ppd), .pConfigFile = w(ps),
                      .pDefaultDataType = w(raw)};
    if (!AddPrinterDriverExW(nullptr, 3, reinterpret_cast<BYTE*>(&di), 0)) return Failed(L"AddPrinterDriverEx");
    const std::wstring processor = L"winprint";
    PRINTER_INFO_2W pi{.pPrinterName = w(name), .pPortName = w(portPath), .pDriverName = w(name),
                       .pPrintProcessor = w(processor), .pDatatype = w(raw), .Attributes = PRINTER_ATTRIBUTE_LOCAL};
    HANDLE h = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&pi));
    if (!h) return Failed(L"AddPrinter");
    ClosePrinter(h);
    if (!SetDefaultPrinterW(name.c_str())) return Failed(L"SetDefaultPrinter");
    return {};
}

}  // namespace testenv
