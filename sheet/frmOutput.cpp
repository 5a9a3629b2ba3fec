#include "frmOutput.h"

#include "app/CellIndex.h"
#include "app/Maker.h"

#include <array>

using forms::arial;
using forms::twipsRect;
using namespace pellacrest;

namespace {

// The rows stand 610 or 620 twips apart in no regular order, so their tops are a table.
constexpr std::array<int, kGridRows> kRowTops = {
    1080, 1690, 2310, 2930, 3540, 4160, 4770, 5390, 6000, 6610,
    7230, 7850, 8460, 9080, 9690, 10310, 10920, 11540, 12150, 12760,
};

constexpr QRect letterRect(int index)
{
    return twipsRect(480 + 600 * cellColumn(index), kRowTops[static_cast<std::size_t>(cellRow(index))], 495, 435);
}

// The sheet shows what the user typed, as typed: an "&" in a title or a word list is text,
// not an access-key mark.
forms::Label* sheetLabel(QWidget* parent, const QRect& rect, double points, const QString& caption = {})
{
    auto* label = new forms::Label(parent, rect, arial(points, true), caption);
    label->setAccessKeyMarking(false);
    label->setBackColor(Qt::white);
    label->setForeColor(Qt::black);
    return label;
}

} // namespace

frmOutput::frmOutput()
    : Form(16680, 14550, forms::Border::None, forms::StartPosition::CenterOwner)
{
    setCaption(QStringLiteral("Pellacrest"));
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);

    QWidget* area = client();
    lblTitle = sheetLabel(area, twipsRect(375, 120, 12060, 555), 21.75);
    Shape1 = new forms::Shape(area, twipsRect(340, 870, 12180, 12560), 4, Qt::black);
    for (int i = 0; i < kCellCount; ++i) {
        forms::Label* letter = sheetLabel(area, letterRect(i), 18);
        letter->setAlignment(Qt::AlignHCenter);
        letter->Click = [this] { CloseSheet(); };
        lblLetter.add(letter);
    }
    Shape2 = new forms::Shape(area, twipsRect(12863, 2400, 3495, 60), 1, Qt::black, Qt::black);
    lblList = sheetLabel(area, twipsRect(13110, 2790, 3000, 10515), 14.25);
    lblCopy = sheetLabel(area, twipsRect(360, 14040, 10620, 240), 9.75,
                         QStringLiteral("Created with Pellacrest from ") + QString::fromUtf16(kWebDomain));

    Click = [this] { CloseSheet(); };
    lblTitle->Click = [this] { CloseSheet(); };
    lblList->Click = [this] { CloseSheet(); };
    lblCopy->Click = [this] { CloseSheet(); };
}

void frmOutput::CloseSheet()
{
    // Through the application-wide instance: the window that was clicked is the only one.
    forms::instance<frmOutput>().Hide();
    forms::instance<frmOutput>().Unload();
}
