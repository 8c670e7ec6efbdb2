// The registration window and the program seen from outside: validation, the confirm state, version
// display, runs against the fixture modules (registry effects, every message, crashes, another
// processor's modules, the libraries beside a module, time-outs), planted libraries, the resource
// enumerator, the Open dialog, a dropped file, the current user's classes and the export; the program
// started by a script (one start per row): exit statuses, each switch's calls, the box without /s.
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <thread>
#include <tuple>

#include "AppInfo.h"
#include "DialogAnswerer.h"
#include "ErrRecord.h"
#include "PellamyTestKit.h"
#include "RegFile.h"
#include "RegistrationModes.h"
#include "RegistrationRunner.h"
#include "RegistryTree.h"
#include "SafeSave.h"
#include "SystemLibraries.h"
#include "cResources.h"
#include "mFileOpenSave.h"
#include "mResource.h"

using namespace pellamy;
using kit::Fixture;
using kit::Window;

namespace {

const std::wstring kNoVersion = L"(No Product Version available for this file)";
const std::wstring kRegisterInfo = L"Company Name:  Pellamy Test Fixtures\r\nProduct Version:  2.5.0.7";

// Blank, missing, folder and locked paths are refused by Register and Un - Register alike and nothing
// changes. Version values are found through the block's translation table (UTF-16 keys), whatever
// language and code page; a relative path is taken from the current folder.
TEST(PellamyWindow, RefusedPathsAndVersionBlocksOfEveryShape) {
    Window w;
    testenv::TempDir dir;
    const std::wstring locked = dir / L"locked.ocx";
    raii::File lock(CreateFileW(locked.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    kit::CurrentDir in(testenv::BinDir() + L"\\fixtures");
    const struct {
        std::wstring path;
        const wchar_t* refused;  // the message, or null: the version shown
        std::wstring info;
    } cases[] = {
        {L"    ", L"No path and filename yet"}, {dir / L"missing.ocx", L"File not found"}, {dir.Path(), L"File not found"},
        {locked, L"File not found"},  // not readable
        {L"fx_regonly.dll", nullptr, L"Company Name:  Testfirma GmbH\r\nProduct Version:  4.0.0.1"},  // German, 1252
        {L"fx_oldversion.dll", nullptr, L"Company Name:  M\u00fcller Werkzeuge\r\nProduct Version:  3.1.0.5"},  // 8-bit, 1252
        {L"fx_noentry.dll", nullptr, kNoVersion},  // no block
        {L"fx_typelib.tlb", nullptr, L"Type Library:  PellamyTestLib 2.5\r\nGUID:  {6A1E5C2B-7D3F-4E8A-9B10-2C4D5E6F7A91}"},
        {L"notadll.dll", nullptr, kNoVersion}};
    for (const auto& c : cases) {
        w.SetPath(c.path);
        w.Click(frmMain::IdcmdRegister);
        if (c.refused) {
            EXPECT_EQ(w.TakeOne(), c.refused) << c.path;
            w.Menu(frmMain::mnuoperationsBase + 1);
            EXPECT_EQ(w.TakeOne(), c.refused) << c.path;
            EXPECT_TRUE(w.Idle() && w.form.RegisterChosen + w.form.UnregisterChosen == 0) << c.path;
            continue;
        }
        EXPECT_EQ(w.Info(), c.info) << c.path;
        EXPECT_EQ(w.Verify(), c.info != kNoVersion) << c.path;
        w.Click(frmMain::IdcmdCancel);
    }
    EXPECT_TRUE(w.boxes.empty());
}

TEST(PellamyWindow, ConfirmStateTransitionsByButtonsMenusAndEdits) {
    Window w;
    frmMain& f = w.form;
    w.SetPath(L"\"" + Fixture(L"fx_register.dll") + L"\"");  // quoted, as "Copy as path" gives
    w.Click(frmMain::IdcmdRegister);
    EXPECT_TRUE(w.Confirm());
    EXPECT_EQ(f.RegisterChosen, -1);
    EXPECT_TRUE(w.Verify());
    EXPECT_EQ(w.Info(), kRegisterInfo);
    // Operations > Un - Register while confirming: validates again, switches the choice, keeps the labels.
    w.Menu(frmMain::mnuoperationsBase + 1);
    EXPECT_TRUE(w.Confirm());
    EXPECT_EQ(f.UnregisterChosen, -1);
    EXPECT_EQ(f.RegisterChosen, 0);
    EXPECT_EQ(w.Info(), kRegisterInfo);
    w.SetPath(Fixture(L"fx_noentry.dll"));  // a change of the path clears the labels, leaves the buttons
    EXPECT_EQ(w.Info(), L"");
    EXPECT_FALSE(w.Verify());
    EXPECT_TRUE(w.Confirm());
    w.Click(frmMain::IdcmdCancel);
    EXPECT_TRUE(w.Idle());
    w.Click(frmMain::IdcmdUnregister);  // shows no version
    EXPECT_TRUE(w.Confirm());
    EXPECT_EQ(w.Info(), L"");
    w.Click(frmMain::IdcmdCancel);
    EXPECT_TRUE(w.boxes.empty());
    w.Click(frmMain::IdcmdExit);
    EXPECT_FALSE(f.IsLoaded());
}

// A copy of the program in a folder holding libraries named like system ones (a downloads folder),
// started there with a module on its command line: none of them is loaded, neither at start nor
// when the version library is first used.
TEST(PellamyProgram, LibrariesPlantedBesideTheProgramAreNotLoaded) {
    const std::wstring exeName = sizeof(void*) == 8 ? L"Pellamy64.exe" : L"Pellamy.exe";
    testenv::TempDir dir;
    ASSERT_TRUE(CopyFileW((testenv::BinDir() + L"\\" + exeName).c_str(), (dir / exeName).c_str(), FALSE));
    const wchar_t* planted[] = {L"version.dll", L"comctl32.dll", L"uxtheme.dll", L"msftedit.dll"};
    for (const wchar_t* name : planted) ASSERT_TRUE(CopyFileW(Fixture(L"fx_planted.dll").c_str(), (dir / name).c_str(), FALSE));
    kit::Program p(L"\"" + Fixture(L"fx_register.dll") + L"\"", dir / exeName, dir.Path().c_str());
    HWND main = p.Window(L"PellamyMain", nullptr, 15000);
    ASSERT_NE(main, nullptr);
    // Register shows the version of the module named on the command line: the real version library read it.
    PostMessageW(GetDlgItem(main, frmMain::IdcmdRegister), BM_CLICK, 0, 0);
    std::wstring info;
    testenv::PumpUntil([&] { return !(info = WindowText(GetDlgItem(main, frmMain::IdlblFileInfo))).empty(); }, 5000);
    EXPECT_EQ(info, kRegisterInfo);
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(p.Wait(10000), 0);
    for (const wchar_t* name : planted) EXPECT_FALSE(testenv::Exists(dir / (std::wstring(name) + L".loaded"))) << name;
    // The loader of system libraries looks in the system folder only, not beside this test program.
    const std::wstring beside = testenv::BinDir() + L"\\fx_probe.dll";
    ASSERT_TRUE(CopyFileW(Fixture(L"fx_planted.dll").c_str(), beside.c_str(), FALSE));
    EXPECT_FALSE(raii::Module(syslib::LoadSystemLibrary(L"fx_probe.dll")));
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(raii::Module(syslib::LoadSystemLibrary(L"version.dll")).get(), path, MAX_PATH);
    EXPECT_EQ(_wcsnicmp(path, (testenv::SystemFolder() + L"\\").c_str(), testenv::SystemFolder().size() + 1), 0) << path;
    DeleteFileW(beside.c_str());
    DeleteFileW((beside + L".loaded").c_str());
}

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
// system's reason, which names the file where it has a place for it (no "%1" reaches the user).
TEST_F(PellamyRunner, FailuresMissingEntryPointsUnloadableFilesAndOtherProcessors) {
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
    // A module for a processor neither build runs on (read from the machine field) is named. (One of
    // the other bitness runs in the other build, or is named when that is missing: PellamyCommandLineRun.)
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

// "type: name name ..." per type, in enumeration order.
std::vector<std::wstring> Listing(cResources& r) {
    auto show = [](const ResValue& v) {
        return std::holds_alternative<int32_t>(v) ? std::to_wstring(std::get<int32_t>(v)) : L"'" + std::get<std::wstring>(v) + L"'";
    };
    std::vector<std::wstring> out;
    r.GetResourceTypes();
    for (int32_t t = 1; t <= r.ResourceTypeCount(); ++t) {
        r.GetResourceNames(t);
        std::wstring line = show(r.ResourceType(t)) + L":";
        for (int32_t n = 1; n <= r.ResourceNameCount(t); ++n) line += L" " + show(r.ResourceName(t, n));
        out.push_back(line);
    }
    return out;
}

// Named types first, then numbered ones ascending (windres upper-cases names); two enumerators on two
// threads each find their own object; modules are released and lists kept.
TEST(PellamyResources, NumberedAndNamedTypesAndNamesOfTheFixture) {
    const std::vector<std::wstring> expected = {L"'MYDATA': 'FIRST' 7", L"3: 1 2 3 4 5", L"6: 1 2", L"10: 'CONFIG' 5",
                                                L"14: 1", L"300: 1"};
    auto work = [](const std::wstring& file, std::vector<std::wstring>* last) {
        for (int i = 0; i < 40; ++i) {
            cResources r;
            r.file(file);
            *last = Listing(r);
        }
    };
    std::vector<std::wstring> a, b;
    std::thread t1(work, Fixture(L"fx_resources.dll"), &a), t2(work, Fixture(L"fx_register.dll"), &b);
    t1.join();
    t2.join();
    EXPECT_EQ(a, expected);
    EXPECT_EQ(b, std::vector<std::wstring>{L"16: 1"});
    cResources r;
    r.file(Fixture(L"fx_resources.dll"));
    Listing(r);
    const int32_t slots = r.Lists().SlotCount();  // names again for a type: the same slot, not a doubled list
    r.GetResourceNames(4);
    EXPECT_EQ(r.ResourceNameCount(4), 2);
    EXPECT_EQ(r.Lists().SlotCount(), slots);
    const auto old = reinterpret_cast<ULONG_PTR>(r.hModule()) & ~static_cast<ULONG_PTR>(3);  // a data file's flag bits
    r.UnloadModule();
    MEMORY_BASIC_INFORMATION mbi{};
    VirtualQuery(reinterpret_cast<void*>(old), &mbi, sizeof(mbi));
    EXPECT_EQ(mbi.State, static_cast<DWORD>(MEM_FREE));
    EXPECT_EQ(r.ResourceTypeCount(), 6);
}

// Failures raise their numbers and the system's text with the file filled in (a file that is not a
// module, or has no resources: the browse test's texts).
TEST(PellamyResources, FailuresRaiseTheirNumbersAndSystemTexts) {
    testenv::TempDir dir;
    cResources r;
    const std::tuple<std::function<void()>, int32_t, DWORD> cases[] = {
        {[&] { r.file(dir / L"missing.ocx"); }, -2147220455, ERROR_FILE_NOT_FOUND},
        {[&] {  // a type the module does not have
             r.file(Fixture(L"fx_resources.dll")), r.GetResourceTypes(), r.AddResourceType(999, L"");
             r.GetResourceNames(r.ResourceTypeCount());
         },
         -2147220454, ERROR_RESOURCE_TYPE_NOT_FOUND},
    };
    for (const auto& [act, number, code] : cases) {
        Err().Clear();
        EXPECT_THROW(act(), VbError) << code;
        EXPECT_EQ(Err().Number, number) << code;
        EXPECT_EQ(Err().Description, SystemErrorText(code, r.file()));
        EXPECT_EQ(Err().Description.find(L'%'), std::wstring::npos) << code;
    }
}

// The programs take long paths: one far past the old 260-character limit comes back whole.
TEST(PellamyOpenDialog, LongPathsComeBackWhole) {
    std::wstring longPath = L"\\\\?\\C:";
    while (longPath.size() < 2000) longPath += L"\\a folder with a long name";
    longPath += L"\\module.ocx";
    modal::ScopedHooks hooks({.openFile = [&](OPENFILENAMEW& o) {
        // As the dialog does with a buffer too small: it fails (FNERR_BUFFERTOOSMALL).
        if (longPath.size() >= o.nMaxFile || wcslen(L"module.ocx") >= o.nMaxFileTitle) return FALSE;
        wcscpy_s(o.lpstrFile, o.nMaxFile, longPath.c_str());
        wcscpy_s(o.lpstrFileTitle, o.nMaxFileTitle, L"module.ocx");
        return TRUE;
    }});
    for (bool multi : {false, true}) {
        std::wstring name, title, filter = L"All|*.*", dir, dlgTitle, ext;
        bool mustExist = false, readOnly = false, hide = false;
        int32_t index = 1, flags = 0;
        HWND owner = NoOwner();
        ASSERT_TRUE(ShowOpenDialog(name, title, mustExist, multi, readOnly, hide, filter, index, dir, dlgTitle, ext,
                                   owner, flags));
        EXPECT_EQ(name, longPath) << multi;
    }
}

// Cancel changes nothing; a chosen module goes into the path box (in the confirm state too, which
// stays); a file that is not one is reported with the system's text and the box keeps its path; a
// dropped module without resources goes into the box and is reported.
TEST(PellamyBrowseDialog, ChooseCancelAndTextFileInTheRealDialog) {
    Window w;
    const std::wstring dll = Fixture(L"fx_resources.dll");
    for (const DialogAnswerer::Action& answer : {DialogAnswerer::TypeFileName(dll), DialogAnswerer::Press(IDCANCEL)}) {
        DialogAnswerer a({answer});
        w.Click(frmMain::IdcmdDialogFileSpec);
    }
    EXPECT_EQ(w.Path(), dll);
    EXPECT_TRUE(w.boxes.empty());
    w.SetPath(Fixture(L"fx_register.dll"));
    w.Click(frmMain::IdcmdRegister);
    for (const std::wstring& answer : {dll, Fixture(L"notadll.dll")}) {
        DialogAnswerer a({DialogAnswerer::TypeFileName(answer)});
        w.Menu(frmMain::mnufileBase + 0);
    }
    EXPECT_EQ(w.TakeOne(), L"Error: " + SystemErrorText(ERROR_BAD_EXE_FORMAT, Fixture(L"notadll.dll")));
    EXPECT_EQ(w.Path(), dll);
    EXPECT_TRUE(w.Confirm());
    EXPECT_EQ(w.Info(), L"");
    w.Click(frmMain::IdcmdCancel);
    const std::wstring dropped = Fixture(L"fx_noentry.dll");
    SendMessageW(w.form.Hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(testenv::DropFiles({dropped})), 0);
    EXPECT_EQ(w.Path(), dropped);
    EXPECT_EQ(w.TakeOne(), L"Error: " + SystemErrorText(ERROR_RESOURCE_DATA_NOT_FOUND, dropped));
}

// Everything the fixture writes, as it reads from the real registry, in the file's format.
std::wstring DumpFixtureKeys() {
    std::vector<RegKeyEntry> all;
    for (const std::wstring k : {L"CLSID\\" FX_CLSID_TEXT, FX_PROGID, L"HKLM"}) {
        const bool machine = k == L"HKLM";
        const std::wstring sub = machine ? FX_MACHINE_KEY : k;
        std::vector<RegKeyEntry> t = ReadKeyTree(machine ? HKEY_LOCAL_MACHINE : HKEY_CLASSES_ROOT, sub,
                                                 (machine ? L"HKEY_LOCAL_MACHINE\\" : L"HKEY_CLASSES_ROOT\\") + sub);
        all.insert(all.end(), t.begin(), t.end());
    }
    return all.empty() ? L"" : RegFileText(all);
}

class PellamyModes : public ::testing::Test {
protected:
    void SetUp() override { kit::RemoveComServerKeys(); }
    void TearDown() override { kit::RemoveComServerKeys(); }
    const std::wstring dll = Fixture(L"fx_comserver.dll");
};

// The check item routes Register and Unregister to the user's classes; the machine's classes stay
// untouched, the key the module wrote under HKLM is named and left out.
TEST_F(PellamyModes, CurrentUserRegistrationLandsInTheUserClassesAndUnregistersAgain) {
    Window w;
    w.Menu(frmMain::mnuoperationsBase + 3);
    EXPECT_TRUE(GetMenuState(GetMenu(w.form.Hwnd()), frmMain::mnuoperationsBase + 3, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_EQ(w.Run(dll), L"Process completed\r\n\r\nRegistered for the current user only (under HKEY_CURRENT_USER\\"
                          L"Software\\Classes).\r\nPrograms running elevated (as administrator) do not see registrations "
                          L"made for the current user.\r\n\r\nThe module also wrote these keys, which could not be written "
                          L"for the current user and were left out:\r\n    HKEY_LOCAL_MACHINE\\" FX_MACHINE_KEY);
    EXPECT_EQ(kit::ComServerKeysIn(HKEY_CURRENT_USER), 2);
    EXPECT_EQ(kit::ComServerKeysIn(HKEY_LOCAL_MACHINE), 0);
    EXPECT_FALSE(kit::KeyExists(HKEY_LOCAL_MACHINE, FX_MACHINE_KEY));
    EXPECT_FALSE(kit::KeyExists(HKEY_CURRENT_USER, L"Software\\Pellamy"));  // no scratch key left behind
    EXPECT_NE(w.Run(dll, false).find(L"Unregistered for the current user only."), std::wstring::npos);
    EXPECT_EQ(kit::ComServerKeysIn(HKEY_CURRENT_USER), 0);
    w.Menu(frmMain::mnuoperationsBase + 3);  // unchecked again: a plain registration
    EXPECT_FALSE(w.form.CurrentUserOnly());
}

// The Export item asks for the file (a cancelled dialog writes nothing and says nothing), changes
// nothing in the registry and shows the summary; the system's registry tool imports the file into
// exactly what a direct registration gives.
TEST_F(PellamyModes, ExportChangesNothingAndImportsAsADirectRegistration) {
    testenv::TempDir dir;
    const std::wstring file = dir / L"fx comserver.reg";
    std::wstring proposed;
    bool cancel = true;
    Window w;
    modal::TestHooks().saveFile = [&](OPENFILENAMEW& ofn) {
        proposed = ofn.lpstrFile;
        return !cancel && wcscpy_s(ofn.lpstrFile, ofn.nMaxFile, file.c_str()) == 0;
    };
    w.SetPath(dll);
    w.Menu(frmMain::mnuoperationsBase + 4);
    EXPECT_EQ(proposed, L"fx_comserver.reg");
    EXPECT_TRUE(w.boxes.empty());
    EXPECT_FALSE(testenv::Exists(file));
    cancel = false;
    w.Menu(frmMain::mnuoperationsBase + 4);
    EXPECT_EQ(w.TakeOne().rfind(L"Registration exported to " + file + L"\r\n\r\nClasses: 1\r\n    Pellamy Test Class\r\n", 0), 0u);
    EXPECT_TRUE(w.Idle());
    EXPECT_EQ(DumpFixtureKeys(), L"");
    EXPECT_FALSE(kit::KeyExists(HKEY_CURRENT_USER, L"Software\\Pellamy"));
    const std::string text = testenv::ReadBytes(file);
    // The disk is full for the next export: the file there was stays as it was.
    safesave::TestFaults().write = [](size_t) -> unsigned long { return ERROR_DISK_FULL; };
    w.Menu(frmMain::mnuoperationsBase + 4);
    EXPECT_EQ(w.TakeOne().rfind(L"Could not write " + file + L"\r\n", 0), 0u);  // written once the child reported
    safesave::TestFaults().write = nullptr;
    modal::TestHooks().saveFile = nullptr;
    EXPECT_EQ(testenv::ReadBytes(file), text);
    EXPECT_EQ(text.find(std::string("S\0o\0f\0t\0w\0a\0r\0e\0\\\0C\0l\0a\0s\0s\0e\0s", 31)), std::string::npos);  // folded

    ASSERT_EQ(kit::Program(L"import \"" + file + L"\"", testenv::SystemFolder() + L"\\reg.exe").Wait(), 0);
    const std::wstring imported = DumpFixtureKeys();
    kit::RemoveComServerKeys();
    ASSERT_EQ(RegistrationRunner(dll, EntryPoint::Register).Run().outcome, RunOutcome::Completed);
    const std::wstring direct = DumpFixtureKeys();
    EXPECT_EQ(RegistrationRunner(dll, EntryPoint::Unregister).Run().outcome, RunOutcome::Completed);
    EXPECT_NE(direct.find(L"\"Big\"=hex(b):ef,cd,ab,89,67,45,23,01"), std::wstring::npos) << direct;
    EXPECT_EQ(imported, direct);
}

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
        ASSERT_NE(p.Id(), 0u) << r.args << ": not started, error " << p.StartError();
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
// within 1 s throughout (a window held by the run would stall for seconds; a busy machine delays a
// round trip by a few hundred ms), the real box says so within 11 s of Proceed, and the child is not
// ended: it registers when the module returns. The next run works. A per-user run given up on keeps its redirection in its own child: a plain run in the
// same window right after it is plain.
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
        std::atomic<bool> probing{true}, probed{false};
        std::thread probe([&] {
            while (probing) {
                const ULONGLONG sent = GetTickCount64();
                DWORD_PTR r = 0;
                const bool answered = SendMessageTimeoutW(w.form.Hwnd(), WM_NULL, 0, 0, SMTO_NORMAL, 2000, &r);
                longest = std::max(longest, answered ? GetTickCount64() - sent : 2000);
                Sleep(10);
            }
            probed = true;
        });
        {
            modal::ScopedHooks realBoxes({});
            DialogAnswerer answer({[&](HWND box) { return shown = GetTickCount64(), DialogAnswerer::Press(IDOK)(box); }}, 20000);
            const ULONGLONG start = GetTickCount64();
            w.Click(frmMain::IdcmdProceed);
            EXPECT_TRUE(testenv::PumpUntil([&] { return answer.Answered() == 1 && !w.form.Busy(); }, 20000));
            probing = false;  // pumped until the probe ends: its last message may still be on its way
            testenv::PumpUntil([&] { return probed.load(); }, 5000);
            probe.join();
            EXPECT_EQ(answer.One(), L"Pellamy: Process failed in signaled state or time-out.");
            EXPECT_TRUE(shown - start >= 9900 && shown - start < 11000) << name << " " << shown - start;
            EXPECT_LT(longest, 1000u) << name;
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
