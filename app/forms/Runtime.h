#pragma once
// What the windows rely on of their runtime, apart from windows and controls themselves:
// run-time errors and how they end the program, the application object, text and number
// conversions, random numbers, the shell launcher and the beep.
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string_view>

namespace forms {

// ---- Run-time errors --------------------------------------------------------------------

enum class ErrorCode : int {
    InvalidCall = 5,
    Overflow = 6,
    SubscriptOutOfRange = 9,
    FileNotFound = 53,
    AlreadyShown = 400,
    Internal = 51,
};

class RuntimeError : public std::runtime_error {
public:
    explicit RuntimeError(ErrorCode code);
    ErrorCode code() const { return code_; }
    QString description() const;

private:
    ErrorCode code_;
};

QString errorDescription(ErrorCode code);

// True once the program has been told to end: from then on no event procedure runs.
bool hasEnded();

// The ending statement: every window goes, no further event procedure runs.
void End();

// Runs one event procedure. A run-time error that escapes it is reported and ends the program;
// no exception ever reaches Qt's event dispatch.
void raiseEvent(const std::function<void()>& procedure) noexcept;

// Error resumption for the one procedure that wants it: each step that raises a run-time error
// is dropped and the next step runs. Faults can be injected into a named step for tests.
class ResumeNext {
public:
    explicit ResumeNext(std::string_view procedure) : procedure_(procedure) {}
    // Returns whether the step completed.
    bool step(std::string_view name, const std::function<void()>& body, int index = -1) const;

private:
    std::string_view procedure_;
};

// ---- The application object --------------------------------------------------------------

struct Application {
    QString Title = QStringLiteral("Pellacrest");
    int Major = 1;
    int Minor = 0;
    int Revision = 0;
};

Application& App();

// ---- Text and numbers -------------------------------------------------------------------

// Removes leading and trailing spaces, and nothing else: tabs and other blanks stay.
QString Trim(const QString& text);

// Float to integer: nearest, halves to even; a value outside the target's range is an overflow.
std::int32_t CLng(double value);
std::uint8_t CByte(double value);

// ---- Random numbers ---------------------------------------------------------------------

// The next value in [0, 1).
double Rnd();
// Reseeds from the system timer. The timer is mixed into the current state rather than
// replacing it, so that many reseeds within one timer tick still give fresh draws.
void Randomize();
// Seconds since midnight, the timer the reseed reads.
double Timer();

// ---- Shell and beep ---------------------------------------------------------------------

// Starts a program detached, with no console and without waiting. An argument is handed over
// as it stands: nothing goes through a command interpreter. Raises FileNotFound when the
// program cannot be started.
void Shell(const QString& program, const QStringList& arguments);

// The desktop's own opener for a web address.
QString platformOpener();

void Beep();

enum class MsgBoxStyle { Critical, Exclamation, Information };
// A message in a small modal box with an OK button, captioned with the application title.
void MsgBox(const QString& prompt, MsgBoxStyle style = MsgBoxStyle::Information);

// The system cursor ids the windows name.
inline constexpr int kSystemHandCursor = 32649;

// ---- Seams for tests --------------------------------------------------------------------
// Each setter replaces one outside effect; an empty function restores the real one.

namespace testing {
void setErrorReporter(std::function<void(const RuntimeError&)> reporter);
void setQuitHandler(std::function<void()> quit);
void setClock(std::function<double()> secondsSinceMidnight);
void setRandomSource(std::function<double()> next);
void seedRandom(std::uint64_t seed);
void setLauncher(std::function<bool(const QString& program, const QStringList& arguments)> launcher);
void setBeeper(std::function<void()> beep);
void setMessageSink(std::function<void(const QString& prompt)> sink);
// Makes the named step of a procedure under error resumption fail; index -1 matches any.
void injectFault(std::string_view procedure, std::string_view step, int index = -1);
void clearFaults();
// Forgets that the program has ended, so one test process can end it many times.
void resetEnded();
} // namespace testing

} // namespace forms
