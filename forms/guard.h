// The exception boundary of window procedures, hooks and timer callbacks: no C++ exception
// may cross back into the system's dispatch (Wine cannot unwind through it).
#pragma once
#include <exception>
#include <utility>

namespace forms {

// Hands an escaped exception to Application->HandleException (never throws itself).
void ReportEscapedException(const std::exception* e) noexcept;

// Runs f; an exception ends in the application's error box and `fallback` is returned.
template <class F, class R> R GuardedCall(F&& f, R fallback) noexcept {
    try {
        return std::forward<F>(f)();
    } catch (const std::exception& e) {
        ReportEscapedException(&e);
    } catch (...) {
        ReportEscapedException(nullptr);
    }
    return fallback;
}

// Runs f; false when it threw (and the exception was reported).
template <class F> bool Guarded(F&& f) noexcept {
    try {
        std::forward<F>(f)();
        return true;
    } catch (const std::exception& e) {
        ReportEscapedException(&e);
    } catch (...) {
        ReportEscapedException(nullptr);
    }
    return false;
}

}  // namespace forms
