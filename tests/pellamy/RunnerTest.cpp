// Registration runs against the fixture modules through the window: registry effects, every
// message, the hourglass, crashes, other-bitness modules and the libraries beside a module.
#include <gtest/gtest.h>

#include <windows.h>

#include "PellamyTestKit.h"
#include "Raii.h"
#include "SystemLibraries.h"
#include "TestEnv.h"

using kit::Fixture;
using kit::Window;

namespace {

const std::wstring kLoadFailed = L"Failure loading control DLL\r\n";

bool StartsWith(const std::wstring& text, const std::wstring& start) { return text.rfind(start, 0) == 0; }

class PellamyRunner : public ::testing::Test {
protected:
    void SetUp() override {
        for (const wchar_t* n : {L"fx_register", L"fx_usesdep", L"fx_loadsdep"}) kit::DeleteFixtureKey(n);
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
    w.form.RunRegistration(dll, L"x");  // an unknown command loads nothing
    EXPECT_EQ(w.TakeOne(), L"Unknown command handle");
    EXPECT_FALSE(kit::IsLoaded(dll));
}

// A failure status gives its code, the system's text and the advice; files that do not load give the
// system's reason, which names the file where it has a place for it (no "%1" reaches the user).
TEST_F(PellamyRunner, FailuresMissingEntryPointsAndUnloadableFiles) {
    Window w;
    const std::wstring failed = Run(w, Fixture(L"fx_fail.dll"), true);
    EXPECT_TRUE(StartsWith(failed, L"Process failed: the entry point returned 0x80070005.\r\n")) << failed;
    const size_t reason = failed.find(L"\r\n"), advice = failed.find(L"\r\nRun Pellamy as administrator");
    EXPECT_TRUE(advice != std::wstring::npos && advice > reason + 2) << failed;  // the system's reason between
    EXPECT_EQ(Run(w, Fixture(L"fx_noentry.dll"), true), L"Process failed in obtaining entry point or creating thread.");
    EXPECT_FALSE(kit::IsLoaded(Fixture(L"fx_noentry.dll")));
    testenv::TempDir dir;
    const std::wstring textFile = dir / L".dll";
    ASSERT_TRUE(testenv::WriteBytes(textFile, "This is a text file, not a module.\r\n"));
    const std::wstring proceed = Run(w, textFile, true);
    w.form.AcceptChosenFile(textFile);  // as browsing to it or dropping it does
    const std::wstring browse = w.TakeOne();
    for (const std::wstring& t : {proceed, browse}) {
        EXPECT_EQ(t.find(L'%'), std::wstring::npos) << t;
        EXPECT_NE(t.find(textFile), std::wstring::npos) << t;
    }
    EXPECT_TRUE(StartsWith(proceed, kLoadFailed)) << proceed;
    EXPECT_TRUE(StartsWith(browse, L"Error: ")) << browse;
}

// A module of the other bitness is named and the other build offered when it is there; a module for
// a processor neither build runs on (read from the machine field) is named, and no build offered.
TEST_F(PellamyRunner, ModuleOfTheOtherBitnessOrProcessorIsNamed) {
    Window w;
    testenv::TempDir dir;
    w.form.SetOtherBuildFolder(dir.Path());
    const std::wstring other = Fixture(L"fx_other.dll"), build = sizeof(void*) == 8 ? L"Pellamy.exe" : L"Pellamy64.exe";
    const std::wstring named = sizeof(void*) == 8 ? L"This is a 32-bit module" : L"This is a 64-bit module";
    const std::wstring alone = Run(w, other, true);
    EXPECT_TRUE(StartsWith(alone, kLoadFailed + named)) << alone;
    EXPECT_EQ(alone.find(L"Open it in"), std::wstring::npos) << alone;
    ASSERT_TRUE(testenv::WriteBytes(dir / build, "MZ"));
    w.answer = IDYES;  // asked; Yes with a file that cannot start says so
    w.form.RunRegistration(other, L"");
    ASSERT_EQ(w.boxes.size(), 2u);
    EXPECT_NE(w.boxes[0].text.find(L"Open it in " + build + L"?"), std::wstring::npos);
    EXPECT_EQ(w.boxes[0].flags, static_cast<UINT>(MB_YESNO));
    EXPECT_FALSE(w.boxes[1].text.empty());
    w.boxes.clear();
    EXPECT_FALSE(kit::FixtureKeyExists(L"fx_other"));
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
        memcpy(&image[0x84], &c.machine, 2);
        memcpy(&image[0x98], &c.magic, 2);
        const std::wstring path = dir / (std::wstring(c.name) + L".dll");
        ASSERT_TRUE(testenv::WriteBytes(path, image));
        EXPECT_EQ(Run(w, path, true), kLoadFailed + L"This module is for another processor (" + c.name + L").");
    }
}

TEST_F(PellamyRunner, CrashInTheEntryPointEndsOnlyThatRun) {
    Window w;
    const std::wstring dll = Fixture(L"fx_crash.dll");
    EXPECT_EQ(Run(w, dll, true), L"Process failed: the entry point stopped with exception 0xC0000005 (access violation).");
    EXPECT_FALSE(kit::IsLoaded(dll));
    // A stack overflow ends the run as well (as an exception, or with the thread ended by the system).
    const std::wstring overflow = Run(w, Fixture(L"fx_overflow.dll"), true);
    EXPECT_TRUE(StartsWith(overflow, L"Process failed: the entry point stopped with exception 0xC00000FD") ||
                StartsWith(overflow, L"Process failed: the entry point ended its thread with code "))
        << overflow;
    // So does an entry point that ends its own thread: not taken for success.
    EXPECT_EQ(Run(w, Fixture(L"fx_exitthread.dll"), true),
              L"Process failed: the entry point ended its thread with code 0x00000003.");
    EXPECT_EQ(Run(w, Fixture(L"fx_register.dll"), true), L"Process completed");  // the runner still works
}

// A module's imports come from its own folder, not the current one. The process searches only the
// system folder and added folders for libraries loaded by name; a module's own loads by name during
// its run find the libraries beside it, and only then.
TEST_F(PellamyRunner, LibrariesTheModuleLoadsByNameComeFromItsFolderDuringTheRun) {
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
    EXPECT_TRUE(StartsWith(text, kLoadFailed)) << text;
    EXPECT_EQ(Run(w, withDep / L"fx_usesdep.dll", true), L"Process completed");  // beside the module: found
    SetCurrentDirectoryW(old);
    EXPECT_EQ(kit::ReadDword(L"fx_usesdep", L"Dep").value_or(0), 42u);
    EXPECT_FALSE(kit::IsLoaded(withDep / L"fx_dep.dll"));
    syslib::RestrictLibrarySearch();  // as Pellamy does at start-up
    EXPECT_EQ(Run(w, Fixture(L"fx_loadsdep.dll"), true), L"Process completed");
    EXPECT_TRUE(kit::FixtureKeyExists(L"fx_loadsdep"));
    EXPECT_FALSE(kit::IsLoaded(Fixture(L"fx_dep.dll")));
    raii::Module after(LoadLibraryW(L"fx_dep.dll"));  // the folder left the search with the run
    EXPECT_FALSE(after);
}

}  // namespace
