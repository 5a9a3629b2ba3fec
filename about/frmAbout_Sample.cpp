// Shift+K in the About window loads the built-in sample puzzle into the editor.
#include "frmAbout.h"

#include "about/SamplePuzzle.h"
#include "editor/frmEntry.h"

namespace {

constexpr int kShiftOnly = 1;

QString sampleWordList()
{
    QString list;
    for (std::u16string_view entry : pellacrest::sample::kEntries) {
        if (!list.isEmpty())
            list += QStringLiteral("\r\n");
        list += QString::fromUtf16(entry.data(), static_cast<qsizetype>(entry.size()));
    }
    return list;
}

} // namespace

void frmAbout::Form_KeyDown(int& KeyCode, int& Shift) { LoadSamplePuzzle(KeyCode, Shift); }

void frmAbout::cmdOK_KeyDown(int& KeyCode, int& Shift) { LoadSamplePuzzle(KeyCode, Shift); }

void frmAbout::LoadSamplePuzzle(int& KeyCode, int& Shift)
{
    if (Shift != kShiftOnly || KeyCode != Qt::Key_K)
        return;
    // The key is spent: the window hears it first and the focused button must not load again.
    KeyCode = 0;

    Hide();
    // The editor may have been closed while this window stayed open: bring it back first.
    frmEntry& editor = forms::instance<frmEntry>();
    if (!editor.isVisible())
        editor.Show();

    editor.cmdClear->setValue(true);
    editor.txtTitle->setText(QString::fromUtf16(pellacrest::sample::kTitle.data(),
                                                static_cast<qsizetype>(pellacrest::sample::kTitle.size())));
    editor.txtList->setText(sampleWordList());
    // Written with the advance on, so the focus follows the letters like the user's typing.
    for (const pellacrest::sample::Placement& write : pellacrest::sample::kPlacements)
        editor.txtEntry(write.cell).setText(QString(QChar(write.letter)));
    editor.cmdFill->setValue(true);
    editor.txtTitle->SetFocus();

    Show();
    forms::Beep();
}
