// Clear and Create.
#include "frmEntry.h"

#include "app/CellIndex.h"
#include "sheet/frmOutput.h"

void frmEntry::cmdClear_Click()
{
    // The title stays: a new puzzle of the same name is the common case.
    txtList->setText(QString());
    for (int i = 0; i < pellacrest::kCellCount; ++i)
        txtEntry(i).setText(QString());
}

void frmEntry::cmdCreate_Click()
{
    // A step that fails is skipped silently and the rest goes on: a sheet with one cell
    // missing is better than none.
    const forms::ResumeNext resume("Create");
    resume.step("load", [] { forms::instance<frmOutput>(); });
    resume.step("title", [this] { forms::instance<frmOutput>().lblTitle->setCaption(forms::Trim(txtTitle->Text())); });
    for (int i = 0; i < pellacrest::kCellCount; ++i)
        resume.step("cell", [this, i] { forms::instance<frmOutput>().lblLetter(i).setCaption(txtEntry(i).Text()); }, i);
    resume.step("list", [this] { forms::instance<frmOutput>().lblList->setCaption(txtList->Text()); });
    resume.step("show", [] { forms::instance<frmOutput>().Show(forms::Modality::Modal); });
}
