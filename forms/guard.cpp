#include "forms/guard.h"

#include "forms/application.h"

namespace forms {

void ReportEscapedException(const std::exception* e) noexcept {
    try {
        if (Application == nullptr) return;
        if (e != nullptr) {
            Application->HandleException(*e);
        } else {
            Application->HandleException(Exception("Unknown exception"));
        }
    } catch (...) {
        // Reporting failed; the boundary still must not let anything through.
    }
}

}  // namespace forms
