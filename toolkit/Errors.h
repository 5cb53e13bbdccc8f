// Error kinds raised by the toolkit and the components built on it.
#pragma once

#include <stdexcept>
#include <string>

namespace toolkit {

// Base of every toolkit error; the message is the text shown to the user.
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

class EInOutError : public Exception {
public:
    EInOutError(const std::string& message, unsigned long code)
        : Exception(message), errorCode(code) {}
    unsigned long errorCode;
};

class EOutOfResources : public Exception {
    using Exception::Exception;
};
class EInvalidGraphic : public Exception {
    using Exception::Exception;
};
class EInvalidGraphicOperation : public Exception {
    using Exception::Exception;
};
class EConvertError : public Exception {
    using Exception::Exception;
};
class EListError : public Exception {
    using Exception::Exception;
};
class EFOpenError : public Exception {
    using Exception::Exception;
};

// "%s"-style formatting of the toolkit's message templates (one argument).
std::string FormatMessageText(const std::string& pattern, const std::string& argument);

// The runtime's input/output error for a failed system call.
[[noreturn]] void RaiseInOutError(unsigned long code);

// "Systemressourcen erschöpft.": a handle, a device context or memory the
// system would not give.
[[noreturn]] void RaiseOutOfResources();
// "Ungültiges Grafikformat": data that is no picture of the kind expected.
[[noreturn]] void RaiseInvalidGraphic();

} // namespace toolkit
