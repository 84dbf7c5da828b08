// The stock-out query on what only it does; what it shares with the stock-in query is
// tested over both in tst_linequery.cpp.
#include "LineQueryTwins.h"

class TstCkcx : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<AppFixture> f;
    std::unique_ptr<LineQueryTest> q;

private slots:
    void init()
    {
        f = std::make_unique<AppFixture>();
        f->start();
        q = std::make_unique<LineQueryTest>(*f, twins[1]);
    }
    void cleanup()
    {
        QVERIFY(f->seams.allAnswersUsed());
        q.reset();
        f.reset();
    }

    // Without a stock-out invoice nothing is queried: the list keeps the statement and the
    // lines it held, and the status bar stays empty.
    void noInvoiceLeavesTheListAsItWas_data()
    {
        QTest::addColumn<bool>("lines");
        QTest::addColumn<QStringList>("held");
        QTest::newRow("no stock-out line at all") << false << QStringList{};
        QTest::newRow("only given-back lines, without a number") << true << QStringList{"别的"};
    }
    void noInvoiceLeavesTheListAsItWas()
    {
        QFETCH(bool, lines);
        QFETCH(QStringList, held);
        if (lines) {
            q->add("", "还掉的", "TV-001", 2, 10000, "2024-05-03 09:00:00", "归还");
            q->add("", "别的", "FR-001", 1, 10000, "2024-05-04 09:00:00", "归还");
        }
        DataSet *ds = q->list();
        ds->setSql("select * from ck where mc=:m");
        ds->setParam("m", QStringLiteral("别的"));
        ds->open();
        LineQueryForm *w = q->open();
        QCOMPARE(w->EditLSDH->text(), QString());
        QCOMPARE(ds->sql(), QStringLiteral("select * from ck where mc=:m"));
        QVERIFY(ds->isActive());
        QCOMPARE(q->listed(), held);
        QCOMPARE(w->panelText(0), QString());
        QCOMPARE(w->panelText(1), QString());
    }

    // Nothing checks the stock before a sale is saved: it may fall below zero.
    void savingMoreThanTheStockLeavesItNegative()
    {
        f->exec("UPDATE pl SET sn=2 WHERE bh='TV-001'");
        q->add("2024-5-3-1", "液晶电视", "TV-001", 5, 32000000, "2024-05-03 09:00:00");
        q->open()->SpeedButton_Scan->click();
        QCOMPARE(q->stock("液晶电视"), -3);
        QCOMPARE(q->status("液晶电视"), QVariant(QStringLiteral("保存")));
        QVERIFY(f->seams.messages().isEmpty());
    }
};

QTEST_MAIN(TstCkcx)
#include "tst_ckcx.moc"
