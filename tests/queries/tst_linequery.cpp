// The two line queries (stock-in and stock-out) on what they share: criteria and the date
// range, the sums, one invoice by its number, saving lines into or out of stock, giving
// lent goods back, stepping through invoices and printing. Every case runs on both.
#include "LineQueryTwins.h"
#include "dbwidgets/DBGrid.h"
#include "queries/TFormCKCX.h"
#include "queries/TFormRKCX.h"

#include <QFile>
#include <QLabel>
#include <functional>

class TstLineQuery : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<AppFixture> f;
    std::unique_ptr<LineQueryTest> q;

    // The twin of the running case, with its helpers.
    LineQueryTest &twin()
    {
        QFETCH(int, kind);
        q = std::make_unique<LineQueryTest>(*f, twins[kind]);
        return *q;
    }
    Tmain &m() { return f->main(); }

    static QStringList items(QComboBox *c)
    {
        QStringList l;
        for (int i = 0; i < c->count(); ++i)
            l << c->itemText(i);
        return l;
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
        q.reset();
        f.reset();
    }

    void screenOpensOnTheLastInvoice_data() { bothKinds(); }
    void screenOpensOnTheLastInvoice()
    {
        LineQueryTest &t = twin();
        f->exec(QStringLiteral("INSERT INTO %1 (%2) VALUES ('甲公司'), ('乙公司')").arg(t.t.partyTable, t.t.partyName));
        m().dataSet(t.t.partyDataSet)->refresh();
        t.add("2024-5-3-1", "液晶电视", "TV-001", 2, 25000000, "2024-05-03 09:00:00");
        t.add("2024-5-5-1", "双门冰箱", "FR-001", 1, 18000000, "2024-05-05 09:00:00", QVariant(), "未付");
        t.add("2024-5-5-1", "电饭煲", "", 3, 1800000, "2024-05-05 09:01:00");
        LineQueryForm *w = t.open();
        QVERIFY(w);
        QCOMPARE(w->objectName(), QString::fromUtf8(t.t.screen));
        QCOMPARE(w->metaObject()->className(), t.t.screen);
        QCOMPARE(w->windowTitle(), QString::fromUtf8(t.t.caption));
        QCOMPARE(w->SpeedButton_Scan->toolTip(), QStringLiteral("保存"));
        QCOMPARE(w->SpeedButton2->toolTip(), QStringLiteral("打印"));
        QCOMPARE(w->SpeedButton_Preview->toolTip(), QStringLiteral("前单"));
        QCOMPARE(w->SpeedButton_Printsetup->toolTip(), QStringLiteral("后单"));
        QCOMPARE(w->SpeedButton1->toolTip(), QStringLiteral("归还"));
        QVERIFY(!w->SpeedButton1->isEnabled());
        QCOMPARE(w->CheckBox1->text(), QString::fromUtf8(t.t.lent));
        QPushButton *button = t.queryButton(w);
        QVERIFY(button);
        QCOMPARE(button->text(), QString::fromUtf8(t.t.queryCaption));
        QVERIFY(button->isDefault());
        QCOMPARE(w->EditLSDH->toolTip(), QStringLiteral("善用复制粘贴方法代替输入"));
        QCOMPARE(w->ComboBoxMC->toolTip(), QStringLiteral("善用复制粘贴方法代替输入"));
        QComboBox *party = t.partyBox(w);
        QVERIFY(party);
        // Each box has its label beside it.
        QStringList labels;
        for (QComboBox *c : {w->ComboBoxjsr, w->ComboBoxMC, w->ComboBoxfk, w->ComboBoxbc, party, w->ComboBoxspwz,
                             w->ComboBoxPJ})
            for (QLabel *l : w->findChildren<QLabel *>())
                if (l->buddy() == c)
                    labels << l->text();
        QCOMPARE(labels, (QStringList{"经 手 人", "全称", "付款", "保存", QString::fromUtf8(t.t.partyLabel), "商品位置", "票据"}));
        QCOMPARE(items(w->ComboBoxfk), (QStringList{"已付", "未付"}));
        QCOMPARE(items(w->ComboBoxbc), (QStringList{QString::fromUtf8(t.t.lent), "报损", "归还", "退单", "退换", "保存"}));
        QCOMPARE(items(w->ComboBoxPJ), (QStringList{"收据", "普通发票", "增值发票"}));
        QCOMPARE(items(party), (QStringList{"甲公司", "乙公司"}));
        QCOMPARE(items(w->ComboBoxspwz), (QStringList{"一号仓库", "二号仓库"}));
        QVERIFY(items(w->ComboBoxjsr).contains(QStringLiteral("系统管理员")));
        QVERIFY(items(w->ComboBoxMC).isEmpty());
        for (QComboBox *c : {w->ComboBoxjsr, w->ComboBoxMC, w->ComboBoxfk, w->ComboBoxbc, party, w->ComboBoxspwz,
                             w->ComboBoxPJ})
            QVERIFY2(c->currentText().isEmpty(), qPrintable(c->objectName()));
        QCOMPARE(w->DateTimePicker1->date(), QDate::currentDate());
        QCOMPARE(w->DateTimePicker2->date(), QDate::currentDate());
        QCOMPARE(w->EditLSDH->text(), QStringLiteral("2024-5-5-1"));
        QCOMPARE(t.listed(), (QStringList{"双门冰箱", "电饭煲"}));
        QCOMPARE(w->panelText(0), QStringLiteral("共2条"));
        QCOMPARE(w->panelText(1), QStringLiteral("总金额：2340   已付：540   未付：1800   总数量：4"));
        QCOMPARE(w->DBGrid1->dataSet(), t.list());
        QVERIFY(!w->DBGrid1->isReadOnly());
    }

    // Each screen's own names are its controls, and its own query handler runs the query.
    void namesOfEachScreen_data() { bothKinds(); }
    void namesOfEachScreen()
    {
        LineQueryTest &t = twin();
        t.addHistory();
        LineQueryForm *w = t.open();
        QPushButton *button = nullptr;
        QComboBox *party = nullptr;
        std::function<void()> query;
        if (auto *r = qobject_cast<TFormRKCX *>(w)) {
            button = r->ButtonRK;
            party = r->ComboBoxgys;
            query = [r] { r->ButtonRKClick(); };
        } else if (auto *c = qobject_cast<TFormCKCX *>(w)) {
            button = c->ButtonCK;
            party = c->ComboBoxKH;
            query = [c] { c->ButtonCKClick(); };
        }
        QVERIFY(query);
        QCOMPARE(button, t.queryButton(w));
        QCOMPARE(party, t.partyBox(w));
        t.type(party->lineEdit(), "乙公司");
        query();
        QCOMPARE(t.listed(), (QStringList{"六日零点", "零点"}));
        QCOMPARE(w->panelText(0), QStringLiteral("共2条"));
    }

    // The command reads the invoice numbers again before the screen opens.
    void theCommandReadsTheNumbersAgain_data() { bothKinds(); }
    void theCommandReadsTheNumbersAgain()
    {
        LineQueryTest &t = twin();
        t.add("2024-5-3-1", "液晶电视", "TV-001", 2, 10000, "2024-05-03 09:00:00");
        QCOMPARE(t.numbers()->recordCount(), 1);
        t.add("2024-5-4-1", "双门冰箱", "FR-001", 1, 10000, "2024-05-04 09:00:00");
        LineQueryForm *w = t.open();
        QCOMPARE(w->EditLSDH->text(), QStringLiteral("2024-5-4-1"));
        QCOMPARE(t.listed(), QStringList{"双门冰箱"});
    }

    void query_data()
    {
        addKindColumn();
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");
        const QDate d3(2024, 5, 3), d5(2024, 5, 5), d6(2024, 5, 6);
        const QStringList all5 = {"五日深夜", "三日上午", "零点", "早一"};
        for (int k = 0; k < 2; ++k) {
            kindRow(k, "same day: history to the end of that day, newest first") << d5 << d5 << "" << "" << all5;
            kindRow(k, "3 May to 5 May leaves out midnight of 3 May")
                << d3 << d5 << "" << "" << QStringList{"五日深夜", "三日上午"};
            kindRow(k, "picker 1 after picker 2") << d6 << d5 << "" << "" << QStringList{};
            kindRow(k, "status 保存") << d6 << d6 << "ComboBoxbc" << "保存" << QStringList{"六日零点", "五日深夜", "早一"};
            kindRow(k, "lent status") << d6 << d6 << "ComboBoxbc" << QString::fromUtf8(twins[k].lent)
                                      << QStringList{"三日上午"};
            kindRow(k, "common ending of both invoices")
                << d6 << d6 << "ComboBoxPJ" << "发票" << QStringList{"六日零点", "三日上午", "零点"};
            kindRow(k, "name anywhere") << d6 << d6 << "ComboBoxMC" << "日" << QStringList{"六日零点", "五日深夜", "三日上午"};
            kindRow(k, "location anywhere") << d6 << d6 << "ComboBoxspwz" << "库房" << QStringList{"五日深夜"};
            kindRow(k, "party exactly") << d6 << d6 << "party" << "甲公司" << QStringList{"三日上午", "早一"};
            kindRow(k, "employee exactly") << d6 << d6 << "ComboBoxjsr" << "李四" << QStringList{"五日深夜", "零点"};
            kindRow(k, "payment exactly") << d6 << d6 << "ComboBoxfk" << "未付" << QStringList{"五日深夜", "零点"};
            kindRow(k, "a quote is only a character") << d6 << d6 << "ComboBoxMC" << "日' or '1'='1" << QStringList{};
        }
    }
    void query()
    {
        LineQueryTest &t = twin();
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(QString, box);
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        t.addHistory();
        LineQueryForm *w = t.open();
        w->DateTimePicker1->setDate(from);
        w->DateTimePicker2->setDate(to);
        if (!box.isEmpty())
            t.type(t.box(w, box)->lineEdit(), text);
        t.queryButton(w)->click();
        QCOMPARE(t.listed(), expected);
        QCOMPARE(w->panelText(0), "共" + QString::number(expected.size()) + "条");
        QVERIFY(f->seams.messages().isEmpty());
    }

    void sumsOfAQuery_data()
    {
        addKindColumn();
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("panel1");
        for (int k = 0; k < 2; ++k) {
            kindRow(k, "paid and unpaid lines") << "" << "总金额：11101.25   已付：7500   未付：3601.25   总数量：6";
            kindRow(k, "empty result") << "没有这种商品" << "总金额：0   已付：0   未付：0   总数量：0";
        }
    }
    void sumsOfAQuery()
    {
        LineQueryTest &t = twin();
        QFETCH(QString, name);
        QFETCH(QString, panel1);
        t.add("2024-5-3-1", "液晶电视", "TV-001", 3, 25000000, "2024-05-03 09:00:00");
        t.add("2024-5-3-1", "电饭煲", "", 2, 18005000, "2024-05-03 09:01:00", QVariant(), "未付");
        t.add("2024-5-3-1", "赠品", "", 1, 2500, "2024-05-03 09:02:00", QVariant(), "未付");
        LineQueryForm *w = t.open();
        t.queryButton(w)->click();
        t.queryButton(w)->click();  // each query starts its sums from 0
        t.type(w->ComboBoxMC->lineEdit(), name);
        t.queryButton(w)->click();
        QCOMPARE(w->panelText(1), panel1);
    }

    void enterRunsTheQuery_data() { bothKinds(); }
    void enterRunsTheQuery()
    {
        LineQueryTest &t = twin();
        t.addHistory();
        LineQueryForm *w = t.open();
        w->DateTimePicker1->setDate(QDate(2024, 5, 3));
        w->DateTimePicker2->setDate(QDate(2024, 5, 3));
        t.type(t.partyBox(w)->lineEdit(), "甲公司");
        QTest::keyClick(t.partyBox(w)->lineEdit(), Qt::Key_Return);
        QCOMPARE(t.listed(), (QStringList{"三日上午", "早一"}));
    }

    // A filter another screen left on the shared list does not hide lines of this screen.
    void aFilterLeftOnTheListIsSwitchedOff_data() { bothKinds(); }
    void aFilterLeftOnTheListIsSwitchedOff()
    {
        LineQueryTest &t = twin();
        t.addHistory();
        DataSet *ds = t.list();
        ds->setFilter({{"mc", FilterCondition::Eq, QStringLiteral("早一")}});
        ds->setFiltered(true);
        LineQueryForm *w = t.open();
        QCOMPARE(t.listed(), QStringList{"六日零点"});
        t.queryButton(w)->click();
        QCOMPARE(t.listed().size(), 5);
        QCOMPARE(w->panelText(0), QStringLiteral("共5条"));
    }

    void invoiceNumberListsOneInvoice_data()
    {
        addKindColumn();
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QString>("panel1");
        for (int k = 0; k < 2; ++k) {
            kindRow(k, "existing number") << "2024-5-3-1" << QStringList{"零点", "三日上午"}
                                          << "总金额：13   已付：9   未付：4   总数量：5";
            kindRow(k, "unknown number") << "2099-1-1-9" << QStringList{} << "总金额：0   已付：0   未付：0   总数量：0";
        }
    }
    void invoiceNumberListsOneInvoice()
    {
        LineQueryTest &t = twin();
        QFETCH(QString, typed);
        QFETCH(QStringList, expected);
        QFETCH(QString, panel1);
        t.addHistory();
        LineQueryForm *w = t.open();
        w->CheckBox1->click();
        QVERIFY(w->SpeedButton1->isEnabled());
        w->EditLSDH->selectAll();
        t.type(w->EditLSDH, typed);
        QCOMPARE(t.listed(), expected);
        QCOMPARE(w->panelText(1), panel1);
        QVERIFY(!w->SpeedButton1->isEnabled());
    }

    void previousAndNextInvoice_data() { bothKinds(); }
    void previousAndNextInvoice()
    {
        LineQueryTest &t = twin();
        t.addHistory();
        LineQueryForm *w = t.open();
        QCOMPARE(w->EditLSDH->text(), QStringLiteral("2024-5-6-1"));
        w->SpeedButton_Printsetup->click();  // already the last
        QCOMPARE(w->EditLSDH->text(), QStringLiteral("2024-5-6-1"));
        QCOMPARE(t.listed(), QStringList{"六日零点"});
        const QStringList backwards = {"2024-5-5-1", "2024-5-3-1", "2024-5-1-1", "2024-5-1-1"};
        for (const QString &n : backwards) {
            w->SpeedButton_Preview->click();
            QCOMPARE(w->EditLSDH->text(), n);
        }
        QCOMPARE(t.listed(), QStringList{"早一"});
        w->SpeedButton_Printsetup->click();
        QCOMPARE(w->EditLSDH->text(), QStringLiteral("2024-5-3-1"));
        QCOMPARE(t.listed(), (QStringList{"零点", "三日上午"}));
    }

    // The number list is read in windows of rows: stepping over the edge of a window and
    // back shows the neighbouring numbers, in order.
    void previousAndNextOverALongNumberList_data() { bothKinds(); }
    void previousAndNextOverALongNumberList()
    {
        LineQueryTest &t = twin();
        f->exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<250) "
                               "INSERT INTO %1 (lsdh, mc, sn, rq) SELECT printf('2024-5-1-%03d', i), '液晶电视', 1, "
                               "'2024-05-01 09:00:00' FROM n")
                    .arg(t.t.table));
        LineQueryForm *w = t.open();
        QCOMPARE(w->EditLSDH->text(), QStringLiteral("2024-5-1-250"));
        for (int i = 249; i >= 95; --i) {
            w->SpeedButton_Preview->click();
            QCOMPARE(w->EditLSDH->text(), QStringLiteral("2024-5-1-%1").arg(i, 3, 10, QLatin1Char('0')));
        }
        for (int i = 96; i <= 105; ++i) {
            w->SpeedButton_Printsetup->click();
            QCOMPARE(w->EditLSDH->text(), QStringLiteral("2024-5-1-%1").arg(i, 3, 10, QLatin1Char('0')));
        }
        QCOMPARE(t.listed(), QStringList{"液晶电视"});
    }

    // Previous and next over an empty number list do nothing.
    void previousAndNextWithoutInvoices_data() { bothKinds(); }
    void previousAndNextWithoutInvoices()
    {
        LineQueryTest &t = twin();
        LineQueryForm *w = t.open();
        QCOMPARE(t.numbers()->recordCount(), 0);
        w->SpeedButton_Preview->click();
        w->SpeedButton_Printsetup->click();
        QCOMPARE(w->EditLSDH->text(), QString());
        QVERIFY(f->seams.messages().isEmpty());
    }

    // A pending, a lent and a saved line: only the first two move the stock, once.
    void saveAppliesPendingAndLentLinesOnce_data() { bothKinds(); }
    void saveAppliesPendingAndLentLinesOnce()
    {
        LineQueryTest &t = twin();
        f->exec("UPDATE pl SET sn=10");
        t.add("2024-5-3-1", "液晶电视", "TV-001", 3, 25000000, "2024-05-03 09:00:00");
        t.add("2024-5-3-1", "双门冰箱", "FR-001", 2, 18000000, "2024-05-03 09:01:00", QString::fromUtf8(t.t.lent));
        t.add("2024-5-3-1", "滚筒洗衣机", "WM-001", 4, 21000000, "2024-05-03 09:02:00", "保存");
        LineQueryForm *w = t.open();
        QCOMPARE(t.listed().size(), 3);
        const QString panel = w->panelText(1);
        for (int round = 0; round < 2; ++round) {
            w->SpeedButton_Scan->click();
            QCOMPARE(t.stock("液晶电视"), 10 + 3 * t.t.sign);
            QCOMPARE(t.stock("双门冰箱"), 10 + 2 * t.t.sign);
            QCOMPARE(t.stock("滚筒洗衣机"), 10);
            QCOMPARE(f->scalar(QStringLiteral("SELECT count(*) FROM %1 WHERE bc='保存'").arg(t.t.table)).toInt(), 3);
        }
        QCOMPARE(w->panelText(1), panel);
        QVERIFY(f->seams.messages().isEmpty());
    }

    // The product of a line is found by its number, or by its name when it has none.
    void saveFindsTheProduct_data()
    {
        addKindColumn();
        QTest::addColumn<QString>("bh");
        QTest::addColumn<QString>("mc");
        QTest::addColumn<QString>("moved");  // product whose stock moves, empty for none
        for (int k = 0; k < 2; ++k) {
            kindRow(k, "number") << "TV-001" << "液晶电视" << "液晶电视";
            kindRow(k, "number wins over the name") << "FR-001" << "电饭煲" << "双门冰箱";
            kindRow(k, "no number: by name") << "" << "电饭煲" << "电饭煲";
            kindRow(k, "name with a quote, no product") << "" << "电饭煲' or '1'='1" << "";
            kindRow(k, "unknown number") << "XX-999" << "液晶电视" << "";
        }
    }
    void saveFindsTheProduct()
    {
        LineQueryTest &t = twin();
        QFETCH(QString, bh);
        QFETCH(QString, mc);
        QFETCH(QString, moved);
        t.add("2024-5-3-1", mc, bh, 7, 10000, "2024-05-03 09:00:00");
        t.open()->SpeedButton_Scan->click();
        for (const char *p : {"液晶电视", "双门冰箱", "电饭煲", "滚筒洗衣机"})
            QCOMPARE(t.stock(p), moved == QString::fromUtf8(p) ? 7 * t.t.sign : 0);
        QCOMPARE(t.status(mc), moved.isEmpty() ? QVariant() : QVariant(QStringLiteral("保存")));
    }

    // A line that would take the stock beyond its range stops the whole save: nothing is
    // saved, the user is told which line, and the same list saves once there is room.
    void stockOutOfRangeSavesNothing_data() { bothKinds(); }
    void stockOutOfRangeSavesNothing()
    {
        LineQueryTest &t = twin();
        const int edge = 32760 * t.t.sign;
        f->exec("UPDATE pl SET sn=:s WHERE bh='TV-001'", {{"s", edge}});
        t.add("2024-5-3-1", "双门冰箱", "FR-001", 1, 10000, "2024-05-03 09:00:00");
        t.add("2024-5-3-1", "液晶电视", "TV-001", 10, 10000, "2024-05-03 09:01:00");
        t.add("2024-5-3-1", "滚筒洗衣机", "WM-001", 2, 10000, "2024-05-03 09:02:00");
        LineQueryForm *w = t.open();
        w->SpeedButton_Scan->click();
        QCOMPARE(f->seams.messages().size(), 1);
        const QString msg = f->seams.lastMessage();
        QVERIFY2(msg.contains(QStringLiteral("第2行")) && msg.contains(QStringLiteral("液晶电视")), qPrintable(msg));
        for (const char *p : {"双门冰箱", "滚筒洗衣机"}) {
            QCOMPARE(t.stock(p), 0);
            QCOMPARE(t.status(p), QVariant());
        }
        QCOMPARE(t.stock("液晶电视"), edge);
        QCOMPARE(t.status("液晶电视"), QVariant());
        QCOMPARE(t.list()->state(), DataSet::State::Browse);
        QVERIFY(!m().conn().inTransaction());
        f->exec("UPDATE pl SET sn=0 WHERE bh='TV-001'");
        w->SpeedButton_Scan->click();
        QCOMPARE(t.stock("液晶电视"), 10 * t.t.sign);
        QCOMPARE(t.stock("滚筒洗衣机"), 2 * t.t.sign);
        QCOMPARE(t.stock("双门冰箱"), 1 * t.t.sign);
    }

    // Lines are decided on what is stored now: a line cancelled or exchanged since the list
    // was read stays out of the stock, and a line already saved is not saved twice.
    void saveDecidesOnTheStoredStatus_data() { bothKinds(); }
    void saveDecidesOnTheStoredStatus()
    {
        LineQueryTest &t = twin();
        t.add("2024-5-3-1", "液晶电视", "TV-001", 3, 10000, "2024-05-03 09:00:00");
        t.add("2024-5-3-1", "双门冰箱", "FR-001", 2, 10000, "2024-05-03 09:01:00");
        t.add("2024-5-3-1", "电饭煲", "", 4, 10000, "2024-05-03 09:02:00");
        LineQueryForm *w = t.open();
        QCOMPARE(t.listed().size(), 3);
        const QString table = QString::fromUtf8(t.t.table);
        f->exec(QStringLiteral("UPDATE %1 SET bc='退单', lsdh='' WHERE mc='液晶电视'").arg(table));
        f->exec(QStringLiteral("UPDATE %1 SET bc='退换', sn=0 WHERE mc='双门冰箱'").arg(table));
        f->exec(QStringLiteral("UPDATE %1 SET bc='保存' WHERE mc='电饭煲'").arg(table));
        w->SpeedButton_Scan->click();
        QCOMPARE(t.stock("液晶电视"), 0);
        QCOMPARE(t.stock("双门冰箱"), 0);
        QCOMPARE(t.stock("电饭煲"), 0);
        QVERIFY(f->seams.messages().isEmpty());
    }

    // Save and return on a list another screen closed, or on an empty one, do nothing.
    void closedOrEmptyListDoesNothing_data()
    {
        addKindColumn();
        QTest::addColumn<bool>("closed");
        for (int k = 0; k < 2; ++k) {
            kindRow(k, "closed by another screen") << true;
            kindRow(k, "empty") << false;
        }
    }
    void closedOrEmptyListDoesNothing()
    {
        LineQueryTest &t = twin();
        QFETCH(bool, closed);
        t.add("2024-5-3-1", "液晶电视", "TV-001", 3, 10000, "2024-05-03 09:00:00", QString::fromUtf8(t.t.lent));
        LineQueryForm *w = t.open();
        w->CheckBox1->click();
        if (closed)
            t.list()->close();
        else
            t.type(w->EditLSDH, "-none");
        w->SpeedButton1->setEnabled(true);
        w->SpeedButton_Scan->click();
        w->SpeedButton1->click();
        QVERIFY(f->seams.messages().isEmpty());
        QCOMPARE(t.stock("液晶电视"), 0);
        QCOMPARE(t.status("液晶电视"), QVariant(QString::fromUtf8(t.t.lent)));
        QCOMPARE(f->scalar(QStringLiteral("SELECT lsdh FROM %1").arg(t.t.table)).toString(), QStringLiteral("2024-5-3-1"));
    }

    // The lent check box lists the lent lines of every date and keeps the sums; "归还"
    // gives back the current one without touching the stock.
    void lentLinesAndReturn_data() { bothKinds(); }
    void lentLinesAndReturn()
    {
        LineQueryTest &t = twin();
        const QString lent = QString::fromUtf8(t.t.lent);
        t.addHistory();
        t.add("2023-12-1-4", "去年借的", "TV-001", 6, 10000, "2023-12-01 08:00:00", lent);
        LineQueryForm *w = t.open();
        const QString panel0 = w->panelText(0), panel1 = w->panelText(1);
        w->CheckBox1->click();
        QVERIFY(w->SpeedButton1->isEnabled());
        QCOMPARE(t.listed(), (QStringList{"三日上午", "去年借的"}));
        QCOMPARE(w->panelText(0), panel0);
        QCOMPARE(w->panelText(1), panel1);
        t.list()->moveTo(1);
        w->SpeedButton1->click();
        const auto row =
            f->rows(QStringLiteral("SELECT lsdh, bc FROM %1 WHERE mc='去年借的'").arg(t.t.table)).value(0);
        QCOMPARE(row.value(0).toString(), QString());
        QCOMPARE(row.value(1).toString(), QStringLiteral("归还"));
        QCOMPARE(t.stock("液晶电视"), 0);
        QCOMPARE(t.status("三日上午"), QVariant(lent));
        // A line that is no longer lent is not given back again.
        w->SpeedButton1->click();
        QCOMPARE(f->seams.messages(), QStringList{"只有" + lent + "的商品才能归还"});
        QCOMPARE(t.status("去年借的"), QVariant(QStringLiteral("归还")));
        // Unchecking changes nothing; a query disables the button again.
        w->CheckBox1->click();
        QVERIFY(w->SpeedButton1->isEnabled());
        t.queryButton(w)->click();
        QVERIFY(!w->SpeedButton1->isEnabled());
    }

    void printTheList_data() { bothKinds(); }
    void printTheList()
    {
        LineQueryTest &t = twin();
        const QString report = QString::fromUtf8(t.t.report);
        QVERIFY(QFile::copy(QStringLiteral(REPORTS_DIR "/") + report, f->path(report)));
        t.addHistory();
        LineQueryForm *w = t.open();
        w->DateTimePicker1->setDate(QDate(2024, 5, 3));
        w->DateTimePicker2->setDate(QDate(2024, 5, 5));
        t.queryButton(w)->click();
        const int current = t.list()->recNo();
        w->SpeedButton2->click();
        QCOMPARE(f->seams.printedText.size(), 1);
        const QString text = f->seams.printedText.first();
        QVERIFY(text.indexOf(QStringLiteral("五日深夜")) < text.indexOf(QStringLiteral("三日上午")));
        QVERIFY(!text.contains(QStringLiteral("六日零点")));
        QVERIFY(text.contains(QStringLiteral("甲公司乙部")));
        QVERIFY(text.contains(QStringLiteral("总金额：25")));
        QVERIFY(text.contains(QStringLiteral("总数量：7")));
        QVERIFY(text.contains(QStringLiteral("共计条数：2")));
        QCOMPARE(t.list()->recNo(), current);
        QFile::remove(f->path(report));
        w->SpeedButton2->click();
        QCOMPARE(f->seams.lastMessage(),
                 "The following reporting project does not exist:\n\"" + f->path(report) + "\"");
    }

    void oneWindowAtATime_data() { bothKinds(); }
    void oneWindowAtATime()
    {
        LineQueryTest &t = twin();
        LineQueryForm *w = t.open();
        QVERIFY(w);
        QVERIFY(!m().instanceFlag(t.t.screen));
        m().action(t.t.action)->trigger();
        QCOMPARE(f->seams.lastMessage(), QStringLiteral("该窗口已经打开了"));
        w->close();
        QVERIFY(m().instanceFlag(t.t.screen));
    }
};

QTEST_MAIN(TstLineQuery)
#include "tst_linequery.moc"
