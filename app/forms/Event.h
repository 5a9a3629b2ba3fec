#pragma once
#include "Runtime.h"

#include <functional>

namespace forms {

// One event of a window or control, with at most one procedure behind it. Raising it runs the
// procedure under the runtime's guard, so a run-time error never unwinds into Qt.
template <typename... Args>
class Event {
public:
    using Procedure = std::function<void(Args...)>;

    Event& operator=(Procedure procedure)
    {
        procedure_ = std::move(procedure);
        return *this;
    }
    explicit operator bool() const { return static_cast<bool>(procedure_); }

    void operator()(Args... args) const
    {
        if (procedure_)
            raiseEvent([&] { procedure_(args...); });
    }

private:
    Procedure procedure_;
};

} // namespace forms
