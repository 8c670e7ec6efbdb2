// Registration runs against the fixture modules through the window: registry effects, every
// message, crashes, another processor's modules and the libraries beside a module.
#include <gtest/gtest.h>

#include <windows.h>

#include "PellamyTestKit.h"
#include "RegistrationRunner.h"
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
};

TEST_F(PellamyRunner, RegisterAndUnregisterWriteAndRemoveTheKeyOnAnOleWorker) {
    Window w;
    const std::wstring dll = Fixture(L"fx_register.dll");
    EXPECT_EQ(w.Run(dll), L"Process completed");
    EXPECT_EQ(kit::ReadValue(L"fx_register", L"Server"), dll);
    EXPECT_NE(kit::ReadValue(L"fx_register", L"Thread"), std::to_wstring(GetCurrentThreadId()));
    EXPECT_EQ(kit::ReadValue(L"fx_register", L"ComReady"), L"1");  // OLE was initialised for it
    EXPECT_EQ(w.Info(), L"");          // after Register + Proceed the labels are cleared
    EXPECT_FALSE(kit::IsLoaded(dll));  // released after the run
    EXPECT_EQ(w.Run(dll, false), L"Process completed");
    EXPECT_FALSE(kit::FixtureKeyExists(L"fx_register"));
    w.form.RunRegistration(dll, L"x");  // an unknown command loads nothing
    EXPECT_EQ(w.TakeOne(), L"Unknown command handle");
    EXPECT_FALSE(kit::IsLoaded(dll));
}

// A failure status gives its code, the system's text and the advice; files that do not load give the
// system's reason, which names the file where it has a place for it (no "%1" reaches the user); a
// module for a processor neither build runs on (read from the machine field) is named. (One of the
// other bitness runs in the other build, or is named when that is missing: PellamyCommandLineRun.)
TEST_F(PellamyRunner, FailuresMissingEntryPointsAndUnloadableFiles) {
    Window w;
    const std::wstring failed = w.Run(Fixture(L"fx_fail.dll"));
    EXPECT_TRUE(StartsWith(failed, L"Process failed: the entry point returned 0x80070005.\r\n")) << failed;
    const size_t reason = failed.find(L"\r\n"), advice = failed.find(L"\r\nRun Pellamy as administrator");
    EXPECT_TRUE(advice != std::wstring::npos && advice > reason + 2) << failed;  // the system's reason between
    EXPECT_EQ(w.Run(Fixture(L"fx_noentry.dll")), L"Process failed in obtaining entry point or creating thread.");
    EXPECT_FALSE(kit::IsLoaded(Fixture(L"fx_noentry.dll")));
    testenv::TempDir dir;
    const std::wstring textFile = dir / L".dll";
    ASSERT_TRUE(testenv::WriteBytes(textFile, "This is a text file, not a module.\r\n"));
    const std::wstring proceed = w.Run(textFile);
    w.form.AcceptChosenFile(textFile);  // as browsing to it or dropping it does
    const std::wstring browse = w.TakeOne();
    for (const std::wstring& t : {proceed, browse}) {
        EXPECT_EQ(t.find(L'%'), std::wstring::npos) << t;
        EXPECT_NE(t.find(textFile), std::wstring::npos) << t;
    }
    EXPECT_TRUE(StartsWith(proceed, kLoadFailed)) << proceed;
    EXPECT_TRUE(StartsWith(browse, L"Error: ")) << browse;
    std::string image(0x200, '\0');  // an ARM64 image: machine 0xAA64, magic 0x20B
    image[0] = 'M', image[1] = 'Z', image[0x3C] = static_cast<char>(0x80), image[0x80] = 'P', image[0x81] = 'E';
    image[0x84] = static_cast<char>(0x64), image[0x85] = static_cast<char>(0xAA), image[0x98] = 0x0B, image[0x99] = 0x02;
    ASSERT_TRUE(testenv::WriteBytes(dir / L"arm.dll", image));
    EXPECT_EQ(w.Run(dir / L"arm.dll"), kLoadFailed + L"This module is for another processor (ARM64).");
}

// Faults and stack overflows are reported with the exception code; an entry point that ends its own
// thread or process, corrupts the heap or leaves a record cut short or too long is not taken for
// success; the window still works afterwards.
TEST_F(PellamyRunner, CrashInTheEntryPointEndsOnlyThatRun) {
    Window w;
    const std::wstring dll = Fixture(L"fx_crash.dll");
    EXPECT_EQ(w.Run(dll), L"Process failed: the entry point stopped with exception 0xC0000005 (access violation).");
    EXPECT_FALSE(kit::IsLoaded(dll));
    const std::wstring overflow = w.Run(Fixture(L"fx_overflow.dll"));  // as an exception, or the thread ended
    EXPECT_TRUE(StartsWith(overflow, L"Process failed: the entry point stopped with exception 0xC00000FD") ||
                StartsWith(overflow, L"Process failed: the entry point ended its thread with code "))
        << overflow;
    EXPECT_EQ(w.Run(Fixture(L"fx_exitthread.dll")), L"Process failed: the entry point ended its thread with code 0x00000003.");
    const std::wstring ended = L"Process failed: the registration's process ended without reporting, with code ";
    EXPECT_EQ(w.Run(Fixture(L"fx_exitprocess.dll")), ended + L"0x00000003.");
    for (const wchar_t* longRecord : {L"0", L"1"}) {
        SetEnvironmentVariableW(L"PELLAMY_FX_RECORD_LONG", longRecord);
        EXPECT_EQ(w.Run(Fixture(L"fx_record.dll")), ended + L"0x00000000.") << longRecord;
    }
    SetEnvironmentVariableW(L"PELLAMY_FX_RECORD_LONG", nullptr);
    // Windows ends the process on the corruption (0xC0000374); Wine's heap hangs in it: a time-out.
    const std::wstring heap = w.Run(Fixture(L"fx_heap.dll"));
    EXPECT_TRUE(StartsWith(heap, ended) || heap == L"Process failed in signaled state or time-out.") << heap;
    EXPECT_EQ(w.Run(Fixture(L"fx_register.dll")), L"Process completed");
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
    Window w;
    {
        kit::CurrentDir in(cwd.Path());
        EXPECT_TRUE(StartsWith(w.Run(alone / L"fx_usesdep.dll"), kLoadFailed));  // only in the current folder
        EXPECT_EQ(w.Run(withDep / L"fx_usesdep.dll"), L"Process completed");     // beside the module
    }
    EXPECT_EQ(kit::ReadValue(L"fx_usesdep", L"Dep"), L"42");
    EXPECT_FALSE(kit::IsLoaded(withDep / L"fx_dep.dll"));
    syslib::RestrictLibrarySearch();  // as Pellamy does at start-up
    EXPECT_EQ(w.Run(Fixture(L"fx_loadsdep.dll")), L"Process completed");
    EXPECT_TRUE(kit::FixtureKeyExists(L"fx_loadsdep"));
    EXPECT_FALSE(kit::IsLoaded(dep));
    raii::Module after(LoadLibraryW(L"fx_dep.dll"));  // the folder left the search with the run
    EXPECT_FALSE(after);
}

}  // namespace
