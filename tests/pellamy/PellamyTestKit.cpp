#include "PellamyTestKit.h"

#include <gtest/gtest.h>

#include "Raii.h"
#include "TestEnv.h"

namespace kit {

std::wstring Fixture(const std::wstring& name) { return testenv::BinDir() + L"\\fixtures\\" + name; }

std::wstring FixtureKey(const std::wstring& name) { return L"Software\\PellamyTest\\" + name; }

void DeleteFixtureKey(const std::wstring& name) { RegDeleteTreeW(HKEY_CURRENT_USER, FixtureKey(name).c_str()); }

bool FixtureKeyExists(const std::wstring& name) {
    raii::RegKey key;
    return RegOpenKeyExW(HKEY_CURRENT_USER, FixtureKey(name).c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

std::optional<std::wstring> ReadString(const std::wstring& name, const wchar_t* value) {
    wchar_t buf[1024];
    DWORD size = sizeof(buf);
    if (RegGetValueW(HKEY_CURRENT_USER, FixtureKey(name).c_str(), value, RRF_RT_REG_SZ, nullptr, buf, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(buf);
}

std::optional<uint32_t> ReadDword(const std::wstring& name, const wchar_t* value) {
    DWORD v = 0, size = sizeof(v);
    if (RegGetValueW(HKEY_CURRENT_USER, FixtureKey(name).c_str(), value, RRF_RT_REG_DWORD, nullptr, &v, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return v;
}

bool IsLoaded(const std::wstring& modulePath) { return GetModuleHandleW(modulePath.c_str()) != nullptr; }

Program::Program(const std::wstring& args) {
    const std::wstring exe = testenv::BinDir() + (sizeof(void*) == 8 ? L"\\Pellamy64.exe" : L"\\Pellamy.exe");
    std::wstring cmd = L"\"" + exe + L"\" " + args;
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    EXPECT_TRUE(CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) << cmd;
    if (!pi.hProcess) return;
    process_.reset(pi.hProcess);
    raii::Handle thread(pi.hThread);
    id_ = pi.dwProcessId;
}

long Program::Wait(DWORD timeoutMs) {
    if (!process_) return -1;
    if (WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(process_.get(), 99);
        WaitForSingleObject(process_.get(), 5000);
        return -1;
    }
    DWORD code = 0;
    GetExitCodeProcess(process_.get(), &code);
    return static_cast<long>(code);
}

std::wstring TakeInstallLog() {
    const wchar_t* key = L"Software\\PellamyTest\\Calls\\fx_install";
    wchar_t buf[2048] = {};
    DWORD size = sizeof(buf);
    if (RegGetValueW(HKEY_CURRENT_USER, key, L"Log", RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS) buf[0] = 0;
    RegDeleteTreeW(HKEY_CURRENT_USER, key);
    return buf;
}

Window::Window()
    : hooks_({.msgBox = [this](const modal::MsgBoxCall& c) {
          boxes.push_back({c.text, c.title, c.flags, form.MousePointer()});
          return answer;
      }}) {
    EXPECT_TRUE(form.Load());
}

Window::~Window() {
    if (form.IsLoaded()) DestroyWindow(form.Hwnd());
}

bool Window::Idle() const {
    return form.IsVisible(frmMain::cmdRegister) && form.IsVisible(frmMain::cmdUnregister) &&
           form.IsVisible(frmMain::cmdExit) && !form.IsVisible(frmMain::cmdProceed) &&
           !form.IsVisible(frmMain::cmdCancel) && form.IsEnabled(frmMain::cmdDialogFileSpec) &&
           !(GetWindowLongPtrW(form.Item(frmMain::txtOCXPath), GWL_STYLE) & ES_READONLY);
}

bool Window::Confirm() const {
    return !form.IsVisible(frmMain::cmdRegister) && !form.IsVisible(frmMain::cmdUnregister) &&
           !form.IsVisible(frmMain::cmdExit) && form.IsVisible(frmMain::cmdProceed) &&
           form.IsVisible(frmMain::cmdCancel) && !form.IsEnabled(frmMain::cmdDialogFileSpec) &&
           (GetWindowLongPtrW(form.Item(frmMain::txtOCXPath), GWL_STYLE) & ES_READONLY);
}

std::wstring Window::TakeOne() {
    EXPECT_EQ(boxes.size(), 1u);
    std::wstring text = boxes.empty() ? L"" : boxes.back().text;
    if (!boxes.empty()) {
        EXPECT_EQ(boxes.back().title, L"Pellamy");
        EXPECT_EQ(boxes.back().pointer, frmMain::PointerDefault) << "hourglass left on at: " << text;
    }
    boxes.clear();
    return text;
}

}  // namespace kit
