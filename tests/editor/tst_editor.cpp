// The editor window, shown and active, driven by real key presses and mouse clicks.
#include "common/Support.h"
#include "editor/frmEntry.h"

#include <QMenu>
#include <QRegularExpression>
#include <QTest>

#include <memory>

// Keys sent to no widget in particular go to the focused one at that moment, as a typist's keys do.
QWidget* const focused = nullptr;

// `count` cells from `from` on as one string, "_" for an empty cell.
static QString cells(const frmEntry& frm, int from = 0, int count = 400)
{
    QString text;
    for (int i = from; i < from + count; ++i)
        text += frm.txtEntry(i).text().isEmpty() ? QStringLiteral("_") : frm.txtEntry(i).text();
    return text;
}

class TstEditor : public QObject {
    Q_OBJECT
private slots:
    void startStateAndTabCycle()
    {
        support::RuntimeRecorder rec;
        frmEntry& frm = support::showActive<frmEntry>();
        // Typed without a click: the title holds the start-up focus. Enter and Esc press no button.
        QTest::keyClicks(focused, QString(60, u'W') + u'\r' + u'\x1b');
        QCOMPARE(frm.txtTitle->text(), QString(50, u'W'));
        QCOMPARE(frm.lblDirection->Caption(), QStringLiteral("Typing Direction: Right"));
        QVERIFY(!frm.lblDirection->grab().toImage().allGray()); // drawn in its dark red, not black
        QCOMPARE(frm.client()->size(), QSize(1225, 877));
        QCOMPARE(frm.minimumSize(), frm.maximumSize());
        QList<QWidget*> cycle{frm.txtTitle, frm.cmdFill, frm.cmdClear, frm.cmdCreate, frm.txtList};
        cycle.append(QList<QWidget*>(frm.txtEntry.begin(), frm.txtEntry.end()));
        for (qsizetype i = 1; i <= 2 * cycle.size(); ++i) { // round the cycle with Tab, then back with Shift+Tab
            const bool back = i > cycle.size();
            QTest::keyClick(focused, back ? Qt::Key_Backtab : Qt::Key_Tab, back ? Qt::ShiftModifier : Qt::NoModifier);
            QCOMPARE(QApplication::focusWidget(), cycle.at(back ? 2 * cycle.size() - i : i % cycle.size()));
        }
    }

    // A typist running from the second row into the third; W, X, Y and Z wait in cells 41 to 44.
    void typingAndDirectionKeys()
    {
        support::RuntimeRecorder rec;
        frmEntry& frm = support::showActive<frmEntry>();
        for (int i = 0; i < 4; ++i)
            frm.txtEntry(41 + i).setText(QString(u"WXYZ"[i]));
        frm.txtEntry(37).setFocus();
        QTest::keyClicks(focused, QStringLiteral("q 7HELLOB")); // kept as typed, and over the letters ahead
        QTest::mouseClick(&frm.txtEntry(41), Qt::LeftButton); // selects the E, for the M to replace
        QTest::keyClick(focused, 'M');
        QCOMPARE(QApplication::focusWidget(), &frm.txtEntry(42));
        frm.txtEntry(45).setFocus(); // after its B: the full cell refuses the K, and emptied, moves nothing
        QTest::keyClick(focused, 'K');
        QTest::keyClick(focused, Qt::Key_Backspace);
        QCOMPARE(cells(frm, 37, 9), QStringLiteral("q 7HMLLO_"));
        QCOMPARE(QApplication::focusWidget(), &frm.txtEntry(45));
        // The direction keys beat each text field's own Ctrl keys (copy, undo, delete, select all,
        // end): any of those would lose the selected "d", and not turn the direction.
        frm.txtEntry(10).insert(QStringLiteral("d"));
        frm.txtTitle->insert(QStringLiteral("Word"));
        frm.txtList->insertPlainText(QStringLiteral("Word"));
        for (QWidget* field : std::initializer_list<QWidget*>{&frm.txtEntry(10), frm.txtTitle, frm.txtList}) {
            field->setFocus();
            QTest::keyClick(field, Qt::Key_Left, Qt::ShiftModifier);
            for (int code = 0; code < 8; ++code) {
                QTest::keyClick(field, "WASDQEZC"[code], Qt::ControlModifier);
                QCOMPARE(frm.typingDirection(), code);
                QCOMPARE(field->inputMethodQuery(Qt::ImCurrentSelection).toString(), QStringLiteral("d"));
            }
        }
    }

    void fillAndClear()
    {
        support::RuntimeRecorder rec;
        frmEntry& frm = support::showActive<frmEntry>();
        // Cell 20, first of its row, draws B like cell 19 at the end of the row above, so draws again: C.
        forms::testing::setRandomSource([draws = QList{0.04, 0.99, 0.08}, i = 0]() mutable { return draws.value(i++, 0.5); });
        frm.txtEntry(0).setFocus();
        QTest::keyClicks(focused, u' ' + QString(18, u'q') + u'B');
        frm.Down->trigger();
        frm.txtTitle->setFocus();
        QTest::keyClicks(focused, QStringLiteral("Word"));
        QTest::keyClick(focused, Qt::Key_Left, Qt::ShiftModifier);
        frm.cmdFill->click();
        QVERIFY(QRegularExpression(QStringLiteral("^ q{18}BC[A-Z]{379}$")).match(cells(frm)).hasMatch());
        QVERIFY(frm.autoAdvance());
        frm.txtList->setText(QStringLiteral("CAT\r\nDOG"));
        frm.cmdClear->click();
        QVERIFY(frm.txtList->Text().isEmpty());
        QCOMPARE(cells(frm), QString(400, u'_'));
        QCOMPARE(QApplication::focusWidget(), frm.txtTitle); // neither command moves it, nor touches the title
        QCOMPARE(frm.txtTitle->selectedText(), QStringLiteral("d"));
        QCOMPARE(frm.lblDirection->Caption(), QStringLiteral("Typing Direction: Down"));
    }

    // The list gives back what it holds: only its own line breaks change form, to CR LF.
    void listGivesBackWhatItHolds_data()
    {
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("read");
        QTest::newRow("no-break space, line separator, tab")
            << QStringLiteral("A\u00A0B\u2028C\tD") << QStringLiteral("A\u00A0B\u2028C\tD");
        QTest::newRow("a lone CR or LF is a line break") << "A\rB\nC" << "A\r\nB\r\nC";
    }
    void listGivesBackWhatItHolds()
    {
        QFETCH(QString, written);
        support::RuntimeRecorder rec;
        frmEntry& frm = forms::instance<frmEntry>();
        frm.txtList->setText(written);
        QTEST(frm.txtList->Text(), "read");
    }

    void shiftEnterStartsALine()
    {
        support::RuntimeRecorder rec;
        frmEntry& frm = support::showActive<frmEntry>();
        frm.txtList->setFocus();
        QTest::keyClick(focused, 'A');
        QTest::keyClick(focused, Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClick(focused, 'B');
        QCOMPARE(frm.txtList->Text(), QStringLiteral("A\r\nB"));
    }

    // Hebrew runs right to left; the title still starts at its left edge, and a cell stays centred.
    void alignmentHoldsRightToLeft_data()
    {
        QTest::addColumn<bool>("inCell");
        QTest::addColumn<double>("inkCentre"); // where the ink's middle stands, as a share of the field's width
        QTest::newRow("title, left") << false << 0.0;
        QTest::newRow("cell, centred") << true << 0.5;
    }
    void alignmentHoldsRightToLeft()
    {
        QFETCH(bool, inCell);
        QFETCH(double, inkCentre);
        support::RuntimeRecorder rec;
        frmEntry& frm = forms::instance<frmEntry>();
        forms::TextBox* field = inCell ? &frm.txtEntry(0) : frm.txtTitle;
        field->setText(inCell ? QStringLiteral("\u05E9") : QStringLiteral("\u05E9\u05DC\u05D5\u05DD"));
        const QImage image = field->grab().toImage();
        int left = image.width(), right = -1;
        for (int y = 4; y < image.height() - 4; ++y)
            for (int x = 4; x < image.width() - 4; ++x)
                if (qGray(image.pixel(x, y)) < 80) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
        QVERIFY(right >= left);
        const double middle = (left + right) / 2.0 / image.width();
        // A short word in the title has its middle well inside the left quarter.
        QVERIFY2(std::abs(middle - inkCentre) < (inCell ? 0.1 : 0.25), qPrintable(QString::number(middle)));
    }

    // A field's own menu names no key the window has taken for a typing direction.
    void contextMenusNameNoTakenKey()
    {
        support::RuntimeRecorder rec;
        frmEntry& frm = forms::instance<frmEntry>();
        const std::unique_ptr<QMenu> menus[] = {std::unique_ptr<QMenu>(frm.txtTitle->contextMenu()),
                                                std::unique_ptr<QMenu>(frm.txtEntry(0).contextMenu()),
                                                std::unique_ptr<QMenu>(frm.txtList->contextMenu())};
        for (const auto& menu : menus) {
            QStringList texts;
            for (const QAction* action : menu->actions())
                texts << action->text();
            const QString all = texts.join(u'|');
            for (const char* taken : {"Ctrl+Z", "Ctrl+A", "Ctrl+C"})
                QVERIFY2(!all.contains(QLatin1String(taken)), qPrintable(all));
            QVERIFY2(all.contains(QLatin1String("Ctrl+V")), qPrintable(all)); // the keys it keeps, it still names
        }
    }
};

QTEST_MAIN(TstEditor)
#include "tst_editor.moc"
