#include "PrintCommands.h"

#include "EditArea.h"
#include "Modal.h"
#include "Raii.h"
#include "Texts.h"
#include "AppInfo.h"
#include "basTavrin.h"

bool PrintCommands::PrinterInstalled(HWND owner) {
    if (printing::PrinterChoice::AnyPrinter()) return true;
    // Said here: the platform's own dialog may block without saying why.
    modal::MsgBox(texts::NoPrinter, MB_OK | MB_ICONEXCLAMATION, AppTitle, owner);
    return false;
}

void PrintCommands::Setup(HWND owner) {
    if (!PrinterInstalled(owner)) return;
    PRINTDLGW pd{};
    pd.lStructSize = sizeof(pd);
    pd.hwndOwner = owner;
    pd.Flags = PD_PRINTSETUP;
    printer_.LendTo(pd);
    modal::PrintDlgBox(pd);  // a cancel leaves the earlier choice
    printer_.TakeBack(pd);
}

void PrintCommands::WithDialog(const Job& job) {
    if (!PrinterInstalled(job.owner)) return;
    PRINTDLGW pd{};
    pd.lStructSize = sizeof(pd);
    pd.hwndOwner = job.owner;
    pd.Flags = PD_NOPAGENUMS | PD_NOSELECTION;
    pd.nCopies = 1;
    printer_.LendTo(pd);
    const BOOL chosen = modal::PrintDlgBox(pd);
    const int copies = chosen ? printing::TakeCopies(pd) : 0;
    printer_.TakeBack(pd);
    if (!chosen) return;  // cancelled: nothing printed, nothing shown

    printing::PrintFont font;
    font.face = editarea::FaceName(job.edit);
    font.tabColumns = job.tabColumns;
    raii::Dc dc = printer_.CreateDc();
    DWORD error = 0;
    if (!dc) error = GetLastError() ? GetLastError() : ERROR_INVALID_PRINTER_NAME;
    if (!dc || !printing::PrintText(dc.get(), job.title, job.text, copies, font, error))
        modal::MsgBox(texts::PrintFailed + ReasonText(error), MB_OK | MB_ICONEXCLAMATION, AppTitle, job.owner);
}

void PrintCommands::Quick(const Job& job) {
    printing::PrintFont font;
    font.tabColumns = job.tabColumns;
    raii::Dc dc;
    DWORD error = 0;
    const bool ok = job.edit && editarea::SelectionColor(job.edit, font.color) &&
                    !(font.face = editarea::FaceName(job.edit)).empty() &&
                    editarea::SelectionPoints(job.edit, font.points) && (dc = printer_.CreateDc()) &&
                    printing::PrintText(dc.get(), job.title, job.text, 1, font, error);
    if (!ok)
        modal::MsgBox(texts::PrinterError, MB_OK | MB_ICONEXCLAMATION, texts::PrinterErrorTitle, job.owner);
}
