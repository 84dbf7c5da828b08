// The receipt and payment queries: their criteria and date range, the totals and the
// count, and printing, over both twins.
#include "common/Fixture.h"
#include "dbwidgets/DBGrid.h"
#include "dbwidgets/DBNavigator.h"
#include "queries/MoneyQueryForm.h"

#include <QFile>

class TstMoneyQuery : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<AppFixture> f;
    bool payments = false;
    QString table, action, flag, report;
    Tmain &m() { return f->main(); }

    void add(const QString &lsdh, const QString &kh, const QString &rq, const QString &jr, const QString &yr,
             const QString &pj = "收据", const QString &jsr = "张三", const QString &yh = "工商银行")
    {
        f->exec(QStringLiteral("INSERT INTO %1 (lsdh, kh, jsr, pj, yh, jr, yr, rq) VALUES (:n, :kh, :jsr, :pj, :yh, :jr, :yr, :rq)")
                    .arg(table),
                {{"n", lsdh}, {"kh", kh}, {"jsr", jsr}, {"pj", pj}, {"yh", yh}, {"jr", QVariant::fromValue(*Money::parse(jr))},
                 {"yr", QVariant::fromValue(*Money::parse(yr))}, {"rq", rq}});
    }
    // Rows over a few days, each different in every criterion.
    void addHistory()
    {
        add("2024-5-1-1", "甲公司", "2024-05-01 10:00:00", "10", "0", "收据", "张三", "工商银行");
        add("2024-5-3-1", "乙公司", "2024-05-03 00:00:00", "20", "20", "普通发票", "李四", "建设银行");
        add("2024-5-3-2", "甲公司", "2024-05-03 09:00:00", "30", "5", "增值发票", "张三", "建设银行");
        add("2024-5-5-1", "甲公司乙部", "2024-05-05 23:59:59", "40", "40", "收据", "李四", "工商银行");
        add("2024-5-6-1", "乙公司", "2024-05-06 00:00:00", "50", "0", "普通发票", "张三", "农业银行");
    }
    MoneyQueryForm *open()
    {
        m().action(action)->trigger();
        QTest::qWait(0);
        return qobject_cast<MoneyQueryForm *>(m().lastOpened(action));
    }
    DataSet *list() { return payments ? m().ADOQueryfkcx : m().ADOQueryskcx; }
    QStringList listed()
    {
        QStringList out;
        const int n = list()->fieldIndex("lsdh");
        for (int r = 0; r < list()->recordCount(); ++r)
            out << list()->rowValue(r, n).toString();
        return out;
    }
    static void type(QWidget *w, const QString &text)
    {
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }

private slots:
    void initTestCase_data()
    {
        QTest::addColumn<bool>("payments");
        QTest::newRow("receipts") << false;
        QTest::newRow("payments") << true;
    }
    void init()
    {
        QFETCH_GLOBAL(bool, payments);
        this->payments = payments;
        table = payments ? "yf" : "ys";
        action = payments ? "ActionFKCX" : "ActionSKCX";
        flag = payments ? "TFormfkcx" : "TFormskcx";
        report = payments ? "yfCX.rav" : "ysCX.rav";
        f = std::make_unique<AppFixture>();
        f->start();
    }
    void cleanup()
    {
        QVERIFY(f->seams.allAnswersUsed());
        f.reset();
    }

    void screenOpensWithoutAQuery()
    {
        f->exec("INSERT INTO kh (gsmc) VALUES ('客户一'), ('客户二')");
        f->exec("INSERT INTO gys (gysmc) VALUES ('供应商一')");
        m().ADOTableKH->refresh();
        m().ADOTableGYS->refresh();
        // Another screen left the customers filtered: the list still offers them all.
        m().ADOTableKH->setFilter({{"gsmc", FilterCondition::Eq, QStringLiteral("客户二")}});
        m().ADOTableKH->setFiltered(true);
        addHistory();
        MoneyQueryForm *w = open();
        QVERIFY(w);
        const QString caption = payments ? "付款查询" : "收款查询";
        QCOMPARE(w->windowTitle(), caption);
        QCOMPARE(w->ButtonRK->text(), caption);
        QVERIFY(w->ButtonRK->isDefault());
        QCOMPARE(w->SpeedButton_Print->toolTip(), QStringLiteral("打印"));
        auto items = [](QComboBox *c) {
            QStringList l;
            for (int i = 0; i < c->count(); ++i)
                l << c->itemText(i);
            return l;
        };
        QCOMPARE(items(w->ComboBoxgys), payments ? QStringList{"供应商一"} : (QStringList{"客户一", "客户二"}));
        QCOMPARE(items(w->ComboBoxfk), (QStringList{"收据", "普通发票", "增值发票"}));
        QVERIFY(items(w->ComboBoxjsr).contains(QStringLiteral("系统管理员")));
        QVERIFY(items(w->ComboBoxMC).isEmpty());
        for (QComboBox *c : {w->ComboBoxgys, w->ComboBoxMC, w->ComboBoxjsr, w->ComboBoxfk})
            QVERIFY2(c->currentText().isEmpty(), qPrintable(c->objectName()));
        const auto labels = w->Panel1->findChildren<QLabel *>();
        QStringList texts;
        for (QLabel *l : labels)
            texts << l->text();
        for (const QString &t : {QString("流水单号"), QString("日期"), QString("→"), QString("银行"), QString("经手人"),
                                 QString("票据"), QString(payments ? "供应商" : "客户")})
            QVERIFY2(texts.contains(t), qPrintable(t));
        QCOMPARE(w->DateTimePicker1->date(), QDate::currentDate());
        QCOMPARE(w->DateTimePicker2->date(), QDate::currentDate());
        // The grid shows what the list holds, every row; the status bar waits for a query.
        QCOMPARE(w->DBGrid1->dataSet(), list());
        QCOMPARE(w->DBNavigator1->dataSet(), list());
        QCOMPARE(list()->recordCount(), 5);
        QCOMPARE(w->panelText(0), QString());
        QCOMPARE(w->panelText(1), QString());
    }

    void query_data()
    {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");
        const QDate d3(2024, 5, 3), d5(2024, 5, 5), d6(2024, 5, 6);
        QTest::newRow("same day: everything to the end of it, newest first")
            << d5 << d5 << "" << "" << QStringList{"2024-5-5-1", "2024-5-3-2", "2024-5-3-1", "2024-5-1-1"};
        QTest::newRow("3 May to 5 May leaves out midnight of 3 May")
            << d3 << d5 << "" << "" << QStringList{"2024-5-5-1", "2024-5-3-2"};
        QTest::newRow("picker 1 after picker 2") << d6 << d5 << "" << "" << QStringList{};
        QTest::newRow("part of a number") << d6 << d6 << "EditLSDH" << "5-3" << QStringList{"2024-5-3-2", "2024-5-3-1"};
        QTest::newRow("party exactly") << d6 << d6 << "ComboBoxgys" << "甲公司" << QStringList{"2024-5-3-2", "2024-5-1-1"};
        QTest::newRow("employee exactly") << d6 << d6 << "ComboBoxjsr" << "李四" << QStringList{"2024-5-5-1", "2024-5-3-1"};
        QTest::newRow("document type exactly") << d6 << d6 << "ComboBoxfk" << "收据" << QStringList{"2024-5-5-1", "2024-5-1-1"};
        QTest::newRow("part of a document type finds nothing") << d6 << d6 << "ComboBoxfk" << "发票" << QStringList{};
        QTest::newRow("the bank box is no criterion")
            << d3 << d5 << "ComboBoxMC" << "农业银行" << QStringList{"2024-5-5-1", "2024-5-3-2"};
        QTest::newRow("a quote is only a character") << d6 << d6 << "ComboBoxgys" << "甲公司' or '1'='1" << QStringList{};
    }
    void query()
    {
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(QString, box);
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        addHistory();
        MoneyQueryForm *w = open();
        w->DateTimePicker1->setDate(from);
        w->DateTimePicker2->setDate(to);
        if (box == QLatin1String("EditLSDH"))
            type(w->EditLSDH, text);
        else if (!box.isEmpty())
            type(child<QComboBox>(w, box)->lineEdit(), text);
        w->ButtonRK->click();
        QCOMPARE(listed(), expected);
        QCOMPARE(w->panelText(0), "共" + QString::number(expected.size()) + "条");
        QVERIFY(f->seams.messages().isEmpty());
    }

    void totals_data()
    {
        QTest::addColumn<QString>("party");
        QTest::addColumn<QString>("panel0");
        QTest::addColumn<QString>("panel1");
        QTest::newRow("two rows") << "甲公司" << "共2条" << "总金额：150   总余额：40   总已结：110";
        QTest::newRow("no row") << "丙公司" << "共0条" << "总金额：0   总余额：0   总已结：0";
    }
    void totals()
    {
        QFETCH(QString, party);
        QFETCH(QString, panel0);
        QFETCH(QString, panel1);
        add("2024-5-3-1", "甲公司", "2024-05-03 09:00:00", "100", "40");
        add("2024-5-3-2", "甲公司", "2024-05-03 10:00:00", "50", "0");
        add("2024-5-3-3", "乙公司", "2024-05-03 11:00:00", "0.0001", "0.0001");
        MoneyQueryForm *w = open();
        w->ButtonRK->click();
        QCOMPARE(w->panelText(1), QStringLiteral("总金额：150.0001   总余额：40.0001   总已结：110"));
        type(w->ComboBoxgys->lineEdit(), party);
        QTest::keyClick(w->ComboBoxgys->lineEdit(), Qt::Key_Return);  // Enter runs the query
        QCOMPARE(w->panelText(0), panel0);
        QCOMPARE(w->panelText(1), panel1);
        // The last row is current, as after every query.
        QCOMPARE(list()->recNo(), list()->recordCount() - 1);
    }

    void printTheList()
    {
        QVERIFY(QFile::copy(QStringLiteral(REPORTS_DIR "/") + report, f->path(report)));
        addHistory();
        MoneyQueryForm *w = open();
        w->DateTimePicker1->setDate(QDate(2024, 5, 3));
        w->DateTimePicker2->setDate(QDate(2024, 5, 5));
        w->ButtonRK->click();
        w->SpeedButton_Print->click();
        QCOMPARE(f->seams.printedText.size(), 1);
        const QString text = f->seams.printedText.first();
        QVERIFY(text.contains(payments ? "付款查询清单" : "收款查询清单"));
        QVERIFY(text.indexOf(QStringLiteral("2024-5-5-1")) < text.indexOf(QStringLiteral("2024-5-3-2")));
        QVERIFY(!text.contains(QStringLiteral("2024-5-6-1")));
        QVERIFY2(text.contains(QStringLiteral("总金额：70")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("总余额：45")));
        QVERIFY(text.contains(QStringLiteral("共计条数：2")));
        QFile::remove(f->path(report));
        w->SpeedButton_Print->click();
        QCOMPARE(f->seams.lastMessage(), "The following reporting project does not exist:\n\"" + f->path(report) + "\"");
    }

    void oneWindowAtATime()
    {
        MoneyQueryForm *w = open();
        QVERIFY(!m().instanceFlag(flag));
        m().action(action)->trigger();
        QCOMPARE(f->seams.lastMessage(), QStringLiteral("该窗口已经打开了"));
        w->close();
        QVERIFY(m().instanceFlag(flag));
    }
};

QTEST_MAIN(TstMoneyQuery)
#include "tst_moneyquery.moc"
