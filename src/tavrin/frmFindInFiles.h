// Edit > Find in Files...: a modal dialog that takes what to find, where and how. It is handed the
// folder to start in and hands back the request when Find closes it.
#pragma once
#include <string>

#include "Form.h"
#include "SearchPattern.h"

class frmFindInFiles : public form::Form {
public:
    static constexpr int IdLabel1 = 101, IdWhat = 102, IdLabel2 = 103, IdFolder = 104, IdBrowse = 105,
                         IdLabel3 = 106, IdTypes = 107, IdMatchCase = 108, IdWholeWord = 109, IdRegex = 110,
                         IdSubfolders = 111, IdFind = 112, IdCancel = 113;

    // In: the folder shown at the start. Out, when Accepted: what the boxes said, the pattern valid
    // and the folder there.
    std::wstring Folder;
    std::wstring Types;
    bool Subfolders = true;
    search::Query Query;
    bool Accepted = false;
    // The owner's, shared with the other search dialogs: the regular expression box reads and sets it.
    search::Choices* Remembered = nullptr;

    void cmdFind_Click();
    void cmdBrowse_Click();
    void cmdCancel_Click() { Unload(); }
    void Regex_Click();

protected:
    const form::FormDef& Definition() const override;
    void Form_Load() override;
    void OnCommand(int id, int notifyCode, HWND control) override;
};
