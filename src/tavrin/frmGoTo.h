// Edit > Go To...: a small modal dialog that takes a line number. It is handed the current line
// and hands back what was typed when OK closes it.
#pragma once
#include <string>

#include "Form.h"

class frmGoTo : public form::Form {
public:
    static constexpr int IdLabel = 101, IdLine = 102, IdOK = 103, IdCancel = 104;

    // In: the line shown at the start. Out: the text of the box, when Accepted.
    std::wstring Entry;
    bool Accepted = false;

    void cmdOK_Click();
    void cmdCancel_Click();

protected:
    const form::FormDef& Definition() const override;
    void Form_Load() override;
    void OnCommand(int id, int notifyCode, HWND control) override;
};
