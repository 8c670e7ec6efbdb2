// Build: the command line and environment the compile batch file is started with.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BuildCommand.h"

namespace {

std::vector<std::wstring> Entries(const std::wstring& block) {
    std::vector<std::wstring> out;
    for (size_t i = 0; i < block.size() && block[i] != L'\0'; i = block.find(L'\0', i) + 1)
        out.push_back(block.substr(i, block.find(L'\0', i) - i));
    return out;
}

// The document's path reaches the batch file through a variable, never through the command line;
// the build runs in its folder, or the batch file's for a UNC folder (cmd cannot run in one).
TEST(BuildCommand, ThePathTravelsInAVariableAndTheBuildRunsInItsFolder) {
    const struct {
        const wchar_t *doc, *folder;
    } rows[] = {
        {L"C:\\My Files\\hello.cpp", L"C:\\My Files"},      {L"C:\\a & b\\x^y (1).cpp", L"C:\\a & b"},
        {L"C:\\p\\a%PATH%b.cpp", L"C:\\p"},                 {L"C:\\p\\!x! & del y.cpp", L"C:\\p"},
        {L"C:\\gr\u00FC\u00DFe\\\u20AC.cpp", L"C:\\gr\u00FC\u00DFe"}, {L"C:\\x.cpp", L"C:\\"},
        {L"D:/work/y.cpp", L"D:/work"},                     {L"\\\\server\\share\\x.cpp", L"C:\\Tavrin\\code"},
    };
    for (const auto& r : rows) {
        const BuildCommand s = MakeBuildCommand(L"C:\\Tavrin\\code\\compile.bat", L"C:\\windows\\system32\\", r.doc, {});
        EXPECT_EQ(s.application + L"|" + s.workingDirectory, L"C:\\windows\\system32\\cmd.exe|" + std::wstring(r.folder));
        EXPECT_NE(s.commandLine.find(L"\"C:\\Tavrin\\code\\compile.bat\" \"%TAVRIN_SOURCE%\""), std::wstring::npos);
        EXPECT_EQ(s.commandLine.find(r.doc), std::wstring::npos) << r.doc;
        EXPECT_EQ(Entries(s.environment), (std::vector<std::wstring>{L"TAVRIN_NOPAUSE=1", L"TAVRIN_SOURCE=" + std::wstring(r.doc)}));
    }
}

TEST(BuildCommand, EnvironmentIsTheParentsPlusOursSortedByName) {
    const BuildCommand s = MakeBuildCommand(
        L"C:\\t\\code\\compile.bat", L"C:\\windows\\system32", L"C:\\s\\a.cpp",
        {L"windir=C:\\windows", L"=C:=C:\\s", L"Path=C:\\bin;D:\\x=y", L"tavrin_nopause=", L"ALLUSERSPROFILE=C:\\all",
         L"TAVRIN_SOURCE=C:\\old.cpp", L"_under=1"});
    EXPECT_EQ(Entries(s.environment),
              (std::vector<std::wstring>{L"=C:=C:\\s", L"ALLUSERSPROFILE=C:\\all", L"Path=C:\\bin;D:\\x=y",
                                         L"TAVRIN_NOPAUSE=1", L"TAVRIN_SOURCE=C:\\s\\a.cpp", L"windir=C:\\windows",
                                         L"_under=1"}));
}

TEST(BuildCommand, RunStartsTheProgramBesideTheSourceThroughAVariable) {
    const std::pair<const wchar_t*, const wchar_t*> programs[] = {
        {L"C:\\s\\a.cpp", L"C:\\s\\a.exe"}, {L"D:\\x\\v1.2.cpp", L"D:\\x\\v1.2.exe"}, {L"\\\\srv\\share\\b.c", L"\\\\srv\\share\\b.exe"},
        {L"C:\\my.dir\\prog", L"C:\\my.dir\\prog.exe"},  // a dot in the folder only
    };
    for (const auto& [source, program] : programs) EXPECT_EQ(BuiltProgramOf(source), program) << source;
    const BuildCommand r = MakeRunCommand(L"C:\\a & b\\%x%.exe", L"C:\\windows\\system32\\", {L"A=1"});
    EXPECT_EQ(r.application, L"C:\\windows\\system32\\cmd.exe");
    EXPECT_EQ(r.commandLine.find(L"%x%"), std::wstring::npos);  // the name is never in the line
    EXPECT_NE(r.commandLine.find(L"\"%TAVRIN_PROGRAM%\" & pause"), std::wstring::npos);
    EXPECT_EQ(r.workingDirectory, L"C:\\a & b");
    EXPECT_EQ(Entries(r.environment), (std::vector<std::wstring>{L"A=1", L"TAVRIN_PROGRAM=C:\\a & b\\%x%.exe"}));
}

}  // namespace
