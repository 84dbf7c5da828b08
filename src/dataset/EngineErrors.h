#pragma once
// The one place where an error of the database engine becomes the error the user reads.
#include "dataset/Errors.h"

#include <QString>

struct sqlite3;

namespace engine {

// The error for an engine result code (extended codes included) and the engine's own text.
DbError error(int code, const QString &engineText);
// The same for the last failure on a connection handle.
DbError lastError(sqlite3 *db, int code);

} // namespace engine
