#include "frmGoTo.h"

#include <commctrl.h>

#include "Texts.h"

namespace {

const form::Control kControls[] = {
    {frmGoTo::IdLabel, WC_STATICW, texts::GoToLineNumber, WS_VISIBLE, 120, 165, 1200, 255},
    {frmGoTo::IdLine, WC_EDITW, L"", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | ES_NUMBER, 1380, 120, 2100, 315,
     WS_EX_CLIENTEDGE},
    {frmGoTo::IdOK, WC_BUTTONW, texts::OKButton, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 1080, 600, 1095, 375},
    {frmGoTo::IdCancel, WC_BUTTONW, texts::CancelButton, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 2385, 600, 1095,
     375},
};

const form::FormDef kDef{
    .className = L"TavrinGoTo",
    .caption = texts::GoToCaption,
    .clientWidth = 3600,
    .clientHeight = 1095,
    .style = WS_POPUP | WS_CAPTION | WS_SYSMENU,
    .exStyle = WS_EX_DLGMODALFRAME,
    .controls = kControls,
    .controlCount = std::size(kControls),
    .defaultButton = frmGoTo::IdOK,
    .cancelButton = frmGoTo::IdCancel,
};

}  // namespace

const form::FormDef& frmGoTo::Definition() const { return kDef; }

void frmGoTo::Form_Load() {
    Accepted = false;
    SetText(IdLine, Entry);
    // Typing replaces the number shown.
    SendMessageW(Item(IdLine), EM_SETSEL, 0, -1);
    SetFocus(Item(IdLine));
}

void frmGoTo::OnCommand(int id, int notifyCode, HWND) {
    if (notifyCode != BN_CLICKED) return;
    if (id == IdOK) cmdOK_Click();
    if (id == IdCancel) cmdCancel_Click();
}

void frmGoTo::cmdOK_Click() {
    Entry = Text(IdLine);
    Accepted = true;
    Unload();
}

void frmGoTo::cmdCancel_Click() { Unload(); }
