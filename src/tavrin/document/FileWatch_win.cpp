#include "FileWatch.h"

#include <windows.h>

#include "Raii.h"

namespace filewatch {

Identity IdentityOf(const std::wstring& path) {
    Identity id;
    // No access asked for: the file's attributes are read even while another program writes it.
    raii::File f(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!f || !GetFileInformationByHandle(f.get(), &info)) return id;
    id.exists = true;
    id.volume = info.dwVolumeSerialNumber;
    id.index = (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    id.size = (static_cast<unsigned long long>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    id.writeTime = (static_cast<unsigned long long>(info.ftLastWriteTime.dwHighDateTime) << 32) |
                   info.ftLastWriteTime.dwLowDateTime;
    return id;
}

}  // namespace filewatch
