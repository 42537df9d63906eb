// The single sink for exceptions stopped at a platform entry.
#include "toolkit/ErrorReport.h"

#include <cstdio>
#include <utility>

namespace toolkit {
namespace {
ExceptionHandler& Handler() {
    static ExceptionHandler handler;
    return handler;
}
}  // namespace

std::string ErrorBoxText(const std::string& message) {
    std::string text = message;
    if (!text.empty() && static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.'))
        text += '.';
    return text;
}

ExceptionHandler SetExceptionHandler(ExceptionHandler handler) {
    return std::exchange(Handler(), std::move(handler));
}

void ReportError(const std::string& message) noexcept {
    try {
        if (Handler())
            Handler()(message);
        else
            std::fprintf(stderr, "%s\n", ErrorBoxText(message).c_str());
    } catch (...) {
        // A failing error report must not take the message loop down with it.
    }
}

void HandleCurrentException() noexcept {
    try {
        throw;
    } catch (const std::exception& e) {
        ReportError(e.what());
    } catch (...) {
        ReportError("Unknown exception");
    }
}

}  // namespace toolkit
