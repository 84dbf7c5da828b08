// The delivered database, the shared data sets with their handlers and totals, the
// document numbers and the initials search.
#include "store/DocumentCounter.h"
#include "dataset/Errors.h"
#include "common/Fixture.h"
#include "dataset/Formats.h"
#include "store/Schema.h"

class TstStore : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<AppFixture> f;
    Tmain &m() { return f->main(); }

private slots:
    void init()
    {
        f = std::make_unique<AppFixture>();
        f->createMain();
    }
    void cleanup() { f.reset(); }

    // A file made by an earlier version gets this version's indexes once, on start; its
    // rows are untouched.
    void olderIndexesAreReplacedOnStart()
    {
        f->destroyMain();
        {
            Connection c;
            schema::open(c, f->path("lr"));
            c.execScript("DROP INDEX ck_fk_kh; CREATE INDEX ck_bc_kh ON ck(bc, kh, fk, sn, xsj);"
                         "DROP INDEX pl_mc; CREATE INDEX pl_mc ON pl(mc);");
        }
        f->createMain();
        const QString names = "SELECT group_concat(name || ':' || sql, '|') FROM "
                              "(SELECT name, sql FROM sqlite_master WHERE type='index' AND sql IS NOT NULL ORDER BY name)";
        QStringList expected;
        for (const QString &line : schema::ddl().split('\n'))
            if (line.startsWith("CREATE INDEX "))
                expected << line.section(' ', 2, 2) + ':' + line.trimmed().chopped(1);
        expected.sort();
        QCOMPARE(f->scalar(names).toString(), expected.join('|'));
        QCOMPARE(f->scalar("SELECT count(*) FROM pl").toInt(), 4);
    }

    void deliveredDatabase()
    {
        QCOMPARE(f->scalar("SELECT count(*) FROM kr").toInt(), 1);
        QCOMPARE(f->scalar("SELECT count(*) FROM by1").toInt(), 1);
        const auto admin = f->rows("SELECT sx, qggybh FROM gy WHERE gybh='admin'");
        QCOMPARE(admin.size(), 1);
        QCOMPARE(admin[0][0].toString(), QStringLiteral("管理员"));
        QCOMPARE(admin[0][1].toString(), QString());
        QCOMPARE(f->scalar("SELECT count(*) FROM pl WHERE mc='液晶电视'").toInt(), 1);
        for (const char *t : {"pl", "rk", "ck", "kh", "gys", "gy", "ys", "yf", "kr", "by1"})
            QVERIFY2(f->scalar("SELECT count(*) FROM sqlite_master WHERE type='table' AND name=:n", {{"n", t}}).toInt() == 1, t);
        QCOMPARE(f->scalar("PRAGMA journal_mode").toString(), QStringLiteral("delete"));
    }

    void fileIsProtectedByItsKey()
    {
        Connection other;
        QVERIFY_THROWS_EXCEPTION(DbError, other.open(f->path("lr"), "wrong"));
        other.open(f->path("lr"), schema::Key);
        QCOMPARE(other.scalar("SELECT count(*) FROM kr").toInt(), 1);
    }

    void startOpensWithoutReading()
    {
        for (DataSet *ds : {m().ADOTableKR, m().ADOTableRK, m().ADOQueryPLCX, m().ADOQuerylr, m().ADOQueryspwz})
            QVERIFY2(ds->isActive(), qPrintable(ds->objectName()));
        for (DataSet *ds : {m().ADOQueryPL, m().ADOQueryRKDH, m().ADOQueryRKCX, m().ADOQueryKH})
            QVERIFY2(!ds->isActive(), qPrintable(ds->objectName()));
    }

    void fieldListsAndLabels()
    {
        DataSet *rkdh = m().ADOQueryRKDH;
        QStringList names;
        for (const FieldDef &d : rkdh->fieldDefs())
            names << d.name;
        QCOMPARE(names, QStringList({"lsdh", "gys", "jsr", "ck", "pj", "fk", "bh", "mc", "sn", "cgj", "zjr", "lb",
                                     "cj", "xh", "rq", "bc"}));
        QVERIFY(rkdh->fieldDef(rkdh->fieldIndex("jsr")).readOnly);
        QCOMPARE(rkdh->fieldDef(rkdh->fieldIndex("lb")).label, QStringLiteral("备注"));
        QVERIFY(!m().ADOQueryRKCX->fieldDef(m().ADOQueryRKCX->fieldIndex("jsr")).readOnly);
        QCOMPARE(m().ADOTabledlck->fieldDef(m().ADOTabledlck->fieldIndex("ex")).label, QStringLiteral("二姓"));
        QVERIFY(!m().ADOTableGY->fieldDef(m().ADOTableGY->fieldIndex("qggybh")).visible);
        QCOMPARE(m().ADOQueryKH->fieldDef(0).name, QStringLiteral("lxrmz"));
        QCOMPARE(m().ADOQueryfkcx->fieldDef(1).label, QStringLiteral("供应商"));
    }

    // The totals add across opens until a screen resets them; the last row is current.
    void afterOpenTotals()
    {
        const QString day = "2010-05-07 10:00:00";
        f->exec("INSERT INTO rk (lsdh, sn, cgj, fk, rq) VALUES ('n', 2, 15000, '已付', :d)", {{"d", day}});
        f->exec("INSERT INTO rk (lsdh, sn, cgj, fk, rq) VALUES ('n', 3, 10000, '未付', :d)", {{"d", day}});
        f->exec("INSERT INTO rk (lsdh, sn, cgj, fk, rq) VALUES ('n', 4, NULL, '已付', :d)", {{"d", day}});
        DataSet *ds = m().ADOQueryRKCX;
        ds->setSql("select * from rk where lsdh=:RKcx");
        ds->setParam("RKcx", "n");
        ds->open();
        QCOMPARE(m().rkcxTotalAmount.toString(), QStringLiteral("6"));
        QCOMPARE(m().rkcxTotalPaid.toString(), QStringLiteral("3"));
        QCOMPARE(m().rkcxTotalQuantity, 9);
        QCOMPARE(ds->recNo(), 2);
        ds->close();
        ds->open();
        QCOMPARE(m().rkcxTotalAmount.toString(), QStringLiteral("12"));
        // An empty result adds nothing.
        ds->setSql("select * from rk where lsdh=:RKcx");
        ds->setParam("RKcx", "none");
        ds->open();
        QCOMPARE(m().rkcxTotalAmount.toString(), QStringLiteral("12"));
    }

    void profitTotalResetsItself()
    {
        f->exec("INSERT INTO ck (mc, sn, xsj, bc) VALUES ('液晶电视', 2, 33000000, '保存')");
        DataSet *lr = m().ADOQuerylr;
        lr->close();
        lr->open();
        QCOMPARE(m().lrTotalProfit.toString(), QStringLiteral("1600"));
        lr->close();
        lr->open();
        QCOMPARE(m().lrTotalProfit.toString(), QStringLiteral("1600"));
    }

    // The invoice's lines compute their amounts; the invoice totals are taken by the
    // stock-out screen, never counted per fetch (a line read twice would count twice).
    void stockOutLinesComputeTheirAmounts()
    {
        f->exec("INSERT INTO ck (lsdh, mc, sn, xsj) VALUES ('c', '甲', 2, 12500)");
        f->exec("INSERT INTO ck (lsdh, mc, sn, xsj) VALUES ('c', '乙', 1, 10000)");
        m().lsdhTotalAmount = Money();
        m().lsdhTotalQuantity = 0;
        DataSet *ds = m().ADOQueryLSDH;
        ds->setSql("select * from ck where lsdh=:lsdh");
        ds->setParam("lsdh", "c");
        ds->open();
        ds->first();
        QCOMPARE(ds->fieldByName("zjr").asString(), QStringLiteral("2.5"));
        ds->last();
        QCOMPARE(ds->fieldByName("zjr").asString(), QStringLiteral("1"));
        ds->refresh();
        QCOMPARE(m().lsdhTotalAmount, Money());
        QCOMPARE(m().lsdhTotalQuantity, 0);
    }

    void namesFillTheirInitials()
    {
        DataSet *kh = m().ADOTableKH;
        kh->insert();
        kh->setValue("gsmc", "液晶电视商店");
        kh->post();
        QCOMPARE(f->scalar("SELECT gjdq FROM kh").toString(), QStringLiteral("yjdssd"));

        // Clearing a product name in the lookup keeps its former initials.
        DataSet *pl = m().ADOQueryPL;
        pl->setSql("select * from pl where mc like :MC");
        pl->setParam("MC", "%液晶%");
        pl->open();
        pl->edit();
        pl->setValue("mc", "");
        QCOMPARE(pl->fieldByName("cj").asString(), QStringLiteral("yjds"));
        pl->cancel();

        // The same edit through a product table data set does not touch the initials.
        DataSet *td = m().ADOTabletd;
        td->first();
        td->edit();
        td->setValue("mc", "新名字");
        td->post();
        QCOMPARE(f->scalar("SELECT cj FROM pl WHERE mc='新名字'").toString(), QStringLiteral("yjds"));
    }

    // The lookups find "液晶电视" by its initials and by a part of them.
    void initialsSearch_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("all initials") << "yjds";
        QTest::newRow("inner part") << "jds";
        QTest::newRow("upper case") << "YJDS";
        QTest::newRow("name part") << "晶电";
    }
    void initialsSearch()
    {
        QFETCH(QString, typed);
        DataSet *pl = m().ADOQueryPL;
        pl->setSql("select * from pl where  cj like :MC or mc like :MC1 ");
        pl->setParam("MC", "%" + typed + "%");
        pl->setParam("MC1", "%" + typed + "%");
        pl->open();
        QCOMPARE(pl->recordCount(), 1);
        QCOMPARE(pl->fieldByName("mc").asString(), QStringLiteral("液晶电视"));
    }

    void documentNumbers()
    {
        DocumentCounter c(*m().ADOTableKR, DocumentCounter::StockIn);
        const QDate day(2010, 5, 7);
        f->exec("UPDATE kr SET rkdh=7, rq='2010-05-06 00:00:00'");
        // First opening on a new day restarts at 1.
        QCOMPARE(c.openForDay(day), QStringLiteral("2010-5-7-1"));
        QCOMPARE(f->scalar("SELECT rkdh FROM kr").toInt(), 1);
        QCOMPARE(f->scalar("SELECT rq FROM kr").toString(), QStringLiteral("2010-05-07 00:00:00"));
        // A number without rows is not used up.
        QCOMPARE(c.advanceIfUsed(day), QStringLiteral("2010-5-7-1"));
        f->exec("INSERT INTO rk (lsdh) VALUES ('2010-5-7-1')");
        QCOMPARE(c.advanceIfUsed(day), QStringLiteral("2010-5-7-2"));
        QCOMPARE(c.advanceIfUsed(day), QStringLiteral("2010-5-7-2"));
        // Opening again the same day keeps the counter.
        QCOMPARE(c.openForDay(day), QStringLiteral("2010-5-7-2"));
        // The other kinds keep their own counters.
        DocumentCounter out(*m().ADOTableKR, DocumentCounter::StockOut);
        QCOMPARE(out.openForDay(day.addDays(1)), QStringLiteral("2010-5-8-1"));
        QCOMPARE(f->scalar("SELECT rkdh FROM kr").toInt(), 2);
    }

    void reportConnectionsAreNamed()
    {
        QCOMPARE(m().reportConnectionNames().size(), 11);
        QCOMPARE(m().reportConnection("RvDataSetConnectionRK"), m().ADOQueryRKDH);
        QCOMPARE(m().reportConnection("RvDataSetConnectiongscx"), m().ADOTablegsxcpy);
    }
};

QTEST_MAIN(TstStore)
#include "tst_store.moc"
