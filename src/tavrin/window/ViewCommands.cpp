#include "ViewCommands.h"

#include "CodeFolding.h"
#include "EditArea.h"
#include "ErrRecord.h"
#include "MainMenus.h"
#include "ZoomLevel.h"

namespace {

void Check(HMENU menu, int index, bool on) {
    CheckMenuItem(menu, mainmenu::ViewBase + index, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
}

}  // namespace

void ViewCommands::Attach(HMENU menu, HWND edit, std::function<syntax::Language()> language) {
    menu_ = menu;
    edit_ = edit;
    language_ = std::move(language);
    colouringWanted_ = true;  // each window starts coloured
    formatted_ = false;
}

void ViewCommands::LoadWordWrap() {
    settings::RegistryStore store;
    wordWrap_ = zoom::ReadWordWrap(store);
    editarea::SetWordWrap(edit_, wordWrap_);
    Check(menu_, mainmenu::ViewWordWrap, wordWrap_);
}

bool ViewCommands::Flip(int index) {
    const bool on = !(GetMenuState(menu_, mainmenu::ViewBase + index, MF_BYCOMMAND) & MF_CHECKED);
    Check(menu_, index, on);
    return on;
}

void ViewCommands::Run(int index) {
    switch (index) {
    case mainmenu::ViewSyntaxColouring:
        colouringWanted_ = !(GetMenuState(menu_, mainmenu::ViewBase + index, MF_BYCOMMAND) & MF_CHECKED);
        formatted_ = false;
        ApplySyntax();
        break;
    case mainmenu::ViewLineNumbers: {
        const bool show = Flip(index);
        if (edit_) editarea::ShowLineNumbers(edit_, show);
        break;
    }
    case mainmenu::ViewFolding:
        folding_ = !folding_;
        ApplySyntax();
        break;
    case mainmenu::ViewWordWrap:
        wordWrap_ = !wordWrap_;
        wrapHeldBack_ = !editarea::SetWordWrap(edit_, wordWrap_) && wordWrap_;
        Check(menu_, index, wordWrap_);
        // Not kept when the registry refuses it: the switch itself still holds for this run.
        try {
            settings::RegistryStore store;
            zoom::WriteWordWrap(store, wordWrap_);
        } catch (const VbError&) {
        }
        break;
    default: break;
    }
}

void ViewCommands::ApplySyntax() {
    if (!edit_) return;
    const bool on = colouringWanted_ && !formatted_;
    const bool fits = editarea::Colourable(edit_);
    editarea::SetLanguage(edit_, on && fits && language_ ? language_() : syntax::Language::None);
    folding::Apply(edit_, folding_ && editarea::Language(edit_) != syntax::Language::None);
    Check(menu_, mainmenu::ViewSyntaxColouring, on);
    Check(menu_, mainmenu::ViewFolding, folding_);
}
