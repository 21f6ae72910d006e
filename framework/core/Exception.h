#pragma once
// Exceptions carry the text the user sees. EAbort stops an operation silently:
// the application's error handler shows every exception but EAbort.
#include <stdexcept>
#include <string>

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

class EAbort : public Exception {
public:
    EAbort() : Exception("Operation aborted") {}
};

// An impossible conversion between variant kinds or of a text to a number or date.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// Raises EAbort: ends the running operation without a message.
[[noreturn]] void Abort();
