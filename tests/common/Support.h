#pragma once
// What every window test needs: the runtime's outside effects recorded instead of done, and
// every window gone again after each test.
#include "app/forms/Form.h"
#include "app/forms/Runtime.h"

#include <QTest>
#include <QTimer>

#include <functional>
#include <vector>

namespace support {

class RuntimeRecorder {
public:
    struct Launch {
        QString program;
        QStringList arguments;
    };

    RuntimeRecorder()
    {
        using namespace forms::testing;
        setErrorReporter([this](const forms::RuntimeError& e) { errors.push_back(e.code()); });
        setQuitHandler([this] { ++quits; });
        setBeeper([this] { ++beeps; });
        setMessageSink([this](const QString& prompt) { messages << prompt; });
        setLauncher([this](const QString& program, const QStringList& arguments) {
            launches.push_back({program, arguments});
            return launcherStarts;
        });
    }
    ~RuntimeRecorder()
    {
        using namespace forms::testing;
        destroyAllForms();
        setErrorReporter({});
        setQuitHandler({});
        setBeeper({});
        setMessageSink({});
        setLauncher({});
        setClock({});
        setRandomSource({});
        clearFaults();
        resetEnded();
    }
    RuntimeRecorder(const RuntimeRecorder&) = delete;
    RuntimeRecorder& operator=(const RuntimeRecorder&) = delete;

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
    if (!QTest::qWaitForWindowActive(&form))
        qWarning("window did not become active");
    return form;
}

// Runs `whileShown` inside the modal wait that `start` enters; returns whether it ran. A
// deadline takes every window away if the step forgets to close, so no test can hang.
inline bool duringModal(const std::function<void()>& start, const std::function<void()>& whileShown,
                        int deadlineMs = 10000)
{
    // Local timers: if `start` never waits, they die with this frame instead of firing later.
    bool ran = false;
    QTimer step;
    QTimer deadline;
    step.setSingleShot(true);
    deadline.setSingleShot(true);
    QObject::connect(&step, &QTimer::timeout, [&] {
        ran = true;
        whileShown();
    });
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
