#pragma once

#include <QLibrary>
#include <QString>

// Run-time binding to the support library "py" (pinyin initials and safe
// file copy). It is loaded by name rather than linked so the program still
// starts, with those features off, when the library is missing.
class PyLibrary
{
public:
    // Looks for the library in dir (default: the program's folder), then
    // wherever the system normally finds libraries.
    explicit PyLibrary(const QString &dir = QString());

    PyLibrary(const PyLibrary &) = delete;
    PyLibrary &operator=(const PyLibrary &) = delete;

    bool isLoaded() const;

    // Search initials of name ("液晶电视" -> "yjds"). Returns a null string and
    // sets *ok to false when they cannot be computed; callers should then
    // leave stored initials as they are.
    QString initials(const QString &name, bool *ok = nullptr) const;

    // Copies src over dst without ever leaving a half-written dst. On failure
    // returns false and sets *error to a message for the user; *error is not
    // touched on success.
    bool copy(const QString &src, const QString &dst, QString *error) const;

private:
    using InitialsFunction = int (*)(const char *, char *, int);
    using CopyFunction = int (*)(const char *, const char *, char *, int);

    QLibrary m_library;
    InitialsFunction m_initials = nullptr;
    CopyFunction m_copy = nullptr;
};
