#pragma once

#include <QString>
#include <exception>
#include <string>

// The error kinds of the program. Every error is an exception carrying a message;
// the application object turns the ones that escape an event handler into a message box.
class Exception : public std::exception {
public:
    explicit Exception(QString message);
    const QString &Message() const { return FMessage; }
    void SetMessage(const QString &message);
    const char *what() const noexcept override { return FUtf8.c_str(); }

private:
    QString FMessage;
    std::string FUtf8;
};

// Text that does not read as the number, date or value it should be.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// Floating-point failures: the application handler recognises this family.
class EMathError : public Exception {
public:
    using Exception::Exception;
};
class EInvalidOp : public EMathError {
public:
    EInvalidOp() : EMathError(QStringLiteral("Invalid floating point operation")) {}
    using EMathError::EMathError;
};
class EZeroDivide : public EMathError {
public:
    EZeroDivide() : EMathError(QStringLiteral("Floating point division by zero")) {}
    using EMathError::EMathError;
};
class EOverflow : public EMathError {
public:
    EOverflow() : EMathError(QStringLiteral("Floating point overflow")) {}
    using EMathError::EMathError;
};
class EUnderflow : public EMathError {
public:
    EUnderflow() : EMathError(QStringLiteral("Floating point underflow")) {}
    using EMathError::EMathError;
};

class ESocketException : public Exception {
public:
    using Exception::Exception;
};

// HTTP client failures carry a small code: 1 busy, 2 nothing to post, 3 aborted,
// 4 line too long.
class EHttpException : public Exception {
public:
    EHttpException(const QString &message, quint16 code) : Exception(message), FErrorCode(code) {}
    quint16 ErrorCode() const { return FErrorCode; }

private:
    quint16 FErrorCode;
};

class EPrinter : public Exception {
public:
    using Exception::Exception;
};

// The silent kind: it ends the work in progress and is never reported to the user.
class EAbort : public Exception {
public:
    EAbort() : Exception(QStringLiteral("Operation aborted")) {}
    using Exception::Exception;
};
