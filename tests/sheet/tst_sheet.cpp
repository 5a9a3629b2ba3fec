#include "common/Support.h"
#include "editor/frmEntry.h"
#include "sheet/frmOutput.h"

#include <QTest>

#include <map>

namespace {

using Cells = std::map<int, QString>;

// One point of each kind of place on the sheet, in window coordinates.
QPoint placeOn(frmOutput& s, const QString& place)
{
    const QRect a = s.lblLetter(0).geometry(), b = s.lblLetter(1).geometry();
    const std::map<QString, QPoint> at = {{"margin", {2, 2}}, {"frame", s.Shape1->geometry().topLeft() + QPoint(1, 1)},
        {"bar", s.Shape2->geometry().center()}, {"title", s.lblTitle->geometry().center()}, {"filled cell", a.center()},
        {"empty cell", b.center()}, {"gap", {(a.right() + b.left()) / 2, a.center().y()}},
        {"list", s.lblList->geometry().center()}, {"footer", s.lblCopy->geometry().topLeft() + QPoint(3, 3)}};
    return s.client()->mapTo(&s, at.at(place));
}

// Presses Create, lets `look` see the shown sheet, then clicks `place` through the window system as a
// user would. True when the sheet was shown and that click closed it.
bool createAndClose(frmEntry& ed, const std::function<void(frmOutput&)>& look, const QString& place = "margin")
{
    bool closed = false;
    const bool shown = support::duringModal([&] { QTest::mouseClick(ed.cmdCreate, Qt::LeftButton); }, [&] {
        frmOutput& s = forms::instance<frmOutput>();
        [&] { // every sheet is a borderless white page; a failed check here still gets the click below
            QVERIFY(QTest::qWaitForWindowExposed(&s) && s.windowFlags().testFlag(Qt::FramelessWindowHint));
            QCOMPARE(s.frameGeometry().size(), QSize(1112, 970));
            const QImage page = s.grab().toImage();
            for (QPoint p : {placeOn(s, "margin"), placeOn(s, "gap"), QPoint(1100, 960)})
                QCOMPARE(page.pixel(p), qRgb(255, 255, 255));
            look(s);
        }();
        QTest::mouseClick(s.windowHandle(), Qt::LeftButton, {}, placeOn(s, place));
        closed = !forms::isLoaded<frmOutput>();
        if (!closed) // a sheet left open would wait out the deadline
            forms::instance<frmOutput>().Unload();
    }, 5000);
    return shown && closed;
}

void expectSheet(frmOutput& s, const QString& title, const Cells& cells, int skippedCell, const QString& list)
{
    QCOMPARE(s.lblTitle->Caption(), title);
    for (int i = 0; i < 400; ++i)
        QCOMPARE(s.lblLetter(i).Caption(), cells.count(i) && i != skippedCell ? cells.at(i) : QString());
    QCOMPARE(s.lblList->Caption(), list);
    QCOMPARE(s.lblCopy->Caption(), QString("Created with Pellacrest from www.pellacrest.example"));
}

// The right-most column of dark pixels the widget draws; -1 when it draws none.
int inkRight(QWidget* w)
{
    const QImage img = w->grab().toImage();
    int right = -1;
    for (int x = 0; x < img.width(); ++x)
        for (int y = 0; y < img.height(); ++y)
            right = qGray(img.pixel(x, y)) < 128 ? x : right;
    return right;
}

} // namespace

class TstSheet : public QObject {
    Q_OBJECT
private slots:
    // Each row is one puzzle and the place the user clicks to close its sheet.
    void createShowsPuzzleUntilClicked_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("failingStep");
        QTest::addColumn<int>("failingCell");
        QTest::addColumn<QString>("place");
        QTest::newRow("spaces around, margin") << "  Alps  " << "Alps" << "" << -1 << "margin";
        QTest::newRow("inner spaces kept, frame") << "a  b" << "a  b" << "" << -1 << "frame";
        QTest::newRow("spaces only, bar") << "   " << "" << "" << -1 << "bar";
        QTest::newRow("tab kept, title") << "\tx " << "\tx" << "" << -1 << "title";
        QTest::newRow("ampersand, empty cell") << "Cats & Dogs" << "Cats & Dogs" << "" << -1 << "empty cell";
        QTest::newRow("cell 37 fails, filled cell") << "Alps" << "Alps" << "cell" << 37 << "filled cell";
        QTest::newRow("title fails, gap") << "Alps" << "" << "title" << -1 << "gap";
        QTest::newRow("list") << "Alps" << "Alps" << "" << -1 << "list";
        QTest::newRow("footer") << "Alps" << "Alps" << "" << -1 << "footer";
    }
    void createShowsPuzzleUntilClicked()
    {
        QFETCH(QString, title);
        QFETCH(QString, shown);
        QFETCH(QString, failingStep);
        QFETCH(int, failingCell);
        QFETCH(QString, place);
        support::RuntimeRecorder rec;
        auto& ed = support::showActive<frmEntry>();
        const Cells cells = {{0, "N"}, {19, "O"}, {37, "X"}, {380, "P"}, {399, "Q"}, {42, "q"}, {77, " "}};
        const QString list = QStringLiteral("ONE\r\n\r\nTWO\r\n");
        for (const auto& [i, letter] : cells)
            ed.txtEntry(i).setText(letter);
        ed.txtTitle->setText(title);
        ed.txtList->setText(list);
        if (!failingStep.isEmpty())
            forms::testing::injectFault("Create", failingStep.toStdString(), failingCell);
        QVERIFY(createAndClose(ed, [&](frmOutput& s) { expectSheet(s, shown, cells, failingCell, list); }, place));
        QVERIFY(!forms::isLoaded<frmOutput>() && rec.errors.empty() && rec.messages.isEmpty() && rec.quits == 0);
        QVERIFY(ed.txtTitle->Text() == title && ed.txtList->Text() == list);
        for (const auto& [i, letter] : cells)
            QCOMPARE(ed.txtEntry(i).Text(), letter);
        // Emptied, the editor makes a second sheet with nothing of the first one left on it.
        forms::testing::clearFaults();
        for (const auto& [i, letter] : cells)
            ed.txtEntry(i).setText(QString());
        ed.txtTitle->setText(QString());
        ed.txtList->setText(QString());
        QVERIFY(createAndClose(ed, [](frmOutput& s) { expectSheet(s, {}, {}, -1, {}); }, place));
        QVERIFY(rec.messages.isEmpty());
    }
    void failedShowEndsCreateQuietly()
    {
        support::RuntimeRecorder rec;
        auto& ed = support::showActive<frmEntry>();
        forms::testing::injectFault("Create", "show");
        QVERIFY(!support::duringModal([&] { QTest::mouseClick(ed.cmdCreate, Qt::LeftButton); },
                                      [] { forms::instance<frmOutput>().Unload(); }));
        QVERIFY(!forms::instance<frmOutput>().isVisible() && ed.isVisible() && !forms::hasEnded());
        QVERIFY(rec.errors.empty() && rec.messages.isEmpty() && rec.quits == 0);
    }
    void ampersandIsDrawnAsTyped()
    {
        support::RuntimeRecorder rec;
        auto& ed = support::showActive<frmEntry>();
        ed.txtTitle->setText("R&D");
        ed.txtEntry(0).setText("&");
        ed.txtList->setText("R&D");
        QVERIFY(createAndClose(ed, [](frmOutput& s) {
            // As an access-key mark a lone "&" would draw nothing, and "R&D" would end where "RD" does.
            QVERIFY(inkRight(&s.lblLetter(0)) >= 0);
            const int title = inkRight(s.lblTitle), list = inkRight(s.lblList);
            s.lblTitle->setCaption("RD");
            s.lblList->setCaption("RD");
            QVERIFY(title > inkRight(s.lblTitle) + 8 && list > inkRight(s.lblList) + 5);
        }));
    }
};

QTEST_MAIN(TstSheet)
#include "tst_sheet.moc"
