// The editor's web update window: hands the running version and the version-file address to the
// version-check component and reports its answer in message boxes. Modeless, one instance per run.
#pragma once
#include <string>

#include "Form.h"
#include "cVersionCheck.h"

// The address of the version file (a build setting; tests point it elsewhere).
extern std::wstring VersionFileAddress;

// The running version as the window shows it: major and minor only ("1.35").
std::wstring RunningVersionText();

class frmWebUpdate : public form::Form {
public:
    enum : int { IdCommand1 = 400, IdLabel1, IdlblVersion, IdCommand2 };

    frmWebUpdate();
    cVersionCheck WebVrChk1;

protected:
    const form::FormDef& Definition() const override;
    void Form_Load() override;
    void Form_Unload(bool& cancel) override;
    void OnCommand(int id, int notifyCode, HWND control) override;

private:
    void Command1_Click();
    void Command2_Click();
    void WebVrChk1_CheckFailed(int32_t code);
    void WebVrChk1_NewVersion(const std::wstring& available, const std::wstring& download,
                              const std::wstring& information, const std::wstring& unused);
    void WebVrChk1_UpToDate();
};
