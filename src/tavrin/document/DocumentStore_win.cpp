// The system's files for the document's file policy: the safe save, and the hourglass while a
// file is read or written.
#include "DocumentStore.h"

#include <windows.h>

#include <algorithm>

#include "basTavrin.h"
#include "Raii.h"
#include "SafeSave.h"
#include "Texts.h"

namespace docfile {

namespace {

// Opening takes about four bytes of memory per byte of the file at its peak (the bytes read, the
// editing area's text and its styles): refuse before the process runs out rather than part-way.
constexpr unsigned long long kLoadBytesPerByte = 4;

class SystemFileCalls : public Files {
public:
    bool Size(const std::wstring& path, unsigned long long& size, unsigned long& error) override {
        return safesave::FileSize(path, size, error);
    }
    bool Read(const std::wstring& path, std::string& bytes, unsigned long& error) override {
        raii::WaitCursor wait;
        return safesave::ReadAll(path, bytes, error);
    }
    bool Write(const std::wstring& path, std::string_view bytes, unsigned long& error) override {
        raii::WaitCursor wait;
        return safesave::WriteAll(path, bytes, error);
    }
    std::wstring Reason(unsigned long error) override { return ReasonText(error); }
    unsigned long long MaxLoadBytes() override {
        MEMORYSTATUSEX ms{};
        ms.dwLength = sizeof(ms);
        if (!GlobalMemoryStatusEx(&ms)) return 64ull * 1024 * 1024;
        // The address space left bounds a 32-bit process; a 64-bit one the computer's memory.
        return std::min(ms.ullAvailVirtual, ms.ullTotalPhys) / kLoadBytesPerByte;
    }
    filewatch::Identity Identity(const std::wstring& path) override { return filewatch::IdentityOf(path); }
};

}  // namespace

Files& SystemFiles() {
    static SystemFileCalls files;
    return files;
}

}  // namespace docfile
