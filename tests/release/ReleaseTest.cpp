// The shipped setup program of this test's bitness (the 32-bit setup in the 32-bit build, the
// 64-bit one in the 64-bit build): silent install into a folder with spaces, the installed
// programs, their version blocks, and a silent uninstall that leaves nothing of ours behind.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <string>
#include <vector>

#include "AppInfo.h"
#include "BuildInfo.h"
#include "TestEnv.h"

namespace {

const wchar_t kInstallDir[] = L"C:\\Program Files\\Tavrin Release Check";
const wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TavrinPellamy";
const wchar_t* const kShipped[] = {L"Tavrin.exe", L"Tavrin64.exe", L"Pellamy.exe", L"Pellamy64.exe",
                                   L"code\\compile.bat", L"code\\hello.cpp",
                                   L"licenses\\Scintilla-License.txt", L"licenses\\Lexilla-License.txt"};

const bool k64 = sizeof(void*) == 8;
const std::wstring kSetupName = (k64 ? L"TavrinSetup-x64-" : L"TavrinSetup-") + std::wstring(APP_VERSION_TEXT_W L".exe");
const wchar_t* const kTavrin = k64 ? L"Tavrin64.exe" : L"Tavrin.exe";

std::wstring SetupPath() { return ProgramFolder() + L"\\..\\..\\package\\" + kSetupName; }
std::wstring OpenWithKey() { return std::wstring(L"Software\\Classes\\Applications\\") + kTavrin; }

std::wstring RegString(HKEY root, const std::wstring& key, const wchar_t* value) {
    wchar_t buf[1024];
    DWORD size = sizeof(buf);
    if (RegGetValueW(root, key.c_str(), value, RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS) return {};
    return buf;
}

std::wstring StartMenuFolder() {
    wchar_t path[MAX_PATH];
    SHGetFolderPathW(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, 0, path);
    return std::wstring(path) + L"\\Tavrin";
}

// "1.35.0.101" from a file's fixed version block.
std::wstring FileVersion(const std::wstring& path) {
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    if (!size) return {};
    std::vector<char> block(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return {};
    VS_FIXEDFILEINFO* info = nullptr;
    UINT len = 0;
    if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &len)) return {};
    return std::to_wstring(HIWORD(info->dwFileVersionMS)) + L"." + std::to_wstring(LOWORD(info->dwFileVersionMS)) +
           L"." + std::to_wstring(HIWORD(info->dwFileVersionLS)) + L"." + std::to_wstring(LOWORD(info->dwFileVersionLS));
}

class InstalledRelease : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(testenv::Exists(SetupPath())) << "run scripts/package first"; }
    void TearDown() override {
        if (testenv::Exists(std::wstring(kInstallDir) + L"\\Uninstall.exe")) Uninstall();
        testenv::RemoveTree(kInstallDir);
    }
    void Install(const std::wstring& options = L"") {
        ASSERT_EQ(testenv::Process(SetupPath(), L"/S " + options + L" /D=" + kInstallDir).Wait(60000), 0);  // /D= unquoted, last
    }
    // The uninstaller copies itself away and returns at once: wait for its last step, the
    // removal of its registry key.
    void Uninstall() {
        ASSERT_EQ(testenv::Process(In(L"Uninstall.exe"), L"/S").Wait(60000), 0);
        const ULONGLONG end = GetTickCount64() + 30000;
        while (testenv::KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey) && GetTickCount64() < end) Sleep(100);
        Sleep(300);
    }
    static std::wstring In(const wchar_t* name) { return std::wstring(kInstallDir) + L"\\" + name; }
};

// Every file with its version, the uninstaller registered, the programs start from the folder with
// spaces (the 32-bit check also starts the 64-bit builds: a machine that runs 32-bit programs runs
// both); a silent uninstall removes the whole folder when nothing else is left.
TEST_F(InstalledRelease, InstallsEveryFileStartsTheProgramsAndUninstallsToNothing) {
    Install();
    for (const wchar_t* f : kShipped) EXPECT_TRUE(testenv::Exists(In(f))) << testing::PrintToString(std::wstring(f));
    const std::pair<const wchar_t*, std::wstring> values[] = {
        {L"DisplayName", L"Tavrin and Pellamy"}, {L"DisplayVersion", L"1.35.0.101"}, {L"Publisher", APP_COMPANY_W},
        {L"InstallLocation", kInstallDir}, {L"DisplayIcon", In(kTavrin) + L",0"}};
    for (const auto& [name, value] : values) EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kUninstallKey, name), value);
    DWORD size = 0, bytes = sizeof(size);
    EXPECT_EQ(RegGetValueW(HKEY_LOCAL_MACHINE, kUninstallKey, L"EstimatedSize", RRF_RT_REG_DWORD, nullptr, &size, &bytes),
              ERROR_SUCCESS);
    EXPECT_GT(size, 1000u);  // KB: four programs of about 800 KB
    for (const wchar_t* link : {L"\\Tavrin.lnk", L"\\Pellamy.lnk", sizeof(void*) == 8 ? L"\\Pellamy (32-bit modules).lnk" : L"\\Tavrin.lnk"})
        EXPECT_TRUE(testenv::Exists(StartMenuFolder() + link)) << link;
    EXPECT_FALSE(testenv::KeyExists(HKEY_LOCAL_MACHINE, OpenWithKey()));  // optional part
    for (const wchar_t* f : {L"Tavrin.exe", L"Tavrin64.exe", L"Pellamy.exe", L"Pellamy64.exe", L"Uninstall.exe"})
        EXPECT_EQ(FileVersion(In(f)), L"1.35.0.101") << testing::PrintToString(std::wstring(f));
    EXPECT_EQ(FileVersion(SetupPath()), L"1.35.0.101");
    std::vector<std::wstring> programs = {L"Tavrin64.exe", L"Pellamy64.exe"};
    if (sizeof(void*) == 4) programs.insert(programs.end(), {L"Tavrin.exe", L"Pellamy.exe"});
    for (const std::wstring& exe : programs)
        EXPECT_TRUE(testenv::ShowsAndCloses(In(exe.c_str()), L"", exe[0] == L'T' ? L"Untitled - Tavrin" : L"Register or Unregister OCX / DLL"))
            << testing::PrintToString(exe);
    Uninstall();
    EXPECT_FALSE(testenv::Exists(kInstallDir));
    EXPECT_FALSE(testenv::KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
}

TEST_F(InstalledRelease, SilentUninstallLeavesNothingOfOursButTheUsersFiles) {
    Install(L"/OPENWITH");
    EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, OpenWithKey() + L"\\shell\\open\\command", nullptr),
              L"\"" + In(kTavrin) + L"\" \"%1\"");
    // A document the user keeps beside the compiler batch file survives.
    ASSERT_TRUE(testenv::WriteBytes(In(L"code\\mine.cpp"), "int main() {}\r\n"));
    Uninstall();
    for (const wchar_t* f : kShipped) EXPECT_FALSE(testenv::Exists(In(f)));
    EXPECT_FALSE(testenv::Exists(In(L"Uninstall.exe")));
    EXPECT_EQ(testenv::ReadBytes(In(L"code\\mine.cpp")), "int main() {}\r\n");
    EXPECT_FALSE(testenv::KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_FALSE(testenv::KeyExists(HKEY_LOCAL_MACHINE, OpenWithKey()));
    EXPECT_FALSE(testenv::Exists(StartMenuFolder()));
}

}  // namespace
