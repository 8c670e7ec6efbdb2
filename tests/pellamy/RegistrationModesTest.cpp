// Registration for the current user and the export into a .reg file, against a fixture COM server
// (a class, a ProgID, a type library, values of every common type, a key under HKLM) and against
// one of the system's own servers.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <set>

#include "../fixtures/fixture_comserver.h"
#include "PellamyTestKit.h"
#include "Raii.h"
#include "RegFile.h"
#include "RegistrationModes.h"
#include "RegistryTree.h"
#include "TestEnv.h"

using namespace pellamy;
using kit::Fixture;
using kit::Window;

namespace {

const wchar_t* const kClassKeys[] = {L"CLSID\\" FX_CLSID_TEXT, FX_PROGID, L"TypeLib\\" FX_LIBID_TEXT,
                                     L"Interface\\" FX_IID_TEXT};

bool KeyExists(HKEY root, const std::wstring& path) {
    raii::RegKey key;
    return RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

void RemoveFixtureKeys() {
    for (const wchar_t* k : kClassKeys) {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, (std::wstring(L"Software\\Classes\\") + k).c_str());
        RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(L"Software\\Classes\\") + k).c_str());
    }
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, FX_MACHINE_KEY);
}

// Everything the fixture writes, as it reads from the real registry, in the file's format.
std::wstring DumpFixtureKeys() {
    std::vector<RegKeyEntry> all;
    for (const wchar_t* k : kClassKeys) {
        std::vector<RegKeyEntry> t = ReadKeyTree(HKEY_CLASSES_ROOT, k, std::wstring(L"HKEY_CLASSES_ROOT\\") + k);
        all.insert(all.end(), t.begin(), t.end());
    }
    std::vector<RegKeyEntry> m =
        ReadKeyTree(HKEY_LOCAL_MACHINE, FX_MACHINE_KEY, std::wstring(L"HKEY_LOCAL_MACHINE\\") + FX_MACHINE_KEY);
    all.insert(all.end(), m.begin(), m.end());
    return all.empty() ? L"" : RegFileText(all);
}

std::wstring ReadRegFile(const std::wstring& path) {
    const std::string bytes = testenv::ReadBytes(path);
    if (bytes.size() < 2 || bytes.substr(0, 2) != "\xFF\xFE") return L"";
    std::wstring text;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2)
        text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8));
    return text;
}

// The system's own registry tool imports the file, as a user would.
DWORD ImportWithRegTool(const std::wstring& file) {
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring exe = std::wstring(system) + L"\\reg.exe";
    std::wstring cmd = L"reg.exe import \"" + file + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi))
        return GetLastError() | 0x10000;
    raii::Handle process(pi.hProcess), thread(pi.hThread);
    WaitForSingleObject(pi.hProcess, 20000);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    return code;
}

// Key names as the module spelt them ("TypeLib" or "Typelib"): compared without case.
bool HasLine(const std::wstring& text, const std::wstring& line) {
    std::wstring t = text, l = L"\r\n" + line + L"\r\n";
    CharUpperBuffW(t.data(), static_cast<DWORD>(t.size()));
    CharUpperBuffW(l.data(), static_cast<DWORD>(l.size()));
    return t.find(l) != std::wstring::npos;
}

class PellamyModes : public ::testing::Test {
protected:
    void SetUp() override { RemoveFixtureKeys(); }
    void TearDown() override { RemoveFixtureKeys(); }
    const std::wstring dll = Fixture(L"fx_comserver.dll");
};

// Through the window: the check item routes Register and Unregister to the user's classes; the
// machine's classes stay untouched, the key the module wrote under HKLM is named and left out.
TEST_F(PellamyModes, CurrentUserRegistrationLandsInTheUserClassesAndUnregistersAgain) {
    Window w;
    HMENU menu = GetMenu(w.form.Hwnd());
    EXPECT_FALSE(w.form.CurrentUserOnly());
    EXPECT_FALSE(GetMenuState(menu, frmMain::mnuoperationsBase + 3, MF_BYCOMMAND) & MF_CHECKED);
    w.Menu(frmMain::mnuoperationsBase + 3);
    EXPECT_TRUE(w.form.CurrentUserOnly());
    EXPECT_TRUE(GetMenuState(menu, frmMain::mnuoperationsBase + 3, MF_BYCOMMAND) & MF_CHECKED);

    w.SetPath(dll);
    w.Click(frmMain::cmdRegister);
    w.Click(frmMain::cmdProceed);
    const std::wstring registered = w.TakeOne();
    EXPECT_EQ(registered,
              L"Process completed\r\n\r\nRegistered for the current user only (under HKEY_CURRENT_USER\\Software\\Classes)."
              L"\r\nPrograms running elevated (as administrator) do not see registrations made for the current user."
              L"\r\n\r\nThe module also wrote these keys, which could not be written for the current user and were left "
              L"out:\r\n    HKEY_LOCAL_MACHINE\\Software\\PellamyTest\\fx_comserver");
    for (const wchar_t* k : kClassKeys) {
        EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, std::wstring(L"Software\\Classes\\") + k)) << k;
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, std::wstring(L"Software\\Classes\\") + k)) << k;
    }
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, FX_MACHINE_KEY));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, L"Software\\Pellamy"));  // no scratch key left behind

    w.Click(frmMain::cmdUnregister);
    w.Click(frmMain::cmdProceed);
    EXPECT_EQ(w.TakeOne(), L"Process completed\r\n\r\nUnregistered for the current user only.\r\nPrograms running "
                           L"elevated (as administrator) do not see registrations made for the current user.");
    for (const wchar_t* k : kClassKeys) EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, std::wstring(L"Software\\Classes\\") + k)) << k;

    w.Menu(frmMain::mnuoperationsBase + 3);  // unchecked again: a plain registration
    EXPECT_FALSE(w.form.CurrentUserOnly());
}

// The export changes nothing in the registry; its file names the real roots and every value type,
// and importing it gives exactly what a direct registration gives.
TEST_F(PellamyModes, ExportChangesNothingAndImportsAsADirectRegistration) {
    testenv::TempDir dir;
    const std::wstring file = dir / L"fx comserver.reg";
    std::wstring summary;
    RunResult result;
    ASSERT_TRUE(ExportRegistration(dll, file, summary, result)) << summary;
    EXPECT_EQ(result.outcome, RunOutcome::Completed);
    EXPECT_EQ(DumpFixtureKeys(), L"");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, L"Software\\Pellamy"));
    EXPECT_NE(summary.find(L"Registration exported to " + file + L"\r\n\r\nClasses: 1\r\n    Pellamy Test Class\r\n"
                           L"ProgIDs: 1\r\nType libraries: 1\r\nInterfaces: 1\r\n"),
              std::wstring::npos)
        << summary;

    const std::wstring text = ReadRegFile(file);
    EXPECT_EQ(text.rfind(L"Windows Registry Editor Version 5.00\r\n\r\n[", 0), 0u);
    for (const wchar_t* line : {L"[HKEY_CLASSES_ROOT\\CLSID\\" FX_CLSID_TEXT L"]", L"@=\"Pellamy Test Class\"",
                                L"[HKEY_CLASSES_ROOT\\" FX_PROGID L"\\CLSID]", L"[HKEY_CLASSES_ROOT\\TypeLib\\" FX_LIBID_TEXT L"]",
                                L"[HKEY_LOCAL_MACHINE\\Software\\PellamyTest\\fx_comserver]", L"\"Machine\"=dword:00000001",
                                L"\"Count\"=dword:0000000a", L"\"Big\"=hex(b):ef,cd,ab,89,67,45,23,01",
                                L"\"Odd \\\"name\\\" = ]\"=\"C:\\\\quoted \\\"x\\\"\"",
                                L"\"Unicode\"=\"Gr\u00f6\u00dfe \u65e5\u672c\"",
                                L"\"Multi\"=hex(7):6f,00,6e,00,65,00,00,00,74,00,77,00,6f,00,00,00,00,00"})
        EXPECT_TRUE(HasLine(text, line)) << line;
    EXPECT_NE(text.find(L"\r\n\"Expand\"=hex(2):25,00,53,00"), std::wstring::npos);
    EXPECT_NE(text.find(L"\r\n\"Binary\"=hex:00,07,0e,"), std::wstring::npos);
    EXPECT_EQ(text.find(L"Software\\Classes"), std::wstring::npos);  // folded into HKEY_CLASSES_ROOT
    EXPECT_EQ(text.find(L"Pellamy\\Scratch"), std::wstring::npos);

    ASSERT_EQ(ImportWithRegTool(file), 0u);
    const std::wstring imported = DumpFixtureKeys();
    RemoveFixtureKeys();
    ASSERT_EQ(RegistrationRunner(dll, EntryPoint::Register).Run().outcome, RunOutcome::Completed);
    const std::wstring direct = DumpFixtureKeys();
    EXPECT_EQ(RegistrationRunner(dll, EntryPoint::Unregister).Run().outcome, RunOutcome::Completed);
    EXPECT_FALSE(direct.empty());
    EXPECT_EQ(imported, direct);
}

// The window's Export item: the path box's module, a Save dialog, the summary; a cancelled dialog
// writes nothing and says nothing.
TEST_F(PellamyModes, ExportFromTheMenuAsksForTheFileAndShowsTheSummary) {
    testenv::TempDir dir;
    const std::wstring file = dir / L"out.reg";
    std::wstring proposed;
    bool cancel = true;
    Window w;
    modal::TestHooks().saveFile = [&](OPENFILENAMEW& ofn) {
        proposed = ofn.lpstrFile;
        if (cancel) return FALSE;
        wcscpy_s(ofn.lpstrFile, ofn.nMaxFile, file.c_str());
        return TRUE;
    };
    wchar_t caption[64] = {};
    GetMenuStringW(GetMenu(w.form.Hwnd()), frmMain::mnuoperationsBase + 4, caption, 64, MF_BYCOMMAND);
    EXPECT_STREQ(caption, L"&Export Registration...");

    w.Menu(frmMain::mnuoperationsBase + 4);
    EXPECT_EQ(w.TakeOne(), L"No path and filename yet");
    w.SetPath(dll);
    w.Menu(frmMain::mnuoperationsBase + 4);
    EXPECT_EQ(proposed, L"fx_comserver.reg");
    EXPECT_TRUE(w.boxes.empty());
    EXPECT_FALSE(testenv::Exists(file));
    cancel = false;
    w.Menu(frmMain::mnuoperationsBase + 4);
    EXPECT_EQ(w.TakeOne().rfind(L"Registration exported to " + file + L"\r\n\r\nClasses: 1\r\n", 0), 0u);
    EXPECT_TRUE(testenv::Exists(file));
    EXPECT_TRUE(w.Idle());
    EXPECT_EQ(DumpFixtureKeys(), L"");
    modal::TestHooks().saveFile = nullptr;
}

// One of the system's own servers: the export finds its classes and changes nothing; registered
// directly afterwards, every key of the file is in the registry with its values (keys above the
// server's own, such as CLSID, hold other servers' values too).
TEST_F(PellamyModes, ExportOfASystemServerMatchesItsRegistration) {
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring scrrun = std::wstring(system) + L"\\scrrun.dll";
    const wchar_t* fso = L"CLSID\\{0D43FE01-F093-11CF-8940-00A0C9054228}";
    const std::wstring before = RegFileText(ReadKeyTree(HKEY_CLASSES_ROOT, fso, fso));
    testenv::TempDir dir;
    const std::wstring file = dir / L"scrrun.reg";
    std::wstring summary;
    RunResult result;
    ASSERT_TRUE(ExportRegistration(scrrun, file, summary, result)) << summary << " " << static_cast<int>(result.outcome);
    EXPECT_EQ(RegFileText(ReadKeyTree(HKEY_CLASSES_ROOT, fso, fso)), before);
    const size_t at = summary.find(L"Classes: ");
    ASSERT_NE(at, std::wstring::npos);
    EXPECT_GT(_wtoi(summary.c_str() + at + 9), 0) << summary;
    ASSERT_EQ(RegistrationRunner(scrrun, EntryPoint::Register).Run().outcome, RunOutcome::Completed);

    // Each key block of the file against the same key read from the registry.
    const std::wstring text = ReadRegFile(file);
    size_t pos = text.find(L"\r\n[");
    int blocks = 0;
    while (pos != std::wstring::npos) {
        const size_t end = text.find(L"]\r\n", pos);
        const std::wstring path = text.substr(pos + 3, end - pos - 3);
        size_t next = text.find(L"\r\n\r\n[", end);
        const std::wstring block = text.substr(pos + 2, (next == std::wstring::npos ? text.size() - 2 : next) - pos - 2);
        const size_t slash = path.find(L'\\');
        const std::wstring rootName = path.substr(0, slash), sub = path.substr(slash + 1);
        HKEY root = rootName == L"HKEY_CLASSES_ROOT" ? HKEY_CLASSES_ROOT : HKEY_LOCAL_MACHINE;
        std::vector<RegKeyEntry> real = ReadKeyTree(root, sub, path);
        ASSERT_FALSE(real.empty()) << path;
        real.resize(1);
        std::wstring realBlock = RegFileText(real);
        realBlock = realBlock.substr(realBlock.find(L'['));
        realBlock.resize(realBlock.size() - 4);  // the blank line after the key
        auto lines = [](const std::wstring& b) {
            std::multiset<std::wstring> s;
            for (size_t a = 0, e; a < b.size(); a = e + 2) {
                e = b.find(L"\r\n", a);
                if (e == std::wstring::npos) e = b.size();
                s.insert(b.substr(a, e - a));
            }
            return s;
        };
        const std::multiset<std::wstring> exported = lines(block), registered = lines(realBlock);
        EXPECT_TRUE(std::includes(registered.begin(), registered.end(), exported.begin(), exported.end())) << path;
        ++blocks;
        pos = next == std::wstring::npos ? next : next + 2;
    }
    EXPECT_GT(blocks, 3);
}

}  // namespace
