#include "Paths.h"

namespace paths {

std::wstring Name(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring Folder(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring Join(std::wstring folder, const std::wstring& name) {
    while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
    return folder + L"\\" + name;
}

std::wstring CommandInterpreter(const std::wstring& systemFolder) { return Join(systemFolder, L"cmd.exe"); }

}  // namespace paths
