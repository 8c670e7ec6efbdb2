#include "PellamyTestKit.h"

#include <gtest/gtest.h>

#include "../fixtures/fixture_comserver.h"
#include "TestEnv.h"

namespace kit {

namespace {
std::wstring FixtureKey(const std::wstring& name) { return L"Software\\PellamyTest\\" + name; }
const wchar_t* const kComServerKeys[] = {L"CLSID\\" FX_CLSID_TEXT, FX_PROGID, L"TypeLib\\" FX_LIBID_TEXT,
                                         L"Interface\\" FX_IID_TEXT};
}  // namespace

std::wstring Fixture(const std::wstring& name) { return testenv::BinDir() + L"\\fixtures\\" + name; }

void DeleteFixtureKey(const std::wstring& name) { RegDeleteTreeW(HKEY_CURRENT_USER, FixtureKey(name).c_str()); }

bool FixtureKeyExists(const std::wstring& name) { return KeyExists(HKEY_CURRENT_USER, FixtureKey(name)); }

std::optional<std::wstring> ReadValue(const std::wstring& name, const wchar_t* value) {
    wchar_t buf[1024] = {};
    DWORD size = sizeof(buf) - sizeof(wchar_t), type = 0, number = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, FixtureKey(name).c_str(), value, RRF_RT_REG_SZ | RRF_RT_REG_DWORD, &type, buf,
                     &size))
        return std::nullopt;
    memcpy(&number, buf, sizeof(number));
    return type == REG_DWORD ? std::to_wstring(number) : std::wstring(buf);
}

bool IsLoaded(const std::wstring& modulePath) { return GetModuleHandleW(modulePath.c_str()) != nullptr; }

int ComServerKeysIn(HKEY root) {
    int n = 0;
    for (const wchar_t* k : kComServerKeys) n += KeyExists(root, std::wstring(L"Software\\Classes\\") + k) ? 1 : 0;
    return n;
}

void RemoveComServerKeys() {
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
        for (const wchar_t* k : kComServerKeys) RegDeleteTreeW(root, (std::wstring(L"Software\\Classes\\") + k).c_str());
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, FX_MACHINE_KEY);
}

bool Runs32Bit() {
    wchar_t v[8] = {};
    return !(GetEnvironmentVariableW(L"WINE_RUNS_32", v, 8) == 1 && v[0] == L'0');
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
          return boxes.push_back({c.text, c.title, form.MousePointer()}), IDOK;
      }}) {
    EXPECT_TRUE(form.Load());
}

bool Window::State(bool idle) const {
    const bool readOnly = GetWindowLongPtrW(form.Item(frmMain::IdtxtOCXPath), GWL_STYLE) & ES_READONLY;
    for (int id : {frmMain::IdcmdRegister, frmMain::IdcmdUnregister, frmMain::IdcmdExit})
        if (form.IsVisible(id) != idle) return false;
    for (int id : {frmMain::IdcmdProceed, frmMain::IdcmdCancel})
        if (form.IsVisible(id) == idle) return false;
    return form.IsEnabled(frmMain::IdcmdDialogFileSpec) == idle && readOnly != idle;
}

std::wstring Window::TakeOne() {
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

std::wstring Window::Run(const std::wstring& path, bool reg) {
    SetPath(path);
    Click(reg ? frmMain::IdcmdRegister : frmMain::IdcmdUnregister);
    EXPECT_TRUE(Confirm());
    Click(frmMain::IdcmdProceed);
    EXPECT_TRUE(Idle());
    return TakeOne();
}

}  // namespace kit
