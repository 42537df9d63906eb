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

}  // namespace toolkit

// The error classes keep the names the rest of the program knows them by.
class EOutOfResources : public toolkit::Exception {
public:
    using Exception::Exception;
};

class EInOutError : public toolkit::Exception {
public:
    EInOutError(const std::string& message, int errorCode) : Exception(message), ErrorCode(errorCode) {}
    int ErrorCode;
};

class EStreamError : public toolkit::Exception {
public:
    using Exception::Exception;
};
class EFOpenError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
class EFCreateError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
class EWriteError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
class EReadError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

class ERegistryException : public toolkit::Exception {
public:
    using Exception::Exception;
};
