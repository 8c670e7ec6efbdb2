#include "FileKind.h"

#include <cwctype>

#include "PeHeader.h"

namespace pellamy {

FileKind KindOfFile(const std::wstring& path, const unsigned char* head, size_t size, bool typeLib) {
    std::wstring ext = path.substr(path.find_last_of(L"\\/.") == std::wstring::npos ? path.size() : path.find_last_of(L"\\/."));
    for (wchar_t& c : ext) c = static_cast<wchar_t>(std::towlower(c));
    if (typeLib || ext == L".tlb" || ext == L".olb") return FileKind::TypeLibrary;
    return PeIsProgram(head, size) ? FileKind::LocalServer : FileKind::Module;
}

const wchar_t* ServerSwitch(bool unregister, bool perUser) {
    if (perUser) return unregister ? L"/UnregServerPerUser" : L"/RegServerPerUser";
    return unregister ? L"/UnregServer" : L"/RegServer";
}

}  // namespace pellamy
