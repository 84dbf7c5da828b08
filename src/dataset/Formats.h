#pragma once
// The fixed text formats used everywhere: one function each.
#include "dataset/Money.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariant>

namespace fmt {

// Date-times are the shop's wall-clock times as stored, with no time zone: held
// as Qt::UTC times so that no conversion (and no look at the system's zone files) ever runs.
QDateTime wallClock(const QDate &d, const QTime &t = QTime(0, 0));
// The same value of any QDateTime: its own date and time, whatever its time kind.
QDateTime wallClock(const QDateTime &dt);
// The current local date and time as a wall-clock value.
QDateTime now();

// Short date format yyyy-M-d (7 May 2010 is "2010-5-7").
QString shortDate(const QDate &d);
// Date-time as shown in grids: short date, then the time unless it is midnight.
QString displayDateTime(const QDateTime &dt);
// Storage form of date-time columns.
QString storageDateTime(const QDateTime &dt);
QString storageDate(const QDate &d);
QDateTime parseStorage(const QString &text);
// Accepts what a user types into a date cell: short or storage form, with or without time.
QDateTime parseUserDateTime(const QString &text, bool *ok);

// General number format: at most 15 significant digits, no trailing zeros, no grouping.
QString generalNumber(double v);
inline QString generalNumber(Money m) { return m.toString(); }

// Document number: short date text, "-", counter.
QString documentNumber(const QDate &day, qint64 counter);

// Value of a variant as money; empty reads as 0.
Money toMoney(const QVariant &v);

} // namespace fmt
