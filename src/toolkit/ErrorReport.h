// Where exceptions caught at a platform entry go: one process-wide handler,
// installed by the application object (the standard error box) or by a test.
#pragma once

#include <exception>
#include <functional>
#include <string>

namespace toolkit {

// The text the standard error box shows: the message, with a full stop added
// when its last character sorts after "." (a message ending in a quote mark,
// a dash or a space gets none; one ending in a digit or a letter gets one).
std::string ErrorBoxText(const std::string& message);

using ExceptionHandler = std::function<void(const std::string& message)>;

// Installs the handler and returns the previous one.
ExceptionHandler SetExceptionHandler(ExceptionHandler handler);

// Called from inside a catch block at a platform entry. Never throws.
void HandleCurrentException() noexcept;

// Hands a message to the handler as if an exception carrying it was caught.
void ReportError(const std::string& message) noexcept;

}  // namespace toolkit
