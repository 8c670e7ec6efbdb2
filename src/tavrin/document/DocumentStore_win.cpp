// The system's files for the document's file policy: the safe save, and the hourglass while a
// file is read or written.
#include "DocumentStore.h"

#include <windows.h>

#include <algorithm>

#include "AppInfo.h"
#include "Raii.h"
#include "SafeSave.h"
#include "Texts.h"

namespace docfile {

namespace {

// The control's working set is about 270 MB per MB of text (both builds, Wine 8): the 32-bit build
// fails near 2 GB, the 64-bit one when the memory runs out. Refuse before that.
constexpr unsigned long long kMaxBytes32 = 4ull * 1024 * 1024;
constexpr unsigned long long kControlBytesPerByte = 300;

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
    std::wstring Reason(unsigned long error) override {
        std::wstring t = SystemErrorText(error);
        return t.empty() ? texts::ErrorCode + std::to_wstring(error) : t;
    }
    unsigned long long MaxLoadBytes() override {
        if (sizeof(void*) == 4) return kMaxBytes32;
        MEMORYSTATUSEX ms{};
        ms.dwLength = sizeof(ms);
        if (!GlobalMemoryStatusEx(&ms)) return 64ull * 1024 * 1024;
        return std::max<unsigned long long>(kMaxBytes32, ms.ullTotalPhys / kControlBytesPerByte);
    }
};

}  // namespace

Files& SystemFiles() {
    static SystemFileCalls files;
    return files;
}

}  // namespace docfile
