// Pellamy started by a script: exit statuses, the calls each switch makes, several files, bad
// switches, the hung entry point, and the message box shown without /s. Each row starts the program
// once. And a module that outlives the 10 s wait in the window: the window answers throughout and the
// module's child finishes on its own.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <thread>

#include "DialogAnswerer.h"
#include "PellamyTestKit.h"
#include "TestEnv.h"

using kit::Fixture;

namespace {

std::wstring Quoted(const std::wstring& s) { return L"\"" + s + L"\""; }
std::wstring Dll(const wchar_t* name) { return Quoted(Fixture(name)); }

// A .reg file's text, upper-cased when asked (Wine writes "Typelib" where Windows writes "TypeLib").
std::wstring RegText(const std::wstring& file, bool upper = false) {
    const std::string b = testenv::ReadBytes(file);
    std::wstring text;
    for (size_t i = 2; i + 1 < b.size(); i += 2)
        text += static_cast<wchar_t>(static_cast<unsigned char>(b[i]) | (static_cast<unsigned char>(b[i + 1]) << 8));
    if (upper) CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

class PellamyCommandLineRun : public ::testing::Test {
protected:
    void SetUp() override {
        for (const wchar_t* n : {L"fx_register", L"fx_hang", L"fx_server"}) kit::DeleteFixtureKey(n);
        kit::TakeInstallLog();
        kit::RemoveComServerKeys();
    }
    void TearDown() override { SetUp(); }
};

// A hung entry point ends the run at the limit, without waiting for the worker; /user and /export
// run in their modes and never touch the machine's classes. Type libraries register (machine-wide,
// per user, a module's own with /tlb), unregister and export like modules; a local server is started
// with the switch for the run, its exit code is the outcome, and it cannot be exported.
TEST_F(PellamyCommandLineRun, EachOutcomeGivesItsExitStatus) {
    testenv::TempDir dir;
    ASSERT_TRUE(testenv::WriteBytes(dir / L"text.dll", "This is a text file, not a module.\r\n"));
    const std::wstring reg = dir / L"out.reg", server = Dll(L"fx_comserver.dll"), tlb = Dll(L"fx_typelib.tlb"),
                       res = Dll(L"fx_tlbres.dll"), local = Dll(L"fx_server.exe"), lib = L"Software\\Classes\\TypeLib\\" FX_TLB_LIBID_TEXT;
    auto registered = [](bool yes) { return [yes] { return kit::FixtureKeyExists(L"fx_register") == yes; }; };
    auto logged = [](const wchar_t* log) { return [log] { return kit::TakeInstallLog() == log; }; };
    auto userKeys = [](int n) { return [n] { return kit::ComServerKeysIn(HKEY_CURRENT_USER) == n; }; };
    auto libIn = [&](HKEY root) {  // the user's alone when it is the user's
        return [&, root] { return kit::KeyExists(root, lib) && (root == HKEY_LOCAL_MACHINE || !kit::KeyExists(HKEY_LOCAL_MACHINE, lib)); };
    };
    auto none = [&] { return !kit::KeyExists(HKEY_LOCAL_MACHINE, lib) && !kit::KeyExists(HKEY_CURRENT_USER, lib); };
    auto started = [](std::optional<std::wstring> with) { return [with] { return kit::ReadValue(L"fx_server", L"Switch") == with; }; };
    const struct {
        std::wstring args;
        long status;
        std::function<bool()> after;  // what the registry holds afterwards
        const wchar_t* serverExit = nullptr;  // the local server's exit code
    } rows[] = {
        {L"/s " + Dll(L"fx_register.dll"), 0, registered(true)},
        {L"-S -U " + Dll(L"fx_register.dll"), 0, registered(false)},  // /u removes what /s wrote
        {L"/s " + Dll(L"fx_fail.dll"), 5, {}},
        {L"/s /u " + Dll(L"fx_regonly.dll"), 4, {}},
        {L"/s /i " + Dll(L"fx_register.dll"), 4, registered(false)},  // no DllInstall: nothing runs
        {L"/s " + Quoted(dir / L"text.dll"), 3, {}},
        {L"/s " + Quoted(dir / L"missing.dll"), 3, {}},
        {L"/s " + Dll(L"fx_crash.dll"), 7, {}},
        {L"/s " + Dll(L"fx_exitthread.dll"), 7, {}},
        {L"/s " + Dll(L"fx_hang.dll"), 6, {}},
        // In order, on past a failure; the first failure decides.
        {L"/s " + Dll(L"fx_noentry.dll") + L" " + Dll(L"fx_register.dll") + L" " + Dll(L"fx_fail.dll"), 4, registered(true)},
        {L"/s /u", 1, {}},
        // DllInstall gets its flag and text, in order with the servers.
        {L"/s /i:\"hello world\" " + Dll(L"fx_install.dll"), 0, logged(L"register;install(1,hello world);")},
        {L"/s /u /i:bye " + Dll(L"fx_install.dll"), 0, logged(L"install(0,bye);unregister;")},
        {L"-s -N -I:user " + Dll(L"fx_install.dll"), 0, logged(L"install(1,user);")},
        {L"/s /user " + server, 0, userKeys(2)},
        {L"/s /u /user " + server, 0, userKeys(0)},
        // A type library too lands in the user's classes (its interface with it), and goes again.
        {L"/s /user " + Dll(L"fx_comtlb.dll"), 0, userKeys(4)},
        {L"/s /u /user " + Dll(L"fx_comtlb.dll"), 0, userKeys(0)},
        {L"/s /export:" + Quoted(reg) + L" " + server, 0, [&] { return testenv::Exists(reg); }},
        // Names with line breaks are left out: nothing under them reaches the file, as lines of its own or not.
        {L"/s /export:" + Quoted(reg) + L" " + Dll(L"fx_oddnames.dll"), 5, [&] {
             const std::wstring t = RegText(reg);
             return t.find(L"smuggled") == t.npos && t.find(L"Evil") == t.npos && t.find(L"[X]") == t.npos &&
                    t.find(L"[HKEY_CLASSES_ROOT\\" FX_ODD_KEY L"\\Tab\there]]\r\n\"Quote\\\"\\\\\"=\"kept\"") != t.npos &&
                    t.find(L"\"Plain\"=\"kept\"") != t.npos;
         }},
        // A file that cannot be written: the run went well, the export did not.
        {L"/s /export:" + Quoted(dir / L"no such folder\\out.reg") + L" " + server, 5, userKeys(0)},
        {L"/s " + tlb, 0, libIn(HKEY_LOCAL_MACHINE)},
        {L"/s /u " + tlb, 0, none},
        {L"/s /user " + tlb, 0, libIn(HKEY_CURRENT_USER)},
        {L"/s /u /user " + tlb, 0, none},
        {L"/s /tlb " + res, 0, libIn(HKEY_LOCAL_MACHINE)},
        {L"/s /u /tlb " + res, 0, none},
        {L"/s /export:" + Quoted(reg) + L" " + tlb, 0, [&] {
             return none() && RegText(reg, true).find(L"[HKEY_CLASSES_ROOT\\TYPELIB\\" FX_TLB_LIBID_TEXT L"\\") != std::wstring::npos;
         }},
        {L"/s " + local, 0, started(L"/RegServer")},
        {L"/s /u " + local, 0, started(L"/UnregServer")},
        {L"/s /user " + local, 0, started(L"/RegServerPerUser")},
        {L"/s /u /user " + local, 0, started(L"/UnregServerPerUser")},
        {L"/s " + local, 5, started(L"/RegServer"), L"3"},
        {L"/s /export:" + Quoted(reg) + L" " + local, 9, started(std::nullopt)},
    };
    // A scratch key a child ended by its job left behind goes at the next start.
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Pellamy\\Scratch\\4294967292-1\\HKCR\\x", nullptr, REG_SZ, L"", 2);
    for (const auto& r : rows) {
        for (const wchar_t* n : {L"fx_register", L"fx_server"}) kit::DeleteFixtureKey(n);
        SetEnvironmentVariableW(L"PELLAMY_FX_SERVER_EXIT", r.serverExit);
        if (r.args.find(L"-U") != std::wstring::npos) {
            ASSERT_EQ(kit::Program(L"/s " + Dll(L"fx_register.dll")).Wait(), 0);
        }
        const ULONGLONG start = GetTickCount64();
        EXPECT_EQ(kit::Program(r.args).Wait(30000), r.status) << r.args;
        const ULONGLONG took = GetTickCount64() - start;
        EXPECT_TRUE(r.status == 6 ? took >= 9900 && took < 12000 : took < 9900) << r.args << " " << took;
        EXPECT_TRUE(!r.after || r.after()) << r.args;
        EXPECT_EQ(kit::ComServerKeysIn(HKEY_LOCAL_MACHINE), 0) << r.args;
        EXPECT_FALSE(kit::KeyExists(HKEY_CURRENT_USER, L"Software\\Pellamy")) << r.args;  // no scratch key
    }
    SetEnvironmentVariableW(L"PELLAMY_FX_SERVER_EXIT", nullptr);
}

// Without /s the outcome is shown in a message box, and the main window never opens. A module of the
// other bitness without that build beside this one: status 8 and the message naming it.
TEST_F(PellamyCommandLineRun, WithoutSilenceTheOutcomeIsShownInAMessageBox) {
    const bool own64 = sizeof(void*) == 8;
    const std::wstring exe = own64 ? L"Pellamy64.exe" : L"Pellamy.exe";
    testenv::TempDir alone;
    ASSERT_TRUE(CopyFileW((testenv::BinDir() + L"\\" + exe).c_str(), (alone / exe).c_str(), FALSE));
    const struct {
        std::wstring args, exe;
        long status;
        std::wstring start;
    } rows[] = {
        {L"/u " + Dll(L"fx_register.dll"), L"", 0, L"Process completed"},
        {L"/q " + Dll(L"fx_register.dll"), L"", 1, L"The switch /q is not known."},
        {L"/?", L"", 0, L"Usage: Pellamy "},
        {L"/u " + Dll(L"fx_other_com.dll"), alone / exe, 8,
         std::wstring(L"Failure loading control DLL\r\nThis is a ") +
             (own64 ? L"32-bit module; the 64-bit Pellamy cannot load it. Use Pellamy.exe."
                    : L"64-bit module; the 32-bit Pellamy cannot load it. Use Pellamy64.exe.")}};
    for (const auto& r : rows) {
        kit::Program p(r.args, r.exe);
        {
            DialogAnswerer answer({DialogAnswerer::Press(IDOK)}, 15000, p.Id());
            testenv::PumpUntil([&] { return answer.Answered() == 1; }, 15000);
            EXPECT_EQ(answer.One().rfind(L"Pellamy: " + r.start, 0), 0u) << answer.One();
            HWND main = FindWindowExW(nullptr, nullptr, L"PellamyMain", nullptr);
            DWORD owner = 0;
            if (main) GetWindowThreadProcessId(main, &owner);
            EXPECT_NE(owner, p.Id()) << "the window opened";
        }
        EXPECT_EQ(p.Wait(), r.status) << r.args;
    }
}

// Either build registers a module of the other bitness through the other build beside it, into
// that bitness's registry view.
TEST_F(PellamyCommandLineRun, AModuleOfTheOtherBitnessRunsInTheOtherBuild) {
    const bool own64 = sizeof(void*) == 8;
    const std::wstring server = Dll(L"fx_other_com.dll");
    auto inView = [](bool bits64) {
        return kit::KeyExists(HKEY_LOCAL_MACHINE, L"Software\\Classes\\CLSID\\" FX_CLSID_TEXT, bits64 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY);
    };
    if (own64 && !kit::Runs32Bit()) {
        std::printf("skipped: registering the 32-bit module needs a 32-bit child; this machine runs only 64-bit programs\n");
        return;
    }
    EXPECT_EQ(kit::Program(L"/s " + server).Wait(), 0);
    EXPECT_TRUE(inView(!own64));
    EXPECT_FALSE(inView(own64));
    EXPECT_EQ(kit::Program(L"/s /u " + server).Wait(), 0);
    EXPECT_FALSE(inView(!own64));
}

// A module whose entry point (fx_hang) or start-up code (fx_slowmain, which in-process would hold the
// loader's lock the real message box needs) hangs: the window answers a probe from another thread
// within 100 ms throughout, the real box says so within 11 s of Proceed, and the child is not
// ended: it registers when the module returns. The next run works. A per-user run given up on keeps
// its redirection in its own child: a plain run in the same window right after it is plain.
TEST(PellamyTimeout, TheWindowAnswersThroughoutAndTheRealBoxComesAtTheLimit) {
    for (const auto& [name, msVar] : {std::pair{L"fx_hang", L"PELLAMY_FX_HANG_MS"}, {L"fx_slowmain", L"PELLAMY_FX_MAIN_MS"}}) {
        kit::DeleteFixtureKey(name);
        SetEnvironmentVariableW(msVar, L"13000");
        const std::wstring dll = kit::Fixture(std::wstring(name) + L".dll"), server = Fixture(L"fx_comserver.dll");
        const bool perUser = std::wstring(name) == L"fx_hang";
        kit::Window w;
        if (perUser) w.Menu(frmMain::mnuoperationsBase + 3);  // Register for Current User Only
        w.SetPath(dll);
        w.Click(frmMain::IdcmdRegister);
        ULONGLONG shown = 0, longest = 0;
        std::atomic<bool> probing{true};
        std::thread probe([&] {
            while (probing) {
                const ULONGLONG sent = GetTickCount64();
                DWORD_PTR r = 0;
                const bool answered = SendMessageTimeoutW(w.form.Hwnd(), WM_NULL, 0, 0, SMTO_NORMAL, 2000, &r);
                longest = std::max(longest, answered ? GetTickCount64() - sent : 2000);
                Sleep(10);
            }
        });
        {
            modal::ScopedHooks realBoxes({});
            DialogAnswerer answer({[&](HWND box) { return shown = GetTickCount64(), DialogAnswerer::Press(IDOK)(box); }}, 20000);
            const ULONGLONG start = GetTickCount64();
            w.Click(frmMain::IdcmdProceed);
            EXPECT_TRUE(testenv::PumpUntil([&] { return answer.Answered() == 1 && !w.form.Busy(); }, 20000));
            probing = false;
            probe.join();
            EXPECT_EQ(answer.One(), L"Pellamy: Process failed in signaled state or time-out.");
            EXPECT_TRUE(shown - start >= 9900 && shown - start < 11000) << name << " " << shown - start;
            EXPECT_LT(longest, 100u) << name;
            std::printf("%ls: time-out message after %llu ms, longest round trip %llu ms\n", name, shown - start, longest);
        }
        EXPECT_EQ(w.form.LastResult, static_cast<int32_t>(WAIT_TIMEOUT));
        EXPECT_FALSE(kit::FixtureKeyExists(name));
        if (perUser) {
            w.Menu(frmMain::mnuoperationsBase + 3);  // unchecked: a plain run
            EXPECT_EQ(w.Run(server), L"Process completed");
            EXPECT_EQ(kit::ComServerKeysIn(HKEY_CURRENT_USER), 0);
            EXPECT_GT(kit::ComServerKeysIn(HKEY_LOCAL_MACHINE), 0);
            EXPECT_EQ(w.Run(server, false), L"Process completed");
        }
        EXPECT_TRUE(testenv::PumpUntil([&] { return kit::FixtureKeyExists(name); }, 6000)) << name;
        kit::DeleteFixtureKey(name);
        SetEnvironmentVariableW(msVar, L"100");
        EXPECT_EQ(w.Run(dll), L"Process completed");
        EXPECT_TRUE(kit::FixtureKeyExists(name));
        kit::DeleteFixtureKey(name);
        SetEnvironmentVariableW(msVar, nullptr);
    }
}

}  // namespace
