#include "frmFindInFiles.h"

#include <commctrl.h>

#include "FindInFiles.h"
#include "Modal.h"
#include "Paths.h"
#include "Texts.h"

namespace {

constexpr int kBox = WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, kCheck = WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX;

const form::Control kControls[] = {
    {frmFindInFiles::IdLabel1, WC_STATICW, texts::FindInFilesWhat, WS_VISIBLE, 120, 165, 1200, 255},
    {frmFindInFiles::IdWhat, WC_EDITW, L"", kBox, 1380, 120, 3615, 315, WS_EX_CLIENTEDGE},
    {frmFindInFiles::IdLabel2, WC_STATICW, texts::FindInFilesFolder, WS_VISIBLE, 120, 585, 1200, 255},
    {frmFindInFiles::IdFolder, WC_EDITW, L"", kBox, 1380, 540, 3135, 315, WS_EX_CLIENTEDGE},
    {frmFindInFiles::IdBrowse, WC_BUTTONW, texts::FindInFilesBrowse, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 4590, 540,
     405, 315},
    {frmFindInFiles::IdLabel3, WC_STATICW, texts::FindInFilesTypes, WS_VISIBLE, 120, 1005, 1200, 255},
    {frmFindInFiles::IdTypes, WC_EDITW, L"", kBox, 1380, 960, 3615, 315, WS_EX_CLIENTEDGE},
    {frmFindInFiles::IdMatchCase, WC_BUTTONW, texts::FindInFilesMatchCase, kCheck, 1380, 1425, 2400, 255},
    {frmFindInFiles::IdWholeWord, WC_BUTTONW, texts::FindInFilesWholeWord, kCheck, 1380, 1725, 2400, 255},
    {frmFindInFiles::IdRegex, WC_BUTTONW, texts::SearchRegex, kCheck, 1380, 2025, 2400, 255},
    {frmFindInFiles::IdSubfolders, WC_BUTTONW, texts::FindInFilesSubfolders, kCheck, 1380, 2325, 2400, 255},
    {frmFindInFiles::IdFind, WC_BUTTONW, texts::FindInFilesFind, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 5160, 120,
     1215, 375},
    {frmFindInFiles::IdCancel, WC_BUTTONW, texts::CancelButton, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 5160, 555,
     1215, 375},
};

const form::FormDef kDef{
    .className = L"TavrinFindInFiles",
    .caption = texts::FindInFilesCaption,
    .clientWidth = 6495,
    .clientHeight = 2745,
    .style = WS_POPUP | WS_CAPTION | WS_SYSMENU,
    .exStyle = WS_EX_DLGMODALFRAME,
    .controls = kControls,
    .controlCount = std::size(kControls),
    .defaultButton = frmFindInFiles::IdFind,
    .cancelButton = frmFindInFiles::IdCancel,
};

void Check(HWND box, bool on) { SendMessageW(box, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }
bool Checked(HWND box) { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

}  // namespace

const form::FormDef& frmFindInFiles::Definition() const { return kDef; }

void frmFindInFiles::Form_Load() {
    Accepted = false;
    SetText(IdWhat, Query.what);
    SetText(IdFolder, Folder);
    SetText(IdTypes, Types.empty() ? findfiles::kDefaultTypes : Types);
    Check(Item(IdMatchCase), Query.matchCase);
    Check(Item(IdWholeWord), Query.wholeWord);
    Check(Item(IdRegex), Remembered ? Remembered->regex : Query.regex);
    Check(Item(IdSubfolders), Subfolders);
    SendMessageW(Item(IdWhat), EM_SETSEL, 0, -1);
    SetFocus(Item(IdWhat));
}

void frmFindInFiles::OnCommand(int id, int notifyCode, HWND) {
    if (notifyCode != BN_CLICKED) return;
    switch (id) {
    case IdFind: cmdFind_Click(); break;
    case IdBrowse: cmdBrowse_Click(); break;
    case IdCancel: cmdCancel_Click(); break;
    case IdRegex: Regex_Click(); break;
    default: break;
    }
}

void frmFindInFiles::Regex_Click() {
    if (Remembered) Remembered->regex = Checked(Item(IdRegex));
}

void frmFindInFiles::cmdBrowse_Click() {
    std::wstring chosen;
    if (modal::BrowseForFolder(Hwnd(), texts::FindInFilesChooseFolder, Text(IdFolder), chosen)) SetText(IdFolder, chosen);
}

void frmFindInFiles::cmdFind_Click() {
    const search::Query query{Text(IdWhat), Checked(Item(IdMatchCase)), Checked(Item(IdWholeWord)), Checked(Item(IdRegex))};
    std::wstring error;
    if (query.what.empty()) error = texts::FindInFilesNothing;
    else if (!search::Pattern::Make(query, error)) {}
    else if (!paths::IsFolder(Text(IdFolder))) error = texts::FindInFilesNoFolder + Text(IdFolder);
    if (!error.empty()) {
        modal::MsgBox(error, MB_OK | MB_ICONEXCLAMATION, texts::AppName, Hwnd());
        return;
    }
    Query = query;
    Folder = Text(IdFolder);
    Types = Text(IdTypes);
    Subfolders = Checked(Item(IdSubfolders));
    Accepted = true;
    Unload();
}
