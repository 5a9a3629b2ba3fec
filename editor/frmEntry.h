#pragma once
// The editor: the start-up window in which a puzzle is composed.
#include "app/forms/Controls.h"
#include "app/forms/Form.h"

#include <cstdint>

class QAction;
class QMenu;

class frmEntry : public forms::Form {
public:
    frmEntry();

    // Controls that other windows use.
    forms::Label* lblTitle;
    forms::TextBox* txtTitle;
    forms::CommandButton* cmdFill;
    forms::CommandButton* cmdClear;
    forms::CommandButton* cmdCreate;
    forms::ControlArray<forms::TextBox> txtEntry;
    forms::Frame* fraDir;
    forms::Label* lblDirection;
    forms::Label* Label1;
    forms::MultiLineTextBox* txtList;

    QMenu* File;
    QAction* Exit;
    QMenu* Direction;
    QAction* Up;
    QAction* Left;
    QAction* Down;
    QAction* Right;
    QAction* Northwest;
    QAction* Northeast;
    QAction* Southwest;
    QAction* Southeast;
    QMenu* Help;
    QAction* About;

    // Read-only views of the window's state, for tests and benchmarks.
    bool autoAdvance() const { return AutoAdvance; }
    std::uint8_t typingDirection() const { return TypingDirection; }

protected:
    void Form_Load() override;

private:
    void buildControls();
    void buildMenus();

    void Exit_Click();
    void About_Click();

    void setTypingDirection(std::uint8_t code);
    void Up_Click();
    void Left_Click();
    void Down_Click();
    void Right_Click();
    void Northwest_Click();
    void Northeast_Click();
    void Southwest_Click();
    void Southeast_Click();

    void txtEntry_Change(int index);
    void txtEntry_Click(int index);

    void cmdFill_Click();
    QString RandomLetter(int index);

    void cmdClear_Click();
    void cmdCreate_Click();

    bool AutoAdvance = false;
    std::uint8_t TypingDirection = 0;
    QString PreviousLetter;
    std::uint8_t RarityRoll = 0;
};
