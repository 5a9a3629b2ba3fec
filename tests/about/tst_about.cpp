#include "common/Support.h"

#include "about/SamplePuzzle.h"
#include "about/frmAbout.h"
#include "editor/frmEntry.h"

#include <QRegularExpression>
#include <QScopeGuard>

#include <optional>

// A key goes where the user's typing goes: to the focused control, once the About window is in front.
static QWidget* press(frmAbout& about, QKeyCombination key = Qt::SHIFT | Qt::Key_K)
{
    about.activateWindow();
    if (!QTest::qWaitFor([&] { return QApplication::activeWindow() == &about; }))
        return nullptr;
    QWidget* target = QApplication::focusWidget();
    QTest::keyClick(target, key.key(), key.keyboardModifiers());
    return target;
}

class TstAbout : public QObject {
    Q_OBJECT
    std::optional<support::RuntimeRecorder> rec;
    frmEntry* editor = nullptr;

    // Help, About from the editor's menu; `step` runs inside its modal wait, which a failed step ends.
    bool withAbout(const std::function<void(frmAbout&)>& step)
    {
        return support::duringModal([&] { editor->About->trigger(); }, [&] {
            step(forms::instance<frmAbout>());
            if (QTest::currentTestFailed() && forms::isLoaded<frmAbout>())
                forms::instance<frmAbout>().Unload();
        });
    }

private slots:
    void init()
    {
        QTest::failOnWarning(QRegularExpression(QStringLiteral("deadline|did not become active")));
        rec.emplace();
        editor = &support::showActive<frmEntry>();
    }
    void cleanup() { rec.reset(); }

    // The hand over the link, whose click opens the page; closing unloads, so the next opening is built anew.
    void linkAndReopening()
    {
        const auto restore = qScopeGuard([shipped = forms::App()] { forms::App() = shipped; });
        QVERIFY(withAbout([&](frmAbout& about) {
            QVERIFY(QTest::qWaitForWindowExposed(&about));
            // From elsewhere, as a pointer left there by an earlier run would not move; short, to end in time.
            QTest::mouseMove(about.lblTitle);
            QTest::mouseMove(about.lblLink);
            QTRY_COMPARE_WITH_TIMEOUT(about.lblLink->cursor().shape(), Qt::PointingHandCursor, 2000);
            QTest::mouseClick(about.lblLink, Qt::LeftButton);
            rec->launcherStarts = false; // no browser to be had: the user is told, and the program goes on
            QTest::mouseClick(about.lblLink, Qt::LeftButton);
            QCOMPARE(rec->launches.size(), size_t(2));
            const auto& [program, arguments] = rec->launches.back();
            QCOMPARE(program, forms::platformOpener());
            QCOMPARE(arguments, QStringList{about.webAddress()});
            QCOMPARE(rec->messages.size(), qsizetype(1));
            QVERIFY(about.isVisible());
            QTest::mouseClick(about.cmdOK, Qt::LeftButton);
        }));
        forms::App() = {QStringLiteral("Peaks & Passes"), 2, 10, 3};
        QVERIFY(withAbout([](frmAbout& about) {
            QCOMPARE(about.Caption(), QStringLiteral("About Peaks & Passes"));
            QCOMPARE(about.lblTitle->Caption(), QStringLiteral("Peaks & Passes"));
            QCOMPARE(about.lblVersion->Caption(), QStringLiteral("Version 2.10.3"));
            about.close(); // as the title bar's close button does
        }));
        QVERIFY(!forms::isLoaded<frmAbout>());
        // A run-time error ends the program, so this also says none was raised; nor did the editor go.
        QCOMPARE(rec->quits, 0);
    }

    // Enter and Esc close the window. Shift+K loads the sample, on whichever control has the focus,
    // and leaves the user's typing direction as it was; any other K or Shift key does nothing.
    void keys_data()
    {
        QTest::addColumn<QKeyCombination>("key");
        QTest::addColumn<bool>("onPicture");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<int>("direction"); // the typing direction the user left the editor in
        const char* directions[] = {"Up", "Left", "Down", "Right", "Northwest", "Northeast", "Southwest", "Southeast"};
        for (int d = 0; d < 8; ++d)
            QTest::addRow("Shift+K on OK, typing %s", directions[d]) << (Qt::SHIFT | Qt::Key_K) << false << "load" << d;
        QTest::newRow("Shift+K on the picture") << (Qt::SHIFT | Qt::Key_K) << true << "load" << 4;
        QTest::newRow("keypad Enter") << (Qt::KeypadModifier | Qt::Key_Enter) << false << "close" << 4;
        QTest::newRow("Esc on the picture") << QKeyCombination(Qt::Key_Escape) << true << "close" << 4;
        for (QKeyCombination other : {Qt::NoModifier | Qt::Key_K, Qt::CTRL | Qt::SHIFT | Qt::Key_K,
                                      Qt::ALT | Qt::SHIFT | Qt::Key_K, Qt::SHIFT | Qt::Key_J})
            QTest::newRow(qPrintable(QKeySequence(other).toString())) << other << false << "nothing" << 4;
    }
    void keys()
    {
        QFETCH(QKeyCombination, key);
        QFETCH(bool, onPicture);
        QFETCH(QString, outcome);
        QFETCH(int, direction);
        const std::array menu{editor->Up,        editor->Left,      editor->Down,      editor->Right,
                              editor->Northwest, editor->Northeast, editor->Southwest, editor->Southeast};
        menu[size_t(direction)]->trigger();
        QVERIFY(withAbout([&](frmAbout& about) {
            QWidget* focus = onPicture ? static_cast<QWidget*>(about.picIcon) : about.cmdOK;
            focus->setFocus();
            QCOMPARE(press(about, key), focus);
            QCOMPARE(forms::isLoaded<frmAbout>(), outcome != "close");
            if (outcome != "close")
                QVERIFY(about.isVisible());
            if (outcome == "nothing")
                about.cmdOK->click();
        }));
        QCOMPARE(rec->beeps, int(outcome == "load"));
        QCOMPARE(rec->quits, 0);
        QCOMPARE(editor->typingDirection(), direction);
        if (outcome != "load")
            return;
        // The sample's data has its own tests, and the soak sees every load fill the grid: here it only has to arrive.
        using namespace pellacrest::sample;
        QCOMPARE(editor->txtTitle->Text(), QStringView(kTitle).toString());
        QCOMPARE(editor->txtList->Text().split(QStringLiteral("\r\n")).size(), qsizetype(kEntries.size()));
        for (const Placement& p : kPlacements)
            QCOMPARE(editor->txtEntry(p.cell).Text(), QString(QChar(p.letter)));
        QCOMPARE(editor->focusWidget(), static_cast<QWidget*>(editor->txtTitle));
    }

    // Modeless after a load: Help, About brings it forward, and a load with the editor closed brings a new one.
    void loadsWhileModeless()
    {
        QVERIFY(withAbout([](frmAbout& about) { QVERIFY(press(about)); }));
        frmAbout& about = forms::instance<frmAbout>();
        QVERIFY(QTest::qWaitFor([&] { return QApplication::activeWindow() == &about; }));
        editor->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(editor));
        QVERIFY(!withAbout([](frmAbout& modal) { modal.Unload(); }));
        QVERIFY(QTest::qWaitFor([&] { return QApplication::activeWindow() == &about; }));
        editor->Unload();
        QVERIFY(press(about));
        QCOMPARE(forms::instance<frmEntry>().txtTitle->Text(), QStringView(pellacrest::sample::kTitle).toString());
        QVERIFY(forms::instance<frmEntry>().isVisible());
        QCOMPARE(rec->beeps, 2);
        QCOMPARE(rec->quits, 0);
    }
};

QTEST_MAIN(TstAbout)
#include "tst_about.moc"
