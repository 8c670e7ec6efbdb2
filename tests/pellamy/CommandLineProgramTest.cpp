// Pellamy started by a script: exit statuses, the calls each switch makes, several files, bad
// switches, and the message box shown without /s. Each row starts the program once.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>

#include "../fixtures/fixture_comserver.h"
#include "DialogAnswerer.h"
#include "PellamyTestKit.h"
#include "Raii.h"
#include "TestEnv.h"

using kit::Fixture;

namespace {

std::wstring Quoted(const std::wstring& s) { return L"\"" + s + L"\""; }
std::wstring Dll(const wchar_t* name) { return Quoted(Fixture(name)); }

// What fx_comserver registers, under HKEY_CLASSES_ROOT's names.
const wchar_t* const kComServerKeys[] = {L"CLSID\\" FX_CLSID_TEXT, FX_PROGID, L"TypeLib\\" FX_LIBID_TEXT,
                                         L"Interface\\" FX_IID_TEXT};

bool KeyExists(HKEY root, const std::wstring& path) {
    raii::RegKey key;
    return RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

// How many of fx_comserver's keys are under root\Software\Classes.
int ComServerKeysIn(HKEY root) {
    int n = 0;
    for (const wchar_t* k : kComServerKeys) n += KeyExists(root, std::wstring(L"Software\\Classes\\") + k) ? 1 : 0;
    return n;
}

void RemoveComServerKeys() {
    for (const wchar_t* k : kComServerKeys) {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, (std::wstring(L"Software\\Classes\\") + k).c_str());
        RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(L"Software\\Classes\\") + k).c_str());
    }
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, FX_MACHINE_KEY);
}

class PellamyCommandLineRun : public ::testing::Test {
protected:
    void SetUp() override {
        for (const wchar_t* n : {L"fx_register", L"fx_install", L"fx_hang"}) kit::DeleteFixtureKey(n);
        kit::TakeInstallLog();
        RemoveComServerKeys();
    }
    void TearDown() override { SetUp(); }
};

TEST_F(PellamyCommandLineRun, EachOutcomeGivesItsExitStatus) {
    testenv::TempDir dir;
    ASSERT_TRUE(testenv::WriteBytes(dir / L"text.dll", "This is a text file, not a module.\r\n"));
    struct Row {
        std::wstring args;
        long status;
        std::function<bool()> after;  // what the registry holds afterwards
    };
    auto registered = [] { return kit::FixtureKeyExists(L"fx_register"); };
    auto notRegistered = [] { return !kit::FixtureKeyExists(L"fx_register"); };
    const Row rows[] = {
        {L"/s " + Dll(L"fx_register.dll"), 0, registered},
        {L"-S -U " + Dll(L"fx_register.dll"), 0, notRegistered},  // /u removes what /s wrote
        {L"/s " + Dll(L"fx_fail.dll"), 5, {}},
        {L"/s " + Dll(L"fx_noentry.dll"), 4, {}},
        {L"/s /u " + Dll(L"fx_regonly.dll"), 4, {}},
        {L"/s /i " + Dll(L"fx_register.dll"), 4, notRegistered},  // no DllInstall: nothing runs
        {L"/s " + Quoted(dir / L"text.dll"), 3, {}},
        {L"/s " + Quoted(dir / L"missing.dll"), 3, {}},
        {L"/s " + Dll(L"fx_crash.dll"), 7, {}},
        {L"/s " + Dll(L"fx_exitthread.dll"), 7, {}},
        {L"/s " + Dll(L"fx_other.dll"), 8, {}},
        // In order, on past a failure; the first failure decides.
        {L"/s " + Dll(L"fx_noentry.dll") + L" " + Dll(L"fx_register.dll") + L" " + Dll(L"fx_fail.dll"), 4, registered},
        {L"/s /x " + Dll(L"fx_register.dll"), 1, notRegistered},
        {L"/s /u", 1, {}},
    };
    for (const Row& r : rows) {
        kit::DeleteFixtureKey(L"fx_register");
        if (r.args.find(L"-U") != std::wstring::npos) {
            ASSERT_EQ(kit::Program(L"/s " + Dll(L"fx_register.dll")).Wait(), 0);
        }
        EXPECT_EQ(kit::Program(r.args).Wait(), r.status) << r.args;
        if (r.after) {
            EXPECT_TRUE(r.after()) << r.args;
        }
    }
}

TEST_F(PellamyCommandLineRun, InstallGetsItsFlagAndTextInOrderWithTheServers) {
    const std::pair<std::wstring, std::wstring> rows[] = {
        {L"/s", L"register;"},
        {L"/s /i", L"register;install(1,);"},
        {L"/s /i:\"hello world\"", L"register;install(1,hello world);"},
        {L"/s /u /i:bye", L"install(0,bye);unregister;"},
        {L"/s /n /i", L"install(1,);"},
        {L"-s -N -I:user", L"install(1,user);"},
        {L"/s /n /u /i:x", L"install(0,x);"},
    };
    for (const auto& [switches, log] : rows) {
        EXPECT_EQ(kit::Program(switches + L" " + Dll(L"fx_install.dll")).Wait(), 0) << switches;
        EXPECT_EQ(kit::TakeInstallLog(), log) << switches;
    }
}

// /user registers under the user's classes and never the machine's, and /u /user takes it away
// again; /export writes the file and changes nothing in the registry.
TEST_F(PellamyCommandLineRun, UserAndExportRunInTheirModes) {
    testenv::TempDir dir;
    const std::wstring reg = dir / L"out.reg";
    const std::wstring server = Dll(L"fx_comserver.dll");
    const std::string regStart("\xFF\xFEW\0i\0n\0", 8);  // UTF-16 with its mark: "Windows Registry Editor..."
    auto fileWritten = [&] { return testenv::ReadBytes(reg).rfind(regStart, 0) == 0; };
    auto noScratchKey = [] { return !KeyExists(HKEY_CURRENT_USER, L"Software\\Pellamy"); };
    struct Row {
        std::wstring args;
        long status;
        int userKeys;  // fx_comserver's keys under HKCU\Software\Classes afterwards
        bool regFile;  // out.reg written
    };
    const Row rows[] = {
        {L"/s /user " + server, 0, 4, false},
        {L"/s /u /user " + server, 0, 0, false},
        {L"/s /export:" + Quoted(reg) + L" " + server, 0, 0, true},
        // A file that cannot be written: the run went well, the export did not.
        {L"/s /export:" + Quoted(dir / L"no such folder\\out.reg") + L" " + server, 5, 0, false},
    };
    for (const Row& r : rows) {
        DeleteFileW(reg.c_str());
        EXPECT_EQ(kit::Program(r.args).Wait(), r.status) << r.args;
        EXPECT_EQ(ComServerKeysIn(HKEY_CURRENT_USER), r.userKeys) << r.args;
        EXPECT_EQ(ComServerKeysIn(HKEY_LOCAL_MACHINE), 0) << r.args;
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, FX_MACHINE_KEY)) << r.args;
        EXPECT_EQ(fileWritten(), r.regFile) << r.args;
        EXPECT_TRUE(noScratchKey()) << r.args;
    }
}

// A hung entry point ends the run at the limit with status 6, without waiting for the worker.
TEST_F(PellamyCommandLineRun, AHungEntryPointEndsTheRunAtTheLimit) {
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(kit::Program(L"/s " + Dll(L"fx_hang.dll")).Wait(30000), 6);
    const ULONGLONG took = GetTickCount64() - start;
    EXPECT_GE(took, 9900u);
    EXPECT_LT(took, 12000u);
}

// Without /s each outcome is shown in the window's message box, and the main window never opens;
// a bad switch is named.
TEST_F(PellamyCommandLineRun, WithoutSilenceTheOutcomeIsShownInAMessageBox) {
    struct Row {
        std::wstring args;
        std::wstring text;
        long status;
    };
    testenv::TempDir dir;
    const std::wstring reg = dir / L"out.reg";
    const Row rows[] = {
        {L"/u " + Dll(L"fx_register.dll"), L"Process completed", 0},
        // The window's per-user outcome, and the window's export summary.
        {L"/user " + Dll(L"fx_comserver.dll"),
         L"Process completed\r\n\r\nRegistered for the current user only (under HKEY_CURRENT_USER\\Software\\Classes)."
         L"\r\nPrograms running elevated (as administrator) do not see registrations made for the current user."
         L"\r\n\r\nThe module also wrote these keys, which could not be written for the current user and were left "
         L"out:\r\n    HKEY_LOCAL_MACHINE\\Software\\PellamyTest\\fx_comserver",
         0},
        {L"/export:" + Quoted(reg) + L" " + Dll(L"fx_comserver.dll"),
         L"Registration exported to " + reg +
             L"\r\n\r\nClasses: 1\r\n    Pellamy Test Class\r\nProgIDs: 1\r\nType libraries: 1\r\nInterfaces: 1"
             L"\r\n\r\nNothing in the registry was changed. The file holds what the module wrote to the registry; its "
             L"code may have done other things as well (such as writing files).",
         0},
        {L"/q " + Dll(L"fx_register.dll"),
         L"The switch /q is not known.\r\n\r\nUsage: Pellamy [/u] [/s] [/i[:cmdline]] [/n] [/user] "
         L"[/export:file.reg] file...",
         1},
    };
    for (const Row& r : rows) {
        kit::Program p(r.args);
        {
            DialogAnswerer answer({DialogAnswerer::Press(IDOK)}, 15000, p.Id());
            testenv::PumpUntil([&] { return answer.Answered() == 1; }, 15000);
            const std::vector<SeenDialog> seen = answer.Seen();
            ASSERT_EQ(seen.size(), 1u) << r.args;
            EXPECT_EQ(seen[0].title, L"Pellamy");
            EXPECT_EQ(seen[0].text, r.text);
            HWND main = FindWindowExW(nullptr, nullptr, L"PellamyMain", nullptr);
            DWORD owner = 0;
            if (main) GetWindowThreadProcessId(main, &owner);
            EXPECT_NE(owner, p.Id()) << "the window opened";
        }
        EXPECT_EQ(p.Wait(), r.status) << r.args;
    }
}

}  // namespace
