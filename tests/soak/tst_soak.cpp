// Long and hostile use of the real windows: thousands of inputs, sample loads and sheets, and
// pastes no user should make but some will.
#include "common/Support.h"

#include "about/frmAbout.h"
#include "editor/frmEntry.h"
#include "sheet/frmOutput.h"

#include <QClipboard>
#include <QFile>
#include <QRandomGenerator>

extern "C" std::size_t __sanitizer_get_current_allocated_bytes(); // there only under ASan

class TstSoak : public QObject {
    Q_OBJECT
private slots:
    void longUse()
    {
        support::RuntimeRecorder rec;
        frmEntry& e = support::showActive<frmEntry>();
        // Every sheet or About window, whatever opened it (Space on a focused Create too), is closed
        // once mapped, as one closed sooner leaves the editor without the focus; About after `loads`
        // sample loads by Shift+K.
        bool waitForMapping = true;
        int loads = 0;
        int sheets = 0;
        QTimer closer;
        closer.callOnTimeout([&] {
            if (forms::isLoaded<frmOutput>()
                && (!waitForMapping || QTest::qWaitForWindowExposed(&forms::instance<frmOutput>()))) {
                QTest::mouseClick(forms::instance<frmOutput>().lblTitle, Qt::LeftButton);
                ++sheets;
            } else if (forms::isLoaded<frmAbout>() && QTest::qWaitForWindowExposed(&forms::instance<frmAbout>())) {
                for (; loads > 0; --loads)
                    QTest::keyClick(forms::instance<frmAbout>().cmdOK, Qt::Key_K, Qt::ShiftModifier);
                QTest::keyClick(forms::instance<frmAbout>().cmdOK, Qt::Key_Escape);
            }
        });
        closer.start(0);
        const auto about = [&](int sampleLoads) {
            loads = sampleLoads;
            QTest::keyClick(&e, Qt::Key_H, Qt::AltModifier);
            QTest::keyClick(static_cast<QWidget*>(nullptr), Qt::Key_A);
        };
        QRandomGenerator rng(20260607);
        const Qt::Key moves[] = {Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Tab, Qt::Key_Return, Qt::Key_Escape,
                                 Qt::Key_Home, Qt::Key_End, Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down};
        QWidget* const targets[] = {e.txtTitle, e.txtList->viewport(), e.cmdFill, e.cmdClear, e.cmdCreate};
        for (int n = 0; n < 10000; ++n) {
            QVERIFY(QApplication::activeWindow() == &e || QTest::qWaitForWindowActive(&e));
            const int r = rng.bounded(1000);
            const Qt::Key key = r < 550 ? Qt::Key(Qt::Key_Space + rng.bounded(59)) : moves[rng.bounded(11)];
            if (r < 650) // the printable keys from Space to Z, and the moves
                QTest::keyClick(QApplication::focusWidget(), key, rng.bounded(5) ? Qt::NoModifier : Qt::ShiftModifier);
            else if (r < 750) // the Direction menu's shortcuts
                QTest::keyClick(QApplication::focusWidget(), "wasdqezc"[rng.bounded(8)], Qt::ControlModifier);
            else if (r < 995)
                QTest::mouseClick(r < 920 ? &e.txtEntry(rng.bounded(400)) : targets[rng.bounded(5)], Qt::LeftButton);
            else
                about(r % 2);
        }
        QVERIFY(rec.errors.empty() && rec.quits == 0 && !forms::hasEnded());
        QVERIFY(std::ranges::all_of(e.txtEntry, [](const forms::TextBox* c) { return c->Text().size() <= 1; }));
        QVERIFY(e.txtTitle->Text().size() <= 50);

        // Each sample load beeps once, at its very end: the moment to look at the grid.
        int full = 0;
        forms::testing::setBeeper([&] { full += std::ranges::none_of(e.txtEntry, &QString::isEmpty, &forms::TextBox::Text); });
        about(1000);
        QCOMPARE(full, 1000);

        // ASan's quarantine holds freed blocks back, so there the heap still held is the measure;
        // elsewhere the resident pages, 4 kB each and second in statm.
        const auto memoryKb = [] {
#if defined(__SANITIZE_ADDRESS__)
            return static_cast<qint64>(__sanitizer_get_current_allocated_bytes() / 1024);
#else
            QFile statm(QStringLiteral("/proc/self/statm"));
            return statm.open(QIODevice::ReadOnly) ? statm.readAll().split(' ').value(1).toLongLong() * 4 : 0;
#endif
        };
        waitForMapping = false; // waiting would double the run, and clicks on Create need no focus
        sheets = 0;
        qint64 warm = 0;
        for (int n = 1; n <= 1050; ++n) {
            warm = n == 51 ? memoryKb() : warm;
            QTest::mouseClick(e.cmdCreate, Qt::LeftButton);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        const qint64 growth = memoryKb() - warm;
        qInfo("1,000 Create-and-close cycles: memory grew by %lld kB", growth);
        QCOMPARE(sheets, 1050);
        QVERIFY(growth < 1024);
        QVERIFY(rec.errors.empty());
    }

    void paste_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("titleKeeps"); // UTF-16 units, never half a pair
        QTest::addColumn<QString>("cellKeeps");
        QTest::newRow("emoji") << QStringLiteral("😀 SUMMIT 🏔️") << 50 << QString();
        QTest::newRow("right to left") << QStringLiteral("שלום جبل") << 50 << QStringLiteral("ש");
        QTest::newRow("combining marks") << QStringLiteral("e\u0301TA\u030A") << 50 << QStringLiteral("e");
        QTest::newRow("NUL") << QChar(0) + QStringLiteral("PEAK") + QChar(0) << 50 << QString(QChar(0));
        QTest::newRow("ampersands") << QStringLiteral("&R&&D &") << 50 << QStringLiteral("&");
        QTest::newRow("10,000 characters") << QStringLiteral("TARN SCREE").repeated(1000) << 50 << QStringLiteral("T");
        QTest::newRow("1 MB word list") << QStringLiteral("CAIRN\nSCREE COL\n").repeated(1 << 16) << 50 << QStringLiteral("C");
        QTest::newRow("a pair across the 50th unit") << u'A' + QStringLiteral("🏔").repeated(5000) << 49 << QStringLiteral("A");
    }

    void paste()
    {
        QFETCH(QString, text);
        QFETCH(int, titleKeeps);
        QFETCH(QString, cellKeeps);
        support::RuntimeRecorder rec;
        frmEntry& e = support::showActive<frmEntry>();
        QGuiApplication::clipboard()->setText(text);
        QWidget* const fields[] = {e.txtTitle, e.txtList->viewport(), &e.txtEntry(210)};
        for (QWidget* field : fields) {
            QTest::mouseClick(field, Qt::LeftButton);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_V, Qt::ControlModifier);
        }
        QCOMPARE(e.txtTitle->Text(), text.left(titleKeeps));
        QCOMPARE(e.txtList->Text(), QString(text).replace(u'\n', QStringLiteral("\r\n")));
        QCOMPARE(e.txtEntry(210).Text(), cellKeeps);
        // The sheet shows what the editor holds, however odd.
        support::duringModal([&] { QTest::mouseClick(e.cmdCreate, Qt::LeftButton); }, [&] {
            const frmOutput& sheet = forms::instance<frmOutput>();
            QCOMPARE(sheet.lblTitle->Caption(), forms::Trim(e.txtTitle->Text()));
            QCOMPARE(sheet.lblList->Caption(), e.txtList->Text());
            QCOMPARE(sheet.lblLetter(210).Caption(), cellKeeps);
            QTest::mouseClick(sheet.lblTitle, Qt::LeftButton);
        });
        QVERIFY(!forms::isLoaded<frmOutput>());
        QVERIFY(rec.errors.empty());
    }
};

QTEST_MAIN(TstSoak)
#include "tst_soak.moc"
