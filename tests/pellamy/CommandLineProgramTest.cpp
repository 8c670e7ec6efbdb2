// Pellamy started by a script: exit statuses, the calls each switch makes, several files, bad
// switches, and the message box shown without /s. Each row starts the program once.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>

#include "DialogAnswerer.h"
#include "PellamyTestKit.h"
#include "TestEnv.h"

using kit::Fixture;

namespace {

std::wstring Quoted(const std::wstring& s) { return L"\"" + s + L"\""; }
std::wstring Dll(const wchar_t* name) { return Quoted(Fixture(name)); }

class PellamyCommandLineRun : public ::testing::Test {
protected:
    void SetUp() override {
        for (const wchar_t* n : {L"fx_register", L"fx_install", L"fx_hang"}) kit::DeleteFixtureKey(n);
        kit::TakeInstallLog();
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
    const Row rows[] = {
        {L"/u " + Dll(L"fx_register.dll"), L"Process completed", 0},
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
