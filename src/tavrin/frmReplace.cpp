#include "frmReplace.h"

#include <commctrl.h>

#include "EditArea.h"
#include "Modal.h"
#include "SearchRun.h"
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
    {frmReplace::IdStatus, WC_STATICW, L"", WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX, 120, 1980, 5775, 255},
    {frmReplace::IdRegex, WC_BUTTONW, texts::SearchRegex, WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 120, 1620, 2400,
     255},
};

const form::FormDef kDef{
    .className = L"TavrinReplace",
    .caption = texts::ReplaceCaption,
    .clientWidth = 6015,
    .clientHeight = 2355,
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
    ShowChoices();
}

// The box shows the choice as the owner keeps it (Find may have changed it meanwhile).
void frmReplace::Form_Activate() { ShowChoices(); }

void frmReplace::ShowChoices() {
    if (area_.choices)
        SendMessageW(Item(IdRegex), BM_SETCHECK, area_.choices->regex ? BST_CHECKED : BST_UNCHECKED, 0);
}

void frmReplace::Regex_Click() {
    if (area_.choices) area_.choices->regex = Checked(Item(IdRegex));
}

void frmReplace::OnCommand(int id, int notifyCode, HWND) {
    if (notifyCode != BN_CLICKED) return;
    switch (id) {
    case IdFindNext: cmdFindNext_Click(); break;
    case IdReplace: cmdReplace_Click(); break;
    case IdReplaceAll: cmdReplaceAll_Click(); break;
    case IdCancel: cmdCancel_Click(); break;
    case IdRegex: Regex_Click(); break;
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

std::optional<search::Pattern> frmReplace::MakePattern() {
    std::wstring error;
    auto pattern = search::Pattern::Make(
        {What(), Checked(Item(IdMatchCase)), Checked(Item(IdWholeWord)), Checked(Item(IdRegex))}, error);
    if (!pattern) SetText(IdStatus, error);
    return pattern;
}

bool frmReplace::Run(const search::Pattern& pattern, search::Work work) {
    const std::wstring failure =
        search::RunSearch(pattern, std::move(work), [this] { SetText(IdStatus, texts::SearchRunning); });
    SetText(IdStatus, failure);
    return failure.empty();
}

void frmReplace::FindFrom(const search::Pattern& pattern, std::wstring text, size_t from, bool pastEmpty) {
    auto shared = std::make_shared<const std::wstring>(std::move(text));
    auto next = std::make_shared<std::optional<search::Next>>();
    const bool ran = Run(pattern, [=](const std::atomic<bool>&) {
        *next = pattern.FindNext(*shared, from);
        if (pastEmpty && *next && (*next)->match == search::Match{from, 0} && from < shared->size())
            *next = pattern.FindNext(*shared, from + 1);
    });
    if (!ran) return;
    if (!*next) {
        SetText(IdStatus, texts::ReplaceNotFound + Text(IdFind) + L"\".");
        return;
    }
    const search::Match m = (*next)->match;
    editarea::Select(area_.edit, m.pos, m.pos + m.length);
    SetText(IdStatus, (*next)->wrapped ? texts::ReplaceWrapped : L"");
}

void frmReplace::cmdFindNext_Click() {
    if (!area_.edit || What().empty()) return;
    const auto pattern = MakePattern();
    if (!pattern) return;
    size_t start = 0, end = 0;
    editarea::GetSelection(area_.edit, start, end);
    FindFrom(*pattern, editarea::GetText(area_.edit), end, start == end);
}

void frmReplace::cmdReplace_Click() {
    if (!area_.edit || What().empty()) return;
    const auto pattern = MakePattern();
    if (!pattern) return;
    size_t start = 0, end = 0;
    editarea::GetSelection(area_.edit, start, end);
    std::wstring text = editarea::GetText(area_.edit);
    // The match selected by Find Next is replaced; anything else is only searched past.
    bool pastEmpty = start == end;
    if (pattern->IsMatch(text, {start, end - start})) {
        const std::wstring with = pattern->Expand(text, {start, end - start}, With());
        editarea::ReplaceSelection(area_.edit, with);
        text = editarea::GetText(area_.edit);
        end = start + with.size();
        pastEmpty = true;
    }
    FindFrom(*pattern, std::move(text), end, pastEmpty);
}

void frmReplace::cmdReplaceAll_Click() {
    if (!area_.edit || What().empty()) return;
    const auto pattern = MakePattern();
    if (!pattern) return;
    auto text = std::make_shared<const std::wstring>(editarea::GetText(area_.edit));
    size_t start = 0, end = 0;
    editarea::GetSelection(area_.edit, start, end);
    // A selection of more than one line bounds the replacing; otherwise the whole text.
    const bool inSelection = start != end && editarea::LineOf(area_.edit, start) != editarea::LineOf(area_.edit, end);
    const size_t from = inSelection ? start : 0, to = inSelection ? end : text->size();
    auto edits = std::make_shared<std::vector<editarea::Edit>>();
    const std::wstring with = With();
    if (!Run(*pattern, [=](const std::atomic<bool>& stop) {
            for (const search::Match& m : pattern->FindAll(*text, from, to)) {
                if (stop) return;
                edits->push_back({m.pos, m.length, pattern->Expand(*text, m, with)});
            }
        }))
        return;
    editarea::ReplaceRanges(area_.edit, *edits);
    if (inSelection) {
        size_t newEnd = end;
        for (const editarea::Edit& e : *edits) newEnd = newEnd + e.with.size() - e.length;
        editarea::Select(area_.edit, start, newEnd);
    }
    SetText(IdStatus, L"");
    modal::MsgBox(std::to_wstring(edits->size()) + texts::ReplaceCount, MB_OK | MB_ICONINFORMATION, texts::AppName,
                  Hwnd());
}
