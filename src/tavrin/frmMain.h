// The editor's main window.
#pragma once
#include "Form.h"

class frmMain : public form::Form {
protected:
    const form::FormDef& Definition() const override;
    void Form_Load() override;
};
