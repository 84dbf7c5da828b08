// Money arithmetic at the ends of its range and the rules for what a person may type
// as a price or an amount.
#include "dataset/Errors.h"
#include "dataset/Money.h"

#include <QTest>
#include <functional>
#include <limits>

class TstMoney : public QObject {
    Q_OBJECT

private slots:
    // A result beyond the range is refused with a message, never wrapped around.
    void arithmeticIsChecked_data()
    {
        QTest::addColumn<std::function<Money()>>("compute");
        QTest::addColumn<bool>("fits");
        QTest::addColumn<qlonglong>("raw");
        const qint64 max = std::numeric_limits<qint64>::max(), min = std::numeric_limits<qint64>::min();
        using F = std::function<Money()>;
        // The line of the report: 32767 at 900000000000000.
        QTest::newRow("quantity times a huge price")
            << F([] { return Money::fromUnits(900000000000000LL) * 32767; }) << false << 0LL;
        QTest::newRow("largest quantity times the largest price")
            << F([] { return Money::fromRaw(Money::MaxEntryRaw) * 32767; }) << true << Money::MaxEntryRaw * 32767;
        QTest::newRow("negative quantity times a huge price")
            << F([=] { return Money::fromRaw(max / 2 + 2) * -2; }) << false << 0LL;
        QTest::newRow("exactly the smallest value") << F([] { return Money::fromRaw(min / 2) * 2; }) << true << min;
        QTest::newRow("sum one past the top") << F([=] { return Money::fromRaw(max) + Money::fromRaw(1); }) << false << 0LL;
        QTest::newRow("sum to the top") << F([=] { return Money::fromRaw(max - 1) + Money::fromRaw(1); }) << true << max;
        QTest::newRow("adding in place") << F([=] {
            Money m = Money::fromRaw(max - 10);
            m += Money::fromRaw(11);
            return m;
        }) << false << 0LL;
        QTest::newRow("difference below the bottom")
            << F([=] { return Money::fromRaw(min) - Money::fromRaw(1); }) << false << 0LL;
        QTest::newRow("negating the smallest value") << F([=] { return -Money::fromRaw(min); }) << false << 0LL;
        QTest::newRow("whole units beyond the range") << F([] { return Money::fromUnits(1000000000000000LL); })
                                                      << false << 0LL;
        QTest::newRow("a double beyond the range") << F([] { return Money::fromDouble(1e15); }) << false << 0LL;
        QTest::newRow("not a number") << F([] { return Money::fromDouble(std::numeric_limits<double>::quiet_NaN()); })
                                      << false << 0LL;
    }
    void arithmeticIsChecked()
    {
        QFETCH(std::function<Money()>, compute);
        QFETCH(bool, fits);
        QFETCH(qlonglong, raw);
        if (fits) {
            QCOMPARE(compute().raw(), raw);
            return;
        }
        try {
            compute();
            QFAIL("the result left the range without a word");
        } catch (const InputError &e) {
            QVERIFY2(e.message().contains(QStringLiteral("金额超出了可以计算的范围")), qPrintable(e.message()));
        }
    }

    void entry_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<qlonglong>("raw");
        QTest::addColumn<QString>("message");
        QTest::newRow("plain") << "12.5" << true << 125000LL << "";
        QTest::newRow("four decimals") << "0.0001" << true << 1LL << "";
        QTest::newRow("trailing zeros beyond four") << "1.500000" << true << 15000LL << "";
        QTest::newRow("the largest price") << "99999999.9999" << true << Money::MaxEntryRaw << "";
        QTest::newRow("the smallest price") << "-99999999.9999" << true << -Money::MaxEntryRaw << "";
        QTest::newRow("empty is no value") << "  " << false << 0LL << "";
        QTest::newRow("five decimals are not rounded away")
            << "0.00005" << false << 0LL << "“0.00005”的小数超过了4位，“采购价”最多只能输入4位小数";
        QTest::newRow("five decimals, last one counting")
            << "12.34561" << false << 0LL << "“12.34561”的小数超过了4位，“采购价”最多只能输入4位小数";
        QTest::newRow("one cent above the largest price")
            << "100000000" << false << 0LL << "“采购价”必须在-99999999.9999到99999999.9999之间";
        QTest::newRow("the price of the report")
            << "900000000000000" << false << 0LL << "“采购价”必须在-99999999.9999到99999999.9999之间";
        QTest::newRow("beyond the type itself")
            << "99999999999999999" << false << 0LL << "“99999999999999999”不是有效的金额，“采购价”只能输入数字";
        QTest::newRow("letters") << "12元" << false << 0LL << "“12元”不是有效的金额，“采购价”只能输入数字";
    }
    void entry()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(qlonglong, raw);
        QFETCH(QString, message);
        try {
            const std::optional<Money> m = Money::parseEntry(text, QStringLiteral("采购价"));
            QVERIFY2(message.isEmpty(), "accepted a text it should refuse");
            QCOMPARE(m.has_value(), ok);
            if (ok)
                QCOMPARE(m->raw(), raw);
        } catch (const InputError &e) {
            QCOMPARE(e.message(), message);
        }
    }
};

QTEST_APPLESS_MAIN(TstMoney)
#include "tst_money.moc"
