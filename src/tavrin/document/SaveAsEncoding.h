// The Save As dialog's "Encoding:" choice: a list under the dialog's own controls, from a template
// built in memory (the program carries no dialog resource for it), read when the dialog says OK.
#pragma once
#include <windows.h>
#include <commdlg.h>

#include <vector>

#include "FileEncoding.h"

class SaveAsEncoding {
public:
    static constexpr int IdLabel = 1100, IdCombo = 1101;

    // The list starts on the document's encoding (none for one it does not offer).
    explicit SaveAsEncoding(const docfile::FileFormat& format);
    // Gives `ofn` the template, the hook and this object; it must outlive the dialog.
    void AddTo(OPENFILENAMEW& ofn);
    // `format` with the encoding chosen (unchanged when nothing is chosen).
    docfile::FileFormat Chosen(docfile::FileFormat format) const;
    // The list's selection: read on OK, or set by a test's answer to the dialog.
    int Index = -1;

private:
    std::vector<WORD> template_;
};
