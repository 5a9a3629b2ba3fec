#include "Runtime.h"

#include "Form.h"

#include <QApplication>
#include <QMessageBox>
#include <QProcess>

#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace forms {

namespace {

bool g_ended = false;
std::function<void(const RuntimeError&)> g_reporter;
std::function<void()> g_quit;
std::function<double()> g_clock;
std::function<double()> g_randomSource;
std::function<bool(const QString&, const QStringList&)> g_launcher;
std::function<void()> g_beeper;
std::function<void(const QString&)> g_messageSink;

struct Fault {
    std::string procedure;
    std::string step;
    int index;
};
std::vector<Fault> g_faults;

void report(const RuntimeError& error)
{
    if (g_reporter) {
        g_reporter(error);
        return;
    }
    MsgBox(QStringLiteral("Run-time error '%1':\n\n%2").arg(static_cast<int>(error.code())).arg(error.description()),
           MsgBoxStyle::Critical);
}

// splitmix64: small, fast and well mixed; its whole state is one word, which makes the
// timer reseed a plain mix into that word.
std::uint64_t g_state = 0x9E3779B97F4A7C15ull;

std::uint64_t nextWord()
{
    std::uint64_t z = (g_state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

template <typename Int>
Int roundToRange(double value)
{
    // nearbyint rounds halves to even under the default rounding mode.
    const double rounded = std::nearbyint(value);
    if (!(rounded >= static_cast<double>(std::numeric_limits<Int>::min())
          && rounded <= static_cast<double>(std::numeric_limits<Int>::max())))
        throw RuntimeError(ErrorCode::Overflow); // also catches NaN
    return static_cast<Int>(rounded);
}

} // namespace

// ---- Run-time errors --------------------------------------------------------------------

QString errorDescription(ErrorCode code)
{
    switch (code) {
    case ErrorCode::InvalidCall: return QStringLiteral("Invalid procedure call or argument");
    case ErrorCode::Overflow: return QStringLiteral("Overflow");
    case ErrorCode::SubscriptOutOfRange: return QStringLiteral("Subscript out of range");
    case ErrorCode::FileNotFound: return QStringLiteral("File not found");
    case ErrorCode::AlreadyShown: return QStringLiteral("Form already displayed; can't show modally");
    case ErrorCode::Internal: return QStringLiteral("Internal error");
    }
    return QStringLiteral("Application-defined or object-defined error");
}

RuntimeError::RuntimeError(ErrorCode code)
    : std::runtime_error(errorDescription(code).toStdString()), code_(code)
{
}

QString RuntimeError::description() const { return errorDescription(code_); }

bool hasEnded() { return g_ended; }

void End()
{
    if (g_ended)
        return;
    g_ended = true;
    detail::unloadAllForms();
    if (g_quit)
        g_quit();
    else
        QCoreApplication::exit(0);
}

void raiseEvent(const std::function<void()>& procedure) noexcept
{
    if (g_ended)
        return;
    try {
        procedure();
        return;
    } catch (const RuntimeError& error) {
        try {
            report(error);
        } catch (...) {
        }
    } catch (...) {
        // Anything else is a fault of ours, not of the user's input; it must not unwind
        // through Qt, so it ends the program the same way.
        try {
            report(RuntimeError(ErrorCode::Internal));
        } catch (...) {
        }
    }
    End();
}

bool ResumeNext::step(std::string_view name, const std::function<void()>& body, int index) const
{
    try {
        for (const Fault& fault : g_faults)
            if (fault.procedure == procedure_ && fault.step == name
                && (fault.index < 0 || fault.index == index))
                throw RuntimeError(ErrorCode::InvalidCall);
        body();
        return true;
    } catch (const RuntimeError&) {
        return false;
    }
}

// ---- The application object --------------------------------------------------------------

Application& App()
{
    static Application app;
    return app;
}

// ---- Text and numbers -------------------------------------------------------------------

QString Trim(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == u' ')
        ++first;
    while (last > first && text.at(last - 1) == u' ')
        --last;
    return text.mid(first, last - first);
}

std::int32_t CLng(double value) { return roundToRange<std::int32_t>(value); }
std::uint8_t CByte(double value) { return roundToRange<std::uint8_t>(value); }

// ---- Random numbers ---------------------------------------------------------------------

double Rnd()
{
    if (g_randomSource)
        return g_randomSource();
    return static_cast<double>(nextWord() >> 11) * 0x1.0p-53;
}

double Timer()
{
    if (g_clock)
        return g_clock();
    // Since midnight UTC: the reseed wants a value that moves fast and costs little to read,
    // which the local time, with its time-zone lookup on every call, is not.
    using namespace std::chrono;
    const auto sinceEpoch = system_clock::now().time_since_epoch();
    return duration<double>(sinceEpoch % days(1)).count();
}

void Randomize()
{
    std::uint64_t bits = 0;
    const double timer = Timer();
    static_assert(sizeof bits == sizeof timer);
    std::memcpy(&bits, &timer, sizeof bits);
    g_state ^= bits;
    nextWord();
}

// ---- Shell and beep ---------------------------------------------------------------------

void Shell(const QString& program, const QStringList& arguments)
{
    const bool started = g_launcher ? g_launcher(program, arguments)
                                    : QProcess::startDetached(program, arguments);
    if (!started)
        throw RuntimeError(ErrorCode::FileNotFound);
}

QString platformOpener()
{
#if defined(Q_OS_WIN)
    return QStringLiteral("explorer");
#elif defined(Q_OS_MACOS)
    return QStringLiteral("open");
#else
    return QStringLiteral("xdg-open");
#endif
}

void Beep()
{
    if (g_beeper)
        g_beeper();
    else
        QApplication::beep();
}

void MsgBox(const QString& prompt, MsgBoxStyle style)
{
    if (g_messageSink) {
        g_messageSink(prompt);
        return;
    }
    const QMessageBox::Icon icon = style == MsgBoxStyle::Critical ? QMessageBox::Critical
        : style == MsgBoxStyle::Exclamation                      ? QMessageBox::Warning
                                                                 : QMessageBox::Information;
    QMessageBox box(icon, App().Title, prompt, QMessageBox::Ok);
    box.exec();
}

// ---- Seams for tests --------------------------------------------------------------------

namespace testing {
void setErrorReporter(std::function<void(const RuntimeError&)> reporter) { g_reporter = std::move(reporter); }
void setQuitHandler(std::function<void()> quit) { g_quit = std::move(quit); }
void setClock(std::function<double()> clock) { g_clock = std::move(clock); }
void setRandomSource(std::function<double()> next) { g_randomSource = std::move(next); }
void seedRandom(std::uint64_t seed) { g_state = seed; }
void setLauncher(std::function<bool(const QString&, const QStringList&)> launcher) { g_launcher = std::move(launcher); }
void setBeeper(std::function<void()> beep) { g_beeper = std::move(beep); }
void setMessageSink(std::function<void(const QString&)> sink) { g_messageSink = std::move(sink); }
void injectFault(std::string_view procedure, std::string_view step, int index)
{
    g_faults.push_back({std::string(procedure), std::string(step), index});
}
void clearFaults() { g_faults.clear(); }
void resetEnded() { g_ended = false; }
} // namespace testing

} // namespace forms
