// The Format menu: the text's font, the selection's colour and the background, each dialog opening
// on what it held last.
#pragma once
#include <windows.h>

class FormatCommands {
public:
    enum class Item { Font = 0, TextColor = 1, BackColor = 2 };
    // Runs the item on the editing area; true when a format given to the text turned its colouring
    // off (the View menu then follows).
    bool Run(Item item, HWND owner, HWND edit);

private:
    void ChooseTextFont(HWND owner, HWND edit);
    bool ChooseColour(HWND owner);

    LOGFONTW dlgFont_{};
    bool dlgFontSet_ = false;
    COLORREF dlgColor_ = RGB(0, 0, 0);
    COLORREF dlgCustomColors_[16] = {};
};
