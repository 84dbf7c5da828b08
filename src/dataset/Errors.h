#pragma once
// Errors that end the handler in progress; the event dispatcher shows their text.
#include <QString>
#include <stdexcept>

class KorvelError : public std::runtime_error {
public:
    explicit KorvelError(const QString &message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString &message() const { return message_; }

private:
    QString message_;
};

// The database engine refused a statement; carries the message for the user and, when the
// engine raised it, the engine's result code (0 for refusals of the data-set layer itself).
class DbError : public KorvelError {
public:
    explicit DbError(const QString &message, int code = 0) : KorvelError(message), code_(code) {}
    int code() const { return code_; }

private:
    int code_ = 0;
};

// A value typed by the user does not fit its field.
class InputError : public KorvelError {
public:
    using KorvelError::KorvelError;
};
