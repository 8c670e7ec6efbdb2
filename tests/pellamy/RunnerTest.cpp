// The self-registration runner against the fixture modules: registry effects, every message,
// the hourglass, crashes, other-bitness modules, dependencies, and Wine's regsvr32 as a yardstick.
#include <gtest/gtest.h>

#include <windows.h>

#include "PeHeader.h"
#include "ResultTexts.h"
#include "PellamyTestKit.h"
#include "Raii.h"
#include "SystemLibraries.h"
#include "TestEnv.h"
#include "Texts.h"
#include "basFindWindows.h"

using kit::Fixture;
using kit::Window;

namespace {

const std::wstring kOtherBuild = sizeof(void*) == 8 ? L"Pellamy.exe" : L"Pellamy64.exe";

class PellamyRunner : public ::testing::Test {
protected:
    void SetUp() override {
        for (const wchar_t* n : {L"fx_register", L"fx_hang", L"fx_crash", L"fx_regonly", L"fx_usesdep", L"fx_loadsdep"})
            kit::DeleteFixtureKey(n);
        // The fixtures' entry points run long only when asked.
        SetEnvironmentVariableW(L"PELLAMY_FX_HANG_MS", L"50");
    }
    void TearDown() override { SetUp(); }

    // Register or unregister through the window's buttons; returns the one message shown.
    std::wstring Run(Window& w, const std::wstring& path, bool reg) {
        w.SetPath(path);
        w.Click(reg ? frmMain::cmdRegister : frmMain::cmdUnregister);
        EXPECT_TRUE(w.Confirm());
        w.Click(frmMain::cmdProceed);
        EXPECT_TRUE(w.Idle());
        return w.TakeOne();
    }
};

TEST_F(PellamyRunner, RegisterAndUnregisterWriteAndRemoveTheKeyOnAnOleWorker) {
    Window w;
    const std::wstring dll = Fixture(L"fx_register.dll");
    EXPECT_EQ(Run(w, dll, true), L"Process completed");
    EXPECT_EQ(kit::ReadString(L"fx_register", L"Server").value_or(L""), dll);
    EXPECT_NE(kit::ReadDword(L"fx_register", L"Thread").value_or(0), GetCurrentThreadId());
    EXPECT_EQ(kit::ReadDword(L"fx_register", L"ComReady").value_or(0), 1u);  // OLE was initialised for it
    EXPECT_EQ(w.Info(), L"");  // after Register + Proceed the labels are cleared
    EXPECT_FALSE(kit::IsLoaded(dll));  // released after the run
    EXPECT_EQ(Run(w, dll, false), L"Process completed");
    EXPECT_FALSE(kit::FixtureKeyExists(L"fx_register"));
    // The command table: "" and "U"/"u" only; anything else releases the module.
    for (const wchar_t* bad : {L"x", L"uu", L"U "}) {
        w.form.RunRegistration(dll, bad);
        EXPECT_EQ(w.TakeOne(), L"Unknown command handle") << bad;
        EXPECT_FALSE(kit::IsLoaded(dll));
    }
    EXPECT_FALSE(kit::FixtureKeyExists(L"fx_register"));
    w.form.RunRegistration(dll, L"");
    EXPECT_EQ(w.TakeOne(), L"Process completed");
    w.form.RunRegistration(dll, L"U");
    EXPECT_EQ(w.TakeOne(), L"Process completed");
    EXPECT_FALSE(kit::FixtureKeyExists(L"fx_register"));
}

TEST_F(PellamyRunner, FailuresMissingEntryPointsAndUnloadableFiles) {
    Window w;
    // A failure status: its code, the system's text and the advice.
    const std::wstring text = Run(w, Fixture(L"fx_fail.dll"), true);
    EXPECT_EQ(text.rfind(L"Process failed: the entry point returned 0x80070005.\r\n", 0), 0u) << text;
    EXPECT_NE(text.find(texts::kRunAsAdmin), std::wstring::npos) << text;
    EXPECT_GT(text.size(), std::wstring(pellamy::EntryFailedText(0x80070005u, L"")).size() + 2);
    EXPECT_EQ(Run(w, Fixture(L"fx_noentry.dll"), true), texts::kNoEntryPoint);
    EXPECT_EQ(Run(w, Fixture(L"fx_regonly.dll"), false), texts::kNoEntryPoint);
    EXPECT_EQ(Run(w, Fixture(L"fx_regonly.dll"), true), L"Process completed");
    EXPECT_FALSE(kit::IsLoaded(Fixture(L"fx_noentry.dll")));
    // A text file and an empty file: the first line stays, the second gives the system's reason.
    testenv::TempDir dir;
    ASSERT_TRUE(testenv::WriteBytes(dir / L"empty.ocx", ""));
    for (const std::wstring& bad : {Fixture(L"notadll.dll"), dir / L"empty.ocx"}) {
        const std::wstring t = Run(w, bad, true);
        EXPECT_EQ(t.rfind(L"Failure loading control DLL\r\n", 0), 0u) << t;
        EXPECT_GT(t.size(), std::wstring(L"Failure loading control DLL\r\n").size());
    }
}

// The system's texts name the file where they have a place for it; no "%1" reaches the user.
TEST_F(PellamyRunner, SystemTextsNameTheFileInsteadOfShowingInserts) {
    testenv::TempDir dir;
    const std::wstring textFile = dir / L".dll";
    ASSERT_TRUE(testenv::WriteBytes(textFile, "This is a text file, not a module.\r\n"));
    Window w;
    const std::wstring proceed = Run(w, textFile, true);
    w.form.AcceptChosenFile(textFile);  // as browsing to it or dropping it does
    const std::wstring browse = w.TakeOne();
    for (const std::wstring& t : {proceed, browse}) {
        EXPECT_EQ(t.find(L'%'), std::wstring::npos) << t;
        EXPECT_NE(t.find(textFile), std::wstring::npos) << t;
    }
    EXPECT_EQ(proceed.rfind(L"Failure loading control DLL\r\n", 0), 0u) << proceed;
    EXPECT_EQ(browse.rfind(L"Error: ", 0), 0u) << browse;
}

TEST_F(PellamyRunner, ModuleOfTheOtherBitnessIsNamedAndTheOtherBuildOffered) {
    Window w;
    testenv::TempDir empty;
    w.form.SetOtherBuildFolder(empty.Path());
    const std::wstring other = Fixture(L"fx_other.dll");
    const pellamy::Bitness b = sizeof(void*) == 8 ? pellamy::Bitness::Bits32 : pellamy::Bitness::Bits64;
    EXPECT_EQ(Run(w, other, true), pellamy::OtherBitnessText(b, false));
    // With the other build beside the program, the message asks; No leaves it there.
    ASSERT_TRUE(testenv::WriteBytes(empty / kOtherBuild, "MZ"));
    w.answer = IDNO;
    w.form.RunRegistration(other, L"");
    ASSERT_EQ(w.boxes.size(), 1u);
    EXPECT_EQ(w.boxes[0].text, pellamy::OtherBitnessText(b, true));
    EXPECT_EQ(w.boxes[0].flags, static_cast<UINT>(MB_YESNO));
    EXPECT_NE(w.boxes[0].text.find(L"Open it in " + kOtherBuild + L"?"), std::wstring::npos);
    w.boxes.clear();
    w.answer = IDYES;  // Yes with a file that cannot start says so
    w.form.RunRegistration(other, L"");
    ASSERT_EQ(w.boxes.size(), 2u);
    EXPECT_EQ(w.boxes[1].text.rfind(std::wstring(texts::kStartOtherFailed), 0), 0u);
    EXPECT_FALSE(kit::FixtureKeyExists(L"fx_other"));
}

// The headers of a module for a processor that neither build runs on: no build is offered.
TEST_F(PellamyRunner, ModuleForAnotherProcessorIsNamedAndNoBuildOffered) {
    Window w;
    testenv::TempDir dir;
    w.form.SetOtherBuildFolder(dir.Path());
    ASSERT_TRUE(testenv::WriteBytes(dir / L"Pellamy.exe", "MZ"));
    ASSERT_TRUE(testenv::WriteBytes(dir / L"Pellamy64.exe", "MZ"));
    const struct {
        uint16_t machine, magic;
        const wchar_t* name;
    } cases[] = {{0xAA64, 0x20B, L"ARM64"}, {0x1C4, 0x10B, L"ARM"}};
    for (const auto& c : cases) {
        std::string image(0x200, '\0');
        image[0] = 'M', image[1] = 'Z', image[0x3C] = static_cast<char>(0x80);
        image[0x80] = 'P', image[0x81] = 'E';
        image[0x84] = static_cast<char>(c.machine & 0xFF), image[0x85] = static_cast<char>(c.machine >> 8);
        image[0x98] = static_cast<char>(c.magic & 0xFF), image[0x99] = static_cast<char>(c.magic >> 8);
        const std::wstring path = dir / (std::wstring(c.name) + L".dll");
        ASSERT_TRUE(testenv::WriteBytes(path, image));
        w.answer = IDYES;
        EXPECT_EQ(Run(w, path, true),
                  std::wstring(L"Failure loading control DLL\r\nThis module is for another processor (") + c.name +
                      L").");
    }
}

TEST_F(PellamyRunner, CrashInTheEntryPointEndsOnlyThatRun) {
    Window w;
    const std::wstring dll = Fixture(L"fx_crash.dll");
    EXPECT_EQ(Run(w, dll, true), pellamy::EntryCrashedText(0xC0000005u));
    EXPECT_FALSE(kit::IsLoaded(dll));
    // A stack overflow ends the run as well (as an exception, or with the thread ended by the system).
    const std::wstring overflow = Run(w, Fixture(L"fx_overflow.dll"), true);
    EXPECT_TRUE(overflow == pellamy::EntryCrashedText(0xC00000FDu) ||
                overflow.rfind(L"Process failed: the entry point ended its thread with code ", 0) == 0)
        << overflow;
    // So does an entry point that ends its own thread.
    EXPECT_EQ(Run(w, Fixture(L"fx_exitthread.dll"), true), pellamy::EntryEndedThreadText(3));
    // The window and the runner still work.
    EXPECT_EQ(Run(w, Fixture(L"fx_register.dll"), true), L"Process completed");
    EXPECT_TRUE(kit::FixtureKeyExists(L"fx_register"));
}

TEST_F(PellamyRunner, DependenciesComeFromTheModulesFolderNotTheCurrentOne) {
    testenv::TempDir withDep, alone, cwd;
    const std::wstring uses = Fixture(L"fx_usesdep.dll"), dep = Fixture(L"fx_dep.dll");
    ASSERT_TRUE(CopyFileW(uses.c_str(), (withDep / L"fx_usesdep.dll").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(dep.c_str(), (withDep / L"fx_dep.dll").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(uses.c_str(), (alone / L"fx_usesdep.dll").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(dep.c_str(), (cwd / L"fx_dep.dll").c_str(), FALSE));
    wchar_t old[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, old);
    SetCurrentDirectoryW(cwd.Path().c_str());
    Window w;
    const std::wstring text = Run(w, alone / L"fx_usesdep.dll", true);  // only in the current folder: not used
    EXPECT_EQ(text.rfind(L"Failure loading control DLL\r\n", 0), 0u) << text;
    EXPECT_EQ(Run(w, withDep / L"fx_usesdep.dll", true), L"Process completed");  // beside the module: found
    SetCurrentDirectoryW(old);
    EXPECT_EQ(kit::ReadDword(L"fx_usesdep", L"Dep").value_or(0), 42u);
    EXPECT_FALSE(kit::IsLoaded(withDep / L"fx_dep.dll"));
}

// The process searches only the system folder and added folders for libraries loaded by name;
// a module's own loads by name during its run find the libraries beside it, and only then.
TEST_F(PellamyRunner, LibrariesTheModuleLoadsByNameComeFromItsFolderDuringTheRun) {
    syslib::RestrictLibrarySearch();  // as Pellamy does at start-up
    Window w;
    EXPECT_EQ(Run(w, Fixture(L"fx_loadsdep.dll"), true), L"Process completed");
    EXPECT_TRUE(kit::FixtureKeyExists(L"fx_loadsdep"));
    EXPECT_FALSE(kit::IsLoaded(Fixture(L"fx_dep.dll")));
    raii::Module after(LoadLibraryW(L"fx_dep.dll"));  // the folder left the search with the run
    EXPECT_FALSE(after);
}

// Wine's regsvr32 on the same module leaves the same registry result.
TEST_F(PellamyRunner, SameRegistryResultAsRegsvr32) {
    Window w;  // loads the system folder
    const std::wstring tool = SystemFolder + L"\\regsvr32.exe";
    const std::wstring dll = Fixture(L"fx_register.dll");
    ASSERT_EQ(kit::RunAndWait(tool, L"/s \"" + dll + L"\""), 0);
    const auto server = kit::ReadString(L"fx_register", L"Server");
    const auto registered = kit::ReadDword(L"fx_register", L"Registered");
    const auto comReady = kit::ReadDword(L"fx_register", L"ComReady");
    ASSERT_TRUE(server);
    kit::DeleteFixtureKey(L"fx_register");
    EXPECT_EQ(Run(w, dll, true), L"Process completed");
    EXPECT_EQ(kit::ReadString(L"fx_register", L"Server"), server);
    EXPECT_EQ(kit::ReadDword(L"fx_register", L"Registered"), registered);
    EXPECT_EQ(kit::ReadDword(L"fx_register", L"ComReady"), comReady);
    // regsvr32 /u undoes what Pellamy did, and both report the failing module.
    EXPECT_EQ(kit::RunAndWait(tool, L"/s /u \"" + dll + L"\""), 0);
    EXPECT_FALSE(kit::FixtureKeyExists(L"fx_register"));
    EXPECT_EQ(kit::RunAndWait(tool, L"/s \"" + Fixture(L"fx_fail.dll") + L"\""), 5);
    EXPECT_EQ(Run(w, Fixture(L"fx_fail.dll"), true).rfind(L"Process failed", 0), 0u);
}

}  // namespace
