// The engine's guarantees that the screens build on: a transaction that fails at its
// COMMIT leaves nothing open, a rollback leaves no record half edited, parameters are
// bound by name or refused, totals cover exactly the listed rows, amounts are never read
// as bare numbers, and notifications arrive once, after the change.
#include "dataset/Connection.h"
#include "dataset/DataSet.h"
#include "dataset/Errors.h"
#include "dataset/Money.h"
#include "store/Schema.h"
#include "common/FileSizeLimit.h"

#include <QSignalSpy>
#include <sqlcipher/sqlite3.h>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstring>
#include <ctime>
#include <sys/resource.h>

namespace {

Money units(qint64 n) { return Money::fromUnits(n); }

} // namespace

class TstEngine : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;
    std::unique_ptr<Connection> conn;

    QString file() const { return dir.filePath("lr"); }
    // What another program reading the file sees: only what was committed.
    QVariant committed(const QString &sql)
    {
        Connection other;
        schema::open(other, file());
        return other.scalar(sql);
    }
    void addLines(const QString &lsdh, int n, const QString &price, const QString &fk = "已付")
    {
        for (int i = 0; i < n; ++i)
            conn->exec("INSERT INTO rk (lsdh, sn, cgj, fk, mc) VALUES (:l, :s, :p, :f, :m)",
                       {{"l", lsdh}, {"s", i + 1}, {"p", QVariant::fromValue(*Money::parse(price))}, {"f", fk},
                        {"m", QStringLiteral("品%1").arg(i % 3)}});
    }
    static QList<FieldDef> lineFields()
    {
        return {{"lsdh", "流水单号", FieldType::Text, 50}, {"sn", "数量", FieldType::SmallInt},
                {"cgj", "采购价", FieldType::Money},       {"fk", "付款", FieldType::Text, 50},
                {"mc", "全称", FieldType::Text, 50},       {"zjr", "金额", FieldType::Money, 0, true, false, true}};
    }

private slots:
    void init()
    {
        QFile::remove(file());
        schema::createDeliveredDatabase(file());
        conn = std::make_unique<Connection>();
        schema::open(*conn, file());
    }
    void cleanup() { conn.reset(); }

    // ---------------------------------------------------------------- transactions

    void refusedCommitLeavesNothingOpen_data()
    {
        QTest::addColumn<bool>("diskFull");
        QTest::newRow("deferred constraint") << false;
        QTest::newRow("disk full") << true;
    }
    void refusedCommitLeavesNothingOpen()
    {
        QFETCH(bool, diskFull);
        conn->execScript("CREATE TABLE parent (id INTEGER PRIMARY KEY);"
                         "CREATE TABLE child (p INTEGER REFERENCES parent(id) DEFERRABLE INITIALLY DEFERRED);"
                         "PRAGMA foreign_keys=ON;");
        DataSet pl(*conn, "pl");
        pl.setTable("pl");
        pl.open();
        const int stock = pl.fieldByName("sn").asInteger();
        std::unique_ptr<FileSizeLimit> limit;
        if (diskFull)
            limit = std::make_unique<FileSizeLimit>(QFileInfo(file()).size() + 4096);
        try {
            Transaction tx(*conn);
            pl.edit();
            pl.setValue("sn", stock + 5);
            pl.post();
            if (diskFull) {
                // Enough new rows that the file must grow when they are written out.
                for (int i = 0; i < 3000; ++i)
                    conn->exec("INSERT INTO rk (lsdh, mc, sn) VALUES ('满', '磁盘已满的测试行', 1)");
            } else {
                conn->exec("INSERT INTO child (p) VALUES (42)");
            }
            tx.commit();
            QFAIL("the COMMIT was not refused");
        } catch (const DbError &) {
        }
        limit.reset();
        QVERIFY(!conn->inTransaction());
        // The data set that wrote shows what is stored, not what was rolled back.
        QCOMPARE(pl.fieldByName("sn").asInteger(), stock);
        QCOMPARE(pl.state(), DataSet::State::Browse);
        // The next command is stored for good, outside any transaction.
        conn->exec("INSERT INTO rk (lsdh) VALUES ('之后')");
        QCOMPARE(committed("SELECT count(*) FROM rk WHERE lsdh='之后'").toInt(), 1);
        QCOMPARE(committed("SELECT count(*) FROM rk WHERE lsdh='满'").toInt(), 0);
        QCOMPARE(committed("SELECT sn FROM pl WHERE rowid=1").toInt(), stock);
    }

    // Records put into editing inside a transaction that rolls back are left as stored.
    void rollbackResetsRecordsUnderEdit()
    {
        DataSet pl(*conn, "pl");
        pl.setTable("pl");
        pl.open();
        DataSet rk(*conn, "rk");
        rk.setTable("rk");
        rk.openDeferred();
        const QString name = pl.fieldByName("mc").asString();
        try {
            Transaction tx(*conn);
            pl.edit();
            pl.setValue("mc", "改了一半");
            rk.insert();
            rk.setValue("lsdh", "未存");
            throw DbError("中途失败");
        } catch (const DbError &) {
        }
        QCOMPARE(pl.state(), DataSet::State::Browse);
        QCOMPARE(pl.fieldByName("mc").asString(), name);
        QCOMPARE(rk.state(), DataSet::State::Browse);
        QCOMPARE(rk.recordCount(), 0);
        QCOMPARE(conn->scalar("SELECT count(*) FROM rk").toInt(), 0);
    }

    // ---------------------------------------------------------------- parameters

    void parametersBindByNameIgnoringCase()
    {
        addLines("A-1", 2, "3");
        DataSet ds(*conn, "ds");
        ds.setFieldDefs(lineFields());
        ds.setSql("select * from rk where lsdh=:cKcx and mc like :MC1");
        ds.setParam("CKCX", "A-1");
        ds.setParam("mc1", "%品%");
        ds.open();
        QCOMPARE(ds.recordCount(), 2);
    }

    void unboundParameterIsAnError()
    {
        DataSet ds(*conn, "ds");
        ds.setSql("select * from ck where kh=:kh1 and mc=:mc5");
        ds.setParam("kh1", "客户");
        try {
            ds.open();
            QFAIL("opened with a parameter left unbound");
        } catch (const DbError &e) {
            QVERIFY2(e.message().contains("mc5"), qPrintable(e.message()));
        }
        QVERIFY(!ds.isActive());
        try {
            conn->exec("UPDATE pl SET sn=:sn WHERE bh=:bh", {{"sn", 1}});
            QFAIL("executed with a parameter left unbound");
        } catch (const DbError &e) {
            QVERIFY(e.message().contains("bh"));
        }
    }

    // ---------------------------------------------------------------- totals

    void aggregateCoversTheRowsShown_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<bool>("filtered");
        QTest::newRow("all") << "select * from rk" << false;
        QTest::newRow("all, filtered") << "select * from rk" << true;
        QTest::newRow("order by") << "select * from rk where sn>:n order by sn desc" << false;
        QTest::newRow("order by, filtered") << "select * from rk where sn>:n order by sn desc" << true;
        QTest::newRow("limit") << "select * from rk order by sn desc limit 3" << false;
        QTest::newRow("limit, filtered") << "select * from rk order by sn desc limit 3" << true;
        QTest::newRow("limit without order") << "select * from rk where sn>:n limit 4" << false;
    }
    void aggregateCoversTheRowsShown()
    {
        QFETCH(QString, sql);
        QFETCH(bool, filtered);
        addLines("A", 6, "0.1", "已付");
        addLines("B", 5, "2.5", "未付");
        DataSet ds(*conn, "ds");
        ds.setFieldDefs(lineFields());
        ds.onCalcFields = [](CalcRow &r) { r.setValue("zjr", QVariant::fromValue(r.asMoney("cgj") * r.asInt("sn"))); };
        ds.setSql(sql);
        ds.setParam("n", 1);
        ds.setFilter({{"fk", FilterCondition::Eq, "未付"}});
        ds.setFiltered(filtered);
        ds.open();
        Money amount;
        qint64 quantity = 0;
        int rows = 0;
        for (ds.first(); !ds.eof(); ds.next()) {
            amount += ds.fieldByName("zjr").asMoney();
            quantity += ds.fieldByName("sn").asInteger();
            ++rows;
        }
        QVERIFY(rows > 0);
        const QVariantList r = ds.aggregate(
            {{"sum(sn*cgj)", FieldType::Money}, {"sum(sn)", FieldType::Integer}, {"count(*)", FieldType::Integer}});
        QCOMPARE(r.value(0).value<Money>(), amount);
        QCOMPARE(r.value(1).toLongLong(), quantity);
        QCOMPARE(r.value(2).toInt(), rows);
    }

    // ---------------------------------------------------------------- amounts

    void undeclaredExpressionIsRefused()
    {
        DataSet ds(*conn, "ADOQueryYS");
        ds.setSql("select kh as 客户, sum(sn*xsj) as 总金额 from ck group by kh");
        try {
            ds.open();
            QFAIL("an undeclared sum was opened");
        } catch (const DbError &e) {
            QVERIFY(e.message().contains("总金额"));
        }
    }

    void declaredSumsAndStoredAmountsReadExactly()
    {
        addLines("A", 4, "0.25");  // quantities 1..4: 2.5 in all
        DataSet ds(*conn, "ds");
        ds.setSql("select lsdh, sum(sn*cgj) as 总金额 from rk group by lsdh");
        ds.setResultType("总金额", FieldType::Money);
        ds.open();
        QCOMPARE(ds.fieldByName("总金额").asMoney(), *Money::parse(u"2.5"));
        QCOMPARE(ds.fieldByName("总金额").asString(), QStringLiteral("2.5"));
        QCOMPARE(conn->money("SELECT sum(sn*cgj) FROM rk"), *Money::parse(u"2.5"));
        QCOMPARE(conn->money("SELECT sum(sn*cgj) FROM rk WHERE lsdh='无'"), Money());
        QCOMPARE(conn->money("SELECT cgj FROM pl WHERE mc='液晶电视'"), units(2500));
    }

    // ---------------------------------------------------------------- page size

    // A file written with the former 1024-byte pages still opens: converted once into the
    // current page size with every row, the old file kept beside it; read as it is on request.
    void oldPageSizeIsConvertedOnce()
    {
        const QString old = dir.filePath("old.lr");
        QFile::remove(old);
        QFile::remove(old + ".1024.bak");
        {
            sqlite3 *db = nullptr;
            QVERIFY(sqlite3_open_v2(QFile::encodeName(old).constData(), &db,
                                    SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) == SQLITE_OK);
            sqlite3_key(db, schema::Key, int(strlen(schema::Key)));
            const QByteArray sql = "PRAGMA cipher_page_size=1024;" + schema::ddl().toUtf8() +
                                   "INSERT INTO pl (mc, sn) VALUES ('旧文件的商品', 7);";
            QCOMPARE(sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
            sqlite3_close(db);
        }
        const QByteArray before = [&] {
            QFile f(old);
            f.open(QIODevice::ReadOnly);
            return f.readAll();
        }();
        {
            Connection asIs;
            schema::open(asIs, old, Connection::LegacyPages::ReadAsIs);
            QCOMPARE(asIs.scalar("SELECT sn FROM pl WHERE mc='旧文件的商品'").toInt(), 7);
            QCOMPARE(asIs.scalar("PRAGMA cipher_page_size").toInt(), 1024);
        }
        QVERIFY(!QFile::exists(old + ".1024.bak"));
        for (int round = 0; round < 2; ++round) {
            Connection c;
            schema::open(c, old);
            QCOMPARE(c.scalar("SELECT sn FROM pl WHERE mc='旧文件的商品'").toInt(), 7 + round);
            QCOMPARE(c.scalar("PRAGMA cipher_page_size").toInt(), 4096);
            c.exec("UPDATE pl SET sn=sn+1 WHERE mc='旧文件的商品'");
        }
        QFile kept(old + ".1024.bak");
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), before);
        QVERIFY(!QFile::exists(old + ".4096-tmp"));
        Connection fresh;
        schema::open(fresh, file());
        QCOMPARE(fresh.scalar("PRAGMA cipher_page_size").toInt(), 4096);
    }

    // ---------------------------------------------------------------- date-times

    // Stored times are the shop's wall clock: read, shown, compared and written back as they
    // are, even in an hour that the local zone skips when the clocks go forward.
    void wallClockTimesNeverShift()
    {
        const QByteArray oldTz = qgetenv("TZ");
        qputenv("TZ", "Europe/Berlin");
        tzset();
        conn->exec("INSERT INTO rk (lsdh, rq) VALUES ('夏令时', '2026-03-29 02:30:00')");
        DataSet ds(*conn, "ds");
        ds.setTable("rk");
        ds.setFilter({{"rq", FilterCondition::Ge, QDateTime(QDate(2026, 3, 29), QTime(2, 15))}});
        ds.setFiltered(true);
        ds.open();
        QCOMPARE(ds.recordCount(), 1);
        QCOMPARE(ds.fieldByName("rq").asString(), QStringLiteral("2026-3-29 2:30:00"));
        ds.edit();
        ds.setValue("lsdh", "改");
        ds.post();
        QCOMPARE(conn->scalar("SELECT rq FROM rk").toString(), QStringLiteral("2026-03-29 02:30:00"));
        if (oldTz.isEmpty())
            qunsetenv("TZ");
        else
            qputenv("TZ", oldTz);
        tzset();
    }

    // ---------------------------------------------------------------- notifications

    void rowWalkNotifiesOnce()
    {
        addLines("A", 5, "1");
        DataSet ds(*conn, "ds");
        ds.setTable("rk");
        ds.open();
        QSignalSpy data(&ds, &DataSet::dataChanged), current(&ds, &DataSet::currentChanged);
        {
            DataSet::NotifyScope scope(ds);
            for (ds.first(); !ds.eof(); ds.next()) {
            }
            QCOMPARE(data.count(), 0);
        }
        QCOMPARE(data.count(), 1);
        QCOMPARE(current.count(), 1);
        QCOMPARE(current.first().value(0).toInt(), 4);
    }

    // An assignment whose handler assigns again reaches the observers once, with both
    // values already in the record.
    void assignmentNotifiesOnceWithItsValue()
    {
        DataSet ds(*conn, "ds");
        ds.setTable("kh");
        ds.setFieldChangeHandler("gsmc", [](DataSet &d) { d.setValue("gjdq", d.fieldByName("gsmc").asString().left(1)); });
        ds.open();
        QStringList seen;
        connect(&ds, &DataSet::dataChanged, this, [&] {
            seen << ds.fieldByName("gsmc").asString() + u'/' + ds.fieldByName("gjdq").asString();
        });
        ds.insert();
        seen.clear();
        ds.setValue("gsmc", "新客户");
        QCOMPARE(seen, QStringList{"新客户/新"});
        ds.cancel();
    }

    // A first read from inside a getter (a view laying itself out) tells the observers from
    // the event loop, never inside the getter itself.
    void firstReadInAGetterNotifiesLater()
    {
        addLines("A", 3, "1");
        DataSet ds(*conn, "ds");
        ds.setTable("rk");
        bool walked = false;
        ds.afterOpen = [&](DataSet &d) {
            d.last();
            walked = true;
        };
        ds.openDeferred();
        QSignalSpy reset(&ds, &DataSet::rowsReset), current(&ds, &DataSet::currentChanged);
        QCOMPARE(ds.recordCount(), 3);
        QVERIFY(walked);
        QCOMPARE(reset.count(), 0);
        QCOMPARE(current.count(), 0);
        QTRY_COMPARE(reset.count(), 1);
        QCOMPARE(current.count(), 1);
        QCOMPARE(ds.recNo(), 2);
    }
};

QTEST_MAIN(TstEngine)
#include "tst_engine.moc"
