#pragma once
// The ten tables: columns with their types, sizes, labels and visibility, the DDL
// made from them, and the delivered database.
#include "dataset/Connection.h"

#include <QString>

namespace schema {

extern const char *const Key;  // the database password

// Registers every table's columns in the connection's catalog.
void registerCatalog(Catalog &catalog);
// CREATE TABLE / CREATE INDEX statements for all tables.
QString ddl();
// Creates the file with every table, the one kr row, the one by1 row, the administrator
// account and a few demonstration products. Throws DbError.
void createDeliveredDatabase(const QString &path);
// Opens an existing file with the key and the catalog registered.
void open(Connection &c, const QString &path);

} // namespace schema
