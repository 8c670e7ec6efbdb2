#include "SafeSave.h"

#ifdef _WIN32
#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <iterator>

#include "Raii.h"

namespace safesave {

namespace {

constexpr size_t kPiece = 1u << 20;

std::wstring FolderOf(const std::wstring& path) {
    const size_t p = path.find_last_of(L"\\/");
    return p == std::wstring::npos ? std::wstring() : path.substr(0, p + 1);
}

std::wstring NameOf(const std::wstring& path) {
    const size_t p = path.find_last_of(L"\\/");
    return p == std::wstring::npos ? path : path.substr(p + 1);
}

unsigned long Injected(const std::function<unsigned long()>& f) { return f ? f() : 0; }

constexpr wchar_t kTempEnd[] = L".tvtmp";

// "~<name>.<8 hex digits>.tvtmp": the temporary files of `name`'s saves, and nothing a user made.
bool IsTempOf(const std::wstring& file, const std::wstring& name) {
    const size_t end = std::size(kTempEnd) - 1;
    if (file.size() != 1 + name.size() + 9 + end || file[0] != L'~' || file.compare(1, name.size(), name) != 0)
        return false;
    if (file[1 + name.size()] != L'.' || file.compare(file.size() - end, end, kTempEnd) != 0) return false;
    for (size_t i = 2 + name.size(); i < 10 + name.size(); ++i)
        if (!iswxdigit(file[i])) return false;
    return true;
}

// Removes what saves of this file that never finished (the program killed, the power gone) left
// beside it. A save still running in another program holds its file unshared, so it stays.
void RemoveStaleTemps(const std::wstring& path) {
    const std::wstring folder = FolderOf(path), name = NameOf(path);
    WIN32_FIND_DATAW fd;
    raii::FindHandle find(FindFirstFileW(LongPath(folder + L"~" + name + L".*" + kTempEnd).c_str(), &fd));
    if (!find) return;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsTempOf(fd.cFileName, name))
            DeleteFileW(LongPath(folder + fd.cFileName).c_str());
    } while (FindNextFileW(find.get(), &fd));
}

}  // namespace

Faults& TestFaults() {
    static Faults faults;
    return faults;
}

std::wstring LongPath(const std::wstring& path) {
    if (path.size() < MAX_PATH - 12 || path.rfind(L"\\\\?\\", 0) == 0) return path;
    // "\\?\" turns off the path parsing, so the path must be complete and use backslashes.
    DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0) return path;
    std::wstring full(n, L'\0');
    n = GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
    full.resize(n);
    std::replace(full.begin(), full.end(), L'/', L'\\');
    if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

bool FileSize(const std::wstring& path, unsigned long long& size, unsigned long& error) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(LongPath(path).c_str(), GetFileExInfoStandard, &data)) {
        error = GetLastError();
        return false;
    }
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        error = ERROR_ACCESS_DENIED;
        return false;
    }
    size = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return true;
}

bool ReadAll(const std::wstring& path, std::string& bytes, unsigned long& error) {
    raii::File f(CreateFileW(LongPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!f) { error = GetLastError(); return false; }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(f.get(), &size)) { error = GetLastError(); return false; }
    if (size.QuadPart > 0x7fffffffLL) { error = ERROR_NOT_ENOUGH_MEMORY; return false; }
    try {
        bytes.assign(static_cast<size_t>(size.QuadPart), '\0');
    } catch (const std::bad_alloc&) {
        error = ERROR_NOT_ENOUGH_MEMORY;
        return false;
    }
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 24));
        if (!ReadFile(f.get(), bytes.data() + done, want, &got, nullptr)) { error = GetLastError(); return false; }
        if (got == 0) break;
        done += got;
    }
    bytes.resize(done);
    return true;
}

bool WriteAll(const std::wstring& path, std::string_view bytes, unsigned long& error) {
    const std::wstring target = LongPath(path);
    const DWORD attrs = GetFileAttributesW(target.c_str());
    const bool exists = attrs != INVALID_FILE_ATTRIBUTES;
    if (exists && (attrs & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY))) {
        error = ERROR_ACCESS_DENIED;
        return false;
    }
    if (exists) {
        // A target another program holds without sharing would refuse the replacement only at the
        // end; ask first.
        raii::File probe(CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, 0, nullptr));
        if (!probe) { error = GetLastError(); return false; }
    }

    // The temporary file: beside the target, so the replacement is a rename on one volume.
    std::wstring temp;
    raii::File out;
    error = Injected(TestFaults().createTemp);
    if (error) return false;
    for (unsigned attempt = 0; attempt < 100 && !out; ++attempt) {
        wchar_t tag[32];
        swprintf(tag, 32, L".%08lx%ls", static_cast<unsigned long>(GetTickCount() * 31u + GetCurrentProcessId() + attempt), kTempEnd);
        temp = LongPath(FolderOf(path) + L"~" + NameOf(path) + tag);
        out.reset(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!out && GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    if (!out) { error = GetLastError(); return false; }

    auto fail = [&](unsigned long code) {
        out.reset();
        DeleteFileW(temp.c_str());
        error = code ? code : ERROR_WRITE_FAULT;
        return false;
    };
    size_t done = 0;
    while (done < bytes.size()) {
        if (TestFaults().write)
            if (unsigned long e = TestFaults().write(done)) return fail(e);
        DWORD put = 0;
        const DWORD want = static_cast<DWORD>(std::min(bytes.size() - done, kPiece));
        if (!::WriteFile(out.get(), bytes.data() + done, want, &put, nullptr)) return fail(GetLastError());
        if (put == 0) return fail(ERROR_DISK_FULL);
        done += put;
    }
    if (!FlushFileBuffers(out.get())) return fail(GetLastError());
    out.reset();

    if (unsigned long e = Injected(TestFaults().replace)) return fail(e);
    if (!MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return fail(GetLastError());
    if (exists) SetFileAttributesW(target.c_str(), attrs & ~FILE_ATTRIBUTE_TEMPORARY);
    RemoveStaleTemps(path);
    error = 0;
    return true;
}

}  // namespace safesave
#endif
