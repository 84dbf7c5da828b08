// The stock-in invoice screen driven through its controls: numbering, lookups,
// posting with its refusals, corrections, navigation and Enter.
#include "common/Fixture.h"
#include "dataset/Formats.h"
#include "masterdata/Tformgys.h"
#include "stockin/Trkkd.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QMdiSubWindow>

class TstStockIn : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<AppFixture> f;
    Trkkd *w = nullptr;

    Tmain &m() { return f->main(); }
    static QString today(int counter) { return fmt::documentNumber(QDate::currentDate(), counter); }
    static qint64 money(int units) { return qint64(units) * 10000; }

    Trkkd *open()
    {
        if (!f->hasMain())
            f->start();
        m().activateWindow();
        if (!QTest::qWaitForWindowActive(&m()))
            qWarning("main window not active");
        m().action("ActionRKKD")->trigger();
        w = qobject_cast<Trkkd *>(m().lastOpened("ActionRKKD"));
        if (w)
            QApplication::processEvents();
        return w;
    }

    // Chinese text arrives from the input method, Latin text as key strokes.
    static void typeText(QWidget *target, const QString &text)
    {
        bool latin = true;
        for (QChar c : text)
            latin = latin && c.unicode() < 0x80;
        if (latin) {
            QTest::keyClicks(target, text);
            return;
        }
        QInputMethodEvent e;
        e.setCommitString(text);
        QApplication::sendEvent(target, &e);
    }
    void typeInto(QWidget *box, const QString &text)
    {
        box->setFocus();
        QWidget *target = box;
        if (auto *cb = qobject_cast<QComboBox *>(box))
            target = cb->lineEdit();
        typeText(target, text);
    }
    void typeNumber(const QString &t) { typeInto(w->ComboBoxBH, t); }
    void typeName(const QString &t) { typeInto(w->ComboBoxMC, t); }
    void setQuantity(const QString &t)
    {
        w->EditSN->setFocus();
        w->EditSN->selectAll();
        typeText(w->EditSN, t);
    }
    void replaceText(QLineEdit *e, const QString &t)
    {
        e->setFocus();
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Delete);
        typeText(e, t);
    }
    // One line through the number lookup, quantity and purchase price as typed.
    void postByNumber(const QString &bh, int sn, const QString &cgj = QString())
    {
        typeNumber(bh);
        setQuantity(QString::number(sn));
        if (!cgj.isEmpty())
            replaceText(w->DBEditcgj, cgj);
        QTest::mouseClick(w->ButtonRK, Qt::LeftButton);
    }
    int lines(const QString &lsdh) { return f->scalar("SELECT count(*) FROM rk WHERE lsdh=:n", {{"n", lsdh}}).toInt(); }
    int stock(const QString &mc) { return f->scalar("SELECT sn FROM pl WHERE mc=:m", {{"m", mc}}).toInt(); }

private slots:
    void init() { f = std::make_unique<AppFixture>(); }
    void cleanup()
    {
        w = nullptr;
        QVERIFY(f->seams.allAnswersUsed());
        f.reset();
    }

    void screenOpensReady()
    {
        QVERIFY(open());
        QCOMPARE(w->windowTitle(),
                 QStringLiteral("入库开单--编号和名称是用来区分不同产品,如果没有编号,名称要取好,不然很容易库存重复"));
        auto *sub = qobject_cast<QMdiSubWindow *>(w->parentWidget());
        QVERIFY(sub && !sub->isMaximized());
        QCOMPARE(QApplication::focusWidget(), w->ComboBoxBH);
        QCOMPARE(w->ComboBoxPJ->currentText(), QStringLiteral("收据"));
        QCOMPARE(w->ComboBoxFK->currentText(), QStringLiteral("已付"));
        QCOMPARE(w->EditSN->text(), QStringLiteral("1"));
        QVERIFY(w->Label26->isHidden() && w->DBEditbh->isHidden());
        QCOMPARE(w->SpeedButton_Exit->toolTip(), QStringLiteral("退单"));
        // The name list holds every product, the location list every distinct location.
        QCOMPARE(w->DBComboBoxmc->count(), 4);
        QCOMPARE(w->DBComboBoxck->count(), 2);
        // Opening twice is refused while the screen is open.
        m().action("ActionRKKD")->trigger();
        QCOMPARE(f->seams.lastMessage(), QStringLiteral("该窗口已经打开了"));
    }

    // ---------------------------------------------------------------- numbering

    void numberOnOpening_data()
    {
        QTest::addColumn<int>("daysAgo");
        QTest::addColumn<int>("storedCounter");
        QTest::addColumn<int>("linesOnIt");
        QTest::addColumn<int>("expectedCounter");
        QTest::newRow("first opening of the day restarts at 1") << 1 << 5 << 0 << 1;
        QTest::newRow("same day keeps the counter") << 0 << 3 << 0 << 3;
        QTest::newRow("same day, number already used, not advanced") << 0 << 3 << 2 << 3;
    }
    void numberOnOpening()
    {
        QFETCH(int, daysAgo);
        QFETCH(int, storedCounter);
        QFETCH(int, linesOnIt);
        QFETCH(int, expectedCounter);
        f->start();
        f->exec("UPDATE kr SET rkdh=:c, rq=:d",
                {{"c", storedCounter}, {"d", QDate::currentDate().addDays(-daysAgo)}});
        for (int i = 0; i < linesOnIt; ++i)
            f->exec("INSERT INTO rk (lsdh, mc, sn) VALUES (:n, '液晶电视', 1)", {{"n", today(storedCounter)}});
        m().ADOTableKR->refresh();
        QVERIFY(open());
        QCOMPARE(w->EditLSDH->text(), today(expectedCounter));
        QCOMPARE(f->scalar("SELECT rkdh FROM kr").toInt(), expectedCounter);
        QCOMPARE(f->scalar("SELECT rq FROM kr").toString(), fmt::storageDate(QDate::currentDate()));
        QCOMPARE(w->DBGrid1->model()->rowCount(), daysAgo ? 0 : linesOnIt);
    }

    void newInvoiceOnlyWhenTheNumberHasLines()
    {
        QVERIFY(open());
        QTest::mouseClick(w->ButtonXZD, Qt::LeftButton);
        QCOMPARE(w->EditLSDH->text(), today(1));
        QCOMPARE(f->scalar("SELECT rkdh FROM kr").toInt(), 1);
        postByNumber("TV-001", 2);
        QCOMPARE(lines(today(1)), 1);
        QTest::mouseClick(w->ButtonXZD, Qt::LeftButton);
        QCOMPARE(w->EditLSDH->text(), today(2));
        QCOMPARE(f->scalar("SELECT rkdh FROM kr").toInt(), 2);
        QCOMPARE(w->DBGrid1->model()->rowCount(), 0);
        QCOMPARE(QApplication::focusWidget(), w->ComboBoxBH);
    }

    void closingAdvancesOnlyAUsedNumber_data()
    {
        QTest::addColumn<bool>("post");
        QTest::addColumn<int>("counterAfter");
        QTest::newRow("invoice with a line") << true << 2;
        QTest::newRow("empty invoice") << false << 1;
    }
    void closingAdvancesOnlyAUsedNumber()
    {
        QFETCH(bool, post);
        QFETCH(int, counterAfter);
        QVERIFY(open());
        if (post)
            postByNumber("FR-001", 1);
        // Another number is on display; closing still judges today's current number.
        w->EditLSDH->setText("something else");
        w->parentWidget()->close();
        QApplication::processEvents();
        QCOMPARE(f->scalar("SELECT rkdh FROM kr").toInt(), counterAfter);
        QVERIFY(m().instanceFlag("Trkkd"));
        QVERIFY(open());
        QCOMPARE(w->EditLSDH->text(), today(counterAfter));
    }

    // ---------------------------------------------------------------- lookups

    void lookups_data()
    {
        QTest::addColumn<bool>("byNumber");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("number exact") << true << "TV-001" << QStringList{"液晶电视"};
        QTest::newRow("number ignores partial") << true << "TV" << QStringList{};
        QTest::newRow("name contains") << false << "冰" << QStringList{"双门冰箱"};
        QTest::newRow("name contains, middle") << false << "衣" << QStringList{"滚筒洗衣机"};
        QTest::newRow("name with a quote") << false << "O'" << QStringList{};
    }
    void lookups()
    {
        QFETCH(bool, byNumber);
        QFETCH(QString, text);
        QFETCH(QStringList, found);
        QVERIFY(open());
        QComboBox *box = byNumber ? w->ComboBoxBH : w->ComboBoxMC;
        QComboBox *other = byNumber ? w->ComboBoxMC : w->ComboBoxBH;
        typeInto(box, text);
        DataSet *pl = m().ADOQueryPL;
        QStringList names;
        for (int r = 0; r < pl->recordCount(); ++r)
            names << pl->rowValue(r, pl->fieldIndex("mc")).toString();
        if (found.isEmpty()) {
            QCOMPARE(w->Label3->text(), QStringLiteral("新入"));
            // A name that finds nothing starts the new product under that name.
            if (!byNumber) {
                QCOMPARE(pl->state(), DataSet::State::Insert);
                QCOMPARE(w->DBComboBoxmc->currentText(), text);
            }
        } else {
            QCOMPARE(names, found);
            QCOMPARE(w->Label3->text(), QString());
            QCOMPARE(w->DBComboBoxmc->currentText(), found.first());
        }
        QVERIFY(!other->isEnabled());
        // Emptying the box re-enables the other one; the result stays.
        box->setFocus();
        box->lineEdit()->selectAll();
        QTest::keyClick(box->lineEdit(), Qt::Key_Backspace);
        QVERIFY(other->isEnabled());
        QVERIFY(pl->isActive());
        QVERIFY(f->seams.shown.isEmpty());
    }

    void clickingAResultFillsTheNameBoxWithoutALookup()
    {
        QVERIFY(open());
        typeName("电");  // 液晶电视 and 电饭煲
        QCOMPARE(m().ADOQueryPL->recordCount(), 2);
        w->DBGrid2->clickCell(1, 0);
        QCOMPARE(w->ComboBoxMC->currentText(), QStringLiteral("电饭煲"));
        QCOMPARE(m().ADOQueryPL->recordCount(), 2);
        QCOMPARE(m().ADOQueryPL->fieldByName("mc").asString(), QStringLiteral("电饭煲"));
        // Focus entering the name box clears the number box from code: no lookup.
        w->ComboBoxBH->setEditText("FR-001");
        w->DBGrid2->setFocus();
        w->ComboBoxMC->setFocus();
        QCOMPARE(w->ComboBoxBH->currentText(), QString());
        QCOMPARE(m().ADOQueryPL->recordCount(), 2);
    }

    // ---------------------------------------------------------------- posting

    void postingANewProduct_data()
    {
        QTest::addColumn<bool>("byNumber");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("number");
        QTest::newRow("by name") << false << "电磁炉" << "";
        QTest::newRow("by name with a quote") << false << "O'Brien台灯" << "";
        QTest::newRow("by number") << true << "微波炉" << "MW-9";
    }
    void postingANewProduct()
    {
        QFETCH(bool, byNumber);
        QFETCH(QString, name);
        QFETCH(QString, number);
        QVERIFY(open());
        if (byNumber) {
            typeNumber(number);
            QCOMPARE(w->Label3->text(), QStringLiteral("新入"));
            typeInto(w->DBComboBoxmc, name);
        } else {
            typeName(name);
        }
        QCOMPARE(w->Label3->text(), QStringLiteral("新入"));
        replaceText(w->DBEditcgj, "12.5");
        replaceText(w->DBEditxsj, "19.9");
        typeInto(w->DBComboBoxck, "三号柜");
        setQuantity("7");
        QTest::mouseClick(w->ButtonRK, Qt::LeftButton);
        QVERIFY2(f->seams.shown.isEmpty(), qPrintable(f->seams.lastMessage()));

        const auto p = f->rows("SELECT bh, cgj, xsj, ck, sn, cj FROM pl WHERE mc=:m", {{"m", name}});
        QCOMPARE(p.size(), 1);
        QCOMPARE(p[0][0].toString(), number);
        QCOMPARE(p[0][1].toLongLong(), 125000);
        QCOMPARE(p[0][2].toLongLong(), 199000);
        QCOMPARE(p[0][3].toString(), QStringLiteral("三号柜"));
        QCOMPARE(p[0][4].toInt(), 0);  // stock grows only when the line is saved
        const auto l = f->rows("SELECT lsdh, bh, sn, cgj, ck, jsr, pj, fk, gys, bc FROM rk WHERE mc=:m", {{"m", name}});
        QCOMPARE(l.size(), 1);
        QCOMPARE(l[0][0].toString(), today(1));
        QCOMPARE(l[0][1].toString(), number);
        QCOMPARE(l[0][2].toInt(), 7);
        QCOMPARE(l[0][3].toLongLong(), 125000);
        QCOMPARE(l[0][4].toString(), QStringLiteral("三号柜"));
        QCOMPARE(l[0][5].toString(), QStringLiteral("系统管理员"));
        QCOMPARE(l[0][6].toString(), QStringLiteral("收据"));
        QCOMPARE(l[0][7].toString(), QStringLiteral("已付"));
        QCOMPARE(l[0][8].toString(), QString());
        QVERIFY(l[0][9].isNull());
        QCOMPARE(w->panelText(0), QStringLiteral("共1条"));
        QCOMPARE(w->panelText(2), QString());
        // The lookup is over; the new name and location are in the lists.
        QVERIFY(w->ComboBoxBH->isEnabled() && w->ComboBoxMC->isEnabled());
        QCOMPARE(w->ComboBoxBH->currentText(), QString());
        QCOMPARE(w->ComboBoxMC->currentText(), QString());
        QVERIFY(w->DBComboBoxmc->findText(name) >= 0);
        QVERIFY(w->DBComboBoxck->findText("三号柜") >= 0);
    }

    // Leaving the product name box under a name lookup must not erase a stored number.
    void aFoundProductKeepsItsNumber()
    {
        QVERIFY(open());
        typeName("液晶");
        w->DBComboBoxmc->setFocus();
        w->EditSN->setFocus();
        QCOMPARE(m().ADOQueryPL->fieldByName("bh").asString(), QStringLiteral("TV-001"));
        QTest::mouseClick(w->ButtonRK, Qt::LeftButton);
        QCOMPARE(f->scalar("SELECT bh FROM pl WHERE mc='液晶电视'").toString(), QStringLiteral("TV-001"));
        QCOMPARE(f->scalar("SELECT bh FROM rk WHERE mc='液晶电视'").toString(), QStringLiteral("TV-001"));
        // Nothing pending is left in the product either.
        QVERIFY(!m().ADOQueryPL->isEditing());
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("payment");
        QTest::addColumn<bool>("borrow");
        QTest::addColumn<QString>("message");
        QTest::newRow("no lookup") << "" << "已付" << false << "请先查询";
        QTest::newRow("no lookup, borrowing") << "" << "已付" << true << "请先查询";
        QTest::newRow("unpaid without supplier") << "双门" << "未付" << false << "请选择供应商或选择已付";
        QTest::newRow("unpaid without supplier, borrowing") << "双门" << "未付" << true << "请选择供应商或选择已付";
    }
    void refusals()
    {
        QFETCH(QString, name);
        QFETCH(QString, payment);
        QFETCH(bool, borrow);
        QFETCH(QString, message);
        QVERIFY(open());
        if (!name.isEmpty())
            typeName(name);
        w->ComboBoxFK->setCurrentText(payment);
        QTest::mouseClick(borrow ? w->ButtonJR : w->ButtonRK, Qt::LeftButton);
        QCOMPARE(f->seams.messages(), QStringList{message});
        QCOMPARE(f->scalar("SELECT count(*) FROM rk").toInt(), 0);
        QCOMPARE(f->scalar("SELECT count(*) FROM pl").toInt(), 4);
        QCOMPARE(w->ComboBoxMC->currentText(), QString());
        QVERIFY(w->ComboBoxBH->isEnabled() && w->ComboBoxMC->isEnabled());
        QCOMPARE(QApplication::focusWidget(), w->ComboBoxMC);
        QCOMPARE(w->panelText(0), QStringLiteral("共0条"));
    }

    void badInputStoresNothing_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");
        QTest::newRow("letters in the quantity") << "EditSN" << "abc";
        QTest::newRow("quantity too large") << "EditSN" << "32768";
        QTest::newRow("quantity too small") << "EditSN" << "-32769";
        QTest::newRow("empty quantity") << "EditSN" << "";
        QTest::newRow("decimal quantity") << "EditSN" << "1.5";
        QTest::newRow("purchase price with two points") << "DBEditcgj" << "1.2.3";
        QTest::newRow("purchase price with letters") << "DBEditcgj" << "12元";
        QTest::newRow("sales price with two points") << "DBEditxsj" << "1.2.3";
    }
    void badInputStoresNothing()
    {
        QFETCH(QString, box);
        QFETCH(QString, text);
        QVERIFY(open());
        typeName("新品");  // a new product that must not be stored either
        auto *edit = w->findChild<QLineEdit *>(box);
        QVERIFY(edit);
        // Enter in the box itself: its pending text has not been written anywhere yet.
        replaceText(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(f->seams.messages().size(), 1);
        QVERIFY(!f->seams.lastMessage().isEmpty());
        QCOMPARE(f->scalar("SELECT count(*) FROM rk").toInt(), 0);
        QCOMPARE(f->scalar("SELECT count(*) FROM pl").toInt(), 4);
        // The lookup stays so that the value can be corrected, and then it posts.
        QCOMPARE(w->ComboBoxMC->currentText(), QStringLiteral("新品"));
        f->seams.clear();
        replaceText(edit, box == "EditSN" ? "3" : "8");
        QTest::keyClick(edit, Qt::Key_Return);
        QVERIFY2(f->seams.shown.isEmpty(), qPrintable(f->seams.lastMessage()));
        QCOMPARE(f->scalar("SELECT count(*) FROM rk WHERE mc='新品'").toInt(), 1);
        QCOMPARE(f->scalar("SELECT count(*) FROM pl WHERE mc='新品'").toInt(), 1);
    }

    void enterPosts_data()
    {
        QTest::addColumn<QString>("box");
        QTest::newRow("name box") << "ComboBoxMC";
        QTest::newRow("quantity") << "EditSN";
        QTest::newRow("purchase price") << "DBEditcgj";
        QTest::newRow("product name") << "DBComboBoxmc";
        QTest::newRow("location") << "DBComboBoxck";
    }
    void enterPosts()
    {
        QFETCH(QString, box);
        QVERIFY(open());
        typeName("滚筒");
        QWidget *wdg = w->findChild<QWidget *>(box);
        QVERIFY(wdg);
        wdg->setFocus();
        QCOMPARE(QApplication::focusWidget(), wdg);
        QTest::keyClick(wdg, Qt::Key_Return);
        QVERIFY2(f->seams.shown.isEmpty(), qPrintable(f->seams.lastMessage()));
        QCOMPARE(f->scalar("SELECT count(*) FROM rk WHERE bh='WM-001'").toInt(), 1);
    }

    void borrowingInMarksTheLine()
    {
        QVERIFY(open());
        postByNumber("TV-001", 1);
        typeNumber("FR-001");
        QTest::mouseClick(w->ButtonJR, Qt::LeftButton);
        const auto r = f->rows("SELECT mc, bc FROM rk ORDER BY rowid");
        QCOMPARE(r.size(), 2);
        QVERIFY(r[0][1].isNull());
        QCOMPARE(r[1][0].toString(), QStringLiteral("双门冰箱"));
        QCOMPARE(r[1][1].toString(), QStringLiteral("借入"));
        QCOMPARE(stock("双门冰箱"), 0);
    }

    void supplierFromThePicker()
    {
        f->start();
        f->exec("INSERT INTO gys (gysmc) VALUES ('华强电器')");
        QVERIFY(open());
        typeNumber("TV-001");
        w->DBComboBoxGYS->setFocus();
        auto *picker = w->findChild<Tformgys *>();
        QVERIFY(picker && picker->isVisible());
        picker->DBGrid1->clickCell(0, 0);
        QCOMPARE(w->DBComboBoxGYS->currentText(), QStringLiteral("华强电器"));
        // Coming back to the screen does not open another picker.
        QApplication::processEvents();
        for (Tformgys *p : w->findChildren<Tformgys *>())
            QVERIFY(!p->isVisible());
        w->ComboBoxFK->setCurrentText(QStringLiteral("未付"));
        QTest::mouseClick(w->ButtonRK, Qt::LeftButton);
        QVERIFY(f->seams.shown.isEmpty());
        const auto r = f->rows("SELECT gys, fk FROM rk");
        QCOMPARE(r.size(), 1);
        QCOMPARE(r[0][0].toString(), QStringLiteral("华强电器"));
        QCOMPARE(r[0][1].toString(), QStringLiteral("未付"));
    }

    // ---------------------------------------------------------------- corrections

    void exchangeKeepsTheDifference()
    {
        QVERIFY(open());
        postByNumber("TV-001", 4, "25");
        // The line was saved into stock by the stock-in query.
        f->exec("UPDATE rk SET bc='保存'");
        f->exec("UPDATE pl SET sn=4 WHERE bh='TV-001'");
        w->EditLSDHChange();
        QTest::mouseClick(w->SpeedButton1, Qt::LeftButton);
        QVERIFY(f->seams.shown.isEmpty());
        QCOMPARE(stock("液晶电视"), 0);
        auto r = f->rows("SELECT sn, fk, bc, lb, cgj FROM rk WHERE bh='TV-001'");
        QCOMPARE(r[0][0].toInt(), 0);
        QCOMPARE(r[0][1].toString(), QStringLiteral("已付"));
        QCOMPARE(r[0][2].toString(), QStringLiteral("退换"));
        QCOMPARE(r[0][3].toString(), QStringLiteral("-100"));
        QCOMPARE(r[0][4].toLongLong(), money(25));
        QCOMPARE(w->panelText(2), QStringLiteral("退换差额-100"));
        QCOMPARE(Trkkd::rkkdExchangeBalance, Money::fromUnits(-100));

        // A line already returned cannot be returned again.
        QTest::mouseClick(w->SpeedButton1, Qt::LeftButton);
        QCOMPARE(f->seams.messages(), QStringList{"该单无效"});

        // The replacement: amount 120.
        postByNumber("FR-001", 1, "120");
        QCOMPARE(w->panelText(2), QStringLiteral("退换差额20"));
        QCOMPARE(f->scalar("SELECT lb FROM rk WHERE bh='FR-001'").toString(), QStringLiteral("退换差额20"));
        QCOMPARE(f->scalar("SELECT lb FROM rk WHERE bh='TV-001'").toString(), QStringLiteral("-100"));
        // Back to exactly 0: the remark goes on the line that closes the exchange, and
        // later postings leave every remark alone.
        postByNumber("WM-001", 1, "-20");
        QCOMPARE(w->panelText(2), QStringLiteral("退换差额0"));
        postByNumber("TV-001", 1, "25");
        postByNumber("FR-001", 1, "1");
        QCOMPARE(f->scalar("SELECT lb FROM rk WHERE bh='TV-001' AND bc='退换'").toString(), QStringLiteral("-100"));
        QCOMPARE(f->scalar("SELECT count(*) FROM rk WHERE lb IS NOT NULL AND lb<>''").toInt(), 3);
        // A new number resets the difference.
        w->EditLSDH->setText(today(9));
        QCOMPARE(Trkkd::rkkdExchangeBalance, Money());
        QCOMPARE(w->panelText(2), QString());
    }

    void returningAPendingLineKeepsTheStock()
    {
        QVERIFY(open());
        postByNumber("TV-001", 4, "25");
        f->exec("UPDATE pl SET sn=9 WHERE bh='TV-001'");
        QTest::mouseClick(w->SpeedButton1, Qt::LeftButton);
        QCOMPARE(stock("液晶电视"), 9);
        QCOMPARE(f->scalar("SELECT bc FROM rk").toString(), QStringLiteral("退换"));
        QCOMPARE(w->panelText(2), QStringLiteral("退换差额-100"));
    }

    void cancelTakesOutOnlySavedLines()
    {
        QVERIFY(open());
        postByNumber("TV-001", 5);
        postByNumber("FR-001", 3);
        typeName("电饭");  // a product without a number: found by name
        setQuantity("2");
        QTest::mouseClick(w->ButtonRK, Qt::LeftButton);
        // Lines 1 and 3 were saved into stock; line 2 is still pending.
        f->exec("UPDATE rk SET bc='保存' WHERE mc IN ('液晶电视', '电饭煲')");
        f->exec("UPDATE pl SET sn=10 WHERE mc IN ('液晶电视', '电饭煲', '双门冰箱')");
        w->EditLSDHChange();
        // The pending line is the one selected: the decision is still taken line by line.
        w->DBGrid1->clickCell(1, 0);
        QTest::mouseClick(w->SpeedButton_Exit, Qt::LeftButton);
        QVERIFY(f->seams.shown.isEmpty());
        QCOMPARE(stock("液晶电视"), 5);
        QCOMPARE(stock("电饭煲"), 8);
        QCOMPARE(stock("双门冰箱"), 10);
        QCOMPARE(f->scalar("SELECT count(*) FROM rk WHERE lsdh='' AND bc='退单' AND fk='已付'").toInt(), 3);
        QCOMPARE(w->DBGrid1->model()->rowCount(), 0);
        QCOMPARE(w->EditLSDH->text(), today(1));
        // Nothing left to cancel.
        QTest::mouseClick(w->SpeedButton_Exit, Qt::LeftButton);
        QCOMPARE(f->seams.messages(), QStringList{"该单无效"});
        // New lines still go into the same number.
        postByNumber("WM-001", 1);
        QCOMPARE(lines(today(1)), 1);
    }

    void correctionsOnAnEmptyInvoice_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("退单") << "SpeedButton_Exit";
        QTest::newRow("退换") << "SpeedButton1";
    }
    void correctionsOnAnEmptyInvoice()
    {
        QFETCH(QString, button);
        QVERIFY(open());
        QTest::mouseClick(w->findChild<QToolButton *>(button), Qt::LeftButton);
        QCOMPARE(f->seams.messages(), QStringList{"该单无效"});
    }

    // Stock that would leave the small-integer range: everything is rolled back.
    void stockOutOfRangeRollsBack_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("退单") << "SpeedButton_Exit";
        QTest::newRow("退换") << "SpeedButton1";
    }
    void stockOutOfRangeRollsBack()
    {
        QFETCH(QString, button);
        QVERIFY(open());
        postByNumber("FR-001", 2);
        postByNumber("TV-001", 30);
        f->exec("UPDATE rk SET bc='保存'");
        f->exec("UPDATE pl SET sn=100 WHERE bh='FR-001'");
        f->exec("UPDATE pl SET sn=-32750 WHERE bh='TV-001'");
        w->EditLSDHChange();
        m().ADOQueryRKDH->last();
        QTest::mouseClick(w->findChild<QToolButton *>(button), Qt::LeftButton);
        QCOMPARE(f->seams.messages().size(), 1);
        QVERIFY(f->seams.lastMessage().contains("32768"));
        QCOMPARE(stock("双门冰箱"), 100);
        QCOMPARE(stock("液晶电视"), -32750);
        QCOMPARE(f->scalar("SELECT count(*) FROM rk WHERE lsdh=:n AND bc='保存' AND sn>0", {{"n", today(1)}}).toInt(), 2);
        QCOMPARE(Trkkd::rkkdExchangeBalance, Money());
        QCOMPARE(w->DBGrid1->model()->rowCount(), 2);
        QVERIFY(!m().ADOTabletd->isEditing() && !m().ADOQueryRKDH->isEditing());
    }

    void previousAndNextStopAtTheEnds()
    {
        f->start();
        for (const char *n : {"2020-1-1-1", "2020-1-2-1", "2020-1-2-2"})
            f->exec("INSERT INTO rk (lsdh, mc, sn) VALUES (:n, '电饭煲', 1)", {{"n", n}});
        m().ADOQueryDHrk->close();
        m().ADOQueryDHrk->open();
        QVERIFY(open());
        QCOMPARE(w->EditLSDH->text(), today(1));
        QTest::mouseClick(w->SpeedButton_Preview, Qt::LeftButton);
        QCOMPARE(w->EditLSDH->text(), QStringLiteral("2020-1-2-1"));
        QCOMPARE(w->DBGrid1->model()->rowCount(), 1);
        QTest::mouseClick(w->SpeedButton_Preview, Qt::LeftButton);
        QTest::mouseClick(w->SpeedButton_Preview, Qt::LeftButton);
        QCOMPARE(w->EditLSDH->text(), QStringLiteral("2020-1-1-1"));
        QTest::mouseClick(w->SpeedButton_Printsetup, Qt::LeftButton);
        QTest::mouseClick(w->SpeedButton_Printsetup, Qt::LeftButton);
        QTest::mouseClick(w->SpeedButton_Printsetup, Qt::LeftButton);
        QCOMPARE(w->EditLSDH->text(), QStringLiteral("2020-1-2-2"));
    }

    void printingAMissingProjectIsReported()
    {
        QVERIFY(open());
        QFile::remove(f->path("rK.rav"));
        QTest::mouseClick(w->SpeedButton_Print, Qt::LeftButton);
        QCOMPARE(f->seams.messages().size(), 1);
        QVERIFY(f->seams.lastMessage().contains("rK.rav"));
    }
};

QTEST_MAIN(TstStockIn)
#include "tst_stockin.moc"
