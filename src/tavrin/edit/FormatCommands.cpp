#include "FormatCommands.h"

#include <cstdlib>

#include "EditArea.h"
#include "Modal.h"
#include "Raii.h"

bool FormatCommands::Run(Item item, HWND owner, HWND edit) {
    if (!edit) return false;
    const bool coloured = editarea::Language(edit) != syntax::Language::None;
    switch (item) {
    case Item::Font: ChooseTextFont(owner, edit); break;
    case Item::TextColor:
        if (ChooseColour(owner)) editarea::SetSelectionColor(edit, dlgColor_);
        break;
    case Item::BackColor:  // despite its caption: the background of the whole area
        if (ChooseColour(owner)) editarea::SetBackColor(edit, dlgColor_);
        break;
    }
    // A format given to the text ends its colouring (the area decides).
    return coloured && editarea::Language(edit) == syntax::Language::None;
}

void FormatCommands::ChooseTextFont(HWND owner, HWND edit) {
    if (!dlgFontSet_) {  // first use: the editing area's own face and size
        dlgFont_ = LOGFONTW{};
        lstrcpynW(dlgFont_.lfFaceName, editarea::FaceName(edit).c_str(), LF_FACESIZE);
        raii::WindowDc screen(nullptr);
        dlgFont_.lfHeight = -MulDiv(10, GetDeviceCaps(screen.get(), LOGPIXELSY), 72);
        dlgFont_.lfWeight = FW_NORMAL;
        dlgFont_.lfCharSet = DEFAULT_CHARSET;
    }
    LOGFONTW lf = dlgFont_;
    CHOOSEFONTW cf{};
    cf.lStructSize = sizeof(cf);
    cf.hwndOwner = owner;
    cf.lpLogFont = &lf;
    cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT;
    if (!modal::ChooseFontDlg(cf)) return;  // cancelled: nothing changes
    dlgFont_ = lf;
    dlgFontSet_ = true;
    editarea::SetBaseFont(edit, lf.lfFaceName, lf.lfCharSet, 0);
    double points = cf.iPointSize / 10.0;
    if (points <= 0) {
        raii::WindowDc screen(nullptr);
        points = std::abs(lf.lfHeight) * 72.0 / GetDeviceCaps(screen.get(), LOGPIXELSY);
    }
    editarea::SetSelectionFont(edit, lf.lfWeight >= FW_BOLD, lf.lfItalic != 0, points);
}

bool FormatCommands::ChooseColour(HWND owner) {
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof(cc);
    cc.hwndOwner = owner;
    cc.rgbResult = dlgColor_;
    cc.lpCustColors = dlgCustomColors_;
    cc.Flags = CC_RGBINIT | CC_PREVENTFULLOPEN;
    if (!modal::ChooseColorDlg(cc)) return false;  // cancelled: nothing changes
    dlgColor_ = cc.rgbResult;
    return true;
}
