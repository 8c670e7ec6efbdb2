// File > Printer Setup..., Print... and the toolbar's quick print, with the printer chosen last.
#pragma once
#include <windows.h>

#include <string>

#include "Printing.h"

class PrintCommands {
public:
    // What a job prints: the owner of its dialogs and messages, the editing area (face, colour and
    // size of the selection), the document's title, the text and its tab width.
    struct Job {
        HWND owner = nullptr;
        HWND edit = nullptr;
        std::wstring title;
        std::wstring text;
        int tabColumns = 0;
    };

    void Setup(HWND owner);
    // The Print dialog, then the copies asked for in the editing area's face; failures are said.
    void WithDialog(const Job& job);
    // At once, one copy, in the face and the selection's colour and size; failures are said.
    void Quick(const Job& job);

private:
    // False, after saying so, when no printer is installed.
    bool PrinterInstalled(HWND owner);

    printing::PrinterChoice printer_;
};
