// Shared helpers of the Pellamy window tests: a loaded frmMain whose message boxes are recorded,
// the fixture modules and their registry keys, the program started as a script starts it.
#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "Modal.h"
#include "Raii.h"
#include "TestEnv.h"
#include "frmMain.h"

namespace kit {

// Full path of a fixture module (bin\fixtures\<name>).
std::wstring Fixture(const std::wstring& name);
// HKCU\Software\PellamyTest\<name>, written by the fixtures' entry points.
void DeleteFixtureKey(const std::wstring& name);
bool FixtureKeyExists(const std::wstring& name);
// A value the fixture wrote (REG_SZ or REG_DWORD, as text).
std::optional<std::wstring> ReadValue(const std::wstring& name, const wchar_t* value);
bool IsLoaded(const std::wstring& modulePath);
using testenv::KeyExists;
// How many of fx_comserver's keys (class, ProgID; fx_comtlb's type library and interface) are under
// root\Software\Classes; removing them all.
int ComServerKeysIn(HKEY root);
void RemoveComServerKeys();
// False on a machine that runs only 64-bit programs (the scripts say so in WINE_RUNS_32).
bool Runs32Bit();
// The one line of Log that fx_install's entry points write, read and removed.
std::wstring TakeInstallLog();

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
    Window();
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
    std::wstring TakeOne();
    // Register or unregister `path` through the buttons and Proceed; the one message shown.
    std::wstring Run(const std::wstring& path, bool reg = true);

private:
    bool State(bool idle) const;
    modal::ScopedHooks hooks_;
};

// A program (this bitness's Pellamy unless `exe` is given) started with `args` after its quoted name.
struct Program : testenv::Process {
    explicit Program(const std::wstring& args, const std::wstring& exe = L"", const wchar_t* cwd = nullptr)
        : Process(exe.empty() ? testenv::BinDir() + (sizeof(void*) == 8 ? L"\\Pellamy64.exe" : L"\\Pellamy.exe") : exe,
                  args, cwd) {}
};

}  // namespace kit
