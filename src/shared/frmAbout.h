// The About box both programs show from their Help menus: icon, title, version, Windows release,
// a notice, a legal warning and a link to the product web page. Modeless, one instance per run.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

#include "Form.h"
#include "mGetWinVer.h"

class frmAbout : public form::Form {
public:
    enum : int {
        IdcmdOK = 300, IdpicIcon, IdcmdSysInfo, IdlblDescription, IdlblDisclaimer, IdlblTitle, IdlblVersion, Idlblplatform,
        IdvbwHyperlink1, Idlblhyperlink, IdCommand1
    };

    frmAbout();
    // The main window's icon (not owned); null means the program's icon resource 1.
    // Takes effect at the next load.
    void SetMainIcon(HICON icon) { mainIcon_ = icon; }
    // The release record the platform line is worked out from; empty means the running system's.
    void SetVersionRecord(std::optional<WinVersionRecord> v) { versionRecord_ = v; }

    // Starts the system information tool, or says that it is unavailable.
    void StartSysInfo();

    HICON ShownIcon() const { return shownIcon_; }

protected:
    const form::FormDef& Definition() const override;
    void Form_Load() override;
    void OnCommand(int id, int notifyCode, HWND control) override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void cmdOK_Click();
    void cmdSysInfo_Click();
    void PaintLines();

    HICON mainIcon_ = nullptr;
    HICON shownIcon_ = nullptr;
    raii::Icon ownIcon_;
    std::optional<WinVersionRecord> versionRecord_;
};

// "Version 1.35": major and minor of the running build only.
std::wstring AboutVersionLine();

// Reads a string or DWORD value (a DWORD as its decimal text) with read-only access.
// False, with KeyVal empty, when the key or the value cannot be read; other value types leave
// KeyVal as it was and answer true.
bool GetKeyValue(HKEY KeyRoot, const std::wstring& KeyName, const std::wstring& SubKeyRef, std::wstring& KeyVal);

// Shows the one About box of the run (or brings it forward) with the main window's icon.
void ShowAboutBox(HICON mainIcon = nullptr);
