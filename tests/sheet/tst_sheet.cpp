#include "common/Support.h"
#include "editor/frmEntry.h"
#include "sheet/frmOutput.h"

#include <QTest>

// Presses Create, checks the sheet, then clicks `place` on it as a user would: true when that closed it.
static bool createAndClose(frmEntry& ed, const QString& place, const QString& title, const QMap<int, QString>& cells,
                           int skipped, const QString& list)
{
    bool closed = false; // stays false when the sheet never shows
    support::duringModal([&] { QTest::mouseClick(ed.cmdCreate, Qt::LeftButton); }, [&] {
        frmOutput& s = forms::instance<frmOutput>();
        [&] { // a failed check returns from here only, and the click below still closes the sheet
            QVERIFY(QTest::qWaitForWindowExposed(&s));
            QCOMPARE(s.lblTitle->Caption(), title);
            for (int i = 0; i < 400; ++i)
                QCOMPARE(s.lblLetter(i).Caption(), i != skipped ? cells.value(i) : QString());
            QCOMPARE(s.lblList->Caption(), list);
            // As an access-key mark, the "&" in cell 37 would draw nothing, like the empty cell beside it.
            QVERIFY(s.lblLetter(37).grab().toImage() != s.lblLetter(38).grab().toImage());
        }();
        const QMap<QString, QPoint> at = {{"margin", {2, 2}}, {"frame", s.Shape1->geometry().topLeft() + QPoint(1, 1)},
            {"bar", s.Shape2->geometry().center()}, {"title", s.lblTitle->geometry().center()},
            {"filled cell", s.lblLetter(0).geometry().center()}, {"empty cell", s.lblLetter(1).geometry().center()},
            {"list", s.lblList->geometry().center()}, {"footer", s.lblCopy->geometry().center()}};
        QTest::mouseClick(s.windowHandle(), Qt::LeftButton, {}, s.client()->mapTo(&s, at.value(place)));
        closed = !forms::isLoaded<frmOutput>();
        if (!closed) // a sheet left open would wait out the deadline
            s.Unload();
    }, 5000);
    return closed;
}

class TstSheet : public QObject {
    Q_OBJECT
private slots:
    void createShowsPuzzleUntilClicked_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("failingStep"); // "cell" fails for cell 19 alone; "" for none
        QTest::addColumn<QString>("place");
        QTest::newRow("spaces around, margin") << "  Alps  " << "Alps" << "" << "margin";
        QTest::newRow("inner spaces kept, frame") << "a  b" << "a  b" << "" << "frame";
        QTest::newRow("spaces only, bar") << "   " << "" << "" << "bar";
        QTest::newRow("tab kept, title") << "\tx " << "\tx" << "" << "title";
        QTest::newRow("ampersand, filled cell") << "Cats & Dogs" << "Cats & Dogs" << "" << "filled cell";
        QTest::newRow("a cell fails alone, empty cell") << "Alps" << "Alps" << "cell" << "empty cell";
        QTest::newRow("list") << "Alps" << "Alps" << "" << "list";
        QTest::newRow("showing fails quietly, footer") << "Alps" << "Alps" << "show" << "footer";
    }
    void createShowsPuzzleUntilClicked()
    {
        QFETCH(QString, title);
        QFETCH(QString, shown);
        QFETCH(QString, failingStep);
        QFETCH(QString, place);
        support::RuntimeRecorder rec;
        auto& ed = support::showActive<frmEntry>();
        const QMap<int, QString> cells = {{0, "N"}, {19, "O"}, {37, "&"}, {380, "P"}, {399, "Q"}, {42, "q"}, {77, " "}};
        // Copied as it stands: the blank line, the break at the end, a no-break space, a line separator.
        const QString list = QStringLiteral("ONE\r\n\r\nTWO\u00A0A\u2028B\r\n");
        for (const auto& [i, letter] : cells.asKeyValueRange())
            ed.txtEntry(i).setText(letter);
        ed.txtTitle->setText(title);
        ed.txtList->setText(list);
        const int skipped = failingStep == "cell" ? 19 : -1;
        forms::testing::injectFault("Create", failingStep.toStdString(), skipped);
        QCOMPARE(createAndClose(ed, place, shown, cells, skipped, list), failingStep != "show");
        QCOMPARE(rec.messages, QStringList());
        QCOMPARE(rec.quits, 0); // a run-time error would have ended the program
        QVERIFY(ed.isVisible());
        // Closed is unloaded: a second Create makes a new sheet, of the editor as it was, all of it.
        forms::testing::clearFaults();
        QVERIFY(createAndClose(ed, place, shown, cells, -1, list));
    }
};

QTEST_MAIN(TstSheet)
#include "tst_sheet.moc"
