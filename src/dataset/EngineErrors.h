#pragma once
// The one place where an error of the database engine becomes the error the user reads.
#include "dataset/Errors.h"

#include <QString>

struct sqlite3;

namespace engine {

// The troubles with the file itself that the user can do something about.
enum class Fault { None, DiskFull, ReadOnly, CannotOpen, Damaged, Busy, DiskError };

// Which of them an engine result code (extended codes included) stands for.
Fault faultOf(int code);

// The error for an engine result code and the engine's own text: for a fault of the file,
// a Chinese message that says what to do, with the engine's text as detail; otherwise
// (constraints among them) the engine's text as it is.
DbError error(int code, const QString &engineText);
// The same for the last failure on a connection handle.
DbError lastError(sqlite3 *db, int code);
// A file that opens with the key but does not hold this system's tables.
DbError notThisDatabase(const QString &detail);
// The engine's own text of an error made by error(), for a message that gives its own advice.
QString detailOf(const DbError &e);

} // namespace engine
