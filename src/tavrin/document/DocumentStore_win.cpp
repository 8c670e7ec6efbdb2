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

// The largest block of address space one reservation gets: a text goes into one block (the 32-bit
// build's bound). Found by reserving and freeing, not by walking the map: Wine reports the upper
// half of a large-address-aware process as reserved, though it hands it out.
unsigned long long LargestReservable(unsigned long long total) {
    constexpr unsigned long long step = 1u << 20;
    unsigned long long got = 0, refused = total + 1;
    while (refused - got > step) {
        const unsigned long long mid = (got + refused) / 2 / step * step;
        if (void* p = VirtualAlloc(nullptr, static_cast<SIZE_T>(mid), MEM_RESERVE, PAGE_NOACCESS)) {
            VirtualFree(p, 0, MEM_RELEASE);
            got = mid;
        } else {
            refused = mid;
        }
    }
    return got;
}

// Files are read in pieces of this size, each decoded straight into the editing area. Two are held
// at once (one read ahead): pieces of 1 MB read as fast as pieces of 4 MB and hold 6 MB less.
constexpr size_t kReadPiece = 1u << 20;

class SystemFileCalls : public Files {
public:
    bool Size(const std::wstring& path, unsigned long long& size, unsigned long& error) override {
        return safesave::FileSize(path, size, error);
    }
    bool Read(const std::wstring& path, std::string& bytes, unsigned long& error) override {
        raii::WaitCursor wait;
        return safesave::ReadAll(path, bytes, error);
    }
    bool ReadPieces(const std::wstring& path, const std::function<bool(std::string_view)>& take,
                    unsigned long& error) override {
        return safesave::ReadPieces(path, kReadPiece, take, error);
    }
    bool Write(const std::wstring& path, std::string_view bytes, unsigned long& error) override {
        raii::WaitCursor wait;
        return safesave::WriteAll(path, bytes, error);
    }
    bool WriteParts(const std::wstring& path, const std::vector<std::string_view>& parts, unsigned long& error,
                    const std::function<bool(bool wait)>& verdict) override {
        raii::WaitCursor wait;
        return safesave::WriteAll(path, parts, error, verdict);
    }
    std::wstring Reason(unsigned long error) override { return ReasonText(error); }
    unsigned long long MaxLoadBytes() override {
        MEMORYSTATUSEX ms{};
        ms.dwLength = sizeof(ms);
        if (!GlobalMemoryStatusEx(&ms)) return 64ull * 1024 * 1024;
        // A big text takes little more than its own size (no style bytes past the colouring limit).
        // A 64-bit process is bound by the computer's memory; a 32-bit one by its address space:
        // the text and the room beyond it in one free block, its line index and the rest beside.
        if (sizeof(void*) > 4) return ms.ullTotalPhys / 2;
        return std::min(LargestReservable(ms.ullTotalVirtual) / 17 * 16, ms.ullAvailVirtual / 2);
    }
    filewatch::Identity Identity(const std::wstring& path) override { return filewatch::IdentityOf(path); }
};

}  // namespace

Files& SystemFiles() {
    static SystemFileCalls files;
    return files;
}

}  // namespace docfile
