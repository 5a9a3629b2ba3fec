#pragma once
// What every window test needs: the runtime's outside effects recorded instead of done, and
// every window gone again after each test.
#include "app/forms/Form.h"
#include "app/forms/Runtime.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <functional>
#include <vector>

namespace support {

class RuntimeRecorder {
public:
    RuntimeRecorder()
    {
        forms::testing::setErrorReporter([this](const forms::RuntimeError& e) { errors.push_back(e.code()); });
        forms::testing::setQuitHandler([this] { ++quits; });
        forms::testing::setBeeper([this] { ++beeps; });
        forms::testing::setMessageSink([this](const QString& prompt) { messages << prompt; });
        forms::testing::setLauncher([this](const QString& program, const QStringList& arguments) {
            launches.push_back({program, arguments});
            return launcherStarts;
        });
    }
    ~RuntimeRecorder()
    {
        forms::testing::destroyAllForms();
        forms::testing::setErrorReporter({});
        forms::testing::setQuitHandler({});
        forms::testing::setBeeper({});
        forms::testing::setMessageSink({});
        forms::testing::setLauncher({});
        forms::testing::setClock({});
        forms::testing::setRandomSource({});
        forms::testing::clearFaults();
        forms::testing::resetEnded();
    }
    RuntimeRecorder(const RuntimeRecorder&) = delete;
    RuntimeRecorder& operator=(const RuntimeRecorder&) = delete;

    struct Launch {
        QString program;
        QStringList arguments;
    };
    std::vector<forms::ErrorCode> errors;
    int quits = 0;
    int beeps = 0;
    QStringList messages;
    std::vector<Launch> launches;
    bool launcherStarts = true;
};

// Shows a window modelessly and waits until the window manager has made it active.
template <typename F>
F& showActive()
{
    F& form = forms::instance<F>();
    form.Show();
    form.activateWindow();
    if (!QTest::qWaitForWindowActive(&form))
        qWarning("window did not become active");
    return form;
}

// Runs `whileShown` once the event loop is running inside a modal Show started by `start`.
// A deadline closes everything if the test forgets to, so no test can hang.
inline bool duringModal(const std::function<void()>& start, const std::function<void()>& whileShown,
                        int deadlineMs = 10000)
{
    // Local timers: if `start` never waits, they die with this frame instead of firing later.
    bool ran = false;
    QTimer step;
    step.setSingleShot(true);
    QObject::connect(&step, &QTimer::timeout, [&] {
        ran = true;
        whileShown();
    });
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, [] {
        qWarning("modal wait ran past its deadline");
        forms::testing::destroyAllForms();
    });
    step.start(0);
    deadline.start(deadlineMs);
    start();
    return ran;
}

} // namespace support
