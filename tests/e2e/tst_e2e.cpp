// Drives the built program from outside, as a user does: real X key and mouse events through
// xdotool, and each window's pixels read back from the screen. Every wait polls with a deadline.
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTest>

#include <algorithm>

namespace {

constexpr int kCells = 400;
constexpr int kWaitMs = 8000;

// Qt's QTRY_ macros count polling steps rather than time, and every step here takes a screenshot:
// this polls against a real deadline, then checks once more to report what it saw.
#define WAIT_COMPARE(actual, expected) \
    do { \
        static_cast<void>(QTest::qWaitFor([&] { return (actual) == (expected); }, kWaitMs)); \
        QCOMPARE(actual, expected); \
    } while (false)

QByteArray tool(const QStringList& command)
{
    QProcess process;
    process.start(command.first(), command.mid(1));
    if (!process.waitForFinished(5000))
        process.kill(), process.waitForFinished();
    return process.readAllStandardOutput().trimmed();
}

QStringList windows(const QString& caption)
{
    return QString(tool({"xdotool", "search", "--onlyvisible", "--name", caption})).split('\n', Qt::SkipEmptyParts);
}

QString waitForWindow(const QString& caption, const QString& besides = {})
{
    QStringList found;
    const auto appeared = [&] { found = windows(caption); found.removeAll(besides); return !found.isEmpty(); };
    return QTest::qWaitFor(appeared, kWaitMs) ? found.first() : QString();
}

// The window as it stands on the screen, in its own coordinates; always 24 bits, so shots compare.
QImage shot(const QString& window) { return QImage::fromData(tool({"import", "-window", window, "png24:-"})); }

void save(const QImage& image, const char* name)
{
    const QString folder = qEnvironmentVariable("PELLACREST_SHOTS", QDir::tempPath());
    QVERIFY(QDir().mkpath(folder) && image.save(folder + '/' + name));
}

// Activates first: keys sent to a window without the focus are lost or go astray.
void xdo(const QString& window, const QString& command)
{
    tool({"xdotool", "windowactivate", "--sync", window});
    tool(QStringList{"xdotool"} + command.split(' '));
}
void click(const QString& window, QPoint at)
{
    xdo(window, QString("mousemove --window %1 %2 %3 click 1").arg(window).arg(at.x()).arg(at.y()));
}

// A rectangle of a layout, given in twips.
QRect twips(int left, int top, int width, int height)
{
    const auto px = [](int t) { return (t + 7) / 15; };
    return QRect(QPoint(px(left), px(top)), QPoint(px(left + width) - 1, px(top + height) - 1));
}
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
    return dark > 30;
}

// In place, a field's frame runs along its rectangle's edges with plain background just outside.
bool misplaced(const QImage& image, const QRect& r)
{
    const auto edge = [&](QPoint on, QPoint out) {
        return qGray(image.pixel(on)) < 215 && qGray(image.pixel(on + out)) > 225;
    };
    const QPoint c = r.center();
    return !edge({r.left(), c.y()}, {-1, 0}) || !edge({r.right(), c.y()}, {1, 0}) || !edge({c.x(), r.top()}, {0, -1})
        || !edge({c.x(), r.bottom()}, {0, 1});
}

QList<int> cellsWhere(const QImage& image, bool (*test)(const QImage&, const QRect&), QRect (*place)(int) = cell)
{
    QList<int> cells;
    for (int i = 0; i < kCells; ++i)
        if (test(image, place(i)))
            cells << i;
    return cells;
}
QList<int> glyphs(const QImage& image) { return cellsWhere(image, holdsGlyph); }

} // namespace

class TstE2e : public QObject {
    Q_OBJECT
    QProcess app;
    QString editor;
    int menuBar = 0;

    // The editor's client area, without the menu bar above it.
    QImage client() const { return shot(editor).copy(0, menuBar, 1225, 877); }
    void clickClient(const QRect& rect) const { click(editor, rect.center() + QPoint(0, menuBar)); }

private slots:
    void init()
    {
        app.start(qEnvironmentVariable("PELLACREST_BIN"));
        editor = waitForWindow("^Pellacrest$");
        QVERIFY2(!editor.isEmpty(), "PELLACREST_BIN showed no editor window");
        menuBar = shot(editor).height() - 877;
    }

    void cleanup() { app.kill(), app.waitForFinished(); }

    void startupLayoutAndTitle()
    {
        QCOMPARE(shot(editor).width(), 1225);
        QVERIFY2(menuBar > 10 && menuBar < 60, "no menu bar above the client area");
        xdo(editor, "type --delay 30 HELLO");
        WAIT_COMPARE(cellsWhere(client(), misplaced), QList<int>());
        WAIT_COMPARE(holdsGlyph(client(), twips(1080, 180, 11415, 450)), true);
        save(shot(editor), "editor.png");
        QCOMPARE(glyphs(client()), QList<int>());
        // File, Exit ends the program on its own, so its sanitizers get their say on the way out.
        xdo(editor, "key --delay 30 alt+f x");
        QVERIFY2(app.waitForFinished(kWaitMs), "File, Exit did not end the program");
        QCOMPARE(app.exitStatus() == QProcess::NormalExit ? app.exitCode() : -1, 0);
    }

    void typingDirection_data()
    {
        QTest::addColumn<QString>("shortcuts");
        QTest::addColumn<QString>("word");
        QTest::addColumn<QList<int>>("path");
        QTest::newRow("Up wraps to the bottom row") << "ctrl+w" << "SUN" << QList<int>{5, 385, 365};
        QTest::newRow("Left runs from the first cell to the last") << "ctrl+a" << "MAP" << QList<int>{0, 399, 398};
        QTest::newRow("Down wraps to the top row") << "ctrl+s" << "OWL" << QList<int>{385, 5, 25};
        QTest::newRow("Right, after Down, runs on to the first") << "ctrl+s ctrl+d" << "FOX" << QList<int>{398, 399, 0};
        QTest::newRow("Northwest off the left edge") << "ctrl+q" << "HEN" << QList<int>{40, 399, 378};
        QTest::newRow("Northeast off the top edge") << "ctrl+e" << "KEY" << QList<int>{21, 2, 380};
        QTest::newRow("Southwest off the bottom edge") << "ctrl+z" << "BEE" << QList<int>{378, 397, 19};
        QTest::newRow("Southeast off the last row") << "ctrl+c" << "ZAP" << QList<int>{378, 399, 0};
    }

    void typingDirection()
    {
        QFETCH(QString, shortcuts);
        QFETCH(QString, word);
        QFETCH(QList<int>, path);
        // The shortcuts reach a focused cell: text fields claim Ctrl+A, C, E and Z for themselves.
        clickClient(cell(path.first()));
        xdo(editor, "key --delay 30 " + shortcuts);
        xdo(editor, "type --delay 30 " + word);
        std::sort(path.begin(), path.end());
        WAIT_COMPARE(glyphs(client()), path);
    }

    void fillAndSheet()
    {
        clickClient(cell(0));
        xdo(editor, "type --delay 30 PEAK");
        QImage typed, filled;
        WAIT_COMPARE(glyphs(typed = client()), (QList<int>{0, 1, 2, 3}));
        clickClient(twips(12720, 180, 1335, 450));
        WAIT_COMPARE(glyphs(filled = client()).size(), kCells);
        const QRect typedCells = cell(0).united(cell(3)).adjusted(6, 6, -6, -6);
        QCOMPARE(filled.copy(typedCells), typed.copy(typedCells)); // Fill writes only into empty cells

        clickClient(twips(15840, 180, 2175, 450));
        const QString sheet = waitForWindow("^Pellacrest$", editor);
        QVERIFY2(!sheet.isEmpty(), "Create Word Search showed no sheet");
        QCOMPARE(tool({"xprop", "-id", sheet, "_NET_FRAME_EXTENTS"}), "_NET_FRAME_EXTENTS(CARDINAL) = 0, 0, 0, 0");
        QImage image;
        WAIT_COMPARE(cellsWhere(image = shot(sheet), holdsGlyph, sheetCell).size(), kCells);
        save(image, "sheet.png");
        QCOMPARE(image.size(), QSize(1112, 970));
        click(sheet, image.rect().center());
        WAIT_COMPARE(windows("^Pellacrest$"), QStringList{editor});
        const QRect grid = cell(0).united(cell(kCells - 1));
        WAIT_COMPARE(client().copy(grid), filled.copy(grid));
    }

    void sampleFromAbout()
    {
        xdo(editor, "key --delay 30 alt+h a");
        const QString about = waitForWindow("^About Pellacrest$");
        QVERIFY2(!about.isEmpty(), "Help, About showed no About window");
        // Painted once its title label shows the program's name.
        WAIT_COMPARE(holdsGlyph(shot(about), twips(2025, 240, 4275, 360)), true);
        save(shot(about), "about.png");
        xdo(about, "key --delay 30 shift+k");
        // The load hides the About window and shows it again over the grid, most of which shows.
        WAIT_COMPARE(glyphs(client()).size() > 300 && !windows("^About Pellacrest$").isEmpty(), true);
        xdo(waitForWindow("^About Pellacrest$"), "key Escape");
        WAIT_COMPARE(windows("^About Pellacrest$").isEmpty(), true);
        WAIT_COMPARE(glyphs(client()).size(), kCells);
        save(shot(editor), "sample.png");
        QVERIFY2(holdsGlyph(client(), twips(1080, 180, 11415, 450)), "the sample's title is missing");
    }
};

QTEST_GUILESS_MAIN(TstE2e)
#include "tst_e2e.moc"
