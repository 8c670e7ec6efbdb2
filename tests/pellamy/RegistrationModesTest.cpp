// Registration for the current user and the export into a .reg file, through the window, against a
// fixture COM server (a class, a ProgID, values of every common type, a key under HKLM).
#include <gtest/gtest.h>

#include <windows.h>

#include "../fixtures/fixture_comserver.h"
#include "PellamyTestKit.h"
#include "RegFile.h"
#include "RegistrationModes.h"
#include "RegistryTree.h"
#include "SafeSave.h"
#include "TestEnv.h"

using namespace pellamy;
using kit::Fixture;
using kit::Window;

namespace {

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

}  // namespace
