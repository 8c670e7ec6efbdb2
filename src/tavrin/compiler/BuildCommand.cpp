#include "BuildCommand.h"

#include <algorithm>

#include "Paths.h"
#include "TextConv.h"

namespace {

// An entry's name; the hidden per-drive entries ("=C:=C:\dir") start with '='.
std::wstring NameOf(const std::wstring& entry) {
    return UpperAscii(std::wstring_view(entry).substr(0, entry.find(L'=', 1)));
}

// The folder to start in: C:\a.cpp is in C:\ (C: alone would mean the drive's current folder).
std::wstring FolderOf(const std::wstring& path) {
    const std::wstring folder = paths::Folder(path);
    return folder.size() == 2 && folder[1] == L':' ? folder + L"\\" : folder;
}

bool IsUnc(const std::wstring& path) { return path.size() > 1 && path[0] == L'\\' && path[1] == L'\\'; }

}  // namespace

std::wstring EnvironmentBlock(std::vector<std::wstring> entries,
                              const std::vector<std::pair<std::wstring, std::wstring>>& set) {
    for (const auto& [name, value] : set) {
        const std::wstring upper = UpperAscii(name);
        std::erase_if(entries, [&](const std::wstring& e) { return NameOf(e) == upper; });
        entries.push_back(name + L"=" + value);
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const std::wstring& a, const std::wstring& b) { return NameOf(a) < NameOf(b); });
    std::wstring block;
    for (const std::wstring& e : entries) block += e + L'\0';
    block += L'\0';
    if (entries.empty()) block += L'\0';  // an empty block is two NULs too
    return block;
}

BuildCommand MakeBuildCommand(const std::wstring& batchPath, const std::wstring& systemFolder,
                                  const std::wstring& documentPath, const std::vector<std::wstring>& parentEnvironment) {
    BuildCommand s;
    s.application = paths::CommandInterpreter(systemFolder);
    // cmd expands %...% even inside quotes, so the path is never written into the line: it comes
    // through a variable, expanded once inside quotes (where & ^ ( ) are plain characters), and
    // the result is not scanned for % again. /v:off keeps ! plain, /d skips AutoRun commands, and /s
    // strips just the outer pair of quotes.
    s.commandLine = L"\"" + s.application + L"\" /d /v:off /s /c \"\"" + batchPath + L"\" \"%" +
                    kBuildSourceVariable + L"%\"\"";
    s.workingDirectory = FolderOf(IsUnc(documentPath) ? batchPath : documentPath);
    s.environment = EnvironmentBlock(parentEnvironment, {{L"TAVRIN_NOPAUSE", L"1"}, {kBuildSourceVariable, documentPath}});
    return s;
}

BuildCommand MakeRunCommand(const std::wstring& program, const std::wstring& systemFolder,
                                const std::vector<std::wstring>& parentEnvironment) {
    BuildCommand s;
    s.application = paths::CommandInterpreter(systemFolder);
    s.commandLine = L"\"" + s.application + L"\" /d /v:off /s /c \"\"%TAVRIN_PROGRAM%\" & pause\"";
    s.workingDirectory = FolderOf(program);
    s.environment = EnvironmentBlock(parentEnvironment, {{L"TAVRIN_PROGRAM", program}});
    return s;
}

std::wstring BuiltProgramOf(const std::wstring& source) {
    const size_t slash = source.find_last_of(L"\\/");
    const size_t dot = source.rfind(L'.');
    const size_t stem = dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash) ? source.size() : dot;
    return source.substr(0, stem) + L".exe";
}
