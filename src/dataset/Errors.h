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

// The database engine refused a statement; carries the engine's own message.
class DbError : public KorvelError {
public:
    using KorvelError::KorvelError;
};

// A value typed by the user does not fit its field.
class InputError : public KorvelError {
public:
    using KorvelError::KorvelError;
};
