// The stock-in query screen: criteria and the date range, the sums, saving lines into
// stock, returning borrowed goods, stepping through invoices and printing.
#include "dbwidgets/DBGrid.h"
#include "common/Fixture.h"
#include "queries/TFormRKCX.h"

#include <QFile>

class TstRkcx : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<AppFixture> f;
    Tmain &m() { return f->main(); }

    // One stock-in line; the later arguments are the criteria a query can pick it by.
    void add(const QString &lsdh, const QString &mc, const QString &bh, int sn, qint64 cgjRaw, const QString &rq,
             const QVariant &bc = {}, const QString &fk = QStringLiteral("已付"),
             const QString &pj = QStringLiteral("收据"), const QString &gys = QString(),
             const QString &jsr = QStringLiteral("系统管理员"), const QString &ck = QStringLiteral("一号仓库"))
    {
        f->exec("INSERT INTO rk (lsdh, gys, jsr, ck, pj, fk, bh, sn, mc, cgj, rq, bc) VALUES "
                "(:lsdh, :gys, :jsr, :ck, :pj, :fk, :bh, :sn, :mc, :cgj, :rq, :bc)",
                {{"lsdh", lsdh}, {"gys", gys}, {"jsr", jsr}, {"ck", ck}, {"pj", pj}, {"fk", fk},
                 {"bh", bh}, {"sn", sn}, {"mc", mc}, {"cgj", cgjRaw}, {"rq", rq}, {"bc", bc}});
    }

    // Types text as a user does, one key at a time (also characters without a key code).
    static void type(QWidget *w, const QString &text)
    {
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }

    TFormRKCX *open()
    {
        m().action("ActionRKCX")->trigger();
        auto *w = qobject_cast<TFormRKCX *>(m().lastOpened("ActionRKCX"));
        if (w)
            QTest::qWait(0);
        return w;
    }

    // Names of the listed lines, top to bottom.
    QStringList listed()
    {
        QStringList out;
        DataSet *ds = m().ADOQueryRKCX;
        const int mc = ds->fieldIndex("mc");
        for (int r = 0; r < ds->recordCount(); ++r)
            out << ds->rowValue(r, mc).toString();
        return out;
    }

    int stock(const QString &mc) { return f->scalar("SELECT sn FROM pl WHERE mc=:m", {{"m", mc}}).toInt(); }
    QVariant status(const QString &mc) { return f->scalar("SELECT bc FROM rk WHERE mc=:m", {{"m", mc}}); }

    // A history over a few days, each line different in every criterion.
    void addHistory()
    {
        add("2024-5-1-1", "早一", "A1", 1, 10000, "2024-05-01 10:00:00", "保存", "已付", "收据", "甲公司", "张三", "一号仓库");
        add("2024-5-3-1", "零点", "A2", 2, 20000, "2024-05-03 00:00:00", QVariant(), "未付", "普通发票", "乙公司", "李四", "二号仓库");
        add("2024-5-3-1", "三日上午", "A3", 3, 30000, "2024-05-03 09:00:00", "借入", "已付", "增值发票", "甲公司", "张三", "一号仓库");
        add("2024-5-5-1", "五日深夜", "A4", 4, 40000, "2024-05-05 23:59:59", "保存", "未付", "收据", "甲公司乙部", "李四", "三号库房");
        add("2024-5-6-1", "六日零点", "A5", 5, 50000, "2024-05-06 00:00:00", "保存", "已付", "普通发票", "乙公司", "张三", "一号仓库");
    }

private slots:
    void init()
    {
        f = std::make_unique<AppFixture>();
        f->start();
    }
    void cleanup()
    {
        QVERIFY(f->seams.allAnswersUsed());
        f.reset();
    }

    void screenOpensOnTheLastInvoice()
    {
        f->exec("INSERT INTO gys (gysmc) VALUES ('甲公司'), ('乙公司')");
        m().ADOTableGYS->refresh();
        add("2024-5-3-1", "液晶电视", "TV-001", 2, 25000000, "2024-05-03 09:00:00");
        add("2024-5-5-1", "双门冰箱", "FR-001", 1, 18000000, "2024-05-05 09:00:00", QVariant(), "未付");
        add("2024-5-5-1", "电饭煲", "", 3, 1800000, "2024-05-05 09:01:00");
        TFormRKCX *w = open();
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), QStringLiteral("入库查询,按日期查询未保存的后点保存即可全部保存"));
        QCOMPARE(w->SpeedButton_Scan->toolTip(), QStringLiteral("保存"));
        QCOMPARE(w->SpeedButton2->toolTip(), QStringLiteral("打印"));
        QCOMPARE(w->SpeedButton_Preview->toolTip(), QStringLiteral("前单"));
        QCOMPARE(w->SpeedButton_Printsetup->toolTip(), QStringLiteral("后单"));
        QCOMPARE(w->SpeedButton1->toolTip(), QStringLiteral("归还"));
        QVERIFY(!w->SpeedButton1->isEnabled());
        QCOMPARE(w->CheckBox1->text(), QStringLiteral("借入"));
        QCOMPARE(w->ButtonRK->text(), QStringLiteral("入库查询"));
        QVERIFY(w->ButtonRK->isDefault());
        QCOMPARE(w->EditLSDH->toolTip(), QStringLiteral("善用复制粘贴方法代替输入"));
        auto items = [](QComboBox *c) {
            QStringList l;
            for (int i = 0; i < c->count(); ++i)
                l << c->itemText(i);
            return l;
        };
        QCOMPARE(items(w->ComboBoxfk), (QStringList{"已付", "未付"}));
        QCOMPARE(items(w->ComboBoxbc), (QStringList{"借入", "报损", "归还", "退单", "退换", "保存"}));
        QCOMPARE(items(w->ComboBoxPJ), (QStringList{"收据", "普通发票", "增值发票"}));
        QCOMPARE(items(w->ComboBoxgys), (QStringList{"甲公司", "乙公司"}));
        QCOMPARE(items(w->ComboBoxspwz), (QStringList{"一号仓库", "二号仓库"}));
        QVERIFY(items(w->ComboBoxjsr).contains(QStringLiteral("系统管理员")));
        QVERIFY(items(w->ComboBoxMC).isEmpty());
        for (QComboBox *c : {w->ComboBoxjsr, w->ComboBoxMC, w->ComboBoxfk, w->ComboBoxbc, w->ComboBoxgys,
                             w->ComboBoxspwz, w->ComboBoxPJ})
            QVERIFY2(c->currentText().isEmpty(), qPrintable(c->objectName()));
        QCOMPARE(w->DateTimePicker1->date(), QDate::currentDate());
        QCOMPARE(w->DateTimePicker2->date(), QDate::currentDate());
        QCOMPARE(w->EditLSDH->text(), QStringLiteral("2024-5-5-1"));
        QCOMPARE(listed(), (QStringList{"双门冰箱", "电饭煲"}));
        QCOMPARE(w->panelText(0), QStringLiteral("共2条"));
        QCOMPARE(w->panelText(1), QStringLiteral("总金额：2340   已付：540   未付：1800   总数量：4"));
        QCOMPARE(w->DBGrid1->dataSet(), m().ADOQueryRKCX);
        QVERIFY(!w->DBGrid1->isReadOnly());
    }

    void query_data()
    {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");
        const QDate d3(2024, 5, 3), d5(2024, 5, 5), d6(2024, 5, 6);
        const QStringList all5 = {"五日深夜", "三日上午", "零点", "早一"};
        QTest::newRow("same day: history to the end of that day, newest first") << d5 << d5 << "" << "" << all5;
        QTest::newRow("3 May to 5 May leaves out midnight of 3 May")
            << d3 << d5 << "" << "" << QStringList{"五日深夜", "三日上午"};
        QTest::newRow("picker 1 after picker 2") << d6 << d5 << "" << "" << QStringList{};
        QTest::newRow("status 保存") << d6 << d6 << "ComboBoxbc" << "保存" << QStringList{"六日零点", "五日深夜", "早一"};
        QTest::newRow("common ending of both invoices") << d6 << d6 << "ComboBoxPJ" << "发票"
                                                        << QStringList{"六日零点", "三日上午", "零点"};
        QTest::newRow("name anywhere") << d6 << d6 << "ComboBoxMC" << "日" << QStringList{"六日零点", "五日深夜", "三日上午"};
        QTest::newRow("location anywhere") << d6 << d6 << "ComboBoxspwz" << "库房" << QStringList{"五日深夜"};
        QTest::newRow("supplier exactly") << d6 << d6 << "ComboBoxgys" << "甲公司" << QStringList{"三日上午", "早一"};
        QTest::newRow("employee exactly") << d6 << d6 << "ComboBoxjsr" << "李四" << QStringList{"五日深夜", "零点"};
        QTest::newRow("payment exactly") << d6 << d6 << "ComboBoxfk" << "未付" << QStringList{"五日深夜", "零点"};
        QTest::newRow("a quote is only a character") << d6 << d6 << "ComboBoxMC" << "日' or '1'='1" << QStringList{};
    }
    void query()
    {
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(QString, box);
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        addHistory();
        TFormRKCX *w = open();
        w->DateTimePicker1->setDate(from);
        w->DateTimePicker2->setDate(to);
        if (!box.isEmpty())
            type(child<QComboBox>(w, box)->lineEdit(), text);
        w->ButtonRK->click();
        QCOMPARE(listed(), expected);
        QCOMPARE(w->panelText(0), "共" + QString::number(expected.size()) + "条");
        QVERIFY(f->seams.messages().isEmpty());
    }

    void sumsOfAQuery_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("panel1");
        QTest::newRow("paid and unpaid lines")
            << "" << "总金额：11101.25   已付：7500   未付：3601.25   总数量：6";
        QTest::newRow("empty result") << "没有这种商品" << "总金额：0   已付：0   未付：0   总数量：0";
    }
    void sumsOfAQuery()
    {
        QFETCH(QString, name);
        QFETCH(QString, panel1);
        add("2024-5-3-1", "液晶电视", "TV-001", 3, 25000000, "2024-05-03 09:00:00");
        add("2024-5-3-1", "电饭煲", "", 2, 18005000, "2024-05-03 09:01:00", QVariant(), "未付");
        add("2024-5-3-1", "赠品", "", 1, 2500, "2024-05-03 09:02:00", QVariant(), "未付");
        TFormRKCX *w = open();
        w->ButtonRK->click();
        w->ButtonRK->click();  // each query starts its sums from 0
        type(w->ComboBoxMC->lineEdit(), name);
        w->ButtonRK->click();
        QCOMPARE(w->panelText(1), panel1);
    }

    void enterRunsTheQuery()
    {
        addHistory();
        TFormRKCX *w = open();
        w->DateTimePicker1->setDate(QDate(2024, 5, 3));
        w->DateTimePicker2->setDate(QDate(2024, 5, 3));
        type(w->ComboBoxgys->lineEdit(), "甲公司");
        QTest::keyClick(w->ComboBoxgys->lineEdit(), Qt::Key_Return);
        QCOMPARE(listed(), (QStringList{"三日上午", "早一"}));
    }

    void invoiceNumberListsOneInvoice_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QString>("panel1");
        QTest::newRow("existing number") << "2024-5-3-1" << QStringList{"零点", "三日上午"}
                                         << "总金额：13   已付：9   未付：4   总数量：5";
        QTest::newRow("unknown number") << "2099-1-1-9" << QStringList{} << "总金额：0   已付：0   未付：0   总数量：0";
    }
    void invoiceNumberListsOneInvoice()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, expected);
        QFETCH(QString, panel1);
        addHistory();
        TFormRKCX *w = open();
        w->CheckBox1->click();
        QVERIFY(w->SpeedButton1->isEnabled());
        w->EditLSDH->selectAll();
        type(w->EditLSDH, typed);
        QCOMPARE(listed(), expected);
        QCOMPARE(w->panelText(1), panel1);
        QVERIFY(!w->SpeedButton1->isEnabled());
    }

    void previousAndNextInvoice()
    {
        addHistory();
        TFormRKCX *w = open();
        QCOMPARE(w->EditLSDH->text(), QStringLiteral("2024-5-6-1"));
        w->SpeedButton_Printsetup->click();  // already the last
        QCOMPARE(w->EditLSDH->text(), QStringLiteral("2024-5-6-1"));
        QCOMPARE(listed(), QStringList{"六日零点"});
        const QStringList backwards = {"2024-5-5-1", "2024-5-3-1", "2024-5-1-1", "2024-5-1-1"};
        for (const QString &n : backwards) {
            w->SpeedButton_Preview->click();
            QCOMPARE(w->EditLSDH->text(), n);
        }
        QCOMPARE(listed(), QStringList{"早一"});
        w->SpeedButton_Printsetup->click();
        QCOMPARE(w->EditLSDH->text(), QStringLiteral("2024-5-3-1"));
        QCOMPARE(listed(), (QStringList{"零点", "三日上午"}));
    }

    // A pending, a borrowed-in and a saved line: only the first two go into stock, once.
    void saveAppliesPendingAndBorrowedLinesOnce()
    {
        add("2024-5-3-1", "液晶电视", "TV-001", 3, 25000000, "2024-05-03 09:00:00");
        add("2024-5-3-1", "双门冰箱", "FR-001", 2, 18000000, "2024-05-03 09:01:00", "借入");
        add("2024-5-3-1", "滚筒洗衣机", "WM-001", 4, 21000000, "2024-05-03 09:02:00", "保存");
        TFormRKCX *w = open();
        QCOMPARE(listed().size(), 3);
        const QString panel = w->panelText(1);
        for (int round = 0; round < 2; ++round) {
            w->SpeedButton_Scan->click();
            QCOMPARE(stock("液晶电视"), 3);
            QCOMPARE(stock("双门冰箱"), 2);
            QCOMPARE(stock("滚筒洗衣机"), 0);
            QCOMPARE(f->scalar("SELECT count(*) FROM rk WHERE bc='保存'").toInt(), 3);
        }
        QCOMPARE(w->panelText(1), panel);
        QVERIFY(f->seams.messages().isEmpty());
    }

    // The product of a line is found by its number, or by its name when it has none.
    void saveFindsTheProduct_data()
    {
        QTest::addColumn<QString>("bh");
        QTest::addColumn<QString>("mc");
        QTest::addColumn<QString>("raised");  // product whose stock rises, empty for none
        QTest::newRow("number") << "TV-001" << "液晶电视" << "液晶电视";
        QTest::newRow("number wins over the name") << "FR-001" << "电饭煲" << "双门冰箱";
        QTest::newRow("no number: by name") << "" << "电饭煲" << "电饭煲";
        QTest::newRow("name with a quote, no product") << "" << "电饭煲' or '1'='1" << "";
        QTest::newRow("unknown number") << "XX-999" << "液晶电视" << "";
    }
    void saveFindsTheProduct()
    {
        QFETCH(QString, bh);
        QFETCH(QString, mc);
        QFETCH(QString, raised);
        add("2024-5-3-1", mc, bh, 7, 10000, "2024-05-03 09:00:00");
        open()->SpeedButton_Scan->click();
        for (const char *p : {"液晶电视", "双门冰箱", "电饭煲", "滚筒洗衣机"})
            QCOMPARE(stock(p), raised == QString::fromUtf8(p) ? 7 : 0);
        QCOMPARE(status(mc), raised.isEmpty() ? QVariant() : QVariant(QStringLiteral("保存")));
    }

    // A line that would take the stock beyond its range stops the whole save: nothing is
    // saved, the user is told which line, and the same list saves once there is room.
    void stockOverflowSavesNothing()
    {
        f->exec("UPDATE pl SET sn=32760 WHERE bh='TV-001'");
        add("2024-5-3-1", "双门冰箱", "FR-001", 1, 10000, "2024-05-03 09:00:00");
        add("2024-5-3-1", "液晶电视", "TV-001", 10, 10000, "2024-05-03 09:01:00");
        add("2024-5-3-1", "滚筒洗衣机", "WM-001", 2, 10000, "2024-05-03 09:02:00");
        TFormRKCX *w = open();
        w->SpeedButton_Scan->click();
        QCOMPARE(f->seams.messages().size(), 1);
        const QString msg = f->seams.lastMessage();
        QVERIFY2(msg.contains(QStringLiteral("第2行")) && msg.contains(QStringLiteral("液晶电视")), qPrintable(msg));
        for (const char *p : {"双门冰箱", "滚筒洗衣机"}) {
            QCOMPARE(stock(p), 0);
            QCOMPARE(status(p), QVariant());
        }
        QCOMPARE(stock("液晶电视"), 32760);
        QCOMPARE(status("液晶电视"), QVariant());
        QCOMPARE(m().ADOQueryRKCX->state(), DataSet::State::Browse);
        QVERIFY(!m().conn().inTransaction());
        f->exec("UPDATE pl SET sn=0 WHERE bh='TV-001'");
        w->SpeedButton_Scan->click();
        QCOMPARE(stock("液晶电视"), 10);
        QCOMPARE(stock("滚筒洗衣机"), 2);
        QCOMPARE(stock("双门冰箱"), 1);
    }

    // Lines are decided on what is stored now: a line cancelled or exchanged since the list
    // was read stays out of stock, and a line already saved is not saved twice.
    void saveDecidesOnTheStoredStatus()
    {
        add("2024-5-3-1", "液晶电视", "TV-001", 3, 10000, "2024-05-03 09:00:00");
        add("2024-5-3-1", "双门冰箱", "FR-001", 2, 10000, "2024-05-03 09:01:00");
        add("2024-5-3-1", "电饭煲", "", 4, 10000, "2024-05-03 09:02:00");
        TFormRKCX *w = open();
        QCOMPARE(listed().size(), 3);
        f->exec("UPDATE rk SET bc='退单', lsdh='' WHERE mc='液晶电视'");
        f->exec("UPDATE rk SET bc='退换', sn=0 WHERE mc='双门冰箱'");
        f->exec("UPDATE rk SET bc='保存' WHERE mc='电饭煲'");
        w->SpeedButton_Scan->click();
        QCOMPARE(stock("液晶电视"), 0);
        QCOMPARE(stock("双门冰箱"), 0);
        QCOMPARE(stock("电饭煲"), 0);
        QVERIFY(f->seams.messages().isEmpty());
    }

    // Save and return on a list another screen closed, or on an empty one, do nothing.
    void closedOrEmptyListDoesNothing_data()
    {
        QTest::addColumn<bool>("closed");
        QTest::newRow("closed by another screen") << true;
        QTest::newRow("empty") << false;
    }
    void closedOrEmptyListDoesNothing()
    {
        QFETCH(bool, closed);
        add("2024-5-3-1", "液晶电视", "TV-001", 3, 10000, "2024-05-03 09:00:00", "借入");
        TFormRKCX *w = open();
        w->CheckBox1->click();
        if (closed)
            m().ADOQueryRKCX->close();
        else
            type(w->EditLSDH, "-none");
        w->SpeedButton1->setEnabled(true);
        w->SpeedButton_Scan->click();
        w->SpeedButton1->click();
        QVERIFY(f->seams.messages().isEmpty());
        QCOMPARE(stock("液晶电视"), 0);
        QCOMPARE(status("液晶电视"), QVariant(QStringLiteral("借入")));
        QCOMPARE(f->scalar("SELECT lsdh FROM rk").toString(), QStringLiteral("2024-5-3-1"));
    }

    // "借入" lists the borrowed lines of every date and keeps the sums; "归还" gives back
    // the current one without touching the stock.
    void borrowedLinesAndReturn()
    {
        addHistory();
        add("2023-12-1-4", "去年借的", "TV-001", 6, 10000, "2023-12-01 08:00:00", "借入");
        TFormRKCX *w = open();
        const QString panel0 = w->panelText(0), panel1 = w->panelText(1);
        w->CheckBox1->click();
        QVERIFY(w->SpeedButton1->isEnabled());
        QCOMPARE(listed(), (QStringList{"三日上午", "去年借的"}));
        QCOMPARE(w->panelText(0), panel0);
        QCOMPARE(w->panelText(1), panel1);
        m().ADOQueryRKCX->moveTo(1);
        w->SpeedButton1->click();
        const auto row = f->rows("SELECT lsdh, bc FROM rk WHERE mc='去年借的'").value(0);
        QCOMPARE(row.value(0).toString(), QString());
        QCOMPARE(row.value(1).toString(), QStringLiteral("归还"));
        QCOMPARE(stock("液晶电视"), 0);
        QCOMPARE(status("三日上午"), QVariant(QStringLiteral("借入")));
        // A line that is no longer borrowed is not given back again.
        w->SpeedButton1->click();
        QCOMPARE(f->seams.messages(), QStringList{"只有借入的商品才能归还"});
        QCOMPARE(status("去年借的"), QVariant(QStringLiteral("归还")));
        // Unchecking changes nothing; a query disables the button again.
        w->CheckBox1->click();
        QVERIFY(w->SpeedButton1->isEnabled());
        w->ButtonRK->click();
        QVERIFY(!w->SpeedButton1->isEnabled());
    }

    void printTheList()
    {
        QVERIFY(QFile::copy(QStringLiteral(REPORTS_DIR "/rKCX.rav"), f->path("rKCX.rav")));
        addHistory();
        TFormRKCX *w = open();
        w->DateTimePicker1->setDate(QDate(2024, 5, 3));
        w->DateTimePicker2->setDate(QDate(2024, 5, 5));
        w->ButtonRK->click();
        const int current = m().ADOQueryRKCX->recNo();
        w->SpeedButton2->click();
        QCOMPARE(f->seams.printedText.size(), 1);
        const QString text = f->seams.printedText.first();
        QVERIFY(text.indexOf(QStringLiteral("五日深夜")) < text.indexOf(QStringLiteral("三日上午")));
        QVERIFY(!text.contains(QStringLiteral("六日零点")));
        QVERIFY(text.contains(QStringLiteral("总金额：25")));
        QVERIFY(text.contains(QStringLiteral("总数量：7")));
        QVERIFY(text.contains(QStringLiteral("共计条数：2")));
        QCOMPARE(m().ADOQueryRKCX->recNo(), current);
        QFile::remove(f->path("rKCX.rav"));
        w->SpeedButton2->click();
        QCOMPARE(f->seams.lastMessage(),
                 "The following reporting project does not exist:\n\"" + f->path("rKCX.rav") + "\"");
    }

    void oneWindowAtATime()
    {
        TFormRKCX *w = open();
        QVERIFY(w);
        QVERIFY(!m().instanceFlag("TFormRKCX"));
        m().action("ActionRKCX")->trigger();
        QCOMPARE(f->seams.lastMessage(), QStringLiteral("该窗口已经打开了"));
        w->close();
        QVERIFY(m().instanceFlag("TFormRKCX"));
    }
};

QTEST_MAIN(TstRkcx)
#include "tst_rkcx.moc"
