#pragma once
// One open database file (SQLCipher). Every statement runs through here; values are
// always bound as parameters, never spliced into the text.
#include "dataset/Field.h"
#include "dataset/Money.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <functional>

struct sqlite3;
struct sqlite3_stmt;
class DataSet;

using Params = QList<QPair<QString, QVariant>>;

// Types, sizes and labels of the stored columns, so that any statement's result
// columns are read with their declared types.
class Catalog {
public:
    void add(const QString &table, const FieldDef &f);
    const FieldDef *find(const QString &table, const QString &column) const;
    QList<FieldDef> columns(const QString &table) const;

private:
    QHash<QString, QList<FieldDef>> tables_;
};

// A prepared statement with its result cursor.
class Statement {
public:
    Statement(sqlite3 *db, const QString &sql);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    void bind(const Params &params);
    void bind(int index, const QVariant &v);
    bool step();          // true while a row is available
    int columnCount() const;
    QString columnName(int i) const;
    QString columnTable(int i) const;
    QString columnOrigin(int i) const;
    QVariant value(int i) const;  // int64, double, text, blob or null
    qint64 int64(int i) const;

private:
    sqlite3 *db_;
    sqlite3_stmt *stmt_ = nullptr;
    QString sql_;
};

class Connection : public QObject {
    Q_OBJECT
public:
    Connection();
    ~Connection() override;

    // A file written with the former 1024-byte pages: converted once into the current page
    // size (the old file kept beside it as "<name>.1024.bak"), or read as it is.
    enum class LegacyPages { Convert, ReadAsIs };
    // Opens an existing file with its key; throws DbError with the engine's message.
    void open(const QString &path, const QString &key, LegacyPages legacy = LegacyPages::Convert);
    // Creates a new file with the key (for the delivered database and tests).
    void create(const QString &path, const QString &key);
    void close();
    bool isOpen() const { return db_ != nullptr; }
    QString path() const { return path_; }

    void exec(const QString &sql, const Params &params = {});
    // Runs several statements without parameters (schema scripts).
    void execScript(const QString &sql);
    QVariant scalar(const QString &sql, const Params &params = {});
    // The first column of the first row read as a stored amount (ten-thousandths); no row
    // or NULL is 0. The one reader of stored amounts outside the data sets.
    Money money(const QString &sql, const Params &params = {});
    QList<QVariantList> rows(const QString &sql, const Params &params = {});
    int changes() const;
    qint64 lastInsertRowid() const;

    Catalog &catalog() { return catalog_; }
    const Catalog &catalog() const { return catalog_; }

    // Transactions nest: only the outermost begins and commits.
    void begin();
    void commit();
    void rollback();
    bool inTransaction() const { return depth_ > 0; }
    // A data set that writes inside a transaction asks to be re-read if it rolls back.
    void touched(DataSet *ds);

    sqlite3 *handle() const { return db_; }
    QString lastError() const;

    // Rows of a table were changed by statements, not through a data set: data sets that
    // show that table read their rows again when they are next looked at.
    void announceWrite(const QString &table) { emit written(table); }

signals:
    void rolledBack();
    void written(const QString &table);

private:
    void openWith(const QString &path, const QString &key, int flags, LegacyPages legacy);
    sqlite3 *db_ = nullptr;
    QString path_;
    Catalog catalog_;
    int depth_ = 0;
    bool failed_ = false;
    QList<QPointer<DataSet>> touched_;
};

// Scoped transaction: destroyed without commit() rolls back.
class Transaction {
public:
    explicit Transaction(Connection &c);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;
    void commit();

private:
    Connection &c_;
    bool done_ = false;
};
