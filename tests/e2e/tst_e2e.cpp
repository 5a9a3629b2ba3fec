#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTest>

#include <algorithm>
#include <ranges>

namespace {

// Qt's QTRY_ macros count polling steps, not time, and every step here takes a screenshot.
#define WAIT_COMPARE(actual, expected) \
    do { \
        static_cast<void>(QTest::qWaitFor([&] { return (actual) == (expected); }, 8000)); \
        QCOMPARE(actual, expected); \
    } while (false)

QByteArray tool(const QStringList& command)
{
    QProcess process;
    process.start(command.first(), command.mid(1));
    process.waitForFinished(8000); // one still running then is killed as `process` goes
    return process.readAllStandardOutput().trimmed();
}

QString window(const QString& name) { return tool({"xdotool", "search", "--onlyvisible", "--name", name}); }

// The window as it stands on the screen, in its own coordinates; always 24 bits, so shots compare.
QImage shot(const QString& w) { return QImage::fromData(tool({"import", "-window", w, "png24:-"})); }

// Activates first: keys sent to a window without the focus are lost or go astray.
void xdo(const QString& w, const QString& cmd) { tool(("xdotool windowactivate --sync " + w + ' ' + cmd).split(' ')); }
void click(const QString& w, QPoint at, const QString& then = {})
{
    xdo(w, QString("mousemove --window %1 %2 %3 click 1 %4").arg(w).arg(at.x()).arg(at.y()).arg(then).trimmed());
}

QRect twips(int x, int y, int w, int h) { return QRect(x / 15, y / 15, w / 15, h / 15); } // the layouts: whole pixels
QRect cell(int i) { return twips(360 + 720 * (i % 20), 840 + 600 * (i / 20), 615, 555); }
// The sheet's rows stand 610 or 620 twips apart; 615 is near enough to find each letter.
QRect sheetCell(int i) { return twips(480 + 600 * (i % 20), 1080 + 615 * (i / 20), 495, 435); }

// The margin keeps a cell's frame out; the threshold, the text cursor (one pixel wide).
bool holdsGlyph(const QImage& image, const QRect& box)
{
    int dark = 0;
    for (int y = box.top() + 6; y <= box.bottom() - 6; ++y)
        for (int x = box.left() + 6; x <= box.right() - 6; ++x)
            dark += qGray(image.pixel(x, y)) < 100;
    return dark > 30 && image.rect().contains(box); // off the image, pixel() reads dark
}

QList<int> glyphs(const QImage& image, QRect (*place)(int) = cell)
{
    auto held = std::views::iota(0, 400) | std::views::filter([&](int i) { return holdsGlyph(image, place(i)); });
    return QList<int>(held.begin(), held.end());
}

} // namespace

class TstE2e : public QObject {
    Q_OBJECT
    const QString shots = qEnvironmentVariable("PELLACREST_SHOTS", QDir::tempPath()) + '/';
    QProcess app;
    QString editor;
    int menuBar = 0;

    QImage client() const { return shot(editor).copy(0, menuBar, 1225, 877); }
    void clickClient(const QRect& r, const QString& then = {}) { click(editor, r.center() + QPoint(0, menuBar), then); }

private slots:
    void init()
    {
        QVERIFY(QDir().mkpath(shots));
        app.start(qEnvironmentVariable("PELLACREST_BIN"));
        WAIT_COMPARE((editor = window("^Pellacrest$")).isEmpty(), false);
        menuBar = shot(editor).height() - 877;
    }

    void cleanup() { app.close(); }

    void titleFillSampleSheetAndExit() // in one sitting, so the sanitizers see every window come and go
    {
        QCOMPARE(shot(editor).width(), 1225);
        xdo(editor, "type --delay 30 HELLO");
        QImage image, loaded;
        WAIT_COMPARE(holdsGlyph(client(), twips(1080, 180, 11415, 450)), true);
        QVERIFY(shot(editor).save(shots + "editor.png"));

        clickClient(cell(0), "type --delay 30 PEAK");
        WAIT_COMPARE(glyphs(image = client()), (QList<int>{0, 1, 2, 3}));
        clickClient(twips(12720, 180, 1335, 450));
        WAIT_COMPARE(glyphs(client()).size(), 400);
        const QRect typed = cell(0).united(cell(3)).adjusted(6, 6, -6, -6);
        QCOMPARE(client().copy(typed), image.copy(typed)); // Fill writes only into empty cells

        xdo(editor, "key --delay 30 alt+h a");
        QString about;
        WAIT_COMPARE((about = window("^About Pellacrest$")).isEmpty(), false);
        WAIT_COMPARE(holdsGlyph(image = shot(about), twips(2025, 240, 4275, 360)), true); // its title painted
        QVERIFY(image.save(shots + "about.png"));
        xdo(about, "key --delay 30 shift+k");
        // The sample's title, longer than HELLO, and the About window back over the grid.
        WAIT_COMPARE(holdsGlyph(client(), twips(3600, 180, 2400, 450)) && window("^About Pellacrest$") == about, true);
        xdo(about, "key Escape");
        WAIT_COMPARE(glyphs(loaded = client()).size(), 400); // the About window gone from over the grid
        QVERIFY(shot(editor).save(shots + "sample.png"));

        clickClient(twips(15840, 180, 2175, 450));
        QString sheet; // modal, so it takes the focus
        WAIT_COMPARE(glyphs(image = shot(sheet = tool({"xdotool", "getactivewindow"})), sheetCell).size(), 400);
        QCOMPARE(image.size(), QSize(1112, 970));
        QCOMPARE(tool({"xprop", "-id", sheet, "_NET_FRAME_EXTENTS"}), "_NET_FRAME_EXTENTS(CARDINAL) = 0, 0, 0, 0");
        QVERIFY(image.save(shots + "sheet.png"));
        click(sheet, image.rect().center());
        WAIT_COMPARE(client().copy(cell(0).united(cell(399))), loaded.copy(cell(0).united(cell(399))));

        xdo(editor, "key --delay 30 alt+f x");
        QCOMPARE(app.waitForFinished(8000) && app.exitStatus() == QProcess::NormalExit ? app.exitCode() : -1, 0);
    }

    void typingDirection_data()
    {
        QTest::addColumn<QString>("shortcuts");
        QTest::addColumn<QList<int>>("path");
        QTest::newRow("Up wraps to the bottom row") << "ctrl+w" << QList<int>{5, 385, 365};
        QTest::newRow("Left runs from the first cell to the last") << "ctrl+a" << QList<int>{0, 399, 398};
        QTest::newRow("Down wraps to the top row") << "ctrl+s" << QList<int>{385, 5, 25};
        QTest::newRow("Right, after Down, runs on to the first") << "ctrl+s ctrl+d" << QList<int>{398, 399, 0};
        QTest::newRow("Northwest off the left edge") << "ctrl+q" << QList<int>{40, 399, 378};
        QTest::newRow("Northeast off the top edge") << "ctrl+e" << QList<int>{21, 2, 380};
        QTest::newRow("Southwest off the bottom edge") << "ctrl+z" << QList<int>{378, 397, 19};
        QTest::newRow("Southeast off the last row") << "ctrl+c" << QList<int>{378, 399, 0};
    }

    void typingDirection()
    {
        QFETCH(QString, shortcuts);
        QFETCH(QList<int>, path);
        // The shortcuts reach a focused cell: text fields claim Ctrl+A, C, E and Z for themselves.
        clickClient(cell(path.first()), "key --delay 30 " + shortcuts + " type --delay 30 FOX");
        std::sort(path.begin(), path.end());
        WAIT_COMPARE(glyphs(client()), path);
    }
};

QTEST_GUILESS_MAIN(TstE2e)
#include "tst_e2e.moc"
