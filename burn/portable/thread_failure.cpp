#include "burn/portable/thread_failure.h"

#include <exception>
#include <new>

namespace burn {

namespace {

std::string Upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

std::string CurrentExceptionText() {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return "OUT OF MEMORY";
    } catch (const std::exception& e) {
        return Upper(e.what());
    } catch (...) {
        return "UNKNOWN ERROR";
    }
}

}  // namespace

std::string FailureText(std::string_view what) noexcept {
    try {
        return std::string(what) + " [" + CurrentExceptionText() + "]";
    } catch (...) {
        // No memory left even for the text: this one fits the string itself, with nothing to allocate.
        return "OUT OF MEMORY";
    }
}

}  // namespace burn
