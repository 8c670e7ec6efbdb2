#include "frmOptions.h"

#include <commctrl.h>

#include "Modal.h"
#include "Texts.h"

namespace {

// Controls inside the frame are placed relative to it (frame at 120, 120).
constexpr int kFrameLeft = 120, kFrameTop = 120;

const form::Control kControls[] = {
    {frmOptions::IdText1, WC_EDITW, texts::OptionsCodeFolderDesign, WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
     kFrameLeft + 2040, kFrameTop + 360, 3375, 315, WS_EX_CLIENTEDGE},
    {frmOptions::IdCommand1, WC_BUTTONW, texts::OptionsBrowse, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
     kFrameLeft + 5400, kFrameTop + 360, 495, 375},
    // A drop-down list's height includes its open list.
    {frmOptions::IdCombo1, WC_COMBOBOXW, L"", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
     kFrameLeft + 2040, kFrameTop + 840, 2295, 3000},
    // The size above which opening a file asks first.
    {frmOptions::IdText2, WC_EDITW, L"", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | ES_NUMBER, kFrameLeft + 2040,
     kFrameTop + 1320, 1095, 315, WS_EX_CLIENTEDGE},
    {frmOptions::IdText3, WC_EDITW, L"", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | ES_NUMBER, kFrameLeft + 2040,
     kFrameTop + 1800, 1095, 315, WS_EX_CLIENTEDGE},
    {frmOptions::IdOK, WC_BUTTONW, texts::OptionsOK, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 2280, 2640, 1095, 375},
    {frmOptions::IdCancel, WC_BUTTONW, texts::OptionsCancel, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 3480, 2640, 1095,
     375},
    {frmOptions::IdApply, WC_BUTTONW, texts::OptionsApply, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 4680, 2640, 1095,
     375},
    {frmOptions::IdLabel2, WC_STATICW, texts::OptionsCodeFolder, WS_VISIBLE, kFrameLeft + 120, kFrameTop + 360, 1935,
     375},
    {frmOptions::IdLabel1, WC_STATICW, texts::OptionsFileType, WS_VISIBLE, kFrameLeft + 120, kFrameTop + 840, 1575,
     255},
    {frmOptions::IdLabel3, WC_STATICW, texts::OptionsLargeFile, WS_VISIBLE, kFrameLeft + 120, kFrameTop + 1320, 1935,
     375},
    {frmOptions::IdLabel4, WC_STATICW, texts::OptionsLargeFileUnit, WS_VISIBLE, kFrameLeft + 3240, kFrameTop + 1360,
     2655, 255},
    {frmOptions::IdLabel5, WC_STATICW, texts::OptionsTabWidth, WS_VISIBLE, kFrameLeft + 120, kFrameTop + 1800, 1935,
     375},
    {frmOptions::IdLabel6, WC_STATICW, texts::OptionsTabWidthUnit, WS_VISIBLE, kFrameLeft + 3240, kFrameTop + 1840,
     2655, 255},
    // Last, so it does not cover the controls inside it.
    {frmOptions::IdFrame1, WC_BUTTONW, texts::OptionsFrame, WS_VISIBLE | BS_GROUPBOX, kFrameLeft, kFrameTop, 6015,
     2415},
};

const form::FormDef kDef{
    .className = L"TavrinOptions",
    .caption = texts::OptionsCaption,
    .clientWidth = 6270,
    .clientHeight = 3255,
    .style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
    .controls = kControls,
    .controlCount = std::size(kControls),
    .defaultButton = frmOptions::IdOK,
    .cancelButton = frmOptions::IdCancel,
};

}  // namespace

const form::FormDef& frmOptions::Definition() const { return kDef; }

void frmOptions::Form_Load() {
    SetText(IdText1, Value.initDir);
    HWND combo = Item(IdCombo1);
    for (const wchar_t* t : texts::FileTypes) SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t));
    // The list shows the stored choice each time the dialog opens.
    SetCombo1Index(Value.defaultFileType);
    SetText(IdText2, std::to_wstring(Value.largeFileKB));
    SetText(IdText3, std::to_wstring(Value.tabWidth));
}

void frmOptions::OnCommand(int id, int notifyCode, HWND) {
    if (notifyCode != BN_CLICKED) return;
    switch (id) {
    case IdOK: cmdOK_Click(); break;
    case IdCancel: cmdCancel_Click(); break;
    case IdApply: cmdApply_Click(); break;
    case IdCommand1: Command1_Click(); break;
    default: break;
    }
}

int frmOptions::Combo1Index() const {
    return static_cast<int>(SendMessageW(Item(IdCombo1), CB_GETCURSEL, 0, 0));
}

void frmOptions::SetCombo1Index(int index) {
    if (index < 0 || index >= settings::FileTypeCount) index = 0;
    SendMessageW(Item(IdCombo1), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

bool frmOptions::Apply() {
    const int kb = settings::ParseNumber(Text(IdText2), -1);
    if (kb < 0) {
        modal::MsgBox(texts::OptionsLargeFileInvalid, MB_OK | MB_ICONEXCLAMATION, {}, Hwnd());
        SetFocus(Item(IdText2));
        return false;
    }
    const int tab = settings::ParseNumber(Text(IdText3), 0);
    if (tab < settings::MinTabWidth || tab > settings::MaxTabWidth) {
        modal::MsgBox(texts::OptionsTabWidthInvalid, MB_OK | MB_ICONEXCLAMATION, {}, Hwnd());
        SetFocus(Item(IdText3));
        return false;
    }
    Value.tabWidth = tab;
    Value.initDir = Text(IdText1);  // as typed: no check that the folder exists
    if (const int i = Combo1Index(); i >= 0) Value.defaultFileType = i;
    Value.largeFileKB = kb;
    if (OnApply) OnApply(Value);
    return true;
}

void frmOptions::cmdApply_Click() { Apply(); }

void frmOptions::cmdOK_Click() {
    if (Apply()) Unload();
}

void frmOptions::cmdCancel_Click() { Unload(); }

void frmOptions::Command1_Click() {
    std::wstring chosen;
    if (modal::BrowseForFolder(Hwnd(), texts::OptionsBrowseTitle, Text(IdText1), chosen)) SetText(IdText1, chosen);
}
