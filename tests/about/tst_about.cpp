#include "common/Support.h"

#include "about/SamplePuzzle.h"
#include "about/frmAbout.h"
#include "editor/frmEntry.h"

#include <QRegularExpression>
#include <QScopeGuard>

#include <optional>

using namespace pellacrest::sample;
using Step = std::function<void(frmAbout&)>;

namespace {

// A key goes where the user's typing goes: to the focused control, once the About window is in front.
QWidget* press(frmAbout& about, QKeyCombination key = Qt::SHIFT | Qt::Key_K)
{
    about.activateWindow();
    if (!QTest::qWaitFor([&] { return QApplication::activeWindow() == &about; }))
        return nullptr;
    QWidget* target = QApplication::focusWidget();
    QTest::keyClick(target, key.key(), key.keyboardModifiers());
    return target;
}

void verifySample(const frmEntry& editor)
{
    QStringList entries;
    for (QStringView entry : kEntries)
        entries << entry.toString();
    QCOMPARE(editor.txtTitle->Text(), QStringView(kTitle).toString());
    QCOMPARE(editor.txtList->Text(), entries.join(QStringLiteral("\r\n")));
    for (const Placement& p : kPlacements)
        QCOMPARE(editor.txtEntry(p.cell).Text(), QString(QChar(p.letter)));
    QVERIFY(std::ranges::all_of(editor.txtEntry, [](const forms::TextBox* cell) { return cell->Text().size() == 1; }));
}

} // namespace

class TstAbout : public QObject {
    Q_OBJECT
    std::optional<support::RuntimeRecorder> rec;
    frmEntry* editor = nullptr;

    // Help, About from the editor's menu; `step` runs inside its modal wait, which a failed step ends.
    bool withAbout(const Step& step)
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

    void closesAndReopensAfresh_data()
    {
        QTest::addColumn<Step>("close");
        QTest::newRow("Enter") << Step([](frmAbout& about) { QVERIFY(press(about, Qt::Key_Return)); });
        QTest::newRow("Esc") << Step([](frmAbout& about) { QVERIFY(press(about, Qt::Key_Escape)); });
        QTest::newRow("OK click") << Step([](frmAbout& about) { QTest::mouseClick(about.cmdOK, Qt::LeftButton); });
        QTest::newRow("close request") << Step([](frmAbout& about) { about.close(); });
    }
    void closesAndReopensAfresh()
    {
        QFETCH(Step, close);
        const auto restore = qScopeGuard([shipped = forms::App()] { forms::App() = shipped; });
        QVERIFY(withAbout(close));
        QVERIFY(!forms::isLoaded<frmAbout>() && forms::isLoaded<frmEntry>() && rec->quits == 0 && rec->errors.empty());
        // Nothing of the last opening survives: the texts come from the application object again.
        forms::App() = {QStringLiteral("Peaks & Passes"), 2, 10, 3};
        QVERIFY(withAbout([](frmAbout& about) {
            const QStringList texts{about.Caption(), about.lblTitle->Caption(), about.lblVersion->Caption()};
            QCOMPARE(texts, (QStringList{"About Peaks & Passes", "Peaks & Passes", "Version 2.10.3"}));
            about.cmdOK->click();
        }));
    }

    void linkShowsTheHandAndOpensThePage()
    {
        QVERIFY(withAbout([&](frmAbout& about) {
            QVERIFY(QTest::qWaitForWindowExposed(&about));
            // From elsewhere, since a pointer left over the link by an earlier run would not move.
            // Short waits: a failed one must end before the modal wait's deadline takes the window away.
            QTest::mouseMove(about.lblTitle);
            QTest::mouseMove(about.lblLink);
            QTRY_COMPARE_WITH_TIMEOUT(about.lblLink->cursor().shape(), Qt::PointingHandCursor, 2000);
            QTest::mouseMove(about.lblDescription);
            QTRY_VERIFY_WITH_TIMEOUT(about.lblDescription->underMouse(), 2000);
            QCOMPARE(about.lblDescription->cursor().shape(), Qt::ArrowCursor);
            QTest::mouseClick(about.lblLink, Qt::LeftButton);
            rec->launcherStarts = false;
            QTest::mouseClick(about.lblLink, Qt::LeftButton);
            QCOMPARE(rec->launches.size(), size_t(2));
            for (const auto& launch : rec->launches)
                QVERIFY(launch.program == forms::platformOpener() && launch.arguments == QStringList{about.webAddress()});
            // No browser to be had: the user is told, the window stays and the program goes on.
            QVERIFY(rec->messages.size() == 1 && about.isVisible() && rec->quits == 0 && rec->errors.empty());
            about.cmdOK->click();
        }));
    }

    void shiftK_data()
    {
        QTest::addColumn<int>("direction"); // index into the Direction menu
        QTest::addColumn<bool>("onPicture");
        QTest::addColumn<QKeyCombination>("key");
        const char* names[] = {"Up", "Left", "Down", "Right", "Northwest", "Northeast", "Southwest", "Southeast"};
        for (int d = 0; d < 8; ++d)
            QTest::newRow(names[d]) << d << false << (Qt::SHIFT | Qt::Key_K);
        QTest::newRow("picture focused") << 3 << true << (Qt::SHIFT | Qt::Key_K);
        for (QKeyCombination other : {Qt::NoModifier | Qt::Key_K, Qt::CTRL | Qt::SHIFT | Qt::Key_K,
                                      Qt::ALT | Qt::SHIFT | Qt::Key_K, Qt::SHIFT | Qt::Key_J})
            QTest::newRow(qPrintable(QKeySequence(other).toString())) << 3 << false << other;
    }
    void shiftK()
    {
        QFETCH(int, direction);
        QFETCH(bool, onPicture);
        QFETCH(QKeyCombination, key);
        const std::array menu{editor->Up, editor->Left, editor->Down, editor->Right,
                              editor->Northwest, editor->Northeast, editor->Southwest, editor->Southeast};
        menu[size_t(direction)]->trigger();
        // Clear keeps the title, so only the load can replace it.
        editor->txtTitle->setText(QStringLiteral("My walk"));
        const bool loads = key == (Qt::SHIFT | Qt::Key_K);
        QVERIFY(withAbout([&](frmAbout& about) {
            QWidget* focus = onPicture ? static_cast<QWidget*>(about.picIcon) : about.cmdOK;
            focus->setFocus();
            QCOMPARE(press(about, key), focus);
            QVERIFY(about.isVisible());
            if (!loads)
                about.cmdOK->click();
        }));
        QCOMPARE(rec->beeps, int(loads));
        QCOMPARE(editor->txtTitle->Text() == QStringLiteral("My walk"), !loads);
        QVERIFY(rec->errors.empty() && int(editor->typingDirection()) == direction);
        if (loads) {
            verifySample(*editor);
            QCOMPARE(editor->focusWidget(), static_cast<QWidget*>(editor->txtTitle));
            QVERIFY(forms::isLoaded<frmAbout>() && forms::instance<frmAbout>().isVisible());
        }
    }

    // After a load the About window stands modeless: Help, About brings it forward, and a load after
    // the editor was closed brings up a new editor.
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
        QVERIFY(forms::isLoaded<frmEntry>() && forms::instance<frmEntry>().isVisible());
        verifySample(forms::instance<frmEntry>());
        QVERIFY(rec->beeps == 2 && rec->quits == 0 && rec->errors.empty());
    }
};

QTEST_MAIN(TstAbout)
#include "tst_about.moc"
