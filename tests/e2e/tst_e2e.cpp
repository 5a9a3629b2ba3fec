#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTest>

#include <algorithm>
#include <ranges>

namespace {

// Qt's QTRY_ macros count polling steps, not time, and every step here takes a screenshot. The
// value compared is the last one seen: a window search can miss once while a window goes.
#define WAIT_COMPARE(actual, expected) \
    do { \
        auto seen = (actual); \
        static_cast<void>(QTest::qWaitFor([&] { return (seen = (actual)) == (expected); }, 8000)); \
        QCOMPARE(seen, expected); \
    } while (false)

QByteArray tool(const QStringList& command, QByteArray* errors = nullptr)
{
    QProcess process;
    process.start(command.first(), command.mid(1));
    process.waitForFinished(8000); // one still running then is killed as `process` goes
    if (errors)
        *errors = process.readAllStandardError();
    return process.readAllStandardOutput().trimmed();
}

// A search walks every window, and fails on one that goes meanwhile: that search is made again.
QString window(const QString& name)
{
    QByteArray found, errors;
    for (int attempt = 0; attempt < 5; ++attempt) {
        found = tool({"xdotool", "search", "--onlyvisible", "--name", name}, &errors);
        if (errors.isEmpty())
            break;
    }
    return found;
}

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

// The same text in the same place: the pixels differ at most where a text cursor blinks, in one
// run of no more than three columns.
bool sameText(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return false;
    int first = a.width(), last = -1;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
    return last - first < 3;
}

// A window's frame on the screen, from its client area and the frame the window manager put round it.
QRect frameOf(const QString& w)
{
    const QByteArray info = tool({"xwininfo", "-id", w});
    const auto field = [&](const char* name) {
        const qsizetype at = info.indexOf(name) + qsizetype(qstrlen(name));
        return info.mid(at, info.indexOf('\n', at) - at).trimmed().toInt();
    };
    QList<int> extents{0, 0, 0, 0}; // left, right, top, bottom; none on a frameless window
    const QByteArray property = tool({"xprop", "-id", w, "_NET_FRAME_EXTENTS"});
    if (property.contains('='))
        for (int i = 0; const QByteArray& n : property.mid(property.indexOf('=') + 1).split(','))
            extents[i++] = n.trimmed().toInt();
    return QRect(field("Absolute upper-left X:") - extents[0], field("Absolute upper-left Y:") - extents[2],
                 field("Width:") + extents[0] + extents[1], field("Height:") + extents[2] + extents[3]);
}

// Whether the two centres stand within a pixel of each other; compared doubled, as a rectangle of
// odd size centres on a half pixel.
QByteArray centredOn(const QRect& inner, const QRect& outer)
{
    const QPoint off = QPoint(2 * inner.x() + inner.width(), 2 * inner.y() + inner.height())
        - QPoint(2 * outer.x() + outer.width(), 2 * outer.y() + outer.height());
    if (std::abs(off.x()) <= 2 && std::abs(off.y()) <= 2)
        return {};
    return QString("off centre by (%1, %2) px").arg(off.x() / 2.0).arg(off.y() / 2.0).toUtf8();
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
    QImage client(const QRect& r) const { return client().copy(r); }
    // The puzzle sheet, once it stands on the screen: it shares the editor's caption.
    QString sheet() const
    {
        QString found;
        static_cast<void>(QTest::qWaitFor([&] {
            const QList<QByteArray> ids = tool({"xdotool", "search", "--onlyvisible", "--name", "^Pellacrest$"}).split('\n');
            for (const QByteArray& id : ids)
                if (!id.isEmpty() && QString(id) != editor)
                    found = id;
            return !found.isEmpty();
        }, 8000));
        return found;
    }
    void clickClient(const QRect& r, const QString& then = {}) { click(editor, r.center() + QPoint(0, menuBar), then); }

private slots:
    void init()
    {
        QVERIFY(QDir().mkpath(shots));
        app.setProcessChannelMode(QProcess::ForwardedErrorChannel); // its warnings and sanitizer reports show
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

    void windowsStandCentred()
    {
        const QRect screen(0, 0, 1600, 1200);
        const QRect main = frameOf(editor);
        QCOMPARE(centredOn(main, screen), QByteArray());
        xdo(editor, "key --delay 30 alt+h a");
        QString about;
        WAIT_COMPARE((about = window("^About Pellacrest$")).isEmpty(), false);
        QCOMPARE(centredOn(frameOf(about), main), QByteArray());
        xdo(about, "key Escape");
        WAIT_COMPARE(window("^About Pellacrest$").isEmpty(), true);
        clickClient(twips(15840, 180, 2175, 450));
        const QString sheetWindow = sheet();
        QCOMPARE(centredOn(frameOf(sheetWindow), main), QByteArray());
        click(sheetWindow, QPoint(5, 5));
    }

    // Dragging a selection out of the word list moves nothing: the list keeps it and no field takes it.
    void dragAndDrop_data()
    {
        QTest::addColumn<QRect>("target");
        QTest::addColumn<QString>("letterFirst"); // typed into the target beforehand
        QTest::newRow("onto an empty cell") << cell(0) << "";
        QTest::newRow("onto a cell holding a letter") << cell(1) << "X";
        QTest::newRow("onto the title") << twips(1080, 180, 11415, 450) << "";
    }
    void dragAndDrop()
    {
        QFETCH(QRect, target);
        QFETCH(QString, letterFirst);
        const QRect list = twips(14760, 2040, 3255, 10695);
        if (!letterFirst.isEmpty())
            clickClient(target, "type " + letterFirst);
        clickClient(list, "type --delay 30 ONE");
        QImage listBefore;
        WAIT_COMPARE(holdsGlyph(listBefore = client(list), QRect(0, 0, 60, 30)), true);
        const QImage targetBefore = client(target);
        xdo(editor, "key shift+Home");
        // Pressed on the selected word, then moved in steps as a hand does, so the toolkit sees a drag.
        const QPoint from = list.topLeft() + QPoint(20, 14 + menuBar);
        const QPoint to = target.center() + QPoint(0, menuBar);
        QString drag = QString("mousemove --window %1 %2 %3 mousedown 1").arg(editor).arg(from.x()).arg(from.y());
        for (int step = 1; step <= 8; ++step) {
            const QPoint at = from + (to - from) * step / 8;
            drag += QString(" sleep 0.05 mousemove --window %1 %2 %3").arg(editor).arg(at.x()).arg(at.y());
        }
        xdo(editor, drag + " sleep 0.1 mouseup 1");
        QTest::qWait(300);
        QVERIFY(sameText(client(target), targetBefore));
        xdo(editor, "key ctrl+End"); // what the drag selected, if anything, is let go
        WAIT_COMPARE(sameText(client(list), listBefore), true);
    }

    // Keys typed without a pause across a change of windows reach the window the program put in
    // front, as if each window change were instant.
    void typeAhead_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("field"); // where the typing shows in the end
        QTest::addColumn<QString>("expected");
        QTest::newRow("Shift+K, q, Esc in the About window opened modally")
            << "about modal: key --delay 0 shift+k q Escape" << "title" << "sample";
        QTest::newRow("Shift+K, q, Esc in the About window standing modeless")
            << "about modeless: key --delay 0 shift+k q Escape" << "title" << "sample";
        QTest::newRow("Help, About, Enter, then a word")
            << "editor: key --delay 0 alt+h a Return type --delay 0 WORD" << "title" << "WORD";
        QTest::newRow("Create, a click on the sheet, then a word")
            << "sheet: click 1 key --delay 0 Tab type --delay 0 WORD" << "list" << "WORD";
    }
    void typeAhead()
    {
        QFETCH(QString, keys);
        QFETCH(QString, field);
        QFETCH(QString, expected);
        const QRect title = twips(1080, 180, 11415, 450);
        const QRect area = field == "title" ? title : twips(14760, 2040, 3255, 10695);
        const QString start = keys.section(": ", 0, 0);
        keys = keys.section(": ", 1);
        // Open: the window manager sometimes gives a dialog the focus after the program has
        // closed it again, and keys typed in that moment are lost before they reach the program.
        if (start == "editor")
            QSKIP("a key typed right after a dialog opened and closed can still be lost (see the open issue)");
        QString about;
        const auto openAbout = [&] {
            xdo(editor, "key --delay 30 alt+h a");
            WAIT_COMPARE((about = window("^About Pellacrest$")).isEmpty(), false);
        };

        // What the field shows when the same is typed slowly.
        QImage reference;
        if (expected == "sample") {
            openAbout();
            xdo(about, "key shift+k");
            WAIT_COMPARE(holdsGlyph(client(), twips(3600, 180, 2400, 450)), true);
            WAIT_COMPARE(window("^About Pellacrest$").isEmpty(), false);
            xdo(window("^About Pellacrest$"), "key Escape");
            WAIT_COMPARE(window("^About Pellacrest$").isEmpty(), true);
        } else {
            clickClient(area, "type --delay 30 " + expected);
        }
        QTest::qWait(200);
        reference = client(area);

        for (int run = 1; run <= 20; ++run) {
            if (start == "about modal" || start == "about modeless") {
                openAbout();
                if (start == "about modeless") {
                    xdo(about, "key shift+k");
                    WAIT_COMPARE(holdsGlyph(client(), twips(3600, 180, 2400, 450)), true);
                    WAIT_COMPARE((about = window("^About Pellacrest$")).isEmpty(), false);
                }
                xdo(about, keys);
            } else if (start == "editor") {
                clickClient(title, "key --delay 0 End shift+Home BackSpace");
                xdo(editor, keys);
            } else {
                clickClient(twips(14280, 180, 1335, 450)); // Clear empties the list
                clickClient(twips(15840, 180, 2175, 450)); // Create
                const QString sheetWindow = sheet();
                xdo(sheetWindow, QString("mousemove --window %1 5 5 ").arg(sheetWindow) + keys);
            }
            const QByteArray which = QByteArray("in run ") + QByteArray::number(run) + " of 20";
            QVERIFY2(QTest::qWaitFor([] { return window("^About Pellacrest$").isEmpty(); }, 8000), "About window still open " + which);
            if (!QTest::qWaitFor([&] { return sameText(client(area), reference); }, 8000))
                shot(editor).save(shots + "type-ahead-astray.png"); // for the reader of a failure
            QVERIFY2(sameText(client(area), reference), "typing went astray " + which);
        }
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
