// The walk's file system on Windows: long paths through the \\?\ form, folders known by volume and
// file index (so a junction back to a folder already walked is seen).
#include <windows.h>

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
        do {
            const std::wstring_view name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            entries.push_back({data.cFileName, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
        } while (FindNextFileW(find.get(), &data));
        return true;
    }

    std::string FolderId(const std::wstring& folder) override {
        raii::File h(CreateFileW(Long(folder).c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (!h) return {};
        // The file id alone: the volume's serial of the older call costs a query of the volume each
        // time (under Wine a round trip to its mount manager for every folder).
        FileId id;
        if (GetFileInformationByHandleEx(h.get(), kFileIdInfo, &id, sizeof id))
            return std::to_string(id.volume) + ":" + std::string(reinterpret_cast<const char*>(id.file), sizeof id.file);
        BY_HANDLE_FILE_INFORMATION info;
        if (!GetFileInformationByHandle(h.get(), &info)) return {};
        return std::to_string(info.dwVolumeSerialNumber) + ":" + std::to_string(info.nFileIndexHigh) + ":" +
               std::to_string(info.nFileIndexLow);
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
};

}  // namespace

std::unique_ptr<FileSystem> SystemFileSystem() { return std::make_unique<WindowsFileSystem>(); }

}  // namespace findfiles
