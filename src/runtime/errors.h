#pragma once
// The program's exceptions. Each carries the fixed message it is shown with;
// the error display shows `Message()` and nothing else.
#include <cstdint>
#include <exception>
#include <string>

namespace virevi {

/// Base of every error the program raises itself.
class Exception : public std::exception {
public:
    explicit Exception(std::string message) : Message_(std::move(message)) {}
    const std::string& Message() const noexcept { return Message_; }
    const char* what() const noexcept override { return Message_.c_str(); }

private:
    std::string Message_;
};

/// The silent abort: unwinds a command and shows nothing.
class EAbort : public Exception {
public:
    EAbort() : Exception(std::string()) {}
};

/// Every check of the outline tree and its file.
class EOutlineError : public Exception {
public:
    using Exception::Exception;
};

/// Raised by the outline's position search when no item has the position;
/// callers turn it into EOutlineError. Carries no message.
class OutlineError : public std::exception {
public:
    const char* what() const noexcept override { return "OutlineError"; }
};

/// A row of the grid outside its rows.
class EInvalidGridOperation : public Exception {
public:
    using Exception::Exception;
};

/// Base of the file stream errors.
class EStreamError : public Exception {
public:
    using Exception::Exception;
};

/// A file that cannot be created or truncated; the message names the file.
class EFCreateError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

/// A file that cannot be opened for reading; the message names the file.
class EFOpenError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

/// Fewer bytes written than asked for.
class EWriteError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

/// Fewer bytes to read than the data says it holds.
class EReadError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

/// A stored picture of a kind no reader is registered for.
class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};

/// A line list index outside the list.
class EStringListError : public Exception {
public:
    using Exception::Exception;
};

/// A record file failure, with the I/O result code that caused it.
class EInOutError : public Exception {
public:
    EInOutError(std::string message, std::int32_t errorCode)
        : Exception(std::move(message)), ErrorCode(errorCode) {}
    std::int32_t ErrorCode;
};

/// Memory ran out: an operation could not get what it needed and changed nothing.
class EOutOfMemory : public Exception {
public:
    using Exception::Exception;
};

/// A refusal of the printer or of the printer service.
class EPrinter : public Exception {
public:
    using Exception::Exception;
};

/// A failed call into the operating system, with the system's code.
class EOSError : public Exception {
public:
    EOSError(std::string message, std::int32_t errorCode)
        : Exception(std::move(message)), ErrorCode(errorCode) {}
    std::int32_t ErrorCode;
};

/// The JPEG decoder's fatal error, with the library's message code.
class EJPEG : public Exception {
public:
    EJPEG(std::string message, std::int32_t errorCode)
        : Exception(std::move(message)), ErrorCode(errorCode) {}
    std::int32_t ErrorCode;
};

} // namespace virevi
