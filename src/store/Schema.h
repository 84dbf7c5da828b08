#pragma once
// The ten tables: columns with their types, sizes, labels and visibility, the DDL
// made from them, and the delivered database.
#include "dataset/Connection.h"

#include <QString>
#include <QStringList>
#include <memory>

namespace schema {

extern const char *const Key;  // the database password

// Registers every table's columns in the connection's catalog.
void registerCatalog(Catalog &catalog);
// CREATE TABLE / CREATE INDEX statements for all tables.
QString ddl();
// Creates the file with every table, the one kr row, the one by1 row, the administrator
// account and a few demonstration products. Throws DbError.
void createDeliveredDatabase(const QString &path);
// Opens an existing file with the key and the catalog registered. A file that lacks a
// table or column of the schema is refused (DbError) and left closed.
void open(Connection &c, const QString &path,
          Connection::LegacyPages legacy = Connection::LegacyPages::Convert);

// The indexes as this version of the program defines them: a file made by an earlier
// version gets the missing ones built and the replaced ones dropped, once, on opening.
void ensureIndexes(Connection &c);

// Tables and columns of the schema that the open file lacks, as "gy" or "rk.bc".
QStringList missingParts(Connection &c);

enum class Check { Quick, Full };  // PRAGMA quick_check, or the slower integrity_check

// Checks the open file with the engine and against the schema, and from then on holds a
// read of it until destroyed: no other program can write the file meanwhile, so a byte
// copy taken while this lives is the file that was checked. Only while no transaction
// is open on the connection.
class SoundFile {
public:
    SoundFile(Connection &c, Check check);
    ~SoundFile();
    SoundFile(const SoundFile &) = delete;
    SoundFile &operator=(const SoundFile &) = delete;

    bool isSound() const { return problem_.isEmpty(); }
    // What is wrong, in the engine's words or as the missing parts; empty when sound.
    QString problem() const { return problem_; }

private:
    std::unique_ptr<Statement> read_;
    QString problem_;
};

} // namespace schema
