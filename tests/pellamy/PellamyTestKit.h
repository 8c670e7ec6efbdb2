// Shared helpers of the Pellamy window tests: a loaded frmMain whose message boxes are recorded,
// the fixture modules and their registry keys, the program started as a script starts it.
#pragma once
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "../fixtures/fixture_comserver.h"
#include "Modal.h"
#include "Raii.h"
#include "TestEnv.h"
#include "frmMain.h"

namespace kit {

using testenv::KeyExists;

// Full path of a fixture module (bin\fixtures\<name>).
inline std::wstring Fixture(const std::wstring& name) { return testenv::BinDir() + L"\\fixtures\\" + name; }
// HKCU\Software\PellamyTest\<name>, written by the fixtures' entry points.
inline std::wstring FixtureKey(const std::wstring& name) { return L"Software\\PellamyTest\\" + name; }
inline void DeleteFixtureKey(const std::wstring& name) { RegDeleteTreeW(HKEY_CURRENT_USER, FixtureKey(name).c_str()); }
inline bool FixtureKeyExists(const std::wstring& name) { return KeyExists(HKEY_CURRENT_USER, FixtureKey(name)); }

// A value the fixture wrote (REG_SZ or REG_DWORD, as text).
inline std::optional<std::wstring> ReadValue(const std::wstring& name, const wchar_t* value) {
    wchar_t buf[1024] = {};
    DWORD size = sizeof(buf) - sizeof(wchar_t), type = 0, number = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, FixtureKey(name).c_str(), value, RRF_RT_REG_SZ | RRF_RT_REG_DWORD, &type, buf,
                     &size))
        return std::nullopt;
    std::memcpy(&number, buf, sizeof(number));
    return type == REG_DWORD ? std::to_wstring(number) : std::wstring(buf);
}

inline bool IsLoaded(const std::wstring& modulePath) { return GetModuleHandleW(modulePath.c_str()) != nullptr; }

// fx_comserver's keys (class, ProgID; fx_comtlb's type library and interface) under Software\Classes.
inline const wchar_t* const kComServerKeys[] = {L"CLSID\\" FX_CLSID_TEXT, FX_PROGID, L"TypeLib\\" FX_LIBID_TEXT,
                                                L"Interface\\" FX_IID_TEXT};

// How many of them are under root\Software\Classes.
inline int ComServerKeysIn(HKEY root) {
    int n = 0;
    for (const wchar_t* k : kComServerKeys) n += KeyExists(root, std::wstring(L"Software\\Classes\\") + k) ? 1 : 0;
    return n;
}

inline void RemoveComServerKeys() {
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
        for (const wchar_t* k : kComServerKeys) RegDeleteTreeW(root, (std::wstring(L"Software\\Classes\\") + k).c_str());
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, FX_MACHINE_KEY);
}

// False on a machine that runs only 64-bit programs (the scripts say so in WINE_RUNS_32).
inline bool Runs32Bit() {
    wchar_t v[8] = {};
    return !(GetEnvironmentVariableW(L"WINE_RUNS_32", v, 8) == 1 && v[0] == L'0');
}

// The one line of Log that fx_install's entry points write, read and removed.
inline std::wstring TakeInstallLog() {
    const wchar_t* key = L"Software\\PellamyTest\\Calls\\fx_install";
    wchar_t buf[2048] = {};
    DWORD size = sizeof(buf);
    if (RegGetValueW(HKEY_CURRENT_USER, key, L"Log", RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS) buf[0] = 0;
    RegDeleteTreeW(HKEY_CURRENT_USER, key);
    return buf;
}

// The current directory set for the scope.
struct CurrentDir {
    explicit CurrentDir(const std::wstring& dir) { GetCurrentDirectoryW(MAX_PATH, old), SetCurrentDirectoryW(dir.c_str()); }
    ~CurrentDir() { SetCurrentDirectoryW(old); }
    wchar_t old[MAX_PATH] = {};
};

struct Box {
    std::wstring text, title;
    int pointer;  // the window's mouse pointer when the box showed
};

// A loaded registration window; every message box is recorded and answered with OK.
class Window {
public:
    Window() : hooks_({.msgBox = [this](const modal::MsgBoxCall& c) {
                  return boxes.push_back({c.text, c.title, form.MousePointer()}), IDOK;
              }}) {
        EXPECT_TRUE(form.Load());
    }
    ~Window() { if (form.IsLoaded()) DestroyWindow(form.Hwnd()); }
    frmMain form;
    std::vector<Box> boxes;

    void SetPath(const std::wstring& path) { form.SetText(frmMain::IdtxtOCXPath, path); }
    std::wstring Path() const { return form.Text(frmMain::IdtxtOCXPath); }
    std::wstring Info() const { return form.Text(frmMain::IdlblFileInfo); }
    bool Verify() const { return form.IsVisible(frmMain::IdlblPleaseVerify); }
    void Click(int id) { SendMessageW(form.Item(id), BM_CLICK, 0, 0); }
    void Menu(int id) { SendMessageW(form.Hwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }
    bool Idle() const { return State(true); }      // the idle state, checked in full
    bool Confirm() const { return State(false); }  // the confirm state, checked in full

    // The single message shown since the last call (fails the test when there were more or none).
    std::wstring TakeOne() {
        EXPECT_TRUE(testenv::PumpUntil([&] { return !form.Busy(); }, 20000));  // the run's child and its wait
        EXPECT_EQ(boxes.size(), 1u);
        std::wstring text = boxes.empty() ? L"" : boxes.back().text;
        if (!boxes.empty()) {
            EXPECT_EQ(boxes.back().title, L"Pellamy");
            EXPECT_EQ(boxes.back().pointer, frmMain::PointerDefault) << "hourglass left on at: " << text;
        }
        boxes.clear();
        return text;
    }

    // Register or unregister `path` through the buttons and Proceed; the one message shown.
    std::wstring Run(const std::wstring& path, bool reg = true) {
        SetPath(path);
        Click(reg ? frmMain::IdcmdRegister : frmMain::IdcmdUnregister);
        EXPECT_TRUE(Confirm());
        Click(frmMain::IdcmdProceed);
        EXPECT_TRUE(Idle());
        return TakeOne();
    }

private:
    bool State(bool idle) const {
        const bool readOnly = GetWindowLongPtrW(form.Item(frmMain::IdtxtOCXPath), GWL_STYLE) & ES_READONLY;
        for (int id : {frmMain::IdcmdRegister, frmMain::IdcmdUnregister, frmMain::IdcmdExit})
            if (form.IsVisible(id) != idle) return false;
        for (int id : {frmMain::IdcmdProceed, frmMain::IdcmdCancel})
            if (form.IsVisible(id) == idle) return false;
        return form.IsEnabled(frmMain::IdcmdDialogFileSpec) == idle && readOnly != idle;
    }
    modal::ScopedHooks hooks_;
};

// A program (this bitness's Pellamy unless `exe` is given) started with `args` after its quoted name.
struct Program : testenv::Process {
    explicit Program(const std::wstring& args, const std::wstring& exe = L"", const wchar_t* cwd = nullptr)
        : Process(exe.empty() ? testenv::BinDir() + (sizeof(void*) == 8 ? L"\\Pellamy64.exe" : L"\\Pellamy.exe") : exe,
                  args, cwd) {}
};

}  // namespace kit
