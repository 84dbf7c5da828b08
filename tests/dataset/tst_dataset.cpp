// The data-set engine on a real database file: types, money, cursor, editing,
// filters, transactions and windowed reading.
#include "dataset/Connection.h"
#include "dataset/DataSet.h"
#include "dataset/Errors.h"
#include "dataset/Formats.h"
#include "dataset/Money.h"
#include "store/Schema.h"

#include <QTemporaryDir>
#include <QTest>

class TstDataSet : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;
    std::unique_ptr<Connection> conn;

    int count(const QString &table)
    {
        return conn->scalar("SELECT count(*) FROM " + table).toInt();
    }

private slots:
    void init()
    {
        QFile::remove(dir.filePath("lr"));
        schema::createDeliveredDatabase(dir.filePath("lr"));
        conn = std::make_unique<Connection>();
        schema::open(*conn, dir.filePath("lr"));
    }
    void cleanup() { conn.reset(); }

    void moneyParse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<qlonglong>("raw");
        QTest::newRow("whole") << "12" << true << 120000LL;
        QTest::newRow("decimals") << "-3.5" << true << -35000LL;
        QTest::newRow("leading point") << ".25" << true << 2500LL;
        QTest::newRow("half to even down") << "0.00005" << true << 0LL;
        QTest::newRow("half to even up") << "0.00015" << true << 2LL;
        QTest::newRow("above half") << "0.000051" << true << 1LL;
        QTest::newRow("two points") << "1.2.3" << false << 0LL;
        QTest::newRow("letters") << "12a" << false << 0LL;
        QTest::newRow("empty") << "" << false << 0LL;
        QTest::newRow("sign only") << "-" << false << 0LL;
        QTest::newRow("too large") << "99999999999999999" << false << 0LL;
    }
    void moneyParse()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(qlonglong, raw);
        const auto m = Money::parse(text);
        QCOMPARE(m.has_value(), ok);
        if (ok)
            QCOMPARE(m->raw(), raw);
    }

    void generalNumberFormat_data()
    {
        QTest::addColumn<QString>("money");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << "0" << "0";
        QTest::newRow("trailing zeros dropped") << "12.5000" << "12.5";
        QTest::newRow("negative") << "-100" << "-100";
        QTest::newRow("four decimals") << "0.0001" << "0.0001";
    }
    void generalNumberFormat()
    {
        QFETCH(QString, money);
        QFETCH(QString, text);
        QCOMPARE(Money::parse(money)->toString(), text);
        QCOMPARE(fmt::generalNumber(0.1 + 0.2), QStringLiteral("0.3"));
    }

    // Ten lines of 0.1 add up to exactly 1, in the data set and in the engine's sum.
    void moneySumsAreExact()
    {
        for (int i = 0; i < 10; ++i)
            conn->exec("INSERT INTO rk (lsdh, sn, cgj) VALUES ('A', 1, :p)", {{"p", QVariant::fromValue(*Money::parse(u"0.1"))}});
        DataSet ds(*conn, "t");
        ds.setFieldDefs({{"sn", "数量", FieldType::SmallInt}, {"cgj", "采购价", FieldType::Money},
                         {"zjr", "金额", FieldType::Money, 0, true, false, true}});
        ds.onCalcFields = [](CalcRow &r) { r.setValue("zjr", QVariant::fromValue(r.asMoney("cgj") * r.asInt("sn"))); };
        ds.setSql("select * from rk where lsdh=:d");
        ds.setParam("d", "A");
        ds.open();
        Money total;
        for (ds.first(); !ds.eof(); ds.next())
            total += ds.fieldByName("zjr").asMoney();
        QCOMPARE(total, Money::fromUnits(1));
        QCOMPARE(ds.aggregate({{"sum(sn*cgj)", FieldType::Money}}).value(0).value<Money>(), Money::fromUnits(1));
    }

    // The engine itself refuses values outside a column's type; nothing is stored.
    void engineRefusesOutOfRange_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("message");
        QTest::newRow("text one too long") << "INSERT INTO pl (mc) VALUES (:v)" << QVariant(QString(51, u'液'))
                                           << "全称最多50个字符";
        QTest::newRow("quantity 32768") << "INSERT INTO pl (sn) VALUES (:v)" << QVariant(32768) << "数量必须在-32768到32767之间";
        QTest::newRow("quantity -32769") << "INSERT INTO rk (sn) VALUES (:v)" << QVariant(-32769)
                                         << "数量必须在-32768到32767之间";
        QTest::newRow("money as float") << "INSERT INTO pl (xsj) VALUES (:v)" << QVariant(1.5) << "CHECK";
    }
    void engineRefusesOutOfRange()
    {
        QFETCH(QString, sql);
        QFETCH(QVariant, value);
        QFETCH(QString, message);
        const int before = count("pl") + count("rk");
        try {
            conn->exec(sql, {{"v", value}});
            QFAIL("the engine stored the value");
        } catch (const DbError &e) {
            QVERIFY2(e.message().contains(message), qPrintable(e.message()));
        }
        QCOMPARE(count("pl") + count("rk"), before);
        // 50 characters and 32767 fit.
        conn->exec("INSERT INTO pl (mc, sn) VALUES (:m, 32767)", {{"m", QString(50, u'液')}});
    }

    // A field refuses what does not fit before anything reaches the engine.
    void fieldRefusesBadInput_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("letters in a quantity") << "sn" << "abc" << "不是有效的整数";
        QTest::newRow("quantity beyond range") << "sn" << "32768" << "必须在-32768到32767之间";
        QTest::newRow("price with two points") << "xsj" << "1.2.3" << "不是有效的金额";
        QTest::newRow("overlong name") << "mc" << QString(51, u'a') << "最多只能输入50个字符";
    }
    void fieldRefusesBadInput()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, message);
        DataSet ds(*conn, "pl");
        ds.setTable("pl");
        ds.open();
        ds.first();
        const QString before = ds.fieldByName(field).asString();
        try {
            ds.fieldByName(field).setAsString(text);
            QFAIL("accepted");
        } catch (const InputError &e) {
            QVERIFY2(e.message().contains(message), qPrintable(e.message()));
        }
        QCOMPARE(ds.fieldByName(field).asString(), before);
        ds.cancel();
        QCOMPARE(count("pl"), 4);
    }

    void editingAnEmptyDataSetInserts()
    {
        DataSet ds(*conn, "q");
        ds.setSql("select * from pl where mc=:m");
        ds.setParam("m", "没有这个产品");
        ds.open();
        QCOMPARE(ds.recordCount(), 0);
        ds.edit();
        QCOMPARE(ds.state(), DataSet::State::Insert);
        ds.setValue("mc", "新产品");
        ds.post();
        QCOMPARE(conn->scalar("SELECT count(*) FROM pl WHERE mc='新产品'").toInt(), 1);
        QCOMPARE(ds.recordCount(), 1);
    }

    void replacingTheStatementCloses()
    {
        DataSet ds(*conn, "q");
        ds.setSql("select * from pl");
        ds.open();
        QVERIFY(ds.isActive());
        ds.setSql("select * from pl where sn>0");
        QVERIFY(!ds.isActive());
        ds.open();
        QCOMPARE(ds.recordCount(), 0);
    }

    void calculatedAmountFollowsAnEdit()
    {
        DataSet ds(*conn, "q");
        ds.setFieldDefs({{"mc", "全称", FieldType::Text, 50}, {"sn", "数量", FieldType::SmallInt},
                         {"xsj", "销售价", FieldType::Money}, {"zjr", "金额", FieldType::Money, 0, true, false, true}});
        ds.onCalcFields = [](CalcRow &r) { r.setValue("zjr", QVariant::fromValue(r.asMoney("xsj") * r.asInt("sn"))); };
        ds.setSql("select * from pl where mc='液晶电视'");
        ds.open();
        QCOMPARE(ds.fieldByName("zjr").asMoney(), Money());
        ds.edit();
        ds.fieldByName("sn").setAsString("3");
        QCOMPARE(ds.fieldByName("zjr").asString(), QStringLiteral("9600"));
        ds.fieldByName("xsj").setAsString("0.5");
        QCOMPARE(ds.fieldByName("zjr").asString(), QStringLiteral("1.5"));
        ds.post();
        QCOMPARE(ds.fieldByName("zjr").asString(), QStringLiteral("1.5"));
        QCOMPARE(conn->scalar("SELECT sn FROM pl WHERE mc='液晶电视'").toInt(), 3);
    }

    void movingPostsAPendingEdit()
    {
        DataSet ds(*conn, "pl");
        ds.setTable("pl");
        ds.open();
        ds.first();
        ds.edit();
        ds.setValue("ck", "三号仓库");
        ds.next();
        QCOMPARE(ds.state(), DataSet::State::Browse);
        QCOMPARE(conn->scalar("SELECT count(*) FROM pl WHERE ck='三号仓库'").toInt(), 1);
    }

    void cursorWalkEndsOnTheLastRow()
    {
        DataSet ds(*conn, "pl");
        ds.setTable("pl");
        ds.open();
        int n = 0;
        for (ds.first(); !ds.eof(); ds.next())
            ++n;
        QCOMPARE(n, 4);
        QCOMPARE(ds.recNo(), 3);
        ds.last();
        QVERIFY(ds.eof());
        ds.prior();
        QCOMPARE(ds.recNo(), 2);
    }

    // A name with a quote filters like any other; no text is ever parsed as an expression.
    void filterTakesValuesAsData_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << "普通客户";
        QTest::newRow("single quote") << "O'Brien's 商店";
        QTest::newRow("looks like sql") << "x' or '1'='1";
    }
    void filterTakesValuesAsData()
    {
        QFETCH(QString, name);
        conn->exec("INSERT INTO kh (gsmc) VALUES ('别的客户')");
        conn->exec("INSERT INTO kh (gsmc) VALUES (:n)", {{"n", name}});
        for (bool table : {true, false}) {
            DataSet ds(*conn, "kh");
            if (table)
                ds.setTable("kh");
            else
                ds.setSql("select * from kh");
            ds.setFilter({{"gsmc", FilterCondition::Eq, name}});
            ds.setFiltered(true);
            ds.open();
            QCOMPARE(ds.recordCount(), 1);
            QCOMPARE(ds.fieldByName("gsmc").asString(), name);
            ds.setFiltered(false);
            QCOMPARE(ds.recordCount(), 2);
        }
        // Read whole (an aggregate) the filter is applied on the rows.
        DataSet agg(*conn, "agg");
        agg.setSql("select gsmc as 名称, count(*) as 数量 from kh group by gsmc");
        agg.setResultType("数量", FieldType::Integer);
        agg.setFilter({{"名称", FilterCondition::Eq, name}});
        agg.setFiltered(true);
        agg.open();
        QCOMPARE(agg.recordCount(), 1);
    }

    void dateFilterComparesAsDates()
    {
        conn->exec("INSERT INTO ck (lsdh, rq) VALUES ('a', '2010-05-07 23:59:00')");
        conn->exec("INSERT INTO ck (lsdh, rq) VALUES ('a', '2010-05-08 00:00:00')");
        DataSet ds(*conn, "ck");
        ds.setSql("select * from ck where lsdh='a'");
        ds.setFilter({{"rq", FilterCondition::Lt, QDate(2010, 5, 8)}});
        ds.setFiltered(true);
        ds.open();
        QCOMPARE(ds.recordCount(), 1);
    }

    void transactionAllOrNothing()
    {
        DataSet pl(*conn, "pl");
        pl.setTable("pl");
        pl.open();
        try {
            Transaction outer(*conn);
            pl.first();
            pl.edit();
            pl.setValue("sn", 5);
            pl.post();
            {
                Transaction inner(*conn);
                conn->exec("INSERT INTO rk (lsdh, sn) VALUES ('x', 1)");
                inner.commit();
            }
            conn->exec("INSERT INTO rk (sn) VALUES (99999)");  // refused
            outer.commit();
            QFAIL("no error");
        } catch (const DbError &) {
        }
        QCOMPARE(count("rk"), 0);
        QCOMPARE(conn->scalar("SELECT sum(sn) FROM pl").toInt(), 0);
        // The data set that wrote was read again: it shows what is stored.
        pl.first();
        QCOMPARE(pl.fieldByName("sn").asInteger(), 0);
        QVERIFY(!conn->inTransaction());
    }

    void innerRollbackStopsTheOuterCommit()
    {
        try {
            Transaction outer(*conn);
            conn->exec("INSERT INTO rk (lsdh) VALUES ('y')");
            {
                Transaction inner(*conn);  // destroyed without commit
            }
            outer.commit();
            QFAIL("committed after an inner rollback");
        } catch (const DbError &) {
        }
        QCOMPARE(count("rk"), 0);
    }

    // A long list is read in windows: open and count without reading every row.
    void largeListIsReadInWindows()
    {
        {
            Transaction tx(*conn);
            for (int i = 0; i < 20000; ++i)
                conn->exec("INSERT INTO rk (lsdh, sn, mc, rq) VALUES ('big', :n, :m, '2010-01-01 00:00:00')",
                           {{"n", i % 100}, {"m", QString("产品%1").arg(i)}});
            tx.commit();
        }
        DataSet ds(*conn, "rk");
        ds.setSql("select * from rk where lsdh=:d");
        ds.setParam("d", "big");
        ds.open();
        QCOMPARE(ds.recordCount(), 20000);
        ds.last();
        QCOMPARE(ds.fieldByName("mc").asString(), QStringLiteral("产品19999"));
        ds.moveTo(12345);
        QCOMPARE(ds.fieldByName("mc").asString(), QStringLiteral("产品12345"));
        QCOMPARE(ds.displayText(7, ds.fieldIndex("mc")), QStringLiteral("产品7"));
    }

    // A range of listed rows read in one go is what the rows show one by one: in list order,
    // the filter applied and a calculated column included; in a keyed list also the edit of
    // the current row, and a row deleted meanwhile is empty.
    void listedRowsAreTheRowsShown_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<bool>("keyed");
        QTest::newRow("keyed") << "select * from ck order by sn desc" << true;
        QTest::newRow("read whole") << "select distinct mc, sn, xsj, rq from ck order by sn desc" << false;
    }
    void listedRowsAreTheRowsShown()
    {
        QFETCH(QString, sql);
        QFETCH(bool, keyed);
        for (int i = 0; i < 30; ++i)
            conn->exec("INSERT INTO ck (lsdh, sn, mc, xsj, rq) VALUES ('a', :n, :m, :p, '2024-05-01 10:00:00')",
                       {{"n", i}, {"m", QString("产品%1").arg(i)}, {"p", 12345 * i}});
        DataSet ds(*conn, "q");
        ds.setFieldDefs({{"mc", "全称", FieldType::Text, 50}, {"sn", "数量", FieldType::SmallInt},
                         {"xsj", "销售价", FieldType::Money}, {"rq", "日期", FieldType::DateTime},
                         {"zjr", "金额", FieldType::Money, 0, true, false, true}});
        ds.onCalcFields = [](CalcRow &r) { r.setValue("zjr", QVariant::fromValue(r.asMoney("xsj") * r.asInt("sn"))); };
        ds.setSql(sql);
        ds.open();
        ds.setFilter({{"sn", FilterCondition::Ge, 5}});
        ds.setFiltered(true);
        QCOMPARE(ds.recordCount(), 25);
        int deleted = -1;
        if (keyed) {
            ds.moveTo(3);
            ds.edit();
            ds.fieldByName("sn").setAsString("99");
            deleted = 29 - 20;  // 产品20, listed by sn descending
            conn->exec("DELETE FROM ck WHERE mc='产品20'");
        }
        const QList<QVariantList> rows = ds.listedRows(2, 20);
        QCOMPARE(rows.size(), 20);
        for (int i = 0; i < rows.size(); ++i)
            for (int c = 0; c < ds.fieldCount(); ++c)
                QCOMPARE(rows[i].value(c), 2 + i == deleted ? QVariant() : ds.rowValue(2 + i, c));
        if (keyed)
            QCOMPARE(rows[1].value(1), QVariant(99));
        QCOMPARE(ds.listedRows(20, 100).size(), 5);
        QVERIFY(ds.listedRows(25, 10).isEmpty());
    }

    // A table opened only to take new rows reads none, and still shows the new row.
    void deferredTableTakesInsertsWithoutReading()
    {
        DataSet ds(*conn, "rk");
        ds.setTable("rk", "mc");
        ds.openDeferred();
        ds.insert();
        ds.setValue("mc", "甲");
        ds.setValue("sn", 2);
        ds.post();
        QCOMPARE(ds.fieldByName("mc").asString(), QStringLiteral("甲"));
        ds.edit();
        ds.setValue("bc", "借入");
        ds.post();
        QCOMPARE(conn->scalar("SELECT bc FROM rk WHERE mc='甲'").toString(), QStringLiteral("借入"));
        QCOMPARE(ds.recordCount(), 1);

        // Looking at the rows while a new record is under way keeps that record.
        DataSet other(*conn, "rk2");
        other.setTable("rk");
        other.openDeferred();
        other.insert();
        other.setValue("mc", "乙");
        QCOMPARE(other.recordCount(), 2);
        QCOMPARE(other.fieldByName("mc").asString(), QStringLiteral("乙"));
        other.post();
        QCOMPARE(conn->scalar("SELECT count(*) FROM rk").toInt(), 2);
    }

    void readOnlyFieldRefusesAssignments()
    {
        DataSet ds(*conn, "q");
        ds.setFieldDefs({{"mc", "全称", FieldType::Text, 50, true, true}});
        ds.setSql("select * from pl");
        ds.open();
        QVERIFY_THROWS_EXCEPTION(InputError, ds.setValue("mc", "x"));
    }

    void afterOpenRunsOnFirstLookWhenDeferred()
    {
        DataSet ds(*conn, "pl");
        int runs = 0;
        ds.setSql("select * from pl");
        ds.afterOpen = [&](DataSet &d) {
            ++runs;
            d.last();
        };
        ds.openDeferred();
        QCOMPARE(runs, 0);
        QCOMPARE(ds.recNo(), 3);
        QCOMPARE(runs, 1);
        ds.close();
        ds.open();
        QCOMPARE(runs, 2);
    }
};

QTEST_GUILESS_MAIN(TstDataSet)
#include "tst_dataset.moc"
