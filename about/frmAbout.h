#pragma once
// The About window, and the key that loads the sample puzzle into the editor.
#include "app/forms/Controls.h"
#include "app/forms/Form.h"

class frmAbout : public forms::Form {
public:
    frmAbout();

    forms::CommandButton* cmdOK;
    forms::PictureBox* picIcon;
    forms::Label* lblDescription;
    forms::Label* lblTitle;
    forms::Label* lblVersion;
    forms::Label* lblLink;
    forms::Label* lblCredits;

    // The address the link shows and opens.
    static QString webAddress();

protected:
    void Form_Load() override;

private:
    void cmdOK_Click();
    void lblLink_MouseMove();
    void lblLink_Click();
    void SetMouseCursor(int cursorId);

    void Form_KeyDown(int& KeyCode, int& Shift);
    void cmdOK_KeyDown(int& KeyCode, int& Shift);
    void LoadSamplePuzzle(int& KeyCode, int& Shift);
};
