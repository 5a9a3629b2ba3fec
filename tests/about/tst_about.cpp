#include "common/Support.h"

#include "about/SamplePuzzle.h"
#include "about/frmAbout.h"
#include "editor/frmEntry.h"

#include <QRegularExpression>
#include <QScopeGuard>

#include <optional>

using namespace pellacrest::sample;

namespace {

constexpr int kShiftK = (Qt::SHIFT | Qt::Key_K).toCombined();

QString text(std::u16string_view s) { return QString::fromUtf16(s.data(), qsizetype(s.size())); }

QStringList texts(const frmAbout& a) { return {a.Caption(), a.lblTitle->Caption(), a.lblVersion->Caption()}; }

// A key goes where the user's typing goes: to the focused control, once the About window is in front.
QWidget* press(frmAbout& about, int key = kShiftK)
{
    about.activateWindow();
    QWidget* target = QTest::qWaitFor([&] { return QApplication::activeWindow() == &about; })
        ? QApplication::focusWidget() : nullptr;
    const QKeyCombination combination = QKeyCombination::fromCombined(key);
    if (target)
        QTest::keyClick(target, combination.key(), combination.keyboardModifiers());
    return target;
}

void verifySample(const frmEntry& editor)
{
    QStringList entries;
    for (std::u16string_view entry : kEntries)
        entries << text(entry);
    QCOMPARE(editor.txtTitle->Text(), text(kTitle));
    QCOMPARE(editor.txtList->Text(), entries.join(QStringLiteral("\r\n")));
    for (const Placement& p : kPlacements)
        QCOMPARE(editor.txtEntry(p.cell).Text(), QString(QChar(p.letter)));
    for (const forms::TextBox* cell : editor.txtEntry)
        QCOMPARE(cell->Text().size(), 1);
}

} // namespace

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

    void closesAndReopensAfresh_data()
    {
        QTest::addColumn<int>("way");
        for (int way = 0; way < 4; ++way)
            QTest::newRow(std::array{"Enter", "Esc", "OK click", "close request"}[size_t(way)]) << way;
    }
    void closesAndReopensAfresh()
    {
        QFETCH(int, way);
        const auto restore = qScopeGuard([shipped = forms::App()] { forms::App() = shipped; });
        QVERIFY(withAbout([&](frmAbout& about) {
            QCOMPARE(texts(about), (QStringList{"About Pellacrest", "Pellacrest", "Version 1.0.0"}));
            QCOMPARE(about.lblCredits->Caption().split(QStringLiteral("\r\n")).size(), 2);
            QVERIFY(about.lblCredits->height() > QFontMetrics(about.lblCredits->font()).height() * 3 / 2);
            if (way < 2)
                QVERIFY(press(about, way == 0 ? Qt::Key_Return : Qt::Key_Escape));
            else if (way == 2)
                QTest::mouseClick(about.cmdOK, Qt::LeftButton);
            else
                about.close();
        }));
        QVERIFY(!forms::isLoaded<frmAbout>() && forms::isLoaded<frmEntry>() && rec->quits == 0 && rec->errors.empty());
        // Nothing of the last opening survives: the texts come from the application object again.
        forms::App() = {QStringLiteral("Peaks & Passes"), 2, 10, 3};
        QVERIFY(withAbout([&](frmAbout& about) {
            QCOMPARE(texts(about), (QStringList{"About Peaks & Passes", "Peaks & Passes", "Version 2.10.3"}));
            about.cmdOK->click();
        }));
    }

    void linkShowsTheHandAndOpensThePage()
    {
        QVERIFY(withAbout([&](frmAbout& about) {
            QVERIFY(QTest::qWaitForWindowExposed(&about));
            QTest::mouseMove(about.lblLink);
            QTRY_COMPARE(about.lblLink->cursor().shape(), Qt::PointingHandCursor);
            for (QWidget* other : std::initializer_list<QWidget*>{about.lblTitle, about.lblVersion,
                     about.lblDescription, about.lblCredits, about.picIcon}) {
                QTest::mouseMove(other);
                QTRY_VERIFY(other->underMouse());
                QCOMPARE(other->cursor().shape(), Qt::ArrowCursor);
            }
            for (bool starts : {true, true, false}) {
                rec->launcherStarts = starts;
                QTest::mouseClick(about.lblLink, Qt::LeftButton);
            }
            QCOMPARE(rec->launches.size(), size_t(3));
            for (const auto& launch : rec->launches)
                QVERIFY(launch.program == forms::platformOpener() && launch.arguments == QStringList{about.webAddress()});
            // No browser to be had: the user is told, the window stays and the program goes on.
            QCOMPARE(rec->messages.size(), 1);
            QVERIFY(forms::isLoaded<frmAbout>() && about.isVisible() && rec->quits == 0 && rec->errors.empty());
            about.cmdOK->click();
        }));
    }

    void shiftK_data()
    {
        QTest::addColumn<int>("direction"); // index into the Direction menu
        QTest::addColumn<bool>("onPicture");
        QTest::addColumn<int>("key");
        const char* names[] = {"Up", "Left", "Down", "Right", "Northwest", "Northeast", "Southwest", "Southeast"};
        for (int d = 0; d < 8; ++d)
            QTest::newRow(names[d]) << d << false << kShiftK;
        QTest::newRow("picture focused") << 3 << true << kShiftK;
        QTest::newRow("K alone") << 3 << false << int(Qt::Key_K);
        QTest::newRow("Ctrl+Shift+K") << 3 << false << (Qt::CTRL | Qt::SHIFT | Qt::Key_K).toCombined();
        QTest::newRow("Alt+Shift+K") << 3 << false << (Qt::ALT | Qt::SHIFT | Qt::Key_K).toCombined();
        QTest::newRow("Shift+J") << 3 << false << (Qt::SHIFT | Qt::Key_J).toCombined();
    }
    void shiftK()
    {
        QFETCH(int, direction);
        QFETCH(bool, onPicture);
        QFETCH(int, key);
        std::array menu{editor->Up, editor->Left, editor->Down, editor->Right,
                        editor->Northwest, editor->Northeast, editor->Southwest, editor->Southeast};
        menu[size_t(direction)]->trigger();
        // Clear keeps the title, so only the load can replace it.
        editor->txtTitle->setText(QStringLiteral("My walk"));
        QVERIFY(withAbout([&](frmAbout& about) {
            QWidget* focus = onPicture ? static_cast<QWidget*>(about.picIcon) : about.cmdOK;
            focus->setFocus();
            QCOMPARE(press(about, key), focus);
            QVERIFY(about.isVisible());
            if (key != kShiftK)
                about.cmdOK->click();
        }));
        const bool loads = key == kShiftK;
        QCOMPARE(rec->beeps, int(loads));
        QCOMPARE(editor->txtTitle->Text() == QStringLiteral("My walk"), !loads);
        QVERIFY(rec->errors.empty() && int(editor->typingDirection()) == direction);
        if (loads) {
            verifySample(*editor);
            QCOMPARE(editor->focusWidget(), static_cast<QWidget*>(editor->txtTitle));
            QVERIFY(forms::isLoaded<frmAbout>() && forms::instance<frmAbout>().isVisible());
        }
    }

    // After a load the About window stands modeless: Help, About brings it forward, a second load
    // changes only the letters Fill chose, and a load after the editor was closed brings up a new one.
    void loadsWhileModeless()
    {
        forms::testing::seedRandom(1);
        QVERIFY(withAbout([&](frmAbout& about) { QVERIFY(press(about)); }));
        verifySample(*editor);
        frmAbout& about = forms::instance<frmAbout>();
        QStringList first;
        for (const forms::TextBox* cell : editor->txtEntry)
            first << cell->Text();
        QVERIFY(QTest::qWaitFor([&] { return QApplication::activeWindow() == &about; }));
        editor->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(editor));
        QVERIFY(!support::duringModal([&] { editor->About->trigger(); }, [&] { about.Unload(); }));
        QVERIFY(QTest::qWaitFor([&] { return QApplication::activeWindow() == &about; }));
        forms::testing::seedRandom(2);
        QVERIFY(press(about));
        verifySample(*editor);
        // Both loads hold the sample cells, so a cell that changed is one that Fill chose.
        int changed = 0;
        for (int i = 0; i < first.size(); ++i)
            changed += editor->txtEntry(i).Text() != first[i];
        QVERIFY(changed > 0);
        editor->Unload();
        QCOMPARE(rec->quits, 0);
        QVERIFY(press(about));
        QVERIFY(forms::isLoaded<frmEntry>() && forms::instance<frmEntry>().isVisible());
        verifySample(forms::instance<frmEntry>());
        QVERIFY(rec->beeps == 3 && rec->quits == 0 && rec->errors.empty());
    }
};

QTEST_MAIN(TstAbout)
#include "tst_about.moc"
