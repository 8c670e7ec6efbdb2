#include "Form3.h"

#include "EditArea.h"
#include "Modal.h"
#include "SearchRun.h"
#include "TextConv.h"
#include "Texts.h"

namespace {

const form::FontSpec kLabelFont{L"MS Sans Serif", 8.25, true};

// Both search buttons share one rectangle; only the mode's button is shown. Clipping keeps the
// front one whole when both are.
const form::Control kControls[] = {
    {Form3::IdLabel1, L"STATIC", texts::FindWhat, WS_VISIBLE | SS_LEFT, 120, 165, 975, 255, 0, &kLabelFont},
    {Form3::IdText1, L"EDIT", L"", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 1080, 120, 3615, 285,
     WS_EX_CLIENTEDGE},
    {Form3::IdCommand1, L"BUTTON", texts::FindButton, WS_VISIBLE | WS_TABSTOP | WS_DISABLED | WS_CLIPSIBLINGS | BS_PUSHBUTTON, 1560,
     600, 1215, 375},
    {Form3::IdCommand3, L"BUTTON", texts::FindNextButton, WS_TABSTOP | WS_DISABLED | WS_CLIPSIBLINGS | BS_PUSHBUTTON, 1560, 600, 1215,
     375},
    {Form3::IdCommand2, L"BUTTON", texts::CancelButton, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 3000, 600, 1215,
     375},
    {Form3::IdRegex, L"BUTTON", texts::SearchRegex, WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 120, 1110, 3000, 255},
};

const form::FormDef kDef{
    .className = L"TavrinFind",
    .caption = texts::FindCaption,
    .clientWidth = 4830,
    .clientHeight = 1485,
    .style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
    .controls = kControls,
    .controlCount = std::size(kControls),
};

}  // namespace

const form::FormDef& Form3::Definition() const { return kDef; }

void Form3::Form_Load() {
    // Above every window of every program; the result does not matter.
    SetWindowPos(Hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ShowChoices();
}

// The box shows the choice as the owner keeps it (Replace may have changed it meanwhile).
void Form3::Form_Activate() { ShowChoices(); }

void Form3::ShowChoices() {
    if (area_.choices)
        SendMessageW(Item(IdRegex), BM_SETCHECK, area_.choices->regex ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Form3::Regex_Click() {
    if (area_.choices) area_.choices->regex = SendMessageW(Item(IdRegex), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool Form3::OnMessage(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
    switch (msg) {
    case WM_ACTIVATE:
        if (LOWORD(wp) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(Hwnd(), focus)) lastFocus_ = focus;
        }
        return false;
    case WM_SETFOCUS: {
        // Typing goes to the search box when the dialog opens, and back where it was after that.
        HWND to = lastFocus_ && IsChild(Hwnd(), lastFocus_) && IsWindowEnabled(lastFocus_) &&
                          IsWindowVisible(lastFocus_)
                      ? lastFocus_
                      : Item(IdText1);
        SetFocus(to);
        result = 0;
        return true;
    }
    case WM_DESTROY:
        lastFocus_ = nullptr;
        return false;
    default:
        return false;
    }
}

void Form3::ShowFind() {
    if (!Load()) return;
    // With Find Next still shown from before, Find is the one in front (it comes first among the
    // controls, which keeps the tab order too).
    SetVisible(IdCommand1, true);
    if (!Text(IdText1).empty()) {
        SetText(IdText1, L"");
        Text1_Change();
    }
    ShowChoices();
    Show();
}

void Form3::ShowFindNext() {
    if (!Load()) return;
    SetVisible(IdCommand1, false);
    SetVisible(IdCommand3, true);
    ShowChoices();
    Show();
}

void Form3::OnCommand(int id, int notifyCode, HWND control) {
    if (!control) return;
    switch (id) {
    case IdText1:
        if (notifyCode == EN_CHANGE) Text1_Change();
        break;
    case IdCommand1:
        if (notifyCode == BN_CLICKED) Command1_Click();
        break;
    case IdCommand3:
        if (notifyCode == BN_CLICKED) Command3_Click();
        break;
    case IdCommand2:
        if (notifyCode == BN_CLICKED) Command2_Click();
        break;
    case IdRegex:
        if (notifyCode == BN_CLICKED) Regex_Click();
        break;
    default: break;
    }
}

void Form3::Text1_Change() { SetEnabled(IdCommand1, true); }

void Form3::Command1_Click() {
    FindFrom(1);
    SetEnabled(IdCommand3, true);
}

void Form3::Command3_Click() { FindFrom(LastMatchPosition + 1); }

void Form3::Command2_Click() { Unload(); }

textfind::Stamp Form3::Now(bool& counted) const {
    HWND edit = area_.edit;
    // Without change notifications the counter cannot tell.
    counted = area_.changesCounted && area_.changesCounted();
    return {edit, Changes(), edit ? static_cast<int64_t>(editarea::StoredLength(edit)) : 0};
}

const std::wstring& Form3::CurrentText() {
    HWND edit = area_.edit;
    bool counted = false;
    const textfind::Stamp now = Now(counted);
    if (!counted || !copy_.Current(now)) {  // uncounted: read the text every time
        copy_.Clear();  // the old copy goes before the new one is read
        copy_.Refresh(now, edit ? editarea::GetText(edit) : std::wstring());
    }
    return copy_.Text();
}

void Form3::FindFrom(int64_t start) {
    HWND edit = area_.edit;
    // A line end typed in the search text matches the area's own.
    const std::wstring what =
        docfile::WithLineEnds(Text(IdText1), area_.lineEnds ? area_.lineEnds() : docfile::LineEnd::CrLf);
    const bool regex = SendMessageW(Item(IdRegex), BM_GETCHECK, 0, 0) == BST_CHECKED;
    std::wstring error;
    const auto pattern = search::Pattern::Make({what, true, false, regex}, error);
    if (!pattern) return Tell(error);
    auto found = std::make_shared<std::optional<search::Match>>();
    const size_t from = static_cast<size_t>(std::max<int64_t>(start, 1) - 1);
    std::optional<editarea::Place> place;
    if (edit && !regex && editarea::FindsInPlace(what)) {
        // Plain text is looked for in the area's own text: the first Find reads no copy.
        bool counted = false;
        const textfind::Stamp now = Now(counted);
        const bool known = counted && placeStamp_ == now;
        if ((place = editarea::FindInPlace(edit, what, from, known ? lastPlace_ : editarea::Place{}))) {
            *found = search::Match{place->units, what.size()};
            lastPlace_ = *place;
            placeStamp_ = now;
        }
    } else if (edit && !what.empty()) {
        CurrentText();  // brought up to date, then shared with the search
        const auto text = copy_.Shared();
        const std::wstring caption = Caption();
        error = search::RunSearch(
            *pattern, [=](const std::atomic<bool>&) { *found = pattern->Find(*text, from, text->size()); },
            [this] { SetCaption(texts::SearchRunning); });
        SetCaption(caption);
        if (!error.empty()) return Tell(error);
    }
    if (!*found) return Tell(texts::NoMatch);
    LastMatchPosition = static_cast<int64_t>((*found)->pos) + 1;
    if (place) editarea::SelectFound(edit, *place, WideToUtf8(what).size());
    else editarea::Select(edit, (*found)->pos, (*found)->pos + (*found)->length);
    FocusEditingArea();
}

void Form3::Tell(const std::wstring& text) {
    // Owned by the dialog, so the box is not hidden behind it.
    modal::MsgBox(text, MB_OK, texts::AppName, Hwnd());
    if (area_.edit) FocusEditingArea();
}

void Form3::FocusEditingArea() {
    // The main window comes forward; the dialog stays above it.
    SetForegroundWindow(area_.window);
    SetFocus(area_.edit);
    // Some window systems (Wine's) stack the activated window over a topmost one; setting the
    // dialog's topmost state afresh puts it back on top.
    SetWindowPos(Hwnd(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(Hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}
