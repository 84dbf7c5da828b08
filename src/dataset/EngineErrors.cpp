#include "dataset/EngineErrors.h"

#include <sqlcipher/sqlite3.h>

namespace engine {

Fault faultOf(int code)
{
    switch (code & 0xff) {
    case SQLITE_FULL:
        return Fault::DiskFull;
    case SQLITE_READONLY:
    case SQLITE_PERM:
        return Fault::ReadOnly;
    case SQLITE_CANTOPEN:
        return Fault::CannotOpen;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return Fault::Damaged;
    case SQLITE_BUSY:
        return Fault::Busy;
    case SQLITE_IOERR:
        return Fault::DiskError;
    default:
        return Fault::None;
    }
}

namespace {

const QString DetailMark = QStringLiteral("\n详细信息：");

QString advice(int code)
{
    switch (faultOf(code)) {
    case Fault::DiskFull:
        return QStringLiteral("磁盘已满，数据没有保存。请删除不用的文件，腾出磁盘空间后再试。");
    case Fault::ReadOnly:
        return QStringLiteral("数据文件是只读的，数据没有保存。请检查数据文件lr和它所在的文件夹是否允许写入。");
    case Fault::CannotOpen:
        // Also what a folder that cannot be written gives: the engine could not make its journal there.
        return QStringLiteral("无法打开或创建数据文件。请检查数据文件lr是否存在，"
                              "它和它所在的文件夹是否允许读写，磁盘是否已满。");
    case Fault::Damaged:
        if ((code & 0xff) == SQLITE_NOTADB)
            return QStringLiteral("数据文件不是本系统的数据文件，或者已经损坏。请用最近的备份恢复数据。");
        return QStringLiteral("数据文件已经损坏。请不要再录入数据，用最近的备份恢复数据。");
    case Fault::Busy:
        return QStringLiteral("数据文件正被另一个程序使用，等了一会儿仍然不能使用，操作没有完成。"
                              "请关闭另一个使用这个数据文件的程序（例如另一个打开的本软件）后再试。");
    case Fault::DiskError:
        // Also what a write past a file size limit gives.
        return QStringLiteral("读写数据文件时出错，操作没有完成。可能是磁盘已满或磁盘有故障：请腾出磁盘空间，检查磁盘后再试。");
    case Fault::None:
        break;
    }
    return {};
}

} // namespace

DbError error(int code, const QString &engineText)
{
    const QString text = advice(code);
    if (text.isEmpty())
        return DbError(engineText, code);
    return DbError(text + DetailMark + engineText, code);
}

DbError lastError(sqlite3 *db, int code)
{
    return error(code, db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(code)));
}

DbError notThisDatabase(const QString &detail)
{
    return error(SQLITE_NOTADB, detail);
}

QString detailOf(const DbError &e)
{
    const qsizetype at = e.message().indexOf(DetailMark);
    return at < 0 ? e.message() : e.message().mid(at + DetailMark.size());
}

} // namespace engine
