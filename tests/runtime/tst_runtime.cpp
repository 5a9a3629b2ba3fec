#include "common/Support.h"

#include "app/forms/Controls.h"

#include <QSet>

using namespace forms;

namespace {

// A small window built like the program's own.
struct Probe : Form {
    Probe() : Form(4500, 1800, Border::FixedSingle, StartPosition::CenterScreen) {}
    TextBox* text = new TextBox(client(), twipsRect(120, 120, 1800, 450), arial(12, true));
    CommandButton* button = new CommandButton(client(), twipsRect(2100, 120, 1200, 450), arial(10, true), "Go");
};

struct Other : Probe {}; // a second window class, so that unloading the probe need not end the program

// What `body` gives, or minus the code of the run-time error it raises.
int outcome(const std::function<int()>& body)
{
    try {
        return body();
    } catch (const RuntimeError& error) {
        return -int(error.code());
    }
}

} // namespace

class TstRuntime : public QObject {
    Q_OBJECT
private slots:
    void controlsAndRunTimeErrors()
    {
        support::RuntimeRecorder rec;
        Probe& p = support::showActive<Probe>();
        int changes = 0;
        p.text->Change = [&] { ++changes; };
        p.text->setText("x");
        p.text->setText("x"); // the same text: no change
        QCOMPARE(changes, 1);
        ControlArray<TextBox> cells;
        cells.add(p.text);
        int ran = 0;
        p.button->Click = [&] {
            cells(1).setText("x");
            ++ran;
        };
        // Reported, and the program ends; nothing escapes into Qt, and no procedure runs after it.
        QTest::mouseClick(p.button, Qt::LeftButton);
        QCOMPARE(rec.errors, std::vector{ErrorCode::SubscriptOutOfRange});
        QCOMPARE(rec.quits, 1);
        raiseEvent([&] { ++ran; });
        QCOMPARE(ran, 0);
    }

    // Shown or not, every loaded window counts: the program ends with the last of them.
    void programEndsWithItsLastLoadedWindow()
    {
        support::RuntimeRecorder rec;
        instance<Other>(); // loaded, never shown
        support::showActive<Probe>().Unload();
        QCOMPARE(rec.quits, 0);
        instance<Other>().Unload();
        QCOMPARE(rec.quits, 1);
    }

    // While a window is shown modally, the window behind it takes no click, no key and no close;
    // a key sent to it goes to the modal window; once that is hidden, all of it works again.
    void windowsBehindAModalOneTakeNoInput()
    {
        support::RuntimeRecorder rec;
        Probe& behind = support::showActive<Probe>();
        int clicks = 0;
        behind.button->Click = [&] { ++clicks; };
        Other& modal = instance<Other>();
        modal.text->setFocus();
        support::duringModal([&] { modal.Show(Modality::Modal); }, [&] {
            QTest::mouseClick(behind.button, Qt::LeftButton);
            QTest::keyClick(behind.windowHandle(), Qt::Key_X);
            behind.close();
            modal.Hide();
        });
        QCOMPARE(clicks, 0);
        QCOMPARE(modal.text->Text(), QStringLiteral("x"));
        QVERIFY(!behind.isUnloaded());
        QTest::mouseClick(behind.button, Qt::LeftButton);
        QCOMPARE(clicks, 1);
    }

    void numbersAndRandom()
    {
        support::RuntimeRecorder rec;
        constexpr int of = -int(ErrorCode::Overflow); // past the range, or NaN; halves go to even
        const struct { double value; int clng, cbyte; } rows[] = {
            {0.5, 0, 0}, {1.5, 2, 2}, {2.5, 2, 2}, {-0.5, 0, 0}, {-1.5, -2, of}, {254.5, 254, 254}, {255.5, 256, of},
            {2147483647.4, 2147483647, of}, {2147483647.5, of, of}, {-2147483648.6, of, of}, {qQNaN(), of, of}};
        for (const auto& row : rows) {
            QCOMPARE(outcome([&] { return CLng(row.value); }), row.clng);
            QCOMPARE(outcome([&] { return CByte(row.value); }), row.cbyte);
        }
        testing::setClock([] { return 43200.0; }); // many reseeds within one tick of the timer
        QSet<double> draws;
        for (int i = 0; i < 400; ++i) {
            Randomize();
            draws << Rnd();
        }
        QVERIFY2(draws.size() >= 390, qPrintable(QString::number(draws.size())));
    }
};

QTEST_MAIN(TstRuntime)
#include "tst_runtime.moc"
