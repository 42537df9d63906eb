// Exceptions of the program: each carries the finished message text that the
// standard error box shows. Raised where a failure is met, caught only at the
// entries from the platform.
#pragma once

#include <stdexcept>
#include <string>

namespace toolkit {

// printf-style formatting into a std::string (messages are short).
std::string Format(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

// A platform object (a list line, a timer) could not be had.
class OutOfResourcesError : public Exception {
public:
    using Exception::Exception;
};

// A file operation failed with a run-time error code.
class FileIoError : public Exception {
public:
    FileIoError(const std::string& message, int errorCode) : Exception(message), ErrorCode(errorCode) {}
    int ErrorCode;
};

// Reading or writing a file as a whole failed.
class StreamError : public Exception {
public:
    using Exception::Exception;
};
class FileOpenError : public StreamError {
public:
    using StreamError::StreamError;
};
class FileCreateError : public StreamError {
public:
    using StreamError::StreamError;
};
class StreamWriteError : public StreamError {
public:
    using StreamError::StreamError;
};
class StreamReadError : public StreamError {
public:
    using StreamError::StreamError;
};

class RegistryError : public Exception {
public:
    using Exception::Exception;
};

}  // namespace toolkit
