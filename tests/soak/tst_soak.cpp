// Long and hostile use of the real windows: thousands of random inputs, sheets and sample loads
// by the thousand, and pastes no user should make but some will.
#include "common/Support.h"

#include "about/frmAbout.h"
#include "editor/frmEntry.h"
#include "sheet/frmOutput.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>

#include <random>

#if defined(__SANITIZE_ADDRESS__)
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

enum Field { Title, List, Cell };

// Presses Create and returns the sheet's title, or a note when its list or letters are not the
// editor's. Painted, it waits for the window manager as a user would; bare, it closes at once.
QString createSheet(frmEntry& e, bool painted = true)
{
    QString title = QStringLiteral("(no sheet)");
    support::duringModal([&] { QTest::mouseClick(e.cmdCreate, Qt::LeftButton); }, [&] {
        frmOutput& sheet = forms::instance<frmOutput>();
        if (painted && QTest::qWaitForWindowExposed(&sheet))
            sheet.grab();
        bool same = sheet.lblList->Caption() == e.txtList->Text();
        for (int i = 0; i < 400; ++i)
            same = same && sheet.lblLetter(i).Caption() == e.txtEntry(i).Text();
        title = same ? sheet.lblTitle->Caption() : QStringLiteral("(not the editor's list or letters)");
        QTest::mouseClick(sheet.lblTitle, Qt::LeftButton);
    });
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return title;
}

// Help, About by its access keys, Shift+K `loads` times, then Esc once the window manager has
// mapped it: a window closed sooner would leave the editor without the focus.
bool aboutWithLoads(frmEntry& e, int loads)
{
    bool mapped = false;
    support::duringModal([&] {
        QTest::keyClick(&e, Qt::Key_H, Qt::AltModifier);
        QTest::keyClick(static_cast<QWidget*>(nullptr), Qt::Key_A);
    }, [&] {
        frmAbout& about = forms::instance<frmAbout>();
        for (int n = 0; n < loads; ++n)
            QTest::keyClick(about.cmdOK, Qt::Key_K, Qt::ShiftModifier);
        mapped = QTest::qWaitForWindowExposed(&about);
        QTest::keyClick(about.cmdOK, Qt::Key_Escape);
    });
    return mapped;
}

// Resident memory says little under the sanitizer, whose quarantine holds freed blocks back:
// there the heap it counts as still held is the measure.
qint64 memoryKb()
{
#if defined(__SANITIZE_ADDRESS__)
    return static_cast<qint64>(__sanitizer_get_current_allocated_bytes() / 1024);
#else
    QFile status(QStringLiteral("/proc/self/status"));
    const QByteArray text = status.open(QIODevice::ReadOnly) ? status.readAll() : QByteArray();
    return text.mid(text.indexOf("VmRSS:") + 6).trimmed().split(' ').first().toLongLong();
#endif
}

} // namespace

class TstSoak : public QObject {
    Q_OBJECT
private slots:
    void randomUse()
    {
        support::RuntimeRecorder rec;
        frmEntry& e = support::showActive<frmEntry>();
        std::mt19937 rng(20260607);
        const auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
        const Qt::Key moves[] = {Qt::Key_Space, Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Tab,
                                 Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down};
        QWidget* const targets[] = {e.txtTitle, e.txtList->viewport(), e.cmdFill, e.cmdClear, e.cmdCreate};
        // A Space on a focused Create opens the sheet as well: whatever opens it, a click closes it.
        QTimer closer;
        closer.callOnTimeout([] {
            if (forms::isLoaded<frmOutput>() && QTest::qWaitForWindowExposed(&forms::instance<frmOutput>()))
                QTest::mouseClick(forms::instance<frmOutput>().lblTitle, Qt::LeftButton);
        });
        closer.start(0);
        for (int n = 0; n < 10000; ++n) {
            QVERIFY2(rec.errors.empty() && !forms::hasEnded(), qPrintable(QStringLiteral("after %1 inputs").arg(n)));
            // Every closed sheet or About window hands the focus back to the editor.
            if (QApplication::activeWindow() != &e)
                QVERIFY(QTest::qWaitForWindowActive(&e));
            const int r = pick(1000);
            const auto key = r < 550 ? static_cast<Qt::Key>(r < 450 ? Qt::Key_A + pick(26) : Qt::Key_0 + pick(10)) : moves[pick(8)];
            if (r < 650)
                QTest::keyClick(QApplication::focusWidget(), key, pick(5) ? Qt::NoModifier : Qt::ShiftModifier);
            else if (r < 750) // the Direction menu's shortcuts
                QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>("WASDQEZC"[pick(8)]), Qt::ControlModifier);
            else if (r < 995)
                QTest::mouseClick(r < 920 ? &e.txtEntry(pick(400)) : targets[pick(5)], Qt::LeftButton);
            else
                QVERIFY(aboutWithLoads(e, r % 2));
        }
        QVERIFY(rec.errors.empty() && rec.quits == 0 && !forms::hasEnded());
        QVERIFY(std::ranges::all_of(e.txtEntry, [](const forms::TextBox* c) { return c->Text().size() <= 1; }));
        QVERIFY(e.txtTitle->Text().size() <= 50);
    }

    void repeatedSheets()
    {
        support::RuntimeRecorder rec;
        frmEntry& e = support::showActive<frmEntry>();
        QTest::mouseClick(e.cmdFill, Qt::LeftButton); // no title: an empty one on every sheet
        qint64 warm = 0;
        int faithful = 0;
        for (int n = 1; n <= 1050; ++n) {
            warm = n == 51 ? memoryKb() : warm;
            faithful += createSheet(e, false).isEmpty();
        }
        const qint64 growth = memoryKb() - warm;
        qInfo("1,000 Create-and-close cycles: memory grew by %lld kB (resident; under the sanitizer the heap held)", growth);
        QCOMPARE(faithful, 1050);
        QVERIFY(growth < 1024);
    }

    void repeatedSampleLoads()
    {
        support::RuntimeRecorder rec;
        frmEntry& e = support::showActive<frmEntry>();
        // Each load beeps once, at its very end: the moment to look at the grid.
        int full = 0;
        const auto empty = [](const forms::TextBox* cell) { return cell->Text().isEmpty(); };
        forms::testing::setBeeper([&] { full += std::ranges::none_of(e.txtEntry, empty); });
        QElapsedTimer clock;
        clock.start();
        QVERIFY(aboutWithLoads(e, 1000));
        qInfo("1,000 sample loads took %lld ms", clock.elapsed());
        QCOMPARE(full, 1000);
        QVERIFY(rec.errors.empty());
    }

    void paste_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("kept");
        const struct { const char* name; QString text; QString cellKeeps; } rows[] = {
            {"emoji", QStringLiteral("😀 SUMMIT 🏔️"), {}},
            {"Hebrew", QStringLiteral("שלום עולם"), QStringLiteral("ש")},
            {"Arabic", QStringLiteral("جبل عالٍ"), QStringLiteral("ج")},
            {"combining marks", QStringLiteral("e\u0301TA\u030A"), QStringLiteral("e")},
            {"NUL", QChar(0) + QStringLiteral("PEAK") + QChar(0), QString(QChar(0))},
            {"ampersands", QStringLiteral("&R&&D &"), QStringLiteral("&")},
        };
        const char* const fields[] = {"title", "list", "cell"};
        for (int field : {Title, List, Cell})
            for (const auto& row : rows)
                QTest::addRow("%s in the %s", row.name, fields[field])
                    << field << row.text << (field == Cell ? row.cellKeeps : row.text);
        const char* const names[] = {"GLACIER", "CAIRN", "SCREE", "TARN", "ICEFALL", "BIVOUAC", "COL"};
        std::mt19937 rng(11);
        QString words; // one or two words a line, as word lists are kept
        while (words.size() < (1 << 20))
            words += QLatin1String(names[rng() % 7]) + (rng() % 3 ? u'\n' : u' ');
        const QString line = QString(words).replace(u'\n', u','), pairs = u'A' + QStringLiteral("🏔").repeated(5000);
        QTest::newRow("1 MB word list") << int(List) << words << words;
        QTest::newRow("1 MB on one line") << int(List) << line << line;
        QTest::newRow("10,000 characters in the title") << int(Title) << line.left(10000) << line.left(50);
        QTest::newRow("10,000 with a pair across the 50th unit") << int(Title) << pairs << pairs.left(49);
    }

    void paste()
    {
        QFETCH(int, field);
        QFETCH(QString, text);
        QFETCH(QString, kept);
        support::RuntimeRecorder rec;
        frmEntry& e = support::showActive<frmEntry>();
        QWidget* const targets[] = {e.txtTitle, e.txtList->viewport(), &e.txtEntry(210)};
        QGuiApplication::clipboard()->setText(text);
        QTest::mouseClick(targets[field], Qt::LeftButton);
        QElapsedTimer clock;
        clock.start();
        // Shift+Insert pastes as well as Ctrl+V, which no direction shortcut takes.
        QTest::keyClick(QApplication::focusWidget(), field == List ? Qt::Key_Insert : Qt::Key_V,
                        field == List ? Qt::ShiftModifier : Qt::ControlModifier);
        const qint64 pasteMs = clock.restart();
        const QString sheetTitle = createSheet(e);
        qInfo("paste %lld ms, Create %lld ms", pasteMs, clock.elapsed());
        const QString held[] = {e.txtTitle->Text(), e.txtList->Text(), e.txtEntry(210).Text()};
        QCOMPARE(held[field], field == List ? kept.replace(u'\n', QStringLiteral("\r\n")) : kept);
        QCOMPARE(sheetTitle, field == Title ? kept : QString());
        QVERIFY(rec.errors.empty());
    }
};

QTEST_MAIN(TstSoak)
#include "tst_soak.moc"
