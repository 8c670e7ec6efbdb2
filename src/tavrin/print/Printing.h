// Printing plain text on a printer: the printer chosen in the printer dialogs (kept between
// commands) and one print job of laid-out pages.
#pragma once
#include <windows.h>

#include <string>

#include "Raii.h"

namespace printing {

struct PrintFont {
    std::wstring face;
    double points = 10;
    COLORREF color = RGB(0, 0, 0);
    int tabColumns = 8;  // tabs stop every so many columns, as in the editing area
};

// The printer, paper and orientation last chosen in a printer dialog; the default printer until then.
class PrinterChoice {
public:
    // True when printing has somewhere to go: a default printer, or any printer at all.
    static bool AnyPrinter();

    // Hands the chosen settings to a PRINTDLG and takes back what the dialog leaves there.
    void LendTo(PRINTDLGW& pd);
    void TakeBack(PRINTDLGW& pd);

    // A device context for the chosen printer (the default one when none was chosen), printing
    // one copy per page; null when the printer cannot be opened.
    raii::Dc CreateDc() const;

private:
    raii::GlobalMem devMode_, devNames_;
};

// Copies asked for in a printer dialog, whichever place the dialog reported them in; the
// device's own copy count is set back to one, since the copies are printed one after another.
int TakeCopies(PRINTDLGW& pd);

// One job: `copies` copies of `text`, each following the previous one's last line, with margins,
// wrapped lines and page breaks. False with the system's error code when the job failed (it is
// then cancelled).
bool PrintText(HDC dc, const std::wstring& docName, const std::wstring& text, int copies, const PrintFont& font,
               DWORD& error);

}  // namespace printing
