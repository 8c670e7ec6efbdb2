#include "frmWebUpdate.h"

#include <commctrl.h>

#include "AppInfo.h"
#include "BuildInfo.h"
#include "Modal.h"
#include "Texts.h"

std::wstring VersionFileAddress = APP_VERSION_URL_W;

std::wstring RunningVersionText() {
    return std::to_wstring(APP_VERSION_MAJOR) + L"." + std::to_wstring(APP_VERSION_MINOR);
}

namespace {

const form::Control kControls[] = {
    {frmWebUpdate::IdCommand1, WC_BUTTONW, texts::WebUpdateCheck, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 120, 120,
     1575, 375},
    {frmWebUpdate::IdLabel1, WC_STATICW, texts::WebUpdateLabel, WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 120, 600, 3975,
     615},
    {frmWebUpdate::IdlblVersion, WC_STATICW, L"", WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 1560, 1440, 2055, 225},
    {frmWebUpdate::IdCommand2, WC_BUTTONW, texts::WebUpdateClose, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 120, 1320,
     1215, 375},
};

const form::FormDef kDef{
    .className = L"TavrinWebUpdate",
    .caption = texts::WebUpdateCaption,
    .clientWidth = 4245,
    .clientHeight = 1755,
    .style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
    .controls = kControls,
    .controlCount = std::size(kControls),
};

}  // namespace

frmWebUpdate::frmWebUpdate() {
    WebVrChk1.CheckFailed = [this](int32_t code) { Guard([&] { WebVrChk1_CheckFailed(code); }); };
    WebVrChk1.NewVersion = [this](const std::wstring& a, const std::wstring& d, const std::wstring& i,
                                  const std::wstring& x) { Guard([&] { WebVrChk1_NewVersion(a, d, i, x); }); };
    WebVrChk1.UpToDate = [this] { Guard([&] { WebVrChk1_UpToDate(); }); };
}

const form::FormDef& frmWebUpdate::Definition() const { return kDef; }

void frmWebUpdate::Form_Load() {
    // A fresh load starts from the design values of the component.
    WebVrChk1.Cancel();
    WebVrChk1.url.clear();
    WebVrChk1.autolaunchbrowser = true;
    SetCaption(texts::WebUpdateCaption);
    WebVrChk1.version = RunningVersionText();
    SetText(IdlblVersion, texts::WebUpdateCurrentVersion + WebVrChk1.version);
}

void frmWebUpdate::Form_Unload(bool&) {
    WebVrChk1.Cancel();  // no answers for a window that is gone
}

void frmWebUpdate::OnCommand(int id, int, HWND) {
    switch (id) {
    case IdCommand1: Command1_Click(); break;
    case IdCommand2: Command2_Click(); break;
    default: break;
    }
}

void frmWebUpdate::Command1_Click() {
    WebVrChk1.url = VersionFileAddress;
    WebVrChk1.Check();
}

void frmWebUpdate::Command2_Click() { Unload(); }

void frmWebUpdate::WebVrChk1_CheckFailed(int32_t code) {
    if (code == cVersionCheck::kCannotConnect || code == cVersionCheck::kFileNotFound)
        modal::MsgBox(texts::WebUpdateCannotConnect, MB_OK);
}

void frmWebUpdate::WebVrChk1_NewVersion(const std::wstring& available, const std::wstring& download,
                                        const std::wstring& information, const std::wstring&) {
    modal::MsgBox(texts::WebUpdateNewVersionText(AppTitle, available, WebVrChk1.version, download, information),
                  MB_OK | MB_ICONINFORMATION, texts::WebUpdateNewVersionTitle(AppTitle));
}

void frmWebUpdate::WebVrChk1_UpToDate() {
    modal::MsgBox(texts::WebUpdateUpToDateText(WebVrChk1.version), MB_OK | MB_ICONINFORMATION,
                  texts::WebUpdateUpToDateTitle);
}
