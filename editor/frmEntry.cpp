// The editor's layout, its start and its end.
#include "frmEntry.h"

#include "about/frmAbout.h"
#include "app/CellIndex.h"
#include "editor/TypingDirection.h"

#include <QMenu>

using forms::arial;
using forms::twipsRect;
using namespace pellacrest;

namespace {

constexpr int kClientWidth = 18375;
constexpr int kClientHeight = 13155;

// The grid's cells: 615 x 555 twips on a pitch of 720 across and 600 down.
constexpr QRect cellRect(int index)
{
    return twipsRect(360 + 720 * cellColumn(index), 840 + 600 * cellRow(index), 615, 555);
}

} // namespace

frmEntry::frmEntry()
    : Form(kClientWidth, kClientHeight, forms::Border::FixedSingle, forms::StartPosition::CenterScreen)
{
    setCaption(QStringLiteral("Pellacrest"));
    buildMenus();
    buildControls();
}

void frmEntry::buildControls()
{
    QWidget* area = client();
    // Qt's tab order follows the order of creation: title, buttons, list, then the cells.
    txtTitle = new forms::TextBox(area, twipsRect(1080, 180, 11415, 450), arial(14.25, true));
    txtTitle->setMaxLength(50);
    cmdFill = new forms::CommandButton(area, twipsRect(12720, 180, 1335, 450), arial(9.75, true), QStringLiteral("Fill"));
    cmdClear = new forms::CommandButton(area, twipsRect(14280, 180, 1335, 450), arial(9.75, true), QStringLiteral("Clear"));
    cmdCreate = new forms::CommandButton(area, twipsRect(15840, 180, 2175, 450), arial(9.75, true),
                                         QStringLiteral("Create Word Search"));
    txtList = new forms::MultiLineTextBox(area, twipsRect(14760, 2040, 3255, 10695), arial(14.25, true));

    QFont cellFont = arial(18, true);
    // A cell holds one character: kerning and ligatures have nothing to act on, and shaping
    // each write is most of what Fill costs. Scripts that need shaping still get it.
    cellFont.setStyleStrategy(QFont::PreferNoShaping);
    for (int i = 0; i < kCellCount; ++i) {
        auto* cell = new forms::TextBox(area, cellRect(i), cellFont);
        cell->setMaxLength(1);
        cell->setAlignment(Qt::AlignCenter);
        cell->Change = [this, i] { txtEntry_Change(i); };
        cell->Click = [this, i] { txtEntry_Click(i); };
        txtEntry.add(cell);
    }

    lblTitle = new forms::Label(area, twipsRect(360, 263, 570, 285), arial(12, true), QStringLiteral("Title:"));
    lblTitle->setAutoSize(true);
    // "List:" keeps its box so that it stands centred over the list.
    Label1 = new forms::Label(area, twipsRect(14760, 1680, 3255, 285), arial(12, true), QStringLiteral("List:"));
    Label1->setAlignment(Qt::AlignHCenter);

    fraDir = new forms::Frame(area, twipsRect(14760, 840, 3255, 650));
    lblDirection = new forms::Label(fraDir, twipsRect(165, 240, 2925, 240), arial(9.75, true),
                                    directionLabel(static_cast<std::uint8_t>(pellacrest::Direction::Right)));
    lblDirection->setAlignment(Qt::AlignHCenter);
    lblDirection->setForeColor(QColor(192, 0, 0));

    cmdFill->Click = [this] { cmdFill_Click(); };
    cmdClear->Click = [this] { cmdClear_Click(); };
    cmdCreate->Click = [this] { cmdCreate_Click(); };

    // The window opens with the focus on the first control of the tab cycle.
    txtTitle->setFocus();
}

void frmEntry::buildMenus()
{
    File = addMenu(QStringLiteral("&File"));
    Exit = addMenuEntry(File, QStringLiteral("E&xit"), [this] { Exit_Click(); });

    // The shortcut letters surround S on the keyboard in the directions they set.
    Direction = addMenu(QStringLiteral("&Direction"));
    Up = addMenuEntry(Direction, QStringLiteral("&Up"), [this] { Up_Click(); }, QKeySequence(Qt::CTRL | Qt::Key_W));
    Left = addMenuEntry(Direction, QStringLiteral("&Left"), [this] { Left_Click(); }, QKeySequence(Qt::CTRL | Qt::Key_A));
    Down = addMenuEntry(Direction, QStringLiteral("&Down"), [this] { Down_Click(); }, QKeySequence(Qt::CTRL | Qt::Key_S));
    Right = addMenuEntry(Direction, QStringLiteral("&Right"), [this] { Right_Click(); }, QKeySequence(Qt::CTRL | Qt::Key_D));
    addMenuSeparator(Direction);
    Northwest = addMenuEntry(Direction, QStringLiteral("&Northwest"), [this] { Northwest_Click(); },
                             QKeySequence(Qt::CTRL | Qt::Key_Q));
    Northeast = addMenuEntry(Direction, QStringLiteral("N&ortheast"), [this] { Northeast_Click(); },
                             QKeySequence(Qt::CTRL | Qt::Key_E));
    Southwest = addMenuEntry(Direction, QStringLiteral("&Southwest"), [this] { Southwest_Click(); },
                             QKeySequence(Qt::CTRL | Qt::Key_Z));
    Southeast = addMenuEntry(Direction, QStringLiteral("So&utheast"), [this] { Southeast_Click(); },
                             QKeySequence(Qt::CTRL | Qt::Key_C));

    Help = addMenu(QStringLiteral("&Help"));
    About = addMenuEntry(Help, QStringLiteral("&About"), [this] { About_Click(); });
}

void frmEntry::Form_Load()
{
    AutoAdvance = true;
    TypingDirection = static_cast<std::uint8_t>(pellacrest::Direction::Right);
    lblDirection->setCaption(directionLabel(TypingDirection));
}

void frmEntry::Exit_Click() { forms::End(); }

void frmEntry::About_Click()
{
    // After a sample load the About window stands modeless; asking for it again brings it
    // forward rather than trying to show a visible window modally.
    if (forms::isLoaded<frmAbout>() && forms::instance<frmAbout>().isVisible()) {
        forms::instance<frmAbout>().Show();
        return;
    }
    forms::instance<frmAbout>().Show(forms::Modality::Modal);
}
