// How long the editor's everyday actions take and how much memory it holds, measured inside
// the program on the real windows, beside a bare Qt window of 400 line edits where a
// comparison means something. Prints one Markdown table on standard output; progress and
// anything that went wrong go to standard error.
//
//   pellacrest_bench                      every measure, then the table
//   pellacrest_bench --startup editor     (internal) one start-up run of the editor
//   pellacrest_bench --startup baseline   (internal) one start-up run of the bare window
#include "about/frmAbout.h"
#include "app/AppIcon.h"
#include "app/CellIndex.h"
#include "app/forms/Form.h"
#include "app/forms/Runtime.h"
#include "editor/TypingDirection.h"
#include "editor/frmEntry.h"
#include "sheet/frmOutput.h"

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProcess>
#include <QTextStream>
#include <QThread>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

using pellacrest::kCellCount;

namespace {

constexpr int kStartupRuns = 10;
constexpr int kAdvancePresses = 2000;
constexpr int kGridRuns = 200;
constexpr int kCreateRuns = 100;
constexpr int kSampleRuns = 100;
constexpr int kGrowthWarmUp = 50;
constexpr int kGrowthCycles = 1000;
constexpr int kChildDeadlineMs = 20000;
constexpr int kModalDeadlineMs = 5000;
constexpr int kActivationDeadlineMs = 2000;

const QString kStartupFlag = QStringLiteral("--startup");
const QString kEditor = QStringLiteral("editor");
const QString kBaseline = QStringLiteral("baseline");

void progress(const char* what)
{
    static QElapsedTimer sinceStart;
    if (!sinceStart.isValid())
        sinceStart.start();
    std::fprintf(stderr, "pellacrest_bench: %5.1f s  %s\n", double(sinceStart.elapsed()) / 1e3, what);
}

// ---- Numbers ----------------------------------------------------------------------------

// Nanoseconds or bytes, one per run.
using Samples = std::vector<double>;

struct Spread {
    double median;
    double low;
    double high;
    const char* name;
};

Spread summarise(Samples samples)
{
    std::sort(samples.begin(), samples.end());
    const std::size_t n = samples.size();
    const double median = n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
    // Over a few runs every one counts; over many, the outer tenths are the machine's noise.
    if (n < 20)
        return {median, samples.front(), samples.back(), "min..max"};
    const auto rank = [&](double p) { return samples[static_cast<std::size_t>(std::lround(p * double(n - 1)))]; };
    return {median, rank(0.1), rank(0.9), "p10..p90"};
}

QString duration(double ns)
{
    if (ns < 1e6)
        return QString::number(ns / 1e3, 'f', ns < 1e4 ? 2 : 1) + QStringLiteral(" µs");
    return QString::number(ns / 1e6, 'f', ns < 1e7 ? 2 : 1) + QStringLiteral(" ms");
}

QString megabytes(double bytes, int decimals = 1)
{
    return QString::number(bytes / 1e6, 'f', decimals) + QStringLiteral(" MB");
}

// A figure of this process from /proc/self/status ("VmHWM", "VmRSS"), in bytes.
double memoryFigure(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toDouble() * 1024;
    }
    return -1;
}

// ---- The table --------------------------------------------------------------------------

const QString kNone = QStringLiteral("—");

struct Row {
    QString measure;
    qsizetype runs;
    QString median;
    QString spread;
    QString baseline = kNone;
    QString ratio = kNone;
    QString target = kNone;
    QString met = kNone;
};

QString spreadText(const Spread& s, const std::function<QString(double)>& format)
{
    return QStringLiteral("%1 .. %2 (%3)").arg(format(s.low), format(s.high), QString::fromLatin1(s.name));
}

QString yesNo(bool met) { return met ? QStringLiteral("yes") : QStringLiteral("**no**"); }

// A timing; with a limit, the median is held against it.
Row timeRow(const QString& measure, const Samples& ns, const QString& target = kNone,
            std::optional<double> limitNs = {})
{
    const Spread s = summarise(ns);
    Row row{measure, qsizetype(ns.size()), duration(s.median), spreadText(s, [](double v) { return duration(v); })};
    row.target = target;
    if (limitNs)
        row.met = yesNo(s.median < *limitNs);
    return row;
}

// The editor's figure beside the baseline's, held against a largest ratio.
Row comparedRow(const QString& measure, const Samples& editor, const Samples& baseline,
                const std::function<QString(double)>& format, double maxRatio)
{
    const Spread e = summarise(editor);
    const Spread b = summarise(baseline);
    const double ratio = e.median / b.median;
    Row row{measure, qsizetype(editor.size()), format(e.median), spreadText(e, format)};
    row.baseline = format(b.median);
    row.ratio = QString::number(ratio, 'f', 2) + u'x';
    row.target = QStringLiteral("<= %1x baseline").arg(maxRatio);
    row.met = yesNo(ratio <= maxRatio);
    return row;
}

void printTable(const std::vector<Row>& rows)
{
    QTextStream out(stdout);
    out << "| Measure | Runs | Median | Spread | Baseline | Ratio | Target | Met |\n"
        << "|---|---:|---:|---|---:|---:|---|---|\n";
    for (const Row& r : rows)
        out << "| " << r.measure << " | " << r.runs << " | " << r.median << " | " << r.spread << " | "
            << r.baseline << " | " << r.ratio << " | " << r.target << " | " << r.met << " |\n";
}

// ---- Frames -----------------------------------------------------------------------------

// Tells when a window's first frame is on screen. The frame starts with the first paint event
// the window gets while it is exposed; its children are painted and the backing store is
// flushed in the same pass, so the frame is over when the event loop next delivers posted
// events, which is when `done` runs.
class FirstFrameWatch : public QObject {
public:
    FirstFrameWatch() { qApp->installEventFilter(this); }

    void arm(std::function<bool(const QWidget*)> isWindow, std::function<void()> done)
    {
        isWindow_ = std::move(isWindow);
        done_ = std::move(done);
    }

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override
    {
        if (!isWindow_ || event->type() != QEvent::Paint || !receiver->isWidgetType())
            return false;
        const QWidget* window = static_cast<QWidget*>(receiver)->window();
        if (!isWindow_(window) || !window->windowHandle() || !window->windowHandle()->isExposed())
            return false;
        isWindow_ = {};
        // Re-arming before the call comes drops it, so a watcher gone by then is never called.
        QMetaObject::invokeMethod(this, [this] {
            if (const auto done = std::exchange(done_, {}))
                done();
        }, Qt::QueuedConnection);
        return false;
    }

private:
    std::function<bool(const QWidget*)> isWindow_;
    std::function<void()> done_;
};

// ---- Start-up ---------------------------------------------------------------------------

// The editor's client area, below its menu bar.
constexpr QSize kEditorClientSize = forms::twipsSize(18375, 13155);

// The yardstick: a bare Qt window of 400 line edits in a 20 x 20 grid, with the toolkit's
// default fonts and no menu, as large as the editor's client area so both fill as many pixels.
std::unique_ptr<QWidget> makeBaselineWindow()
{
    auto window = std::make_unique<QWidget>();
    auto* grid = new QGridLayout(window.get());
    for (int i = 0; i < kCellCount; ++i)
        grid->addWidget(new QLineEdit, pellacrest::cellRow(i), pellacrest::cellColumn(i));
    window->resize(kEditorClientSize);
    return window;
}

// One start-up run, in a process of its own: builds one window as a fresh program would and,
// once its first frame is on screen, prints the process's peak memory and ends.
int runStartupChild(int argc, char* argv[])
{
    QApplication application(argc, argv);
    const QString which = QString::fromLocal8Bit(argv[2]);
    const QWidget* window = nullptr;
    FirstFrameWatch watch;
    watch.arm([&](const QWidget* w) { return w == window; }, [] {
        std::printf("frame %.0f\n", memoryFigure("VmHWM"));
        std::fflush(stdout);
        QCoreApplication::exit(0);
    });

    std::unique_ptr<QWidget> baseline;
    if (which == kEditor) {
        // What main() does up to its first frame.
        QApplication::setApplicationName(QStringLiteral("Pellacrest"));
        QApplication::setDesktopFileName(QStringLiteral("pellacrest"));
        QApplication::setWindowIcon(pellacrest::applicationIcon());
        QApplication::setQuitOnLastWindowClosed(false);
        frmEntry& editor = forms::instance<frmEntry>();
        window = &editor;
        editor.Show();
    } else if (which == kBaseline) {
        baseline = makeBaselineWindow();
        window = baseline.get();
        baseline->show();
    } else {
        std::fprintf(stderr, "pellacrest_bench: no start-up run called %s\n", argv[2]);
        return 2;
    }
    const int status = QApplication::exec();
    forms::testing::destroyAllForms();
    return status;
}

struct StartupRun {
    double ns;
    double peakBytes;
};

// Process start is taken by the parent, just before it asks for the child; the child's line
// ends the run.
std::optional<StartupRun> launchStartupChild(const QString& which)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer clock;
    clock.start();
    child.start(QCoreApplication::applicationFilePath(), {kStartupFlag, which});
    while (!child.canReadLine() && child.waitForReadyRead(kChildDeadlineMs)) {
    }
    const double ns = double(clock.nsecsElapsed());
    const QList<QByteArray> words = child.readLine().trimmed().split(' ');
    if (!child.waitForFinished(kChildDeadlineMs))
        child.kill();
    if (words.size() != 2 || words[0] != "frame")
        return std::nullopt;
    return StartupRun{ns, words[1].toDouble()};
}

struct StartupSamples {
    Samples ns;
    Samples peakBytes;
};

std::pair<StartupSamples, StartupSamples> measureStartup(int& failures)
{
    // The first run of each fills the file cache; it would measure the disk.
    launchStartupChild(kEditor);
    launchStartupChild(kBaseline);
    StartupSamples editor;
    StartupSamples baseline;
    // Taking turns spreads any drift of the machine over both alike.
    for (int run = 0; run < kStartupRuns; ++run) {
        for (auto [which, samples] : {std::pair{kEditor, &editor}, std::pair{kBaseline, &baseline}}) {
            if (const auto result = launchStartupChild(which)) {
                samples->ns.push_back(result->ns);
                samples->peakBytes.push_back(result->peakBytes);
            } else {
                ++failures;
            }
        }
    }
    return {editor, baseline};
}

// ---- Driving the windows ----------------------------------------------------------------

// The runtime's outside effects stubbed, as in the tests: a beep or a message box would stall
// or disturb the timings, and nothing here may end the process.
class QuietRuntime {
public:
    QuietRuntime()
    {
        forms::testing::setBeeper([] {});
        forms::testing::setErrorReporter([this](const forms::RuntimeError&) { ++errors; });
        forms::testing::setMessageSink([this](const QString&) { ++messages; });
        forms::testing::setQuitHandler([] {});
        forms::testing::setLauncher([](const QString&, const QStringList&) { return true; });
    }
    ~QuietRuntime()
    {
        forms::testing::destroyAllForms();
        forms::testing::setBeeper({});
        forms::testing::setErrorReporter({});
        forms::testing::setMessageSink({});
        forms::testing::setQuitHandler({});
        forms::testing::setLauncher({});
    }
    QuietRuntime(const QuietRuntime&) = delete;
    QuietRuntime& operator=(const QuietRuntime&) = delete;

    int errors = 0;
    int messages = 0;
};

bool waitUntil(const std::function<bool()>& condition, int deadlineMs = kActivationDeadlineMs)
{
    const QDeadlineTimer deadline(deadlineMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::usleep(200);
    }
    return true;
}

// Lets whatever the last action left behind happen (repaints, deferred deletions) before the
// next one is timed.
void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// A key as the toolkit delivers a real one: the shortcut map asks the focused widget first,
// then come the press and, to whatever has the focus by then, the release.
void pressKey(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers, const QString& text)
{
    QKeyEvent ask(QEvent::ShortcutOverride, key, modifiers, text);
    ask.ignore();
    QApplication::sendEvent(target, &ask);
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QWidget* focus = QApplication::focusWidget();
    QApplication::sendEvent(focus ? focus : target, &release);
}

void click(QWidget* target, QPoint at)
{
    const QPointF global = target->mapToGlobal(QPointF(at));
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

void click(QWidget* target) { click(target, target->rect().center()); }

bool isActive(const QWidget& window) { return QApplication::activeWindow() == &window; }

// Back to the editor after a window of its closed. The windows hand activation back when they
// close; this waits until it has arrived, and asks once more if it has not, so that no
// keystroke of the next run goes nowhere.
void returnTo(QWidget& window)
{
    settle();
    if (!isActive(window))
        window.activateWindow();
    waitUntil([&] { return isActive(window); });
}

int filledCells(const frmEntry& editor)
{
    return static_cast<int>(std::count_if(editor.txtEntry.begin(), editor.txtEntry.end(),
                                          [](const forms::TextBox* cell) { return !cell->Text().isEmpty(); }));
}

struct Timings {
    Samples handled; // until the action's own code has returned
    Samples painted; // until the frame that shows it has been painted too
};

// One letter per keystroke into the focused cell, across the grid again and again. Each round
// types another letter, so every keystroke changes its cell and advances.
Timings measureAdvance(frmEntry& editor, int& failures)
{
    Timings t;
    editor.txtEntry(0).SetFocus();
    settle();
    int cell = 0;
    QElapsedTimer clock;
    for (int press = 0; press < kAdvancePresses; ++press) {
        const int letter = press / kCellCount % 26;
        const int next = *pellacrest::advanceTarget(editor.typingDirection(), cell);
        QWidget* focus = QApplication::focusWidget();
        clock.start();
        pressKey(focus, Qt::Key(Qt::Key_A + letter), Qt::NoModifier, QString(QChar(u'a' + letter)));
        t.handled.push_back(double(clock.nsecsElapsed()));
        QCoreApplication::processEvents();
        t.painted.push_back(double(clock.nsecsElapsed()));
        const forms::TextBox& target = editor.txtEntry(next);
        if (QApplication::focusWidget() != &target || target.SelStart() != 0
            || target.SelLength() != target.Text().size())
            ++failures;
        cell = next;
    }
    return t;
}

// Clear of a full grid and Fill of the empty one, in turns.
std::pair<Timings, Timings> measureClearAndFill(frmEntry& editor, int& failures)
{
    Timings clear;
    Timings fill;
    QElapsedTimer clock;
    for (int run = 0; run < kGridRuns; ++run) {
        for (auto [button, timings, filled] :
             {std::tuple{editor.cmdClear, &clear, 0}, std::tuple{editor.cmdFill, &fill, kCellCount}}) {
            settle();
            clock.start();
            button->setValue(true);
            timings->handled.push_back(double(clock.nsecsElapsed()));
            QCoreApplication::processEvents();
            timings->painted.push_back(double(clock.nsecsElapsed()));
            if (filledCells(editor) != filled)
                ++failures;
        }
    }
    return {clear, fill};
}

// Create clicked, the sheet's first frame on screen, the sheet closed with a click. Returns
// the time from the click to the end of that frame, or nothing if the sheet never showed.
std::optional<double> createAndClose(frmEntry& editor, FirstFrameWatch& watch)
{
    std::optional<double> toFrame;
    QElapsedTimer clock;
    watch.arm([](const QWidget* w) { return dynamic_cast<const frmOutput*>(w) != nullptr; }, [&] {
        toFrame = double(clock.nsecsElapsed());
        click(&forms::instance<frmOutput>(), QPoint(1, 1));
    });
    // Whatever happens, the modal wait ends.
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, [] {
        if (forms::isLoaded<frmOutput>())
            forms::instance<frmOutput>().Unload();
    });
    deadline.start(kModalDeadlineMs);
    clock.start();
    click(editor.cmdCreate);
    watch.arm({}, {});
    returnTo(editor);
    return toFrame;
}

// Shift+K typed into the About window, shown modally from the Help menu: the sample goes into
// the editor. Returns how long the key took, or nothing if it never reached the window.
std::optional<double> loadSample(frmEntry& editor)
{
    std::optional<double> took;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!forms::isLoaded<frmAbout>() || !isActive(forms::instance<frmAbout>()) || !QApplication::focusWidget())
            return;
        poll.stop();
        QElapsedTimer clock;
        clock.start();
        pressKey(QApplication::focusWidget(), Qt::Key_K, Qt::ShiftModifier, QStringLiteral("K"));
        took = double(clock.nsecsElapsed());
    });
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, [] {
        if (forms::isLoaded<frmAbout>())
            forms::instance<frmAbout>().Unload();
    });
    poll.start(1);
    deadline.start(kModalDeadlineMs);
    editor.About->trigger();
    if (forms::isLoaded<frmAbout>())
        forms::instance<frmAbout>().cmdOK->setValue(true);
    returnTo(editor);
    return took;
}

// Runs an action again and again; a run that did not do its work counts as a failure.
Samples repeat(int runs, const std::function<std::optional<double>()>& once, int& failures)
{
    Samples samples;
    for (int run = 0; run < runs; ++run) {
        if (const auto ns = once())
            samples.push_back(*ns);
        else
            ++failures;
    }
    return samples;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc == 3 && QByteArray(argv[1]) == kStartupFlag.toLatin1())
        return runStartupChild(argc, argv);

    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    std::vector<Row> rows;
    int failures = 0;

    progress("start-up, in child processes");
    const auto [startEditor, startBaseline] = measureStartup(failures);
    if (startEditor.ns.empty() || startBaseline.ns.empty()) {
        progress("no start-up run reached its first frame");
        return 1;
    }
    rows.push_back(comparedRow(QStringLiteral("Start-up: process start to first frame"), startEditor.ns,
                               startBaseline.ns, [](double v) { return duration(v); }, 1.3));
    rows.push_back(comparedRow(QStringLiteral("Peak memory at first frame (VmHWM)"), startEditor.peakBytes,
                               startBaseline.peakBytes, [](double v) { return megabytes(v); }, 1.2));

    QuietRuntime runtime;
    frmEntry& editor = forms::instance<frmEntry>();
    editor.Show();
    if (!waitUntil([&] { return isActive(editor); })) {
        progress("the editor never became active: is a window manager running?");
        return 1;
    }

    progress("advance");
    const Timings advance = measureAdvance(editor, failures);
    rows.push_back(timeRow(QStringLiteral("One advance: key press to focus moved, selection set"), advance.handled,
                           QStringLiteral("< 0.2 ms"), 0.2e6));
    rows.push_back(timeRow(QStringLiteral("One advance, to its repainted frame"), advance.painted));

    progress("Clear and Fill");
    const auto [clear, fill] = measureClearAndFill(editor, failures);
    rows.push_back(timeRow(QStringLiteral("Fill of an empty grid"), fill.handled, QStringLiteral("< 1 ms"), 1e6));
    rows.push_back(timeRow(QStringLiteral("Fill, to its repainted frame"), fill.painted));
    rows.push_back(timeRow(QStringLiteral("Clear of a full grid"), clear.handled));
    rows.push_back(timeRow(QStringLiteral("Clear, to its repainted frame"), clear.painted));

    progress("Create");
    FirstFrameWatch watch;
    const auto create = [&] { return createAndClose(editor, watch); };
    rows.push_back(timeRow(QStringLiteral("Create: click to the sheet's first frame"),
                           repeat(kCreateRuns, create, failures), QStringLiteral("< 30 ms"), 30e6));

    progress("sample load");
    rows.push_back(timeRow(QStringLiteral("Sample load: Shift+K in the About window"),
                           repeat(kSampleRuns, [&] { return loadSample(editor); }, failures)));

    progress("memory over Create-and-close cycles");
    repeat(kGrowthWarmUp, create, failures);
    const double before = memoryFigure("VmRSS");
    repeat(kGrowthCycles, create, failures);
    const double growth = memoryFigure("VmRSS") - before;
    Row grown{QStringLiteral("Memory growth over 1,000 Create-and-close cycles (VmRSS)"), kGrowthCycles,
              megabytes(growth, 2), QStringLiteral("%1 → %2").arg(megabytes(before), megabytes(before + growth))};
    grown.target = QStringLiteral("< 1 MB");
    grown.met = yesNo(growth < 1e6);
    rows.push_back(grown);

    progress("done");
    printTable(rows);
    if (failures || runtime.errors || runtime.messages)
        std::fprintf(stderr, "pellacrest_bench: %d actions did not do what they should, %d run-time errors, %d messages\n",
                     failures, runtime.errors, runtime.messages);
    return failures || runtime.errors ? 1 : 0;
}
