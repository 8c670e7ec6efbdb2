#include "frmReplace.h"

#include <commctrl.h>

#include "EditArea.h"
#include "Modal.h"
#include "Texts.h"

namespace {

constexpr int kButtonLeft = 4560, kButtonWidth = 1335, kButtonHeight = 375;

const form::Control kControls[] = {
    {frmReplace::IdLabel1, WC_STATICW, texts::ReplaceFindWhat, WS_VISIBLE, 120, 165, 1260, 255},
    {frmReplace::IdFind, WC_EDITW, L"", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 1380, 120, 3000, 315,
     WS_EX_CLIENTEDGE},
    {frmReplace::IdLabel2, WC_STATICW, texts::ReplaceWith, WS_VISIBLE, 120, 585, 1260, 255},
    {frmReplace::IdWith, WC_EDITW, L"", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 1380, 540, 3000, 315,
     WS_EX_CLIENTEDGE},
    {frmReplace::IdMatchCase, WC_BUTTONW, texts::ReplaceMatchCase, WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 120,
     1020, 2400, 255},
    {frmReplace::IdWholeWord, WC_BUTTONW, texts::ReplaceWholeWord, WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 120,
     1320, 2400, 255},
    {frmReplace::IdFindNext, WC_BUTTONW, texts::ReplaceFindNext, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
     kButtonLeft, 120, kButtonWidth, kButtonHeight},
    {frmReplace::IdReplace, WC_BUTTONW, texts::ReplaceOne, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, kButtonLeft, 540,
     kButtonWidth, kButtonHeight},
    {frmReplace::IdReplaceAll, WC_BUTTONW, texts::ReplaceAll, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, kButtonLeft,
     960, kButtonWidth, kButtonHeight},
    {frmReplace::IdCancel, WC_BUTTONW, texts::CancelButton, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, kButtonLeft,
     1380, kButtonWidth, kButtonHeight},
    {frmReplace::IdStatus, WC_STATICW, L"", WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX, 120, 1860, 5775, 255},
};

const form::FormDef kDef{
    .className = L"TavrinReplace",
    .caption = texts::ReplaceCaption,
    .clientWidth = 6015,
    .clientHeight = 2235,
    .style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
    .controls = kControls,
    .controlCount = std::size(kControls),
    .defaultButton = frmReplace::IdFindNext,
    .cancelButton = frmReplace::IdCancel,
};

bool Checked(HWND box) { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

}  // namespace

const form::FormDef& frmReplace::Definition() const { return kDef; }

void frmReplace::Form_Load() {
    // Stays above the editor while the user goes back and forth.
    if (area_.edit) SetWindowLongPtrW(Hwnd(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(GetAncestor(area_.edit, GA_ROOT)));
}

void frmReplace::OnCommand(int id, int notifyCode, HWND) {
    if (notifyCode != BN_CLICKED) return;
    switch (id) {
    case IdFindNext: cmdFindNext_Click(); break;
    case IdReplace: cmdReplace_Click(); break;
    case IdReplaceAll: cmdReplaceAll_Click(); break;
    case IdCancel: cmdCancel_Click(); break;
    default: break;
    }
}

std::wstring frmReplace::What() const {
    // A line end typed in the boxes is the area's own.
    return docfile::WithLineEnds(Text(IdFind), area_.lineEnds ? area_.lineEnds() : docfile::LineEnd::CrLf);
}

std::wstring frmReplace::With() const {
    return docfile::WithLineEnds(Text(IdWith), area_.lineEnds ? area_.lineEnds() : docfile::LineEnd::CrLf);
}

textreplace::Options frmReplace::Options() const {
    return {Checked(Item(IdMatchCase)), Checked(Item(IdWholeWord)), textreplace::SystemFold};
}

void frmReplace::FindFrom(const std::wstring& text, size_t from) {
    const std::wstring what = What();
    const auto next = textreplace::FindNext(text, what, from, Options());
    if (!next) {
        SetText(IdStatus, texts::ReplaceNotFound + Text(IdFind) + L"\".");
        return;
    }
    editarea::Select(area_.edit, next->pos, next->pos + what.size());
    SetText(IdStatus, next->wrapped ? texts::ReplaceWrapped : L"");
}

void frmReplace::cmdFindNext_Click() {
    if (!area_.edit || What().empty()) return;
    size_t start = 0, end = 0;
    editarea::GetSelection(area_.edit, start, end);
    FindFrom(editarea::GetText(area_.edit), end);
}

void frmReplace::cmdReplace_Click() {
    if (!area_.edit || What().empty()) return;
    const std::wstring what = What();
    size_t start = 0, end = 0;
    editarea::GetSelection(area_.edit, start, end);
    std::wstring text = editarea::GetText(area_.edit);
    // The match selected by Find Next is replaced; anything else is only searched past.
    if (end - start == what.size() && textreplace::IsMatchAt(text, what, start, Options())) {
        const std::wstring with = With();
        editarea::ReplaceSelection(area_.edit, with);
        text = editarea::GetText(area_.edit);
        end = start + with.size();
    }
    FindFrom(text, end);
}

void frmReplace::cmdReplaceAll_Click() {
    if (!area_.edit || What().empty()) return;
    const std::wstring what = What(), with = With();
    const std::wstring text = editarea::GetText(area_.edit);
    size_t start = 0, end = 0;
    editarea::GetSelection(area_.edit, start, end);
    // A selection of more than one line bounds the replacing; otherwise the whole text.
    const bool inSelection = start != end && editarea::LineOf(area_.edit, start) != editarea::LineOf(area_.edit, end);
    const std::vector<size_t> found =
        textreplace::FindAll(text, what, inSelection ? start : 0, inSelection ? end : text.size(), Options());
    editarea::ReplaceRanges(area_.edit, found, what.size(), with);
    if (inSelection) {
        const size_t newEnd = end + found.size() * with.size() - found.size() * what.size();
        editarea::Select(area_.edit, start, newEnd);
    }
    SetText(IdStatus, L"");
    modal::MsgBox(std::to_wstring(found.size()) + texts::ReplaceCount, MB_OK | MB_ICONINFORMATION, texts::AppName,
                  Hwnd());
}
