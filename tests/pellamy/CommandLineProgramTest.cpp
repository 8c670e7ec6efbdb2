// Pellamy started by a script: exit statuses, the calls each switch makes, several files, bad
// switches, the hung entry point, and the message box shown without /s. Each row starts the program
// once. And a module that outlives the 10 s wait in the window: the window is usable at once, the
// module stays loaded while the worker runs and is released when it ends, the next run works.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>

#include "../fixtures/fixture_comserver.h"
#include "DialogAnswerer.h"
#include "PellamyTestKit.h"
#include "TestEnv.h"

using kit::Fixture;

namespace {

std::wstring Quoted(const std::wstring& s) { return L"\"" + s + L"\""; }
std::wstring Dll(const wchar_t* name) { return Quoted(Fixture(name)); }

// A .reg file's lines read back by a parser of this test's own: a key line as its key, a value line
// as "key : name", anything else as "?" and the line.
std::vector<std::wstring> ReadBack(const std::wstring& file) {
    const std::string b = testenv::ReadBytes(file);
    std::wstring text, key;
    for (size_t i = 2; i + 1 < b.size(); i += 2)
        text += static_cast<wchar_t>(static_cast<unsigned char>(b[i]) | (static_cast<unsigned char>(b[i + 1]) << 8));
    std::vector<std::wstring> out;
    for (size_t at = text.find(L"\r\n\r\n") + 4, end; (end = text.find(L"\r\n", at)) != std::wstring::npos; at = end + 2) {
        const std::wstring line = text.substr(at, end - at);
        std::wstring name;
        size_t i = 1;
        if (!line.empty() && line[0] == L'"')
            for (; i < line.size() && line[i] != L'"'; ++i) name += line[i] == L'\\' && i + 1 < line.size() ? line[++i] : line[i];
        if (line.empty()) continue;
        if (line.front() == L'[' && line.back() == L']') out.push_back(key = line.substr(1, line.size() - 2));
        else if (line.rfind(L"@=", 0) == 0 || (line[0] == L'"' && line.compare(i, 2, L"\"=") == 0)) out.push_back(key + L" : " + name);
        else out.push_back(L"?" + line);
    }
    return out;
}

class PellamyCommandLineRun : public ::testing::Test {
protected:
    void SetUp() override {
        for (const wchar_t* n : {L"fx_register", L"fx_hang"}) kit::DeleteFixtureKey(n);
        kit::TakeInstallLog();
        kit::RemoveComServerKeys();
    }
    void TearDown() override { SetUp(); }
};

// A hung entry point ends the run at the limit, without waiting for the worker; /user and /export
// run in their modes and never touch the machine's classes.
TEST_F(PellamyCommandLineRun, EachOutcomeGivesItsExitStatus) {
    testenv::TempDir dir;
    ASSERT_TRUE(testenv::WriteBytes(dir / L"text.dll", "This is a text file, not a module.\r\n"));
    const std::wstring reg = dir / L"out.reg", server = Dll(L"fx_comserver.dll");
    auto registered = [] { return kit::FixtureKeyExists(L"fx_register"); };
    auto notRegistered = [] { return !kit::FixtureKeyExists(L"fx_register"); };
    auto logged = [](const wchar_t* log) { return [log] { return kit::TakeInstallLog() == log; }; };
    auto userKeys = [](int n) { return [n] { return kit::ComServerKeysIn(HKEY_CURRENT_USER) == n; }; };
    const struct {
        std::wstring args;
        long status;
        std::function<bool()> after;  // what the registry holds afterwards
    } rows[] = {
        {L"/s " + Dll(L"fx_register.dll"), 0, registered},
        {L"-S -U " + Dll(L"fx_register.dll"), 0, notRegistered},  // /u removes what /s wrote
        {L"/s " + Dll(L"fx_fail.dll"), 5, {}},
        {L"/s /u " + Dll(L"fx_regonly.dll"), 4, {}},
        {L"/s /i " + Dll(L"fx_register.dll"), 4, notRegistered},  // no DllInstall: nothing runs
        {L"/s " + Quoted(dir / L"text.dll"), 3, {}},
        {L"/s " + Quoted(dir / L"missing.dll"), 3, {}},
        {L"/s " + Dll(L"fx_crash.dll"), 7, {}},
        {L"/s " + Dll(L"fx_exitthread.dll"), 7, {}},
        {L"/s " + Dll(L"fx_other.dll"), 8, {}},
        {L"/s " + Dll(L"fx_hang.dll"), 6, {}},
        // In order, on past a failure; the first failure decides.
        {L"/s " + Dll(L"fx_noentry.dll") + L" " + Dll(L"fx_register.dll") + L" " + Dll(L"fx_fail.dll"), 4, registered},
        {L"/s /x " + Dll(L"fx_register.dll"), 1, notRegistered},
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
        // Names with line breaks are left out: every line comes from a key or value the module wrote.
        {L"/s /export:" + Quoted(reg) + L" " + Dll(L"fx_oddnames.dll"), 5, [&] {
             const std::wstring odd = L"HKEY_CLASSES_ROOT\\" FX_ODD_KEY, tab = odd + L"\\Tab\there]";
             return ReadBack(reg) == std::vector<std::wstring>{odd, odd + L" : Plain", tab, tab + L" : Quote\"\\"};
         }},
        // A file that cannot be written: the run went well, the export did not.
        {L"/s /export:" + Quoted(dir / L"no such folder\\out.reg") + L" " + server, 5, userKeys(0)},
    };
    for (const auto& r : rows) {
        kit::DeleteFixtureKey(L"fx_register");
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
}

// Without /s the outcome is shown in a message box, and the main window never opens.
TEST_F(PellamyCommandLineRun, WithoutSilenceTheOutcomeIsShownInAMessageBox) {
    const std::pair<std::wstring, long> rows[] = {{L"/u " + Dll(L"fx_register.dll"), 0},
                                                  {L"/q " + Dll(L"fx_register.dll"), 1}};
    for (const auto& [args, status] : rows) {
        kit::Program p(args);
        {
            DialogAnswerer answer({DialogAnswerer::Press(IDOK)}, 15000, p.Id());
            testenv::PumpUntil([&] { return answer.Answered() == 1; }, 15000);
            const std::vector<SeenDialog> seen = answer.Seen();
            ASSERT_EQ(seen.size(), 1u) << args;
            EXPECT_EQ(seen[0].title, L"Pellamy");
            EXPECT_EQ(seen[0].text.rfind(status ? L"The switch /q is not known." : L"Process completed", 0), 0u);
            HWND main = FindWindowExW(nullptr, nullptr, L"PellamyMain", nullptr);
            DWORD owner = 0;
            if (main) GetWindowThreadProcessId(main, &owner);
            EXPECT_NE(owner, p.Id()) << "the window opened";
        }
        EXPECT_EQ(p.Wait(), status) << args;
    }
}

// Runs `name` with its entry point (inEntry) or its start-up code held for `msVar` ms. A held entry
// point still completes the registration when it ends; held start-up code holds the loader, so the
// module is not asked about while it runs, and the abandoned registration is not run.
void CutOffAtTheLimit(const wchar_t* msVar, const std::wstring& name, bool inEntry) {
    kit::DeleteFixtureKey(name);
    SetEnvironmentVariableW(msVar, L"13000");
    const std::wstring dll = kit::Fixture(name + L".dll");
    kit::Window w;
    bool loadedAtMessage = false;
    modal::ScopedHooks hooks({.msgBox = [&](const modal::MsgBoxCall& c) {
        w.boxes.push_back({c.text, c.title, c.flags, w.form.MousePointer()});
        loadedAtMessage = inEntry && kit::IsLoaded(dll);
        return IDOK;
    }});
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(w.Run(dll), L"Process failed in signaled state or time-out.");  // usable again at once
    const ULONGLONG waited = GetTickCount64() - start;
    EXPECT_TRUE(waited >= 9900 && waited < 12500) << waited;
    EXPECT_EQ(loadedAtMessage, inEntry);
    EXPECT_EQ(w.form.LastResult, static_cast<int32_t>(WAIT_TIMEOUT));
    EXPECT_FALSE(kit::FixtureKeyExists(name));
    EXPECT_TRUE(testenv::PumpUntil([&] { return !kit::IsLoaded(dll); }, 8000));  // released when it ends
    EXPECT_EQ(kit::FixtureKeyExists(name), inEntry);
    kit::DeleteFixtureKey(name);
    SetEnvironmentVariableW(msVar, L"100");  // a second run on the same file
    EXPECT_EQ(w.Run(dll), L"Process completed");
    EXPECT_TRUE(kit::FixtureKeyExists(name));
    EXPECT_FALSE(kit::IsLoaded(dll));
    kit::DeleteFixtureKey(name);
    SetEnvironmentVariableW(msVar, nullptr);
}

TEST(PellamyTimeout, WorkerPastTheWaitIsReleasedWhenItEnds) { CutOffAtTheLimit(L"PELLAMY_FX_HANG_MS", L"fx_hang", true); }

// A module whose start-up code hangs holds the window no longer than an entry point may.
TEST(PellamyTimeout, SlowStartUpCodeIsCutOffAtTheSameLimit) {
    CutOffAtTheLimit(L"PELLAMY_FX_MAIN_MS", L"fx_slowmain", false);
}

// A per-user run or an export given up on keeps the registry redirected until its module returns:
// until then the window refuses every run (a plain Register would land in that redirection), and
// says why and until when; once the module has returned, a plain run is plain again.
TEST(PellamyTimeout, NoRunWhileARunGivenUpOnHoldsTheRegistryRedirected) {
    testenv::TempDir dir;
    const std::wstring hang = Fixture(L"fx_hang.dll"), server = Fixture(L"fx_comserver.dll");
    SetEnvironmentVariableW(L"PELLAMY_FX_HANG_MS", L"11500");
    for (const int item : {3, 4}) {  // Register for Current User Only, Export Registration...
        kit::Window w;
        modal::TestHooks().saveFile = [&](OPENFILENAMEW& o) { return wcscpy_s(o.lpstrFile, o.nMaxFile, (dir / L"x.reg").c_str()) == 0; };
        w.SetPath(hang);
        w.Menu(frmMain::mnuoperationsBase + item);
        EXPECT_EQ(item == 3 ? w.Run(hang) : w.TakeOne(), L"Process failed in signaled state or time-out.");
        if (item == 3) w.Menu(frmMain::mnuoperationsBase + 3);  // unchecked: a plain run
        EXPECT_EQ(w.Run(server).rfind(L"An earlier run for the current user or export that timed out", 0), 0u) << item;
        EXPECT_EQ(kit::ComServerKeysIn(HKEY_CURRENT_USER), 0) << item;
        EXPECT_TRUE(testenv::PumpUntil([&] { return !kit::IsLoaded(hang); }, 8000));
        EXPECT_EQ(w.Run(server, false), L"Process completed") << item;
    }
    SetEnvironmentVariableW(L"PELLAMY_FX_HANG_MS", nullptr);
    kit::DeleteFixtureKey(L"fx_hang");
}

}  // namespace
