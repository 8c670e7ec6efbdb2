// The walk's file system on Windows: long paths through the \\?\ form, folders known by volume and
// file index (so a junction back to a folder already walked is seen).
#include <windows.h>
#include <winternl.h>

#include <string>
#include <unordered_map>

#include "FindInFiles.h"
#include "Raii.h"

namespace findfiles {

namespace {

// Past MAX_PATH the plain form fails; the \\?\ form takes up to 32767 characters.
std::wstring Long(const std::wstring& path) {
    if (path.size() < MAX_PATH - 12 || path.rfind(L"\\\\?\\", 0) == 0) return path;
    if (path.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + path.substr(2);
    return L"\\\\?\\" + path;
}

// Windows 8's query of a file's id (its headers show it only to builds for Windows 8 and later);
// Windows 7 refuses it and the older call answers.
constexpr auto kFileIdInfo = static_cast<FILE_INFO_BY_HANDLE_CLASS>(18);
struct FileId {
    ULONGLONG volume;
    BYTE file[16];
};

// The file's index on its volume, through ntdll (no Win32 call answers it without the volume).
constexpr int kFileInternalInformation = 6;
using QueryFile = LONG(WINAPI*)(HANDLE, IO_STATUS_BLOCK*, void*, ULONG, int);

class WindowsFileSystem : public FileSystem {
public:
    std::wstring Join(const std::wstring& folder, const std::wstring& name) const override {
        return !folder.empty() && (folder.back() == L'\\' || folder.back() == L'/') ? folder + name : folder + L"\\" + name;
    }

    bool List(const std::wstring& folder, std::vector<Entry>& entries) override {
        WIN32_FIND_DATAW data;
        raii::FindHandle find(FindFirstFileExW(Long(Join(folder, L"*")).c_str(), FindExInfoBasic, &data,
                                               FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
        if (!find) return false;
        const auto volume = volumeOf_.find(folder);
        do {
            const std::wstring_view name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            const bool isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            // A subfolder is on this folder's volume unless it is a link (a junction, a symbolic link
            // or a mounted volume), which alone can lead to another.
            if (isFolder && volume != volumeOf_.end() && !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                volumeOf_.emplace(Join(folder, data.cFileName), volume->second);
            entries.push_back({data.cFileName, isFolder});
        } while (FindNextFileW(find.get(), &data));
        return true;
    }

    std::string FolderId(const std::wstring& folder) override {
        raii::File h(CreateFileW(Long(folder).c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (!h) return {};
        // The volume is asked only of the first folder and of links: asking costs a query of the
        // volume each time (under Wine a round trip to its mount manager, 1-2 ms a folder). The
        // file's own index is a cheap question.
        LARGE_INTEGER index;
        IO_STATUS_BLOCK io;
        const auto it = volumeOf_.find(folder);
        if (it != volumeOf_.end() && queryFile_ && queryFile_(h.get(), &io, &index, sizeof index, kFileInternalInformation) == 0)
            return it->second + ":" + std::to_string(index.QuadPart);
        std::string volume;
        FileId id;
        if (GetFileInformationByHandleEx(h.get(), kFileIdInfo, &id, sizeof id)) {
            volume = std::to_string(id.volume);
        } else {
            BY_HANDLE_FILE_INFORMATION info;
            if (!GetFileInformationByHandle(h.get(), &info)) return {};
            volume = std::to_string(info.dwVolumeSerialNumber);
        }
        if (!queryFile_ || queryFile_(h.get(), &io, &index, sizeof index, kFileInternalInformation) != 0) return {};
        volumeOf_[folder] = volume;
        return volume + ":" + std::to_string(index.QuadPart);
    }

    bool Read(const std::wstring& path, std::string& bytes) override {
        raii::File h(CreateFileW(Long(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        LARGE_INTEGER size;
        if (!h || !GetFileSizeEx(h.get(), &size) || size.QuadPart > 0x7FFFFFFF) return false;
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD got = 0;
        if (!bytes.empty() && (!ReadFile(h.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr)))
            return false;
        bytes.resize(got);
        return true;
    }

private:
    std::unordered_map<std::wstring, std::string> volumeOf_;  // of the folders listed so far
    const QueryFile queryFile_ =
        reinterpret_cast<QueryFile>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationFile")));
};

}  // namespace

std::unique_ptr<FileSystem> SystemFileSystem() { return std::make_unique<WindowsFileSystem>(); }

}  // namespace findfiles
