// A printer for tests: the platform's PostScript driver printing into a file (no print server).
#pragma once
#include <windows.h>

#include <string>

namespace testenv {

inline constexpr const wchar_t* kTestPrinterName = L"Tavrin Test PostScript";

// Installs a PostScript printer whose port is the file `portPath` and makes it the default;
// removes it again at scope exit. The port file is appended to: delete it before each job.
class TestPrinter {
public:
    explicit TestPrinter(const std::wstring& portPath, const std::wstring& name = kTestPrinterName);
    ~TestPrinter();
    TestPrinter(const TestPrinter&) = delete;
    TestPrinter& operator=(const TestPrinter&) = delete;
    bool Installed() const { return error_.empty(); }
    const std::wstring& Error() const { return error_; }
    const std::wstring& Name() const { return name_; }
private:
    std::wstring name_;
    std::wstring error_;
};

// Installs the printer (replacing one of that name); an empty result on success, else what failed.
std::wstring InstallFilePrinter(const std::wstring& name, const std::wstring& portPath);
// Deletes the printer and its driver; true when it is gone.
bool RemovePrinter(const std::wstring& name);
// The default printer's name; empty when there is none.
std::wstring DefaultPrinterName();

}  // namespace testenv
