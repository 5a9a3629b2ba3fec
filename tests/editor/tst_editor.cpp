// The editor window, shown and active, driven by real key presses and mouse clicks.
#include "common/Support.h"
#include "editor/frmEntry.h"

#include <QClipboard>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

using forms::twipsRect;

namespace {

// Types into whichever control has the focus at each moment, as a typist would: "^S" is Ctrl+S,
// "@" a click on the focused control, \b Backspace, \x7f Delete, \r Enter, \x1b Esc.
void type(const QString& keys)
{
    for (qsizetype i = 0; i < keys.size(); ++i) {
        QWidget* focus = QApplication::focusWidget();
        const bool ctrl = keys.at(i) == u'^';
        const QChar key = keys.at(ctrl ? ++i : i);
        if (key == u'@')
            QTest::mouseClick(focus, Qt::LeftButton);
        else if (key == u'\x7f')
            QTest::keyClick(focus, Qt::Key_Delete);
        else
            QTest::keyClick(focus, char(key.unicode()), ctrl ? Qt::ControlModifier : Qt::NoModifier);
    }
}

// A word with its last two letters selected: undo history, a selection to copy, one to grow.
void typeAndSelect(QWidget* field)
{
    field->setFocus();
    QTest::keyClicks(field, QStringLiteral("Word"));
    QTest::keyClick(field, Qt::Key_Left, Qt::ShiftModifier);
    QTest::keyClick(field, Qt::Key_Left, Qt::ShiftModifier);
}

QString selection(QWidget* field) { return field->inputMethodQuery(Qt::ImCurrentSelection).toString(); }

QStringList cellTexts(const frmEntry& frm)
{
    QStringList texts;
    for (const forms::TextBox* cell : frm.txtEntry)
        texts << cell->text();
    return texts;
}

} // namespace

class TstEditor : public QObject {
    Q_OBJECT
private slots:
    void startState()
    {
        support::RuntimeRecorder rec;
        frmEntry& frm = support::showActive<frmEntry>();
        QCOMPARE(frm.Caption(), QStringLiteral("Pellacrest"));
        QCOMPARE(frm.client()->size(), QSize(1225, 877));
        QCOMPARE(frm.minimumSize(), frm.maximumSize());
        const std::pair<QWidget*, QRect> layout[] = {{&frm.txtEntry(0), twipsRect(360, 840, 615, 555)},
            {&frm.txtEntry(19), twipsRect(14040, 840, 615, 555)}, {&frm.txtEntry(380), twipsRect(360, 12240, 615, 555)},
            {&frm.txtEntry(399), twipsRect(14040, 12240, 615, 555)}, {frm.txtTitle, twipsRect(1080, 180, 11415, 450)},
            {frm.cmdFill, twipsRect(12720, 180, 1335, 450)}, {frm.cmdClear, twipsRect(14280, 180, 1335, 450)},
            {frm.cmdCreate, twipsRect(15840, 180, 2175, 450)}, {frm.fraDir, twipsRect(14760, 840, 3255, 650)},
            {frm.lblDirection, twipsRect(165, 240, 2925, 240)}, {frm.Label1, twipsRect(14760, 1680, 3255, 285)},
            {frm.txtList, twipsRect(14760, 2040, 3255, 10695)}};
        for (const auto& [control, rect] : layout)
            QCOMPARE(control->geometry(), rect);
        const auto controls = frm.client()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (const forms::TextBox* cell : frm.txtEntry) {
            for (const QWidget* other : controls)
                QVERIFY(other == cell || !other->geometry().intersects(cell->geometry()));
        }
        QCOMPARE(cellTexts(frm), QStringList(400, QString()));
        QCOMPARE(QApplication::focusWidget(), frm.txtTitle);
        QCOMPARE(frm.lblDirection->Caption(), QStringLiteral("Typing Direction: Right"));
        const QImage label = frm.lblDirection->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const auto* pixels = reinterpret_cast<const QRgb*>(label.constBits());
        QVERIFY(std::count(pixels, pixels + label.sizeInBytes() / 4, qRgb(192, 0, 0)) > 0);
        QVERIFY(frm.autoAdvance());
        QCOMPARE(frm.typingDirection(), 3);
    }

    void tabCycle()
    {
        support::RuntimeRecorder rec;
        frmEntry& frm = support::showActive<frmEntry>();
        QList<QWidget*> cycle{frm.cmdFill, frm.cmdClear, frm.cmdCreate, frm.txtList};
        for (forms::TextBox* cell : frm.txtEntry)
            cycle << cell;
        for (QWidget* next : cycle << frm.txtTitle) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        for (const auto& [from, to] : {std::pair<int, QWidget*>(100, &frm.txtEntry(99)), {0, frm.txtList}}) {
            frm.txtEntry(from).setFocus();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
            QCOMPARE(QApplication::focusWidget(), to);
        }
    }

    void typing_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("before"); // the cells from the start cell on; "_" is empty
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("focus");
        QTest::newRow("any character advances, as typed") << 18 << "" << "q 7" << "q 7" << 21;
        QTest::newRow("Up wraps from the top row") << 5 << "" << "^WA" << "A" << 385;
        QTest::newRow("a direction counts from the next letter") << 0 << "" << "A^SB" << "AB" << 21;
        QTest::newRow("a word overwrites letters") << 39 << "_WXYZ" << "HELLO" << "HELLO" << 44;
        QTest::newRow("a click selects the letter") << 50 << "K" << "@M" << "M" << 51;
        QTest::newRow("a full cell refuses more") << 60 << "K" << "M" << "K" << 60;
        QTest::newRow("Backspace moves nothing") << 70 << "K" << "\b" << "_" << 70;
        QTest::newRow("Delete moves nothing") << 71 << "K" << "@\x7f" << "_" << 71;
    }
    void typing()
    {
        QFETCH(int, start);
        QFETCH(QString, before);
        QFETCH(QString, keys);
        QFETCH(QString, after);
        QFETCH(int, focus);
        support::RuntimeRecorder rec;
        frmEntry& frm = support::showActive<frmEntry>();
        for (int k = 0; k < before.size(); ++k)
            frm.txtEntry(start + k).setText(before.mid(k, 1).replace(u'_', QString()));
        frm.txtEntry(start).setFocus();
        type(keys);
        for (int k = 0; k < after.size(); ++k)
            QCOMPARE(frm.txtEntry(start + k).text(), after.mid(k, 1).replace(u'_', QString()));
        QCOMPARE(QApplication::focusWidget(), &frm.txtEntry(focus));
    }

    void titleLimitAndPlainKeys()
    {
        support::RuntimeRecorder rec;
        frmEntry& frm = support::showActive<frmEntry>();
        QSignalSpy fill(frm.cmdFill, &QPushButton::clicked), clear(frm.cmdClear, &QPushButton::clicked),
            create(frm.cmdCreate, &QPushButton::clicked);
        QTest::keyClicks(frm.txtTitle, QString(60, u'W'));
        QCOMPARE(frm.txtTitle->text(), QString(50, u'W'));
        type(QStringLiteral("\r\x1b"));
        frm.txtEntry(0).setFocus();
        type(QStringLiteral("\r\x1b"));
        QCOMPARE(fill.count() + clear.count() + create.count(), 0);
    }

    void directionShortcuts_data()
    {
        QTest::addColumn<char>("key");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("label");
        // The keys around S on the keyboard, in the directions they set.
        const char* names[] = {"Up", "Left", "Down", "Right", "Diagonal NW", "Diagonal NE", "Diagonal SW",
                               "Diagonal SE"};
        for (int code = 0; code < 8; ++code) {
            const char key = "WASDQEZC"[code];
            QTest::addRow("Ctrl+%c", key) << key << code << QStringLiteral("Typing Direction: %1").arg(names[code]);
        }
    }
    // In every text field the shortcut wins over the field's own Ctrl keys (copy, undo, select all).
    void directionShortcuts()
    {
        QFETCH(char, key);
        QFETCH(int, code);
        support::RuntimeRecorder rec;
        frmEntry& frm = support::showActive<frmEntry>();
        QApplication::clipboard()->setText(QStringLiteral("kept"));
        frm.txtEntry(10).setText(QStringLiteral("K"));
        for (QWidget* field : std::initializer_list<QWidget*>{&frm.txtEntry(10), frm.txtTitle, frm.txtList}) {
            if (field == &frm.txtEntry(10))
                QTest::mouseClick(field, Qt::LeftButton); // selects its letter
            else
                typeAndSelect(field);
            const QVariant text = field->inputMethodQuery(Qt::ImSurroundingText);
            const QString selected = selection(field);
            (code == 0 ? frm.Down : frm.Up)->trigger();
            QTest::keyClick(field, key, Qt::ControlModifier);
            QCOMPARE(frm.typingDirection(), code);
            QTEST(frm.lblDirection->Caption(), "label");
            QCOMPARE(QApplication::focusWidget(), field);
            QCOMPARE(field->inputMethodQuery(Qt::ImSurroundingText), text);
            QCOMPARE(selection(field), selected);
        }
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("kept"));
    }

    void fillAndClear()
    {
        support::RuntimeRecorder rec;
        frmEntry& frm = support::showActive<frmEntry>();
        frm.txtEntry(30).setText(QStringLiteral(" "));
        frm.txtEntry(31).setText(QStringLiteral("q"));
        frm.Down->trigger();
        typeAndSelect(frm.txtTitle);
        frm.cmdFill->click();
        QStringList texts = cellTexts(frm);
        QCOMPARE(texts.mid(30, 2), QStringList({" ", "q"}));
        texts.remove(30, 2);
        QVERIFY(texts.join(QString()).contains(QRegularExpression(QStringLiteral("^[A-Z]{398}$"))));
        // A full grid: a second Fill changes no cell.
        texts = cellTexts(frm);
        int changes = 0;
        for (forms::TextBox* cell : frm.txtEntry)
            connect(cell, &QLineEdit::textChanged, this, [&changes] { ++changes; });
        frm.cmdFill->click();
        QCOMPARE(changes, 0);
        QCOMPARE(cellTexts(frm), texts);
        QVERIFY(frm.autoAdvance());
        frm.txtList->setText(QStringLiteral("CAT\r\nDOG"));
        frm.cmdClear->click();
        QVERIFY(frm.txtList->Text().isEmpty());
        QCOMPARE(cellTexts(frm), QStringList(400, QString()));
        QCOMPARE(frm.txtTitle->text(), QStringLiteral("Word"));
        QCOMPARE(frm.typingDirection(), 2);
        QCOMPARE(frm.lblDirection->Caption(), QStringLiteral("Typing Direction: Down"));
        // Neither command moves the focus or touches the selection.
        QCOMPARE(QApplication::focusWidget(), frm.txtTitle);
        QCOMPARE(selection(frm.txtTitle), QStringLiteral("rd"));
    }

    // The first cell of a row looks at the last cell of the row above.
    void fillComparesWithCellBefore()
    {
        support::RuntimeRecorder rec;
        frmEntry& frm = support::showActive<frmEntry>();
        for (int i = 0; i < 400; ++i)
            frm.txtEntry(i).setText(i == 19 ? QStringLiteral("B") : i == 20 ? QString() : QStringLiteral("b"));
        const QList<double> draws{0.04, 0.99, 0.08}; // B, a high roll, C
        qsizetype used = 0;
        forms::testing::setRandomSource([&] { return draws.value(used++, 0.5); });
        frm.cmdFill->click();
        QCOMPARE(frm.txtEntry(20).text(), QStringLiteral("C"));
        QCOMPARE(used, 3);
    }

    void fileExitEndsProgram()
    {
        support::RuntimeRecorder rec;
        QTest::keyClick(&support::showActive<frmEntry>(), Qt::Key_F, Qt::AltModifier);
        QTRY_VERIFY(QApplication::activePopupWidget());
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_X);
        QTRY_COMPARE(rec.quits, 1);
    }
};

QTEST_MAIN(TstEditor)
#include "tst_editor.moc"
