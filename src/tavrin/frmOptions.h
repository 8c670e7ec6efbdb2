// The Options dialog: the default code folder, the default file type, the large-file size and the
// tab width.
#pragma once
#include <functional>

#include "Form.h"
#include "basTavrin.h"

class frmOptions : public form::Form {
public:
    static constexpr int IdFrame1 = 10, IdLabel2 = 11, IdText1 = 12, IdCommand1 = 13, IdLabel1 = 14, IdCombo1 = 15,
                         IdOK = 16, IdCancel = 17, IdApply = 18, IdLabel3 = 19, IdText2 = 20, IdLabel4 = 21,
                         IdLabel5 = 22, IdText3 = 23, IdLabel6 = 24;

    // The settings the dialog edits (the folder, the file type, the large-file size): given before
    // it loads, changed by each Apply that goes through.
    settings::Values Value;
    // Told of Value after each Apply that goes through (Apply and OK).
    std::function<void(const settings::Values&)> OnApply;

    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdApply_Click();
    void Command1_Click();  // "...": browse for the folder

    // The Default File Type list's selection (-1 for none) and its choice.
    int Combo1Index() const;
    void SetCombo1Index(int index);

protected:
    const form::FormDef& Definition() const override;
    void Form_Load() override;
    void OnCommand(int id, int notifyCode, HWND control) override;

private:
    // False, with a message, when the large-file size is not a whole number from 0 up or the tab
    // width not one from 1 to 16.
    bool Apply();
};
