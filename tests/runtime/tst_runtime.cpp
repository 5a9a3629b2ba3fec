#include "common/Support.h"

#include "app/forms/Controls.h"

#include <QClipboard>
#include <QSet>

using namespace forms;

namespace {

// A small window built like the program's own, with menu shortcuts on keys a text field claims.
class Probe : public Form {
public:
    Probe() : Form(4500, 1800, Border::FixedSingle, StartPosition::CenterScreen)
    {
        QMenu* edit = addMenu("&Edit");
        for (Qt::Key key : {Qt::Key_C, Qt::Key_A, Qt::Key_Z})
            addMenuEntry(edit, QChar(key), [this, key] { menuHits << key; }, QKeySequence(Qt::CTRL | key));
        label->setAutoSize(true);
    }
    TextBox* text = new TextBox(client(), twipsRect(120, 120, 1800, 450), arial(12, true));
    CommandButton* button = new CommandButton(client(), twipsRect(2100, 120, 1200, 450), arial(10, true), "Go");
    Label* label = new Label(client(), twipsRect(120, 900, 300, 285), arial(12, true), "A");
    QList<int> menuHits;

protected:
    void Form_Load() override { setCaption("loaded"); }
};

class Other : public Probe {}; // a second window class, so that unloading the probe need not end the program

// The code of the run-time error that `body` raises; 0 when it raises none.
int errorOf(const std::function<void()>& body)
{
    try { body(); } catch (const RuntimeError& error) { return int(error.code()); }
    return 0;
}

} // namespace

class TstRuntime : public QObject {
    Q_OBJECT
private slots:
    void textFieldButtonAndLabel()
    {
        support::RuntimeRecorder rec;
        Probe& p = support::showActive<Probe>();
        QStringList events;
        p.text->Change = [&] { events << p.text->Text(); };
        p.text->Click = [&] { p.text->setSelStart(0); p.text->setSelLength(1); };
        p.button->Click = [&] { events << "clicked"; };
        p.text->setText("x");
        p.text->setText("x"); // the same text: no change
        p.button->setValue(true);
        QCOMPARE(events, (QStringList{"x", "clicked"}));
        // The field's own mouse handling comes first, so the selection made in Click stands.
        QTest::mouseClick(p.text, Qt::LeftButton, {}, QPoint(p.text->width() - 4, p.text->height() / 2));
        QCOMPARE(p.text->selectedText(), "x");
        // An AutoSize label grows and shrinks with its caption, keeping its top-left corner.
        const QRect before = p.label->geometry();
        p.label->setCaption("A much wider caption");
        QVERIFY(p.label->width() > before.width() && p.label->pos() == before.topLeft());
        p.label->setCaption("A");
        QCOMPARE(p.label->geometry(), before);
        // A full field refuses a typed character. An emoji is two units: it is refused whole, never
        // cut in half, on every road in.
        TextBox& field = *p.text;
        field.setMaxLength(1);
        field.setText("");
        QTest::keyClicks(&field, "ab");
        QCOMPARE(field.Text(), "a");
        const QString emoji = QString::fromUcs4(U"\U0001F600");
        QGuiApplication::clipboard()->setText(emoji);
        const std::function<void()> roads[] = {
            [&] { QTest::sendKeyEvent(QTest::Click, &field, Qt::Key_unknown, emoji, {}); },
            [&] { field.insert(emoji); }, [&] { field.paste(); }};
        for (const auto& enter : roads) {
            field.setText("");
            enter();
            QCOMPARE(field.Text(), "");
        }
    }

    void runTimeErrors()
    {
        support::RuntimeRecorder rec;
        Probe& p = support::showActive<Probe>();
        ControlArray<TextBox> cells;
        cells.add(p.text);
        for (int index : {-1, 1})
            QCOMPARE(errorOf([&] { cells(index); }), int(ErrorCode::SubscriptOutOfRange));
        rec.launcherStarts = false;
        QCOMPARE(errorOf([] { Shell(platformOpener(), {"https://example.org/"}); }), int(ErrorCode::FileNotFound));
        int ran = 0;
        p.button->Click = [&] { cells(400).setText("x"); ++ran; };
        // One raised inside an event procedure is reported and ends the program; nothing escapes into Qt.
        QTest::mouseClick(p.button, Qt::LeftButton);
        QCOMPARE(rec.errors, std::vector{ErrorCode::SubscriptOutOfRange});
        QVERIFY(rec.quits == 1 && hasEnded());
        raiseEvent([&] { ++ran; });
        QCOMPARE(ran, 0);
    }

    void modalShowEndsAfterItsProcedure()
    {
        support::RuntimeRecorder rec;
        instance<Other>(); // loaded, never shown
        Probe& p = instance<Probe>();
        bool finished = false, finishedAtReturn = false;
        p.button->Click = [&] {
            p.Hide();
            p.Unload();
            p.setCaption("after"); // the window outlives its own procedure
            finished = true;
        };
        support::duringModal([&] { p.Show(Modality::Modal); finishedAtReturn = finished; }, [&] {
            QVERIFY(QTest::qWaitForWindowExposed(&p));
            QTest::mouseClick(p.button, Qt::LeftButton);
        });
        QVERIFY(finishedAtReturn);
        QCOMPARE(instance<Probe>().Caption(), "loaded"); // a fresh window, loaded anew
        instance<Probe>().Unload(); // the program ends with its last loaded window, shown or not
        QCOMPARE(rec.quits, 0);
        instance<Other>().Unload();
        QCOMPARE(rec.quits, 1);
    }

    void menuShortcutBeatsFocusedField_data()
    {
        QTest::addColumn<int>("key");
        for (Qt::Key key : {Qt::Key_C, Qt::Key_A, Qt::Key_Z})
            QTest::newRow(qPrintable(QKeySequence(Qt::CTRL | key).toString())) << int(key);
    }
    void menuShortcutBeatsFocusedField()
    {
        QFETCH(int, key);
        support::RuntimeRecorder rec;
        Probe& p = support::showActive<Probe>();
        p.text->SetFocus();
        QTest::keyClicks(p.text, "abc"); // typed, so that the field has something to undo
        p.text->setSelection(1, 1);
        QGuiApplication::clipboard()->setText("kept");
        QTest::keyClick(p.text, Qt::Key(key), Qt::ControlModifier);
        QCOMPARE(p.menuHits, QList<int>{key});
        QCOMPARE((QStringList{QGuiApplication::clipboard()->text(), p.text->Text(), p.text->selectedText()}),
                 (QStringList{"kept", "abc", "b"}));
    }

    void numbersAndText()
    {
        // Halves go to even; past the range, or NaN, is an overflow: a raised error shows as minus its code.
        constexpr int of = -int(ErrorCode::Overflow);
        const struct { double value; int clng, cbyte; } rows[] = {
            {0.5, 0, 0}, {1.5, 2, 2}, {2.5, 2, 2}, {77.5, 78, 78}, {-0.5, 0, 0}, {-1.5, -2, of},
            {254.5, 254, 254}, {255.5, 256, of}, {2147483647.4, 2147483647, of}, {2147483647.5, of, of},
            {-2147483648.6, of, of}, {qQNaN(), of, of}};
        const auto convert = [](auto conversion, double value) {
            int result = 0;
            const int error = errorOf([&] { result = conversion(value); });
            return error ? -error : result;
        };
        for (const auto& row : rows) {
            QCOMPARE(convert(CLng, row.value), row.clng);
            QCOMPARE(convert(CByte, row.value), row.cbyte);
        }
        QCOMPARE((QStringList{Trim("  a b  "), Trim("\ta "), Trim("   ")}), (QStringList{"a b", "\ta", ""}));
    }

    void randomDrawsStayFreshAcrossReseeds()
    {
        support::RuntimeRecorder rec;
        testing::seedRandom(1);
        QSet<double> draws;
        for (int i = 0; i < 1000; ++i)
            draws << Rnd();
        QVERIFY(draws.size() > 990);
        QVERIFY(std::all_of(draws.begin(), draws.end(), [](double r) { return r >= 0 && r < 1; }));
        testing::setClock([] { return 43200.0; }); // many reseeds within one tick of the timer
        draws.clear();
        for (int i = 0; i < 400; ++i)
            draws << (Randomize(), Rnd());
        QVERIFY2(draws.size() >= 390, qPrintable(QString::number(draws.size())));
    }
};

QTEST_MAIN(TstRuntime)
#include "tst_runtime.moc"
