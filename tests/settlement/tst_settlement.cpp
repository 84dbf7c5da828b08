// The settlement arithmetic without any window, over receivables (ck against ys) and
// payables (rk against yf) alike: what a party owes, its balance, the full settlement and
// the settlement up to a day.
#include "dataset/Connection.h"
#include "dataset/Errors.h"
#include "settlement/Settlement.h"
#include "store/Schema.h"

#include <QTemporaryDir>
#include <QTest>

using settlement::Kind;
using settlement::Service;

class TstSettlement : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    std::unique_ptr<Connection> c_;
    const Kind *k_ = nullptr;

    static Money yuan(const char *text) { return *Money::parse(QString::fromLatin1(text)); }

    // Every case runs over both sides.
    static void addKinds()
    {
        QTest::addColumn<bool>("payables");
    }
    const Kind &kind()
    {
        QFETCH_GLOBAL(bool, payables);
        k_ = payables ? &Kind::payables() : &Kind::receivables();
        return *k_;
    }

    void line(const QString &party, int sn, const char *price, const QString &rq, const QString &bc = "保存",
              const QString &fk = "未付")
    {
        const LineKind &l = k_->lines;
        c_->exec(QStringLiteral("INSERT INTO %1 (%2, mc, sn, %3, rq, bc, fk) VALUES (:p, '商品', :sn, :price, :rq, :bc, :fk)")
                     .arg(l.table, l.partyColumn, l.priceColumn),
                 {{"p", party}, {"sn", sn}, {"price", QVariant::fromValue(yuan(price))}, {"rq", rq},
                  {"bc", bc.isEmpty() ? QVariant() : QVariant(bc)}, {"fk", fk}});
    }
    // A money row; yj empty when not given.
    void money(const QString &party, const char *jr, const char *yr, const char *yj = nullptr,
               const QString &lsdh = "2024-5-1-1")
    {
        c_->exec(QStringLiteral("INSERT INTO %1 (lsdh, kh, jr, yr, yj, rq) VALUES (:n, :p, :jr, :yr, :yj, '2024-05-01 09:00:00')")
                     .arg(k_->moneyTable),
                 {{"n", lsdh}, {"p", party}, {"jr", QVariant::fromValue(yuan(jr))}, {"yr", QVariant::fromValue(yuan(yr))},
                  {"yj", yj ? QVariant::fromValue(yuan(yj)) : QVariant()}});
    }
    // The party's money rows in storage order as "jr/yr/yj" ("-" for an empty yj).
    QStringList rows(const QString &party)
    {
        QStringList out;
        for (const QVariantList &r :
             c_->rows(QStringLiteral("SELECT jr, yr, yj FROM %1 WHERE kh=:p ORDER BY rowid").arg(k_->moneyTable), {{"p", party}}))
            out << Money::fromRaw(r[0].toLongLong()).toString() + u'/' + Money::fromRaw(r[1].toLongLong()).toString() + u'/' +
                       (r[2].isNull() ? QStringLiteral("-") : Money::fromRaw(r[2].toLongLong()).toString());
        return out;
    }
    // Payment state of the party's lines in storage order.
    QStringList paid(const QString &party)
    {
        QStringList out;
        for (const QVariantList &r :
             c_->rows(QStringLiteral("SELECT fk FROM %1 WHERE %2=:p ORDER BY rowid").arg(k_->lines.table, k_->lines.partyColumn),
                      {{"p", party}}))
            out << r[0].toString();
        return out;
    }
    QString snapshot()
    {
        QStringList out;
        for (const QString &t : {k_->lines.table, k_->moneyTable})
            for (const QVariantList &r : c_->rows(QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(t)))
                for (const QVariant &v : r)
                    out << v.toString();
        return out.join(u'|');
    }

    // 甲公司 owes 2 × 50 + 1 × 30.5 for saved unpaid lines; its rows hold 130.5 unapplied.
    void owingParty()
    {
        line("甲公司", 2, "50", "2024-05-01 10:00:00");
        line("甲公司", 1, "30.5", "2024-05-02 10:00:00");
        line("甲公司", 4, "10", "2024-05-02 11:00:00", "保存", "已付");  // paid already
        line("甲公司", 3, "10", "2024-05-02 12:00:00", QString());     // pending, not saved
        line("甲公司", 3, "10", "2024-05-02 13:00:00", "借出");
        line("乙公司", 1, "130.5", "2024-05-01 10:00:00");
        money("甲公司", "100", "70", "30");
        money("乙公司", "500", "500");
        money("甲公司", "60.5", "60.5");
        money("甲公司", "80", "0", "80");  // used up
    }

private slots:
    void initTestCase_data()
    {
        addKinds();
        QTest::newRow("receivables") << false;
        QTest::newRow("payables") << true;
    }
    void init()
    {
        QFile::remove(dir_.filePath("lr"));
        schema::createDeliveredDatabase(dir_.filePath("lr"));
        c_ = std::make_unique<Connection>();
        schema::open(*c_, dir_.filePath("lr"));
        kind();
    }
    void cleanup() { c_.reset(); }

    void owedAndBalanceAreThePartysOwn()
    {
        owingParty();
        Service s(*c_, *k_);
        QCOMPARE(s.owed("甲公司"), std::optional<Money>(yuan("130.5")));
        QCOMPARE(s.owed("乙公司"), std::optional<Money>(yuan("130.5")));
        QCOMPARE(s.balance("甲公司"), yuan("130.5"));
        QCOMPARE(s.balance("乙公司"), yuan("500"));
        for (const char *name : {"甲", "甲公", "丙公司", ""}) {
            QCOMPARE(s.owed(QString::fromUtf8(name)), std::nullopt);
            QCOMPARE(s.balance(QString::fromUtf8(name)), Money());
        }
        QCOMPARE(s.owedUpTo("甲公司", QDate(2024, 5, 1)), yuan("100"));
        QCOMPARE(s.owedUpTo("甲公司", QDate(2024, 4, 30)), Money());
    }

    // Everything owed is paid, every open row is used up; what was applied adds to 已结.
    void fullSettlementUsesUpThePartysOwnRows()
    {
        owingParty();
        const QStringList other = rows("乙公司");
        QVERIFY(Service(*c_, *k_).settleInFull("甲公司"));
        QCOMPARE(paid("甲公司"), (QStringList{"已付", "已付", "已付", "未付", "未付"}));
        QCOMPARE(rows("甲公司"), (QStringList{"100/0/100", "60.5/0/60.5", "80/0/80"}));
        QCOMPARE(paid("乙公司"), QStringList{"未付"});
        QCOMPARE(rows("乙公司"), other);
        QVERIFY(!c_->inTransaction());
    }

    void fullSettlementNeedsTheExactAmount_data()
    {
        QTest::addColumn<QString>("party");
        QTest::addColumn<QString>("extra");  // a row added before the attempt
        QTest::newRow("balance larger by 0.0001") << "甲公司" << "0.0001";
        QTest::newRow("balance smaller") << "甲公司" << "-0.5";
        QTest::newRow("no name") << "" << "";
        QTest::newRow("a name typed halfway") << "甲公" << "";
        QTest::newRow("an unknown name") << "丙公司" << "";
        QTest::newRow("a name with a quote") << "甲公司' or '1'='1" << "";
    }
    void fullSettlementNeedsTheExactAmount()
    {
        QFETCH(QString, party);
        QFETCH(QString, extra);
        owingParty();
        // Lines and rows without a name that would match each other.
        line("", 1, "5", "2024-05-01 10:00:00");
        money("", "5", "5");
        if (extra.startsWith(u'-'))
            c_->exec(QStringLiteral("UPDATE %1 SET yr=yr-5000 WHERE jr=605000").arg(k_->moneyTable));
        else if (!extra.isEmpty())
            money("甲公司", "0.0001", "0.0001");
        const QString before = snapshot();
        QVERIFY(!Service(*c_, *k_).settleInFull(party));
        QCOMPARE(snapshot(), before);
    }

    // Exactly the lines dated up to the day are paid and exactly their sum is applied to the
    // party's open rows in storage order; 已结 grows by what each row gives.
    void partialSettlementUpToADay_data()
    {
        QTest::addColumn<QDate>("day");
        QTest::addColumn<QString>("applied");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("money");
        const QStringList untouched = {"25/25/-", "100/80/20", "100/100/-"};
        QTest::newRow("before every line") << QDate(2024, 4, 30) << "0" << QStringList{"未付", "未付", "未付", "未付"}
                                           << untouched;
        QTest::newRow("first day: ends inside the first row")
            << QDate(2024, 5, 1) << "10" << QStringList{"已付", "未付", "未付", "未付"}
            << QStringList{"25/15/10", "100/80/20", "100/100/-"};
        QTest::newRow("the whole of 3 May, midnight to 23:59:59")
            << QDate(2024, 5, 3) << "60" << QStringList{"已付", "已付", "已付", "未付"}
            << QStringList{"25/0/25", "100/45/55", "100/100/-"};
        QTest::newRow("every line: the last row is not reached")
            << QDate(2024, 5, 4) << "100" << QStringList{"已付", "已付", "已付", "已付"}
            << QStringList{"25/0/25", "100/5/95", "100/100/-"};
    }
    void partialSettlementUpToADay()
    {
        QFETCH(QDate, day);
        QFETCH(QString, applied);
        QFETCH(QStringList, lines);
        QFETCH(QStringList, money);
        line("甲公司", 1, "10", "2024-05-01 08:00:00");
        line("甲公司", 2, "10", "2024-05-03 00:00:00");
        line("甲公司", 1, "30", "2024-05-03 23:59:59");
        line("甲公司", 4, "10", "2024-05-04 00:00:00");
        line("乙公司", 1, "10", "2024-05-02 00:00:00");
        this->money("甲公司", "25", "25");
        this->money("乙公司", "50", "50");  // between them in storage order, never used
        this->money("甲公司", "100", "80", "20");
        this->money("甲公司", "90", "0", "90");  // used up before
        this->money("甲公司", "100", "100");
        const Service::Partial r = Service(*c_, *k_).settleUpTo("甲公司", day);
        QVERIFY(r.enough);
        QCOMPARE(r.applied, yuan(applied.toLatin1().constData()));
        QCOMPARE(paid("甲公司"), lines);
        QStringList expected = money;
        expected.insert(2, "90/0/90");
        QCOMPARE(rows("甲公司"), expected);
        QCOMPARE(paid("乙公司"), QStringList{"未付"});
        QCOMPARE(rows("乙公司"), QStringList{"50/50/-"});
    }

    void partialSettlementShortOfMoneyChangesNothing()
    {
        line("甲公司", 1, "60", "2024-05-01 08:00:00");
        line("甲公司", 1, "40", "2024-05-02 08:00:00");
        money("甲公司", "59.9999", "59.9999");
        money("乙公司", "1000", "1000");
        const QString before = snapshot();
        Service s(*c_, *k_);
        QVERIFY(!s.settleUpTo("甲公司", QDate(2024, 5, 1)).enough);
        QCOMPARE(snapshot(), before);
        // Exactly enough is enough.
        money("甲公司", "0.0001", "0.0001");
        const Service::Partial r = s.settleUpTo("甲公司", QDate(2024, 5, 1));
        QVERIFY(r.enough);
        QCOMPARE(r.lines, 1);
        QCOMPARE(rows("甲公司"), (QStringList{"59.9999/0/59.9999", "0.0001/0/0.0001"}));
    }

    // However the money is applied, what a row gives goes to 已结 and what it keeps stays in 余额.
    void appliedAndLeftAlwaysMakeTheAmount()
    {
        for (int d = 1; d <= 6; ++d)
            line("甲公司", d, "7.35", QStringLiteral("2024-05-0%1 12:00:00").arg(d));
        money("甲公司", "20", "20");
        money("甲公司", "33.3333", "23.3333", "10");
        money("甲公司", "300", "300");
        Service s(*c_, *k_);
        for (int d : {2, 3, 5, 6})
            QVERIFY(s.settleUpTo("甲公司", QDate(2024, 5, d)).enough);
        for (const QVariantList &r : c_->rows(QStringLiteral("SELECT jr, yr, coalesce(yj, 0) FROM %1").arg(k_->moneyTable)))
            QCOMPARE(r[1].toLongLong() + r[2].toLongLong(), r[0].toLongLong());
        QCOMPARE(s.balance("甲公司"), yuan("343.3333") - yuan("7.35") * 21);
        QCOMPARE(s.owed("甲公司"), std::nullopt);
    }

    // A row the engine refuses to change undoes the whole settlement, lines included.
    void aRefusedWriteStoresNothing_data()
    {
        QTest::addColumn<bool>("full");
        QTest::newRow("full") << true;
        QTest::newRow("up to a day") << false;
    }
    void aRefusedWriteStoresNothing()
    {
        QFETCH(bool, full);
        line("甲公司", 1, "30", "2024-05-01 08:00:00");
        money("甲公司", "10", "10");
        money("甲公司", "20", "20", nullptr, "坏");
        c_->execScript(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON %1 WHEN new.lsdh='坏' "
                                      "BEGIN SELECT RAISE(ABORT, '不许改'); END;")
                           .arg(k_->moneyTable));
        const QString before = snapshot();
        Service s(*c_, *k_);
        QVERIFY_THROWS_EXCEPTION(DbError, full ? (void)s.settleInFull("甲公司") : (void)s.settleUpTo("甲公司", QDate(2024, 5, 1)));
        QVERIFY(!c_->inTransaction());
        QCOMPARE(snapshot(), before);
    }
};

QTEST_GUILESS_MAIN(TstSettlement)
#include "tst_settlement.moc"
