#include "dataset/EngineErrors.h"

#include <sqlcipher/sqlite3.h>

namespace engine {

DbError error(int code, const QString &engineText)
{
    return DbError(engineText, code);
}

DbError lastError(sqlite3 *db, int code)
{
    return error(code, db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(code)));
}

} // namespace engine
