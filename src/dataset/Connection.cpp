#include "dataset/Connection.h"

#include "dataset/DataSet.h"
#include "dataset/EngineErrors.h"
#include "dataset/Errors.h"
#include "dataset/Formats.h"
#include "dataset/Money.h"

#include <QByteArray>
#include <QFile>
#include <QPointer>
#include <filesystem>
#include <sqlcipher/sqlite3.h>

// ---------------------------------------------------------------- Catalog

void Catalog::add(const QString &table, const FieldDef &f)
{
    tables_[table.toLower()].append(f);
}

const FieldDef *Catalog::find(const QString &table, const QString &column) const
{
    const auto it = tables_.constFind(table.toLower());
    if (it == tables_.constEnd())
        return nullptr;
    for (const FieldDef &f : *it)
        if (f.name.compare(column, Qt::CaseInsensitive) == 0)
            return &f;
    return nullptr;
}

QList<FieldDef> Catalog::columns(const QString &table) const
{
    return tables_.value(table.toLower());
}

// ---------------------------------------------------------------- Statement

static QString engineMessage(sqlite3 *db)
{
    return QString::fromUtf8(sqlite3_errmsg(db));
}

Statement::Statement(sqlite3 *db, const QString &sql) : db_(db), sql_(sql)
{
    if (!db)
        throw DbError(QStringLiteral("数据库没有打开"));
    const QByteArray utf8 = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &stmt_, nullptr);
    if (rc != SQLITE_OK)
        throw engine::lastError(db, rc);
}

Statement::~Statement()
{
    sqlite3_finalize(stmt_);
}

void Statement::bind(int index, const QVariant &v)
{
    int rc = SQLITE_OK;
    if (!v.isValid() || v.isNull()) {
        rc = sqlite3_bind_null(stmt_, index);
    } else {
        const QMetaType mt = v.metaType();
        if (mt == QMetaType::fromType<Money>()) {
            rc = sqlite3_bind_int64(stmt_, index, v.value<Money>().raw());
        } else {
            switch (mt.id()) {
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::LongLong:
            case QMetaType::ULongLong:
            case QMetaType::Long:
            case QMetaType::Short:
            case QMetaType::Bool:
                rc = sqlite3_bind_int64(stmt_, index, v.toLongLong());
                break;
            case QMetaType::Double:
            case QMetaType::Float:
                rc = sqlite3_bind_double(stmt_, index, v.toDouble());
                break;
            case QMetaType::QDate:
                {
                    const QByteArray t = fmt::storageDate(v.toDate()).toUtf8();
                    rc = sqlite3_bind_text(stmt_, index, t.constData(), int(t.size()), SQLITE_TRANSIENT);
                }
                break;
            case QMetaType::QDateTime: {
                const QByteArray t = fmt::storageDateTime(v.toDateTime()).toUtf8();
                rc = sqlite3_bind_text(stmt_, index, t.constData(), int(t.size()), SQLITE_TRANSIENT);
                break;
            }
            case QMetaType::QByteArray: {
                const QByteArray b = v.toByteArray();
                rc = sqlite3_bind_blob(stmt_, index, b.constData(), int(b.size()), SQLITE_TRANSIENT);
                break;
            }
            default: {
                const QByteArray t = v.toString().toUtf8();
                rc = sqlite3_bind_text(stmt_, index, t.constData(), int(t.size()), SQLITE_TRANSIENT);
                break;
            }
            }
        }
    }
    if (rc != SQLITE_OK)
        throw engine::lastError(db_, rc);
}

void Statement::bind(const Params &params)
{
    // Every parameter of the statement gets a value, found by its name whatever its case;
    // one left without a value is a fault of the caller, never a silent NULL.
    const int n = sqlite3_bind_parameter_count(stmt_);
    for (int i = 1; i <= n; ++i) {
        const char *raw = sqlite3_bind_parameter_name(stmt_, i);
        const QString name = raw ? QString::fromUtf8(raw).mid(1) : QString();
        const QPair<QString, QVariant> *found = nullptr;
        for (const auto &p : params) {
            const QStringView given = QStringView(p.first).startsWith(u':') ? QStringView(p.first).mid(1)
                                                                            : QStringView(p.first);
            if (given.compare(name, Qt::CaseInsensitive) == 0) {
                found = &p;
                break;
            }
        }
        if (!found)
            throw DbError(QStringLiteral("语句的参数“:%1”没有赋值").arg(name.isEmpty() ? QString::number(i) : name));
        bind(i, found->second);
    }
}

bool Statement::step()
{
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    const DbError e = engine::lastError(db_, sqlite3_extended_errcode(db_));
    sqlite3_reset(stmt_);
    throw e;
}

int Statement::columnCount() const
{
    return sqlite3_column_count(stmt_);
}

QString Statement::columnName(int i) const
{
    return QString::fromUtf8(sqlite3_column_name(stmt_, i));
}

QString Statement::columnTable(int i) const
{
    const char *t = sqlite3_column_table_name(stmt_, i);
    return t ? QString::fromUtf8(t) : QString();
}

QString Statement::columnOrigin(int i) const
{
    const char *t = sqlite3_column_origin_name(stmt_, i);
    return t ? QString::fromUtf8(t) : QString();
}

QVariant Statement::value(int i) const
{
    switch (sqlite3_column_type(stmt_, i)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(stmt_, i)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt_, i));
    case SQLITE_TEXT:
        return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt_, i)),
                                 sqlite3_column_bytes(stmt_, i));
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char *>(sqlite3_column_blob(stmt_, i)), sqlite3_column_bytes(stmt_, i));
    default:
        return {};
    }
}

qint64 Statement::int64(int i) const
{
    return sqlite3_column_int64(stmt_, i);
}

// ---------------------------------------------------------------- Connection

Connection::Connection() = default;

Connection::~Connection()
{
    close();
}

namespace {

constexpr int PageSize = 4096;       // encrypted pages of new files
constexpr int LegacyPageSize = 1024; // the engine's former default
constexpr int BusyWaitMs = 5000;

void closeHandle(sqlite3 *db)
{
    sqlite3_close_v2(db);
}

void run(sqlite3 *db, const QByteArray &sql)
{
    char *err = nullptr;
    if (sqlite3_exec(db, sql.constData(), nullptr, nullptr, &err) != SQLITE_OK) {
        const DbError e = engine::error(sqlite3_extended_errcode(db),
                                        err ? QString::fromUtf8(err) : QString::fromUtf8(sqlite3_errmsg(db)));
        sqlite3_free(err);
        throw e;
    }
}

// A handle on the file with the key and a page size; the first read shows whether both fit.
sqlite3 *openHandle(const QString &path, const QByteArray &key, int flags, int pageSize)
{
    sqlite3 *db = nullptr;
    const QByteArray file = QFile::encodeName(path);
    if (const int rc = sqlite3_open_v2(file.constData(), &db, flags, nullptr); rc != SQLITE_OK) {
        const DbError e = engine::lastError(db, rc);
        sqlite3_close(db);
        throw e;
    }
    // Before the first read: another program may be committing right now.
    sqlite3_busy_timeout(db, BusyWaitMs);
    sqlite3_key(db, key.constData(), int(key.size()));
    try {
        run(db, "PRAGMA cipher_page_size=" + QByteArray::number(pageSize) +
                    ";"
                    "PRAGMA cache_size=-65536;"
                    // A wrong key or a file that is not a database shows up on the first read.
                    "SELECT count(*) FROM sqlite_master;"
                    "PRAGMA journal_mode=DELETE;");
    } catch (...) {
        closeHandle(db);
        throw;
    }
    return db;
}

// Writes a copy of the open file with the new page size beside it, keeps the old file as
// a copy and puts the new one in its place in one rename. Returns the handle to use: the
// new file's, or the old one's when the conversion could not be made.
sqlite3 *convertPages(sqlite3 *old, const QString &path, const QByteArray &key, int flags)
{
    const QString fresh = path + QStringLiteral(".4096-tmp");
    const QString kept = path + QStringLiteral(".1024.bak");
    QFile::remove(fresh);
    QFile::remove(fresh + QStringLiteral("-journal"));
    // The handle may not create files, so the new one is made empty first.
    if (QFile f(fresh); !f.open(QIODevice::WriteOnly))
        return old;
    try {
        Statement attach(old, QStringLiteral("ATTACH DATABASE :f AS conv KEY :k"));
        attach.bind({{QStringLiteral("f"), fresh}, {QStringLiteral("k"), QString::fromUtf8(key)}});
        attach.step();
    } catch (const KorvelError &) {
        QFile::remove(fresh);
        return old;
    }
    try {
        run(old, "PRAGMA conv.cipher_page_size=" + QByteArray::number(PageSize) +
                     ";"
                     "SELECT sqlcipher_export('conv');");
        run(old, "DETACH DATABASE conv");
    } catch (const KorvelError &) {
        sqlite3_exec(old, "DETACH DATABASE conv", nullptr, nullptr, nullptr);
        QFile::remove(fresh);
        return old;
    }
    closeHandle(old);
    std::error_code ec;
    QFile::remove(kept);
    if (!QFile::copy(path, kept) ||
        (std::filesystem::rename(QFile::encodeName(fresh).toStdString(), QFile::encodeName(path).toStdString(), ec),
         ec)) {
        QFile::remove(fresh);
        return openHandle(path, key, flags, LegacyPageSize);
    }
    return openHandle(path, key, flags, PageSize);
}

} // namespace

void Connection::openWith(const QString &path, const QString &key, int flags, LegacyPages legacy)
{
    close();
    const QByteArray k = key.toUtf8();
    sqlite3 *db = nullptr;
    try {
        db = openHandle(path, k, flags, PageSize);
    } catch (const DbError &e) {
        // A file written with the former page size reads as "not a database" until it is
        // opened with that size.
        if ((e.code() & 0xff) != SQLITE_NOTADB)
            throw;
        sqlite3 *old = nullptr;
        try {
            old = openHandle(path, k, flags, LegacyPageSize);
        } catch (const KorvelError &) {
            throw e;
        }
        db = legacy == LegacyPages::Convert ? convertPages(old, path, k, flags) : old;
    }
    db_ = db;
    path_ = path;
}

void Connection::open(const QString &path, const QString &key, LegacyPages legacy)
{
    openWith(path, key, SQLITE_OPEN_READWRITE, legacy);
}

void Connection::create(const QString &path, const QString &key)
{
    openWith(path, key, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, LegacyPages::Convert);
}

void Connection::close()
{
    if (db_) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
    depth_ = 0;
    touched_.clear();
}

void Connection::exec(const QString &sql, const Params &params)
{
    Statement st(db_, sql);
    st.bind(params);
    while (st.step()) {
    }
}

void Connection::execScript(const QString &sql)
{
    if (!db_)
        throw DbError(QStringLiteral("数据库没有打开"));
    char *err = nullptr;
    if (sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, &err) != SQLITE_OK) {
        const DbError e = engine::error(sqlite3_extended_errcode(db_), err ? QString::fromUtf8(err) : engineMessage(db_));
        sqlite3_free(err);
        throw e;
    }
}

QVariant Connection::scalar(const QString &sql, const Params &params)
{
    Statement st(db_, sql);
    st.bind(params);
    return st.step() ? st.value(0) : QVariant();
}

Money Connection::money(const QString &sql, const Params &params)
{
    FieldDef amount;
    amount.type = FieldType::Money;
    return fmt::toMoney(fields::fromStorage(amount, scalar(sql, params)));
}

QList<QVariantList> Connection::rows(const QString &sql, const Params &params)
{
    Statement st(db_, sql);
    st.bind(params);
    QList<QVariantList> out;
    while (st.step()) {
        QVariantList row;
        row.reserve(st.columnCount());
        for (int i = 0; i < st.columnCount(); ++i)
            row.append(st.value(i));
        out.append(row);
    }
    return out;
}

int Connection::changes() const
{
    return db_ ? sqlite3_changes(db_) : 0;
}

qint64 Connection::lastInsertRowid() const
{
    return db_ ? sqlite3_last_insert_rowid(db_) : 0;
}

QString Connection::lastError() const
{
    return db_ ? engineMessage(db_) : QString();
}

void Connection::begin()
{
    if (depth_ == 0) {
        execScript(QStringLiteral("BEGIN IMMEDIATE"));
        failed_ = false;
        touched_.clear();
    }
    ++depth_;
}

void Connection::commit()
{
    if (depth_ <= 0)
        return;
    if (depth_ > 1) {
        --depth_;
        return;
    }
    if (failed_) {
        rollback();
        throw DbError(QStringLiteral("事务中有操作失败，全部撤消"));
    }
    try {
        execScript(QStringLiteral("COMMIT"));
    } catch (const KorvelError &) {
        // A refused COMMIT (full disk, I/O error, a deferred constraint) must not leave the
        // transaction open: everything after it would be lost on closing.
        rollback();
        throw;
    }
    depth_ = 0;
    touched_.clear();
}

void Connection::rollback()
{
    if (depth_ <= 0)
        return;
    if (depth_ > 1) {
        // An inner guard gave up: the outermost one must not commit.
        failed_ = true;
        --depth_;
        return;
    }
    depth_ = 0;
    if (db_ && !sqlite3_get_autocommit(db_))
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    const QList<QPointer<DataSet>> sets = touched_;
    touched_.clear();
    for (const QPointer<DataSet> &ds : sets)
        if (ds)
            ds->reloadAfterRollback();
    emit rolledBack();
}

void Connection::touched(DataSet *ds)
{
    if (depth_ > 0 && !touched_.contains(ds))
        touched_.append(ds);
}

// ---------------------------------------------------------------- Transaction

Transaction::Transaction(Connection &c) : c_(c)
{
    c_.begin();
}

Transaction::~Transaction()
{
    if (!done_)
        c_.rollback();
}

void Transaction::commit()
{
    c_.commit();
    done_ = true;
}
