// The View menu's switches on the editing area: Syntax Colouring, Line Numbers, Folding and Word
// Wrap, with their check marks. The colouring follows the document's language unless a format
// given to the text turned it off.
#pragma once
#include <windows.h>

#include <functional>

#include "SyntaxScheme.h"

class ViewCommands {
public:
    // `folding` is the setting Folding, kept by the owner with the other settings.
    explicit ViewCommands(bool& folding) : folding_(folding) {}

    // The menu bar and the editing area; `language` names the document's language as it stands.
    void Attach(HMENU menu, HWND edit, std::function<syntax::Language()> language);
    // At start: Word Wrap as it was left.
    void LoadWordWrap();
    // The items above by their index in the View menu; other items do nothing here.
    void Run(int index);
    // Word Wrap was just turned on for a text too big to wrap.
    bool WrapHeldBack() const { return wrapHeldBack_; }
    // The colouring and folding the menu asks for, on the text as it stands.
    void ApplySyntax();
    // Another text: coloured as the View menu says again.
    void NewText() { formatted_ = false; }
    // A format was given to the text: its colouring ends.
    void Formatted() {
        formatted_ = true;
        ApplySyntax();
    }

private:
    // Flips the item's check mark; the new state.
    bool Flip(int index);

    bool& folding_;
    HMENU menu_ = nullptr;
    HWND edit_ = nullptr;
    std::function<syntax::Language()> language_;
    bool colouringWanted_ = true;  // for as long as the window is open
    bool formatted_ = false;
    bool wordWrap_ = false;  // kept for the next start
    bool wrapHeldBack_ = false;
};
