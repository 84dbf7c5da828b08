#pragma once
// Database files as a shop meets them after a crash, a bad disk or a wrong copy, made by
// the test from a good file: damaged in the middle, cut short, emptied, with the right
// key but other tables.
#include "dataset/Connection.h"
#include "store/Schema.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTest>

namespace damaged {

inline QByteArray digest(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// Stock-in lines enough that the middle of the file lies in their pages, far from the
// pages that start-up and login read.
inline void fillLines(const QString &path, int count = 2000)
{
    Connection c;
    schema::open(c, path);
    Transaction tx(c);
    for (int i = 0; i < count; ++i)
        c.exec(QStringLiteral("INSERT INTO rk (lsdh, gys, fk, bh, sn, mc, rq, bc) "
                              "VALUES (:n, '某供应商', '已付', :bh, 1, '一段足够长的商品名称，占满页面', '2020-03-01 10:00:00', '保存')"),
               {{QStringLiteral("n"), QStringLiteral("2020-3-1-%1").arg(i)}, {QStringLiteral("bh"), i}});
    tx.commit();
}

// Overwrites bytes in the middle of the file, as a bad sector or a torn copy would.
inline void overwriteMiddle(const QString &path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.size() > 64 * 1024);
    QVERIFY(file.seek(file.size() / 2));
    QCOMPARE(file.write(QByteArray(512, '\x5a')), 512);
}

inline void cutTo(const QString &path, qint64 size)
{
    QVERIFY(QFile::resize(path, size));
}

// The right key, but tables of another program; the two the old checks looked at are there.
inline void writeOtherTables(const QString &path)
{
    QFile::remove(path);
    Connection c;
    c.create(path, QString::fromLatin1(schema::Key));
    c.execScript(QStringLiteral("CREATE TABLE kr (rkdh INTEGER); INSERT INTO kr VALUES (1);"
                                "CREATE TABLE gy (gybh TEXT, mz TEXT); CREATE TABLE kunden (name TEXT);"));
}

// The whole schema but one column short.
inline void writeColumnMissing(const QString &path)
{
    QFile::remove(path);
    Connection c;
    c.create(path, QString::fromLatin1(schema::Key));
    c.execScript(schema::ddl());
    c.execScript(QStringLiteral("DROP TABLE rk; CREATE TABLE rk (lsdh TEXT, gys TEXT, jsr TEXT, ck TEXT, pj TEXT, fk TEXT, "
                                "bh TEXT, sn INTEGER, cj TEXT, lb TEXT, mc TEXT, xh TEXT, cgj INTEGER, rq TEXT);"
                                "INSERT INTO kr (rkdh) VALUES (1);"));
}

} // namespace damaged
