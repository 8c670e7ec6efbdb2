#include "ModuleFile.h"

#include <windows.h>

#include "PeHeader.h"
#include "Raii.h"

namespace pellamy {

namespace {

// Up to `want` bytes from the start of a file.
std::vector<unsigned char> ReadHead(const std::wstring& path, size_t want) {
    std::vector<unsigned char> bytes;
    raii::File f(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f) return bytes;
    bytes.resize(want);
    DWORD got = 0;
    if (!ReadFile(f.get(), bytes.data(), static_cast<DWORD>(want), &got, nullptr)) got = 0;
    bytes.resize(got);
    return bytes;
}

}  // namespace

bool IsReadable(const std::wstring& path) {
    return static_cast<bool>(raii::File(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)));
}

std::vector<unsigned char> ModuleHeader(const std::wstring& path) {
    std::vector<unsigned char> head = ReadHead(path, 4096);
    const size_t need = PeHeaderBytesNeeded(head.data(), head.size());
    if (need > head.size() && need <= (1u << 20)) head = ReadHead(path, need);
    return head;
}

}  // namespace pellamy
