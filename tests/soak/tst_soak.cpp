// Long and hostile use of the real windows: thousands of inputs, sample loads and sheets, and odd pastes.
#include "common/Support.h"

#include "about/frmAbout.h"
#include "editor/frmEntry.h"
#include "sheet/frmOutput.h"

#include <QClipboard>
#include <QRandomGenerator>

#include <malloc.h>

// Defined by ASan alone, whose allocator the C library's count of the heap held knows nothing of.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes() __attribute__((weak));

class TstSoak : public QObject {
    Q_OBJECT
    // Closes each sheet, whatever opened it, once mapped (sooner leaves the editor without the focus).
    QTimer closer;
    bool waitForMapping = true;
    int sheets = 0;
    QStringList shown; // the last sheet's title, list and cell 210

private slots:
    void initTestCase()
    {
        closer.callOnTimeout([this] {
            frmOutput* sheet = forms::isLoaded<frmOutput>() ? &forms::instance<frmOutput>() : nullptr;
            if (!sheet || (waitForMapping && !QTest::qWaitForWindowExposed(sheet)))
                return;
            shown = {sheet->lblTitle->Caption(), sheet->lblList->Caption(), sheet->lblLetter(210).Caption()};
            QTest::mouseClick(sheet->lblTitle, Qt::LeftButton);
            ++sheets;
        });
        closer.start(0);
    }

    void longUse()
    {
        support::RuntimeRecorder rec;
        frmEntry& e = support::showActive<frmEntry>();
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
            else
                QTest::mouseClick(r < 920 ? &e.txtEntry(rng.bounded(400)) : targets[rng.bounded(5)], Qt::LeftButton);
        }
        QCOMPARE(rec.quits, 0); // a run-time error would have ended the program
        QVERIFY(e.txtTitle->Text().size() <= 50);
        QVERIFY(std::ranges::all_of(e.txtEntry, [](const forms::TextBox* c) { return c->Text().size() <= 1; }));

        QList<bool> full; // the grid at each beep: every sample load beeps once, at its very end
        forms::testing::setBeeper([&] { full << std::ranges::none_of(e.txtEntry, &QString::isEmpty, &QLineEdit::text); });
        support::duringModal([&] { e.About->trigger(); }, [&] {
            for (int n = 0; n < 1000; ++n)
                QTest::keyClick(forms::instance<frmAbout>().cmdOK, Qt::Key_K, Qt::ShiftModifier);
        }, 60000);
        QCOMPARE(full, QList<bool>(1000, true));

        auto heap = [asan = __sanitizer_get_current_allocated_bytes] { return asan ? asan() : mallinfo2().uordblks; };
        waitForMapping = false; // waiting would double the run, and clicks on Create need no focus
        sheets = 0;
        std::size_t warm = 0;
        for (int n = 1; n <= 1050; ++n) {
            warm = n == 51 ? heap() : warm;
            QTest::mouseClick(e.cmdCreate, Qt::LeftButton);
            forms::testing::deleteUnloadedForms(); // closed sheets linger a moment; not counted as growth
        }
        const auto growth = qint64(heap() - warm);
        qInfo("%d Create-and-close cycles after 50: memory grew by %lld kB", sheets - 50, growth / 1024);
        QCOMPARE(sheets, 1050);
        QVERIFY2(growth < 1 << 20, qPrintable(QString::number(growth)));
        QVERIFY(rec.errors.empty());
    }

    void paste_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("titleKeeps"); // UTF-16 units, never half a pair
        QTest::addColumn<QString>("cellKeeps");
        QTest::newRow("emoji") << "😀 SUMMIT 🏔️" << 50 << "";
        QTest::newRow("NUL") << QChar(0) + QStringLiteral("PEAK") + QChar(0) << 50 << QString(QChar(0));
        QTest::newRow("1 MB word list") << QString("CAIRN\nSCREE COL\n").repeated(1 << 16) << 50 << "C";
        QTest::newRow("a pair across the 50th unit") << u'A' + QString("🏔").repeated(5000) << 49 << "A";
    }

    void paste()
    {
        QFETCH(QString, text);
        QFETCH(int, titleKeeps);
        QFETCH(QString, cellKeeps);
        support::RuntimeRecorder rec;
        frmEntry& e = support::showActive<frmEntry>();
        QGuiApplication::clipboard()->setText(text);
        for (QWidget* field : std::initializer_list<QWidget*>{e.txtTitle, e.txtList, &e.txtEntry(210)})
            QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
        const QString list = QString(text).replace(u'\n', "\r\n");
        QCOMPARE(e.txtTitle->Text(), text.left(titleKeeps));
        QCOMPARE(e.txtList->Text(), list);
        QCOMPARE(e.txtEntry(210).Text(), cellKeeps);
        QTest::mouseClick(e.cmdCreate, Qt::LeftButton); // the sheet shows what the editor holds, however odd
        QCOMPARE(shown.value(0), forms::Trim(text.left(titleKeeps)));
        QCOMPARE(shown.value(1), list);
        QCOMPARE(shown.value(2), cellKeeps);
        QVERIFY(rec.errors.empty());
    }
};

QTEST_MAIN(TstSoak)
#include "tst_soak.moc"
