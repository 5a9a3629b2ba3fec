#pragma once
// The puzzle sheet: the finished puzzle laid out as a page, closed by a click anywhere on it.
#include "app/forms/Controls.h"
#include "app/forms/Form.h"

class frmOutput : public forms::Form {
public:
    frmOutput();

    forms::Label* lblTitle;
    forms::Shape* Shape1;
    forms::ControlArray<forms::Label> lblLetter;
    forms::Shape* Shape2;
    forms::Label* lblList;
    forms::Label* lblCopy;

private:
    void CloseSheet();
};
