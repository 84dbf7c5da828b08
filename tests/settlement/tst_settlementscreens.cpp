// The receivables and payables screens and their detail windows, driven as a user does:
// numbering, recording money, choosing a party with its full settlement, the partial
// settlement up to a day, the filters of the shared data sets, printing.
#include "common/Fixture.h"
#include "dataset/Formats.h"
#include "dbwidgets/DBGrid.h"
#include "dbwidgets/DBNavigator.h"
#include "settlement/SettlementDetail.h"
#include "settlement/TFormYS.h"
#include "settlement/TFormyf.h"
#include "settlement/TFormyfd.h"
#include "settlement/TFormysd.h"

#include <QCalendarWidget>
#include <QFile>
#include <QPlainTextEdit>
#include <QTableView>

class TstSettlementScreens : public QObject {
    Q_OBJECT

private:
    // What a case needs to know of the side it runs on.
    struct Side {
        bool payables;
        QString action, flag, lines, partyColumn, price, money, counter, day, detail, balanceLabel, report;
        DataSet *DataModule::*list;
        DataSet *DataModule::*table;
        DataSet *DataModule::*lineList;
        Money *partialSum;
    };
    std::unique_ptr<AppFixture> f;
    Side s{};
    Tmain &m() { return f->main(); }
    DataSet *ds(DataSet *DataModule::*member) { return m().*member; }

    const QDate today = QDate::currentDate();

    void line(const QString &party, int sn, const QString &price, const QDateTime &rq, const QString &bc = "保存",
              const QString &fk = "未付", const QString &lsdh = "2024-5-1-1")
    {
        f->exec(QStringLiteral("INSERT INTO %1 (lsdh, %2, mc, sn, %3, rq, bc, fk) VALUES (:n, :p, '液晶电视', :sn, :price, :rq, :bc, :fk)")
                    .arg(s.lines, s.partyColumn, s.price),
                {{"n", lsdh}, {"p", party}, {"sn", sn}, {"price", QVariant::fromValue(*Money::parse(price))}, {"rq", rq},
                 {"bc", bc}, {"fk", fk}});
    }
    void line(const QString &party, int sn, const QString &price, const QDate &day)
    {
        line(party, sn, price, fmt::wallClock(day, QTime(10, 0)));
    }
    void moneyRow(const QString &party, const QString &jr, const QString &yr, const QString &lsdh = "2024-5-1-1")
    {
        f->exec(QStringLiteral("INSERT INTO %1 (lsdh, kh, jr, yr, rq) VALUES (:n, :p, :jr, :yr, '2024-05-01 09:00:00')").arg(s.money),
                {{"n", lsdh}, {"p", party}, {"jr", QVariant::fromValue(*Money::parse(jr))},
                 {"yr", QVariant::fromValue(*Money::parse(yr))}});
    }
    QStringList paid(const QString &party)
    {
        QStringList out;
        for (const QVariantList &r :
             f->rows(QStringLiteral("SELECT fk FROM %1 WHERE %2=:p ORDER BY rowid").arg(s.lines, s.partyColumn), {{"p", party}}))
            out << r[0].toString();
        return out;
    }
    // The party's money rows in storage order as "jr/yr/yj".
    QStringList rowsOf(const QString &party)
    {
        QStringList out;
        for (const QVariantList &r :
             f->rows(QStringLiteral("SELECT jr, yr, coalesce(yj, 0) FROM %1 WHERE kh=:p ORDER BY rowid").arg(s.money), {{"p", party}}))
            out << Money::fromRaw(r[0].toLongLong()).toString() + u'/' + Money::fromRaw(r[1].toLongLong()).toString() + u'/' +
                       Money::fromRaw(r[2].toLongLong()).toString();
        return out;
    }
    int moneyRows() { return f->scalar(QStringLiteral("SELECT count(*) FROM %1").arg(s.money)).toInt(); }

    SettlementForm *open()
    {
        m().action(s.action)->trigger();
        auto *w = qobject_cast<SettlementForm *>(m().lastOpened(s.action));
        QTest::qWait(0);
        return w;
    }
    // The parties of the list, top to bottom.
    QStringList listed()
    {
        QStringList out;
        DataSet *list = ds(s.list);
        for (int r = 0; r < list->recordCount(); ++r)
            out << list->rowValue(r, 0).toString();
        return out;
    }
    int rowOf(const QString &party)
    {
        const int r = int(listed().indexOf(party));
        if (r < 0)
            qWarning("%s is not listed", qPrintable(party));
        return r;
    }
    QPoint cellCentre(DBGrid *g, int row)
    {
        return g->visualRect(g->model()->index(row, 0)).center();
    }
    void click(SettlementForm *w, const QString &party)
    {
        QTest::mouseClick(w->DBGrid2->viewport(), Qt::LeftButton, {}, cellCentre(w->DBGrid2, rowOf(party)));
    }
    SettlementDetail *doubleClick(SettlementForm *w, const QString &party)
    {
        const QPoint at = cellCentre(w->DBGrid2, rowOf(party));
        QTest::mouseClick(w->DBGrid2->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(w->DBGrid2->viewport(), Qt::LeftButton, {}, at);
        return w->lastDetail();
    }
    static void type(QWidget *w, const QString &text)
    {
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    void record(SettlementForm *w, const QString &party, const QString &amount)
    {
        w->Editkh->setText(party);
        w->Editjr->setText(amount);
        w->ButtonCK->click();
    }

    // Two parties that owe: 甲公司 100 (two lines), 乙公司 50.
    void twoDebtors()
    {
        line("甲公司", 2, "30", today.addDays(-3));
        line("甲公司", 1, "40", today.addDays(-1));
        line("乙公司", 1, "50", today.addDays(-2));
    }

private slots:
    void initTestCase_data()
    {
        QTest::addColumn<bool>("payables");
        QTest::newRow("receivables") << false;
        QTest::newRow("payables") << true;
    }
    void init()
    {
        QFETCH_GLOBAL(bool, payables);
        if (payables)
            s = {true, "ActionYF", "TFormyf", "rk", "gys", "cgj", "yf", "yfdh", "rqyf", "TFormyfd", "未结金额", "yf.rav",
                 &DataModule::ADOQueryYF, &DataModule::ADOTableyf, &DataModule::ADOQueryRKDH, &TFormyfd::yfdPartialSum};
        else
            s = {false, "ActionYS", "TFormYS", "ck", "kh", "xsj", "ys", "ysdh", "rqys", "TFormysd", "未结", "ys.rav",
                 &DataModule::ADOQueryYS, &DataModule::ADOTableYS, &DataModule::ADOQueryLSDH, &TFormysd::ysdPartialSum};
        f = std::make_unique<AppFixture>();
        f->start();
    }
    void cleanup()
    {
        QVERIFY(f->seams.allAnswersUsed());
        for (QWidget *w : QApplication::topLevelWidgets())
            if (qobject_cast<SettlementDetail *>(w))
                w->close();
        f.reset();
    }

    void screenShowsItsControls()
    {
        twoDebtors();
        SettlementForm *w = open();
        QVERIFY(w);
        QCOMPARE(w->objectName(), s.flag);
        QCOMPARE(w->windowTitle(), s.payables ? QStringLiteral("应付,剩下一个客户点付款后,第一列与第二列互点即可")
                                              : QStringLiteral("应收,剩下一个客户点付款后,第一列与第二列互点即可"));
        QCOMPARE(w->SpeedButton_Print->toolTip(), QStringLiteral("打印"));
        const QList<QPair<QLabel *, QString>> labels = {
            {w->Label1, "流水单号"}, {w->Label5, "票据类型"}, {w->Label8, "已收"},   {w->Label7, "备注"},
            {w->Label2, s.payables ? "供应商" : "客户"},         {w->Label4, "金额"}, {w->Label6, "银行名称"}};
        for (const auto &[l, text] : labels)
            QCOMPARE(l->text(), text);
        QCOMPARE(w->ButtonCK->text(), s.payables ? QStringLiteral("付款") : QStringLiteral("收款"));
        QCOMPARE(w->ButtonCK->toolTip(), QStringLiteral("请新增单号"));
        QCOMPARE(w->ButtonXZD->text(), QStringLiteral("增新单"));
        QCOMPARE(w->Editkh->toolTip(), s.payables ? QStringLiteral("供应商改变功能实现") : QStringLiteral("客户改变功能实现"));
        QStringList items;
        for (int i = 0; i < w->ComboBoxPJ->count(); ++i)
            items << w->ComboBoxPJ->itemText(i);
        QCOMPARE(items, (QStringList{"收据", "普通发票", "增值发票"}));
        QCOMPARE(w->ComboBoxPJ->currentText(), QStringLiteral("收据"));
        QVERIFY(w->ComboBoxPJ->isEditable());
        QVERIFY(w->Editzyr->isReadOnly());
        QCOMPARE(w->GroupBox1->title(), QStringLiteral("要收的客户"));
        QCOMPARE(w->DBGrid2->toolTip(), QStringLiteral("可上下左右进行选择"));
        QCOMPARE(w->DBGrid2->dataSet(), ds(s.list));
        QCOMPARE(w->DBGrid1->dataSet(), w->DBNavigator1->dataSet());
        QCOMPARE(w->StatusBar1->findChildren<QLabel *>().size(), 4);
        QCOMPARE(listed(), (QStringList{"乙公司", "甲公司"}));
    }

    // On a new day the first number ends in -1; a number is used up only once rows carry it;
    // receipts and payments count separately.
    void numbering()
    {
        f->exec(QStringLiteral("UPDATE kr SET %1=7, %2='2020-01-01 00:00:00'").arg(s.counter, s.day));
        const QString d = fmt::shortDate(today) + u'-';
        SettlementForm *w = open();
        QCOMPARE(w->EditLSDH->text(), d + "1");
        QCOMPARE(f->scalar(QStringLiteral("SELECT %1 FROM kr").arg(s.counter)).toInt(), 1);
        w->ButtonXZD->click();
        QCOMPARE(w->EditLSDH->text(), d + "1");
        record(w, "甲公司", "10");
        QCOMPARE(f->scalar(QStringLiteral("SELECT lsdh FROM %1").arg(s.money)).toString(), d + "1");
        QCOMPARE(w->EditLSDH->text(), d + "1");  // recording does not move on
        w->ButtonXZD->click();
        QCOMPARE(w->EditLSDH->text(), d + "2");
        w->ButtonXZD->click();
        QCOMPARE(w->EditLSDH->text(), d + "2");
        w->close();
        w = open();
        QCOMPARE(w->EditLSDH->text(), d + "2");
        const QString other = s.payables ? "ysdh" : "yfdh";
        QCOMPARE(f->scalar(QStringLiteral("SELECT %1 FROM kr").arg(other)).toInt(), 1);
    }

    void recordingMoney()
    {
        SettlementForm *w = open();
        w->ComboBoxPJ->setCurrentText("增值发票");
        w->Edityh->setText("建设银行");
        w->Memobz->setPlainText("第一行\n第二行");
        const QDateTime before = fmt::now().addSecs(-1);
        record(w, "甲公司", "1234.5678");
        const QVariantList r =
            f->rows(QStringLiteral("SELECT lsdh, kh, jsr, pj, yh, jr, yr, yj, rq, bz FROM %1").arg(s.money)).value(0);
        QCOMPARE(r.value(0).toString(), w->EditLSDH->text());
        QCOMPARE(r.value(1).toString(), QStringLiteral("甲公司"));
        QCOMPARE(r.value(2).toString(), QStringLiteral("系统管理员"));
        QCOMPARE(r.value(3).toString(), QStringLiteral("增值发票"));
        QCOMPARE(r.value(4).toString(), QStringLiteral("建设银行"));
        QCOMPARE(r.value(5).toLongLong(), 12345678);
        QCOMPARE(r.value(6).toLongLong(), 12345678);
        QVERIFY(r.value(7).isNull());
        QVERIFY(fmt::parseStorage(r.value(8).toString()) >= before);
        QCOMPARE(r.value(9).toString(), QStringLiteral("第一行\n第二行"));
        QCOMPARE(w->Editkh->text(), QString());
        // The lower grid shows the open rows of the number.
        DataSet *shown = w->DBGrid1->dataSet();
        QCOMPARE(shown->recordCount(), 1);
        QCOMPARE(shown->fieldByName("kh").asString(), QStringLiteral("甲公司"));
        // An empty name, the same number and a zero amount are taken as they are.
        record(w, "", "0");
        QCOMPARE(moneyRows(), 2);
        QVERIFY(f->seams.messages().isEmpty());
    }

    void anAmountThatIsNoNumberStoresNothing_data()
    {
        QTest::addColumn<QString>("amount");
        QTest::newRow("empty") << "";
        QTest::newRow("letters") << "一百";
        QTest::newRow("with a unit") << "100元";
        QTest::newRow("two points") << "1.2.3";
        QTest::newRow("five decimals") << "10.00001";
        QTest::newRow("grouped") << "1,000";
    }
    void anAmountThatIsNoNumberStoresNothing()
    {
        QFETCH(QString, amount);
        SettlementForm *w = open();
        record(w, "甲公司", amount);
        QCOMPARE(f->seams.messages(), QStringList{"金额必须是数字，最多四位小数"});
        QCOMPARE(moneyRows(), 0);
        QCOMPARE(w->Editkh->text(), QStringLiteral("甲公司"));
        QCOMPARE(ds(s.table)->state(), DataSet::State::Browse);
    }

    // Selling on credit to two parties, then collecting one party's debt: choosing it again
    // settles it by itself, and the boxes speak of that party, not of the next row.
    void matchingMoneySettlesByItself()
    {
        twoDebtors();
        SettlementForm *w = open();
        QCOMPARE(listed().size(), 2);
        click(w, "甲公司");
        QCOMPARE(w->Editkh->text(), QStringLiteral("甲公司"));
        QCOMPARE(w->Editzyr->text(), QStringLiteral("0"));
        QCOMPARE(w->Editjr->text(), QStringLiteral("100"));
        record(w, "甲公司", "60");
        click(w, "甲公司");  // less than owed: stays listed with less to collect
        QCOMPARE(listed().size(), 2);
        QCOMPARE(w->Editzyr->text(), QStringLiteral("60"));
        QCOMPARE(w->Editjr->text(), QStringLiteral("40"));
        record(w, "甲公司", w->Editjr->text());
        click(w, "甲公司");
        QCOMPARE(listed(), QStringList{"乙公司"});
        QCOMPARE(paid("甲公司"), (QStringList{"已付", "已付"}));
        QCOMPARE(rowsOf("甲公司"), (QStringList{"60/0/60", "40/0/40"}));
        QCOMPARE(paid("乙公司"), QStringList{"未付"});
        QCOMPARE(w->Editkh->text(), QStringLiteral("甲公司"));
        QCOMPARE(w->Editzyr->text(), QStringLiteral("0"));
        QCOMPARE(w->Editjr->text(), QStringLiteral("0"));
        // The settled rows stay in view with what was applied.
        DataSet *shown = w->DBGrid1->dataSet();
        QCOMPARE(shown->recordCount(), 2);
        QCOMPARE(shown->fieldByName("yr").asMoney(), Money());
        // The second click of a double click lands on the row that moved up: the window is
        // still the chosen party's, with nothing left to settle.
        QCOMPARE(ds(s.list)->fieldByName(s.payables ? "供应商" : "客户").asString(), QStringLiteral("乙公司"));
        w->DBGrid2DblClick();
        SettlementDetail *d = w->lastDetail();
        QVERIFY(d);
        QCOMPARE(d->Editkh->text(), QStringLiteral("甲公司"));
        QCOMPARE(d->Editzjr->text(), QStringLiteral("0"));
        QCOMPARE(ds(s.lineList)->recordCount(), 0);
        QVERIFY(f->seams.messages().isEmpty());
    }

    // The party's own total against its own balance: a typed name is compared with its own
    // row of the list, whatever row is current; a name typed halfway settles nothing.
    void fullSettlementIsDecidedOnTheChosenParty()
    {
        twoDebtors();
        moneyRow("甲公司", "50", "50");  // as much as 乙公司 owes
        moneyRow("乙公", "50", "50");    // a name that 乙公司 starts with
        SettlementForm *w = open();
        DataSet *list = ds(s.list);
        list->moveTo(rowOf("乙公司"));
        type(w->Editkh, "甲公司");
        QCOMPARE(listed().size(), 2);
        QCOMPARE(w->Editzyr->text(), QStringLiteral("50"));
        w->Editkh->clear();
        type(w->Editkh, "乙公");
        QCOMPARE(listed().size(), 2);
        QCOMPARE(paid("乙公司"), QStringList{"未付"});
        QCOMPARE(rowsOf("乙公"), QStringList{"50/50/0"});
        moneyRow("乙公司", "50", "50");
        type(w->Editkh, "司");
        QCOMPARE(listed(), QStringList{"甲公司"});
        QCOMPARE(paid("甲公司"), (QStringList{"未付", "未付"}));
        QCOMPARE(rowsOf("甲公司"), QStringList{"50/50/0"});
    }

    void detailWindowOfTheChosenParty()
    {
        twoDebtors();
        line("甲公司", 1, "7", today.addDays(2));  // dated after today
        moneyRow("甲公司", "300", "250");
        SettlementForm *w = open();
        SettlementDetail *d = doubleClick(w, "甲公司");
        QVERIFY(d);
        QCOMPARE(d->objectName(), s.detail);
        QVERIFY(d->isWindow());
        QVERIFY(d->isVisible());
        QCOMPARE(d->windowTitle(), s.payables ? QStringLiteral("付款详细处理") : QStringLiteral("收款详细处理"));
        QCOMPARE(d->DateTimePicker2->toolTip(), QStringLiteral("选择日期使未付金额不大于未结金额，可以进行部分结算"));
        QCOMPARE(d->DateTimePicker2->date(), today);
        QCOMPARE(d->Label1->text(), QStringLiteral("根据日期未付"));
        QCOMPARE(d->Label8->text(), s.balanceLabel);
        QCOMPARE(d->Label2->text(), QStringLiteral("客户"));
        QCOMPARE(d->ButtonRK->text(), QStringLiteral("部分结算"));
        QVERIFY(d->ButtonRK->isDefault());
        QVERIFY(d->Editzyr->isReadOnly());
        QCOMPARE(d->Editkh->text(), QStringLiteral("甲公司"));
        QCOMPARE(d->Editzyr->text(), QStringLiteral("250"));
        QCOMPARE(d->Editzjr->text(), QStringLiteral("100"));  // the line after today is not yet due
        QCOMPARE(*s.partialSum, Money::fromUnits(100));
        QCOMPARE(d->DBGrid1->dataSet(), ds(s.lineList));
        QCOMPARE(ds(s.lineList)->recordCount(), 2);
        QCOMPARE(d->DBGrid2->dataSet(), ds(s.table));
        QCOMPARE(ds(s.table)->recordCount(), 1);
        // The window outlives the screen.
        w->close();
        QVERIFY(d->isVisible());
    }

    // Each pick shows what is owed up to that day, by mouse or by keyboard, never the sum of
    // the picks; a typed amount is not what is applied; exactly the lines shown get paid.
    void partialSettlementSettlesWhatWasPicked()
    {
        const QDate d1 = today.addDays(-10), d3 = today.addDays(-8), d5 = today.addDays(-6);
        line("甲公司", 1, "10", d1);
        line("甲公司", 2, "10", fmt::wallClock(d3, QTime(0, 0)));
        line("甲公司", 1, "30", fmt::wallClock(d3, QTime(23, 59, 59)));
        line("甲公司", 4, "10", d5);
        line("乙公司", 1, "20", d1);
        moneyRow("甲公司", "25", "25");
        moneyRow("乙公司", "20", "20");
        moneyRow("甲公司", "100", "100");
        SettlementForm *w = open();
        SettlementDetail *d = doubleClick(w, "甲公司");
        QVERIFY(d);
        d->DateTimePicker2->setDate(d5);
        QCOMPARE(d->Editzjr->text(), QStringLiteral("100"));
        // By keyboard: one day back, twice.
        d->DateTimePicker2->setFocus();
        d->DateTimePicker2->setCurrentSection(QDateTimeEdit::DaySection);
        QTest::keyClick(d->DateTimePicker2, Qt::Key_Down);
        QCOMPARE(d->DateTimePicker2->date(), d5.addDays(-1));
        QCOMPARE(d->Editzjr->text(), QStringLiteral("60"));
        QTest::keyClick(d->DateTimePicker2, Qt::Key_Down);
        QCOMPARE(d->DateTimePicker2->date(), d3);
        QCOMPARE(d->Editzjr->text(), QStringLiteral("60"));
        // With the mouse: the drop-down arrow, then a day of the calendar.
        QTest::mouseClick(d->DateTimePicker2, Qt::LeftButton, {},
                          QPoint(d->DateTimePicker2->width() - 6, d->DateTimePicker2->height() / 2));
        QCalendarWidget *cal = d->DateTimePicker2->calendarWidget();
        QTRY_VERIFY(cal->isVisible());
        QCOMPARE(*s.partialSum, Money());
        cal->setSelectedDate(d1);
        QTest::keyClick(cal->findChild<QTableView *>(), Qt::Key_Return);
        QTRY_VERIFY(!cal->isVisible());
        QCOMPARE(d->DateTimePicker2->date(), d1);
        QCOMPARE(d->Editzjr->text(), QStringLiteral("10"));
        QCOMPARE(*s.partialSum, Money::fromUnits(10));
        d->DateTimePicker2->setDate(d3);
        QCOMPARE(*s.partialSum, Money::fromUnits(60));
        // The lines on display are those up to the day.
        QCOMPARE(ds(s.lineList)->recordCount(), 3);
        d->Editzjr->setText("1");
        d->ButtonRK->click();
        QVERIFY(f->seams.messages().isEmpty());
        QCOMPARE(paid("甲公司"), (QStringList{"已付", "已付", "已付", "未付"}));
        QCOMPARE(rowsOf("甲公司"), (QStringList{"25/0/25", "100/65/35"}));
        QCOMPARE(paid("乙公司"), QStringList{"未付"});
        QCOMPARE(rowsOf("乙公司"), QStringList{"20/20/0"});
        QCOMPARE(d->Editzjr->text(), QStringLiteral("0"));
        QCOMPARE(d->Editzyr->text(), QStringLiteral("65"));
        QCOMPARE(listed().size(), 2);
        DataSet *list = ds(s.list);
        list->moveTo(rowOf("甲公司"));
        QCOMPARE(list->field(1).asMoney(), Money::fromUnits(40));
    }

    void shortOfMoneyIsDecidedOnTheStoredFigures()
    {
        line("甲公司", 1, "30", today.addDays(-2));
        line("甲公司", 1, "30", today.addDays(-1));
        moneyRow("甲公司", "50", "50");
        SettlementForm *w = open();
        SettlementDetail *d = doubleClick(w, "甲公司");
        QCOMPARE(d->Editzjr->text(), QStringLiteral("60"));
        d->Editzjr->setText("10");
        d->ButtonRK->click();
        QCOMPARE(f->seams.messages(), QStringList{"余额不足"});
        QCOMPARE(paid("甲公司"), (QStringList{"未付", "未付"}));
        QCOMPARE(rowsOf("甲公司"), QStringList{"50/50/0"});
        // The other way round: enough money, whatever the box says. Enter presses "部分结算".
        d->DateTimePicker2->setDate(today.addDays(-2));
        d->Editzjr->setText("1000");
        QTest::keyClick(d->Editzjr, Qt::Key_Return);
        QCOMPARE(f->seams.messages().size(), 1);
        QCOMPARE(paid("甲公司"), (QStringList{"已付", "未付"}));
        QCOMPARE(rowsOf("甲公司"), QStringList{"50/20/30"});
    }

    // Another screen that puts its own statement into the shared line list gets it without
    // the window's date filter, and the window still settles its own party's lines.
    void anotherScreenTakesTheLineList()
    {
        line("甲公司", 1, "10", today.addDays(-5));
        line("甲公司", 1, "20", today.addDays(-1));
        line("乙公司", 1, "50", fmt::wallClock(today, QTime(9, 0)), "保存", "已付", "今天的单");
        line("乙公司", 1, "50", fmt::wallClock(today.addDays(-9), QTime(9, 0)), "保存", "已付", "今天的单");
        moneyRow("甲公司", "100", "100");
        SettlementForm *w = open();
        SettlementDetail *d = doubleClick(w, "甲公司");
        d->DateTimePicker2->setDate(today.addDays(-3));
        DataSet *lines = ds(s.lineList);
        QVERIFY(lines->isFiltered());
        // As an invoice screen shows its invoice.
        lines->close();
        lines->setSql(QStringLiteral("select * from %1 where lsdh=:n").arg(s.lines));
        lines->setParam("n", "今天的单");
        lines->open();
        QVERIFY(!lines->isFiltered());
        QCOMPARE(lines->recordCount(), 2);
        d->DateTimePicker2->setDate(today.addDays(-4));
        QVERIFY(!lines->isFiltered());
        QCOMPARE(d->Editzjr->text(), QStringLiteral("10"));
        d->ButtonRK->click();
        QCOMPARE(paid("甲公司"), (QStringList{"已付", "未付"}));
        QCOMPARE(paid("乙公司"), (QStringList{"已付", "已付"}));
        QCOMPARE(rowsOf("甲公司"), QStringList{"100/90/10"});
        QCOMPARE(lines->recordCount(), 2);
    }

    // The rows the lower grid holds after "增新单" are not what a settlement uses.
    void onlyThePartysOwnOpenRowsAreUsed()
    {
        line("甲公司", 1, "30", today.addDays(-1));
        SettlementForm *w = open();
        record(w, "乙公司", "80");
        record(w, "甲公司", "40");
        w->Editkh->setText("甲公司");
        // Showing the number again: the lower grid holds its rows, 乙公司's first, and choosing
        // 甲公司 once more does not change the name, so the grid keeps them.
        const QString number = w->EditLSDH->text();
        w->EditLSDH->setText(number + "x");
        w->EditLSDH->setText(number);
        SettlementDetail *d = doubleClick(w, "甲公司");
        QCOMPARE(w->DBGrid1->dataSet()->recordCount(), 2);
        d->ButtonRK->click();
        QCOMPARE(rowsOf("乙公司"), QStringList{"80/80/0"});
        QCOMPARE(rowsOf("甲公司"), QStringList{"40/10/30"});
        QCOMPARE(paid("甲公司"), QStringList{"已付"});
    }

    // A window's filters go with it; two windows each keep their own until they close.
    void closingTheWindowSwitchesItsFiltersOff()
    {
        twoDebtors();
        SettlementForm *w = open();
        SettlementDetail *first = doubleClick(w, "甲公司");
        DataSet *lines = ds(s.lineList), *table = ds(s.table);
        QVERIFY(lines->isFiltered());
        QVERIFY(table->isFiltered());
        SettlementDetail *second = doubleClick(w, "乙公司");
        QVERIFY(first != second);
        first->close();
        QVERIFY(lines->isFiltered());
        QVERIFY(table->isFiltered());
        QCOMPARE(table->filter().value(0).value.toString(), QStringLiteral("乙公司"));
        second->close();
        QVERIFY(!lines->isFiltered());
        QVERIFY(!table->isFiltered());
    }

    void openingAndClosingTheScreen()
    {
        SettlementForm *w = open();
        QVERIFY(!m().instanceFlag(s.flag));
        // The command reads the list again, also for the open screen.
        twoDebtors();
        QCOMPARE(listed().size(), 0);
        m().action(s.action)->trigger();
        QCOMPARE(f->seams.lastMessage(), QStringLiteral("该窗口已经打开了"));
        QCOMPARE(listed().size(), 2);
        f->exec("INSERT INTO kh (gsmc) VALUES ('甲公司'), ('乙公司')");
        f->exec("INSERT INTO gys (gysmc) VALUES ('甲公司'), ('乙公司')");
        m().ADOTableKH->refresh();
        m().ADOTableGYS->refresh();
        click(w, "甲公司");
        // Only the customers table follows the chosen party, and only while the screen is open.
        QCOMPARE(m().ADOTableKH->recordCount(), s.payables ? 2 : 1);
        QVERIFY(!m().ADOTableGYS->isFiltered());
        w->close();
        QVERIFY(m().instanceFlag(s.flag));
        QVERIFY(!m().ADOTableKH->isFiltered());
        QCOMPARE(m().ADOTableKH->recordCount(), 2);
    }

    void printingTheRowsShown()
    {
        QVERIFY(QFile::copy(QStringLiteral(REPORTS_DIR "/") + s.report, f->path(s.report)));
        f->exec(QStringLiteral("UPDATE kr SET %1='华信电器商行%2'").arg(s.money, s.payables ? "付款单据" : "收款单据"));
        m().ADOTableKR->refresh();
        twoDebtors();
        SettlementForm *w = open();
        record(w, "甲公司", "60");
        record(w, "乙公司", "12.5");
        w->SpeedButton_Print->click();
        QCOMPARE(f->seams.printedText.size(), 1);
        const QString text = f->seams.printedText.first();
        QVERIFY2(text.contains(s.payables ? "华信电器商行付款单据" : "华信电器商行收款单据"), qPrintable(text));
        QVERIFY(text.contains("甲公司") && text.contains("乙公司"));
        QVERIFY2(text.contains("金额合计：72.5"), qPrintable(text));
        QVERIFY(text.contains("笔数：2"));
        QFile::remove(f->path(s.report));
        w->SpeedButton_Print->click();
        QCOMPARE(f->seams.lastMessage(), "The following reporting project does not exist:\n\"" + f->path(s.report) + "\"");
    }
};

QTEST_MAIN(TstSettlementScreens)
#include "tst_settlementscreens.moc"
