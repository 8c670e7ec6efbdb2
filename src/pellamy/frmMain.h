// The registration tool's window.
#pragma once
#include "Form.h"

class frmMain : public form::Form {
protected:
    const form::FormDef& Definition() const override;
    void Form_Load() override;
};
