// The data generator on a small history: exact counts, every line status, invoice
// numbers, stock that matches the saved lines, counters, and a file the program opens.
#include "common/Fixture.h"
#include "dataset/Formats.h"
#include "store/Schema.h"

#include <QProcess>

class TstGenerate : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;
    Connection c;
    QString path() const { return dir.filePath(QStringLiteral("lr")); }

    static QProcess *run(const QStringList &args)
    {
        auto *p = new QProcess;
        p->start(QStringLiteral(GENERATE_EXE), args);
        p->waitForFinished(120000);
        return p;
    }

private slots:
    void initTestCase()
    {
        std::unique_ptr<QProcess> p(run({path(), "--lines", "2000", "--products", "300", "--customers", "40",
                                         "--suppliers", "12"}));
        QCOMPARE(p->exitStatus(), QProcess::NormalExit);
        QVERIFY2(p->exitCode() == 0, p->readAllStandardError().constData());
        schema::open(c, path());
    }

    void countsAreExact()
    {
        QCOMPARE(c.scalar("SELECT (SELECT count(*) FROM rk) + (SELECT count(*) FROM ck)").toInt(), 2000);
        QCOMPARE(c.scalar("SELECT count(*) FROM pl").toInt(), 300);
        QCOMPARE(c.scalar("SELECT count(*) FROM kh").toInt(), 40);
        QCOMPARE(c.scalar("SELECT count(*) FROM gys").toInt(), 12);
        QCOMPARE(c.scalar("SELECT count(*) FROM kr").toInt(), 1);
        QVERIFY(c.scalar("SELECT count(*) FROM ys").toInt() > 0);
        QVERIFY(c.scalar("SELECT count(*) FROM yf").toInt() > 0);
        // Names are unique, so lookups by name find one record.
        QCOMPARE(c.scalar("SELECT count(DISTINCT mc) FROM pl").toInt(), 300);
        QCOMPARE(c.scalar("SELECT count(DISTINCT gsmc) FROM kh").toInt(), 40);
    }

    void everyStatusOccurs_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("status");
        for (const char *s : {"", "保存", "借入", "退单", "退换", "归还"})
            QTest::addRow("rk %s", s) << "rk" << QString::fromUtf8(s);
        for (const char *s : {"", "保存", "借出", "报损", "退单", "退换", "归还"})
            QTest::addRow("ck %s", s) << "ck" << QString::fromUtf8(s);
    }
    void everyStatusOccurs()
    {
        QFETCH(QString, table);
        QFETCH(QString, status);
        const QString where = status.isEmpty() ? QStringLiteral("bc IS NULL") : QStringLiteral("bc=:s");
        QVERIFY(c.scalar(QStringLiteral("SELECT count(*) FROM %1 WHERE %2").arg(table, where), {{"s", status}}).toInt() > 0);
    }

    void statusRulesHold_data()
    {
        QTest::addColumn<QString>("violations");
        QTest::addRow("cancelled and given back lines have no number")
            << "SELECT count(*) FROM %1 WHERE bc IN ('退单','归还') AND coalesce(lsdh,'')<>''";
        QTest::addRow("cancelled and exchanged lines are paid") << "SELECT count(*) FROM %1 WHERE bc IN ('退单','退换') AND fk<>'已付'";
        QTest::addRow("exchanged lines have quantity 0 and a minus remark")
            << "SELECT count(*) FROM %1 WHERE bc='退换' AND (sn<>0 OR lb NOT LIKE '-%')";
        QTest::addRow("other lines carry a number of the short date format")
            << "SELECT count(*) FROM %1 WHERE coalesce(bc,'') NOT IN ('退单','归还') AND lsdh NOT GLOB '[0-9][0-9][0-9][0-9]-[1-9]*-[1-9]*-[1-9]*'";
        QTest::addRow("payment state from the vocabulary") << "SELECT count(*) FROM %1 WHERE fk NOT IN ('已付','未付')";
        QTest::addRow("document type from the vocabulary") << "SELECT count(*) FROM %1 WHERE pj NOT IN ('收据','普通发票','增值发票')";
        QTest::addRow("dates within the year up to today")
            << "SELECT count(*) FROM %1 WHERE rq < :first OR rq >= :tomorrow";
    }
    void statusRulesHold()
    {
        QFETCH(QString, violations);
        const QDate today = QDate::currentDate();
        for (const char *table : {"rk", "ck"})
            QVERIFY2(c.scalar(violations.arg(QLatin1String(table)),
                              {{"first", today.addDays(-364)}, {"tomorrow", today.addDays(1)}})
                             .toInt() == 0,
                     table);
    }

    void stockMatchesSavedLines()
    {
        // Saved stock-in adds, saved stock-out and write-offs take away; nothing else moves stock.
        const int wrong = c.scalar(
            "SELECT count(*) FROM pl WHERE sn <> "
            "coalesce((SELECT sum(sn) FROM rk WHERE rk.mc=pl.mc AND bc='保存'), 0) - "
            "coalesce((SELECT sum(sn) FROM ck WHERE ck.mc=pl.mc AND bc IN ('保存','报损')), 0)").toInt();
        QCOMPARE(wrong, 0);
        QCOMPARE(c.scalar("SELECT count(*) FROM pl WHERE sn < 0").toInt(), 0);
    }

    void receiptsBalance()
    {
        QCOMPARE(c.scalar("SELECT count(*) FROM ys WHERE yr < 0 OR yr > jr OR coalesce(yj,0) + yr <> jr").toInt(), 0);
        QCOMPARE(c.scalar("SELECT count(*) FROM yf WHERE yr < 0 OR yr > jr OR coalesce(yj,0) + yr <> jr").toInt(), 0);
    }

    void countersProposeAFreshNumber_data()
    {
        QTest::addColumn<QString>("counter");
        QTest::addColumn<QString>("day");
        QTest::addColumn<QString>("table");
        QTest::addRow("stock-in") << "rkdh" << "rq" << "rk";
        QTest::addRow("stock-out") << "lsdh" << "rq1" << "ck";
        QTest::addRow("receipts") << "ysdh" << "rqys" << "ys";
        QTest::addRow("payments") << "yfdh" << "rqyf" << "yf";
    }
    void countersProposeAFreshNumber()
    {
        QFETCH(QString, counter);
        QFETCH(QString, day);
        QFETCH(QString, table);
        const QDate today = QDate::currentDate();
        QCOMPARE(c.scalar(QStringLiteral("SELECT %1 FROM kr").arg(day)).toString(), fmt::storageDate(today));
        const qint64 n = c.scalar(QStringLiteral("SELECT %1 FROM kr").arg(counter)).toLongLong();
        QVERIFY(n >= 1);
        QCOMPARE(c.scalar(QStringLiteral("SELECT count(*) FROM %1 WHERE lsdh=:n").arg(table),
                          {{"n", fmt::documentNumber(today, n)}}).toInt(), 0);
        // Today's numbers run 1 .. n-1 without gaps (cancelled invoices keep no number).
        QCOMPARE(c.scalar(QStringLiteral("SELECT count(*) FROM %1 WHERE lsdh LIKE :p").arg(table),
                          {{"p", fmt::shortDate(today) + "-%"}}).toInt() > 0, n > 1);
    }

    void programOpensTheFile()
    {
        AppFixture f;
        QFile::remove(f.path("lr"));
        QVERIFY(QFile::copy(path(), f.path("lr")));
        Tmain &m = f.createMain();
        m.ADOQueryRKCX->setSql("select * from rk where rq<:rq order by rq desc");
        m.ADOQueryRKCX->setParam("rq", QDate::currentDate().addDays(1));
        m.ADOQueryRKCX->open();
        QCOMPARE(m.ADOQueryRKCX->recordCount(), c.scalar("SELECT count(*) FROM rk").toInt());
        QCOMPARE(m.rkcxTotalQuantity, c.scalar("SELECT sum(sn) FROM rk").toLongLong());
    }

    void refusesBadArguments_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addRow("no file") << QStringList{"--lines", "10"};
        QTest::addRow("letters as a count") << QStringList{dir.filePath("x"), "--lines", "abc"};
        QTest::addRow("unknown option") << QStringList{dir.filePath("x"), "--rows", "10"};
        QTest::addRow("existing file") << QStringList{path(), "--lines", "10"};
    }
    void refusesBadArguments()
    {
        QFETCH(QStringList, args);
        const QByteArray before = [&] { QFile f(path()); f.open(QIODevice::ReadOnly); return f.readAll(); }();
        std::unique_ptr<QProcess> p(run(args));
        QVERIFY(p->exitCode() != 0);
        QVERIFY(!p->readAllStandardError().isEmpty());
        QVERIFY(!QFile::exists(dir.filePath("x")));
        // An existing file is never overwritten.
        QFile f(path());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
    }
};

QTEST_MAIN(TstGenerate)
#include "tst_generate.moc"
