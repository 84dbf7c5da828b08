// The stock-out invoice screen driven through its controls: the window, the lookups by
// number, name and initials, the available stock, the customer's recent prices, posting
// with discount and its refusals, lending out, write-off, the typed amount and the totals.
#include "common/Fixture.h"
#include "dataset/Formats.h"
#include "masterdata/TFormKH.h"
#include "stockout/Tckkd.h"

#include <QApplication>
#include <QMdiSubWindow>

class TstStockOut : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<AppFixture> f;
    Tckkd *w = nullptr;

    Tmain &m() { return f->main(); }
    static QString today(int counter) { return fmt::documentNumber(QDate::currentDate(), counter); }
    static qint64 raw(const char *amount) { return Money::parse(QString::fromLatin1(amount))->raw(); }

    Tckkd *open()
    {
        if (!f->hasMain())
            f->start();
        m().activateWindow();
        if (!QTest::qWaitForWindowActive(&m()))
            qWarning("main window not active");
        m().action("ActionCKKD")->trigger();
        w = qobject_cast<Tckkd *>(m().lastOpened("ActionCKKD"));
        if (w)
            QApplication::processEvents();
        return w;
    }
    void typeInto(QWidget *box, const QString &text)
    {
        box->setFocus();
        QWidget *target = box;
        if (auto *cb = qobject_cast<QComboBox *>(box))
            target = cb->lineEdit();
        typeText(target, text);
    }
    void replaceText(QLineEdit *e, const QString &t)
    {
        e->setFocus();
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Delete);
        if (!t.isEmpty())
            typeText(e, t);
    }
    void setPrice(const QString &p) { replaceText(w->DBComboBoxXSJ->lineEdit(), p); }
    void setDiscount(const QString &z) { replaceText(w->ComboBoxzk->lineEdit(), z); }
    void setQuantity(const QString &q) { replaceText(w->EditSN, q); }
    void lookUp(const QString &bh) { typeInto(w->ComboBoxBH, bh); }
    void postByNumber(const QString &bh, int sn, const QString &price = QString(), QPushButton *button = nullptr)
    {
        lookUp(bh);
        setQuantity(QString::number(sn));
        if (!price.isEmpty())
            setPrice(price);
        QTest::mouseClick(button ? button : w->ButtonCK, Qt::LeftButton);
    }
    // A customer chosen in the picker, as a user does.
    void chooseCustomer(const QString &name)
    {
        w->DBComboBoxKH->setFocus();
        auto *picker = w->findChild<TFormKH *>();
        QVERIFY(picker);
        typeText(picker->Edit1, name);
        picker->DBGrid1->clickCell(0, 0);
        QApplication::processEvents();
        QCOMPARE(w->DBComboBoxKH->currentText(), name);
    }
    int stock(const QString &mc) { return f->scalar("SELECT sn FROM pl WHERE mc=:m", {{"m", mc}}).toInt(); }
    int lineCount() { return f->scalar("SELECT count(*) FROM ck").toInt(); }

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
        QCOMPARE(w->windowTitle(), QStringLiteral("出库开单"));
        auto *sub = qobject_cast<QMdiSubWindow *>(w->parentWidget());
        QVERIFY(sub && sub->isMaximized());
        QCOMPARE(QApplication::focusWidget(), w->ComboBoxBH);
        QCOMPARE(w->EditLSDH->text(), today(1));
        QCOMPARE(w->ComboBoxPJ->currentText(), QStringLiteral("收据"));
        QCOMPARE(w->ComboBoxFK->currentText(), QStringLiteral("已付"));
        QCOMPARE(w->EditSN->text(), QStringLiteral("1"));
        QCOMPARE(w->ComboBoxzk->currentText(), QString());
        QCOMPARE(w->ComboBoxzk->count(), 11);
        QCOMPARE(w->ComboBoxzk->itemText(10), QStringLiteral("0"));
        QCOMPARE(w->ComboBoxMC->toolTip(), QStringLiteral("支持全称与首拼查询"));
        QCOMPARE(w->DBComboBoxKH->toolTip(), QStringLiteral("不填客户为零售，将不计算最近的销售价"));
        QCOMPARE(w->DBComboBoxXSJ->toolTip(), QStringLiteral("下拉列表的第一个为最近出给该客户的价格"));
        QCOMPARE(w->Edit3->toolTip(), QStringLiteral("单条金额进行修改"));
        QVERIFY(w->Edit2->isReadOnly());
        QCOMPARE(w->ButtonCK->text(), QStringLiteral("出库"));
        QVERIFY(w->ButtonCK->isDefault());
        QCOMPARE(w->Button1->text(), QStringLiteral("借出"));
        QCOMPARE(w->Button2->text(), QStringLiteral("报损"));
        QCOMPARE(w->panelText(0), QStringLiteral("共0条"));
        QCOMPARE(w->panelText(1), QStringLiteral("总金额：0   总数量：0"));
        // No list is filled at start.
        QCOMPARE(w->DBComboBoxMC->count(), 0);
        m().action("ActionCKKD")->trigger();
        QCOMPARE(f->seams.lastMessage(), QStringLiteral("该窗口已经打开了"));
    }

    // ---------------------------------------------------------------- lookups

    void lookups_data()
    {
        QTest::addColumn<bool>("byNumber");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("number exact") << true << "TV-001" << QStringList{"液晶电视"};
        QTest::newRow("number ignores partial") << true << "TV" << QStringList{};
        QTest::newRow("part of the name") << false << "冰" << QStringList{"双门冰箱"};
        QTest::newRow("initials") << false << "jds" << QStringList{"液晶电视"};
        QTest::newRow("initials, upper case") << false << "GTX" << QStringList{"滚筒洗衣机"};
        QTest::newRow("a quote") << false << "O'" << QStringList{};
    }
    void lookups()
    {
        QFETCH(bool, byNumber);
        QFETCH(QString, text);
        QFETCH(QStringList, found);
        QVERIFY(open());
        typeInto(byNumber ? w->ComboBoxBH : w->ComboBoxMC, text);
        DataSet *pl = m().ADOQueryPL;
        QStringList names;
        for (int r = 0; r < pl->recordCount(); ++r)
            names << pl->rowValue(r, pl->fieldIndex("mc")).toString();
        QCOMPARE(names, found);
        // Nothing found starts no new product, and neither box disables the other.
        QCOMPARE(pl->state(), DataSet::State::Browse);
        QVERIFY(w->ComboBoxBH->isEnabled() && w->ComboBoxMC->isEnabled());
        QCOMPARE(w->DBComboBoxMC->currentText(), found.value(0));
        QVERIFY(f->seams.shown.isEmpty());
    }

    // The stock shown is the stored stock less every pending stock-out line of the product,
    // in any invoice; a product without a number is counted by its name.
    void availableStock_data()
    {
        QTest::addColumn<QString>("product");  // number, or name when it has none
        QTest::addColumn<int>("pendingA");
        QTest::addColumn<int>("pendingB");
        QTest::addColumn<QString>("shown");
        QTest::newRow("two pending lines") << "TV-001" << 3 << 2 << "5";
        QTest::newRow("none pending") << "TV-001" << 0 << 0 << "10";
        QTest::newRow("by name, no number") << "电饭煲" << 4 << 0 << "6";
    }
    void availableStock()
    {
        QFETCH(QString, product);
        QFETCH(int, pendingA);
        QFETCH(int, pendingB);
        QFETCH(QString, shown);
        f->start();
        f->exec("UPDATE pl SET sn=10");
        const bool byName = !product.contains('-');
        const QString bh = byName ? QString() : product, mc = byName ? product : QStringLiteral("液晶电视");
        for (int q : {pendingA, pendingB})
            if (q)
                f->exec("INSERT INTO ck (lsdh, bh, mc, sn) VALUES ('2020-1-1-1', :b, :m, :q)", {{"b", bh}, {"m", mc}, {"q", q}});
        // Lines that left the stock, or never will, do not count.
        f->exec("INSERT INTO ck (lsdh, bh, mc, sn, bc) VALUES ('2020-1-1-2', :b, :m, 7, '保存')", {{"b", bh}, {"m", mc}});
        f->exec("INSERT INTO ck (lsdh, bh, mc, sn, bc) VALUES ('2020-1-1-2', :b, :m, 1, '借出')", {{"b", bh}, {"m", mc}});
        QVERIFY(open());
        typeInto(byName ? w->ComboBoxMC : w->ComboBoxBH, product);
        QCOMPARE(w->Edit2->text(), shown);
    }

    // With a customer chosen, the price list holds that customer's last ten prices of the
    // product, newest first; without one (retail) it is not rebuilt.
    void recentPricesOfTheCustomer()
    {
        f->start();
        f->exec("INSERT INTO kh (gsmc) VALUES ('大华商场')");
        for (int i = 1; i <= 12; ++i)
            f->exec("INSERT INTO ck (lsdh, kh, mc, sn, xsj) VALUES ('2020-1-1-1', '大华商场', '液晶电视', 1, :p)",
                    {{"p", i * 100000}});
        f->exec("INSERT INTO ck (lsdh, kh, mc, sn, xsj) VALUES ('2020-1-1-1', '别的客户', '液晶电视', 1, 99990000)");
        QVERIFY(open());
        lookUp("TV-001");
        QCOMPARE(w->DBComboBoxXSJ->count(), 0);
        chooseCustomer("大华商场");
        lookUp("FR-001");
        QCOMPARE(w->DBComboBoxXSJ->count(), 0);  // never sold to this customer
        w->ComboBoxBH->setEditText(QString());
        lookUp("TV-001");
        QStringList prices;
        for (int i = 0; i < w->DBComboBoxXSJ->count(); ++i)
            prices << w->DBComboBoxXSJ->itemText(i);
        QCOMPARE(prices, (QStringList{"120", "110", "100", "90", "80", "70", "60", "50", "40", "30"}));
        // The box still shows the product's own price.
        QCOMPARE(w->DBComboBoxXSJ->currentText(), QStringLiteral("3200"));
    }

    // ---------------------------------------------------------------- posting

    // The line price: the price box, less the discount; an empty price stores none.
    void postingWithDiscount_data()
    {
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("discount");
        QTest::addColumn<QVariant>("stored");  // raw xsj, or null
        QTest::newRow("no discount") << "120" << "" << QVariant(raw("120"));
        QTest::newRow("discount 9") << "120" << "9" << QVariant(raw("108"));
        QTest::newRow("discount 9.5 typed") << "120" << "9.5" << QVariant(raw("114"));
        QTest::newRow("discount 8.5") << "120" << "8.5" << QVariant(raw("102"));
        QTest::newRow("discount 0") << "120" << "0" << QVariant(0LL);
        QTest::newRow("rounded half to even") << "0.0005" << "9" << QVariant(raw("0.0004"));
        QTest::newRow("empty price") << "" << "9" << QVariant();
    }
    void postingWithDiscount()
    {
        QFETCH(QString, price);
        QFETCH(QString, discount);
        QFETCH(QVariant, stored);
        f->start();
        f->exec("UPDATE pl SET sn=10 WHERE bh='TV-001'");
        QVERIFY(open());
        lookUp("TV-001");
        setQuantity("3");
        setPrice(price);
        setDiscount(discount);
        QTest::mouseClick(w->ButtonCK, Qt::LeftButton);
        QVERIFY2(f->seams.shown.isEmpty(), qPrintable(f->seams.lastMessage()));
        const auto r = f->rows("SELECT lsdh, kh, jsr, ck, pj, fk, bh, sn, mc, xsj, bc FROM ck");
        QCOMPARE(r.size(), 1);
        QCOMPARE(r[0][0].toString(), today(1));
        QCOMPARE(r[0][1].toString(), QStringLiteral("零售"));
        QCOMPARE(r[0][2].toString(), QStringLiteral("系统管理员"));
        QCOMPARE(r[0][3].toString(), QStringLiteral("一号仓库"));
        QCOMPARE(r[0][4].toString(), QStringLiteral("收据"));
        QCOMPARE(r[0][5].toString(), QStringLiteral("已付"));
        QCOMPARE(r[0][6].toString(), QStringLiteral("TV-001"));
        QCOMPARE(r[0][7].toInt(), 3);
        QCOMPARE(r[0][8].toString(), QStringLiteral("液晶电视"));
        QCOMPARE(r[0][9].isNull(), stored.isNull());
        if (!stored.isNull())
            QCOMPARE(r[0][9].toLongLong(), stored.toLongLong());
        QVERIFY(r[0][10].isNull());
        // A sale leaves the product as it was; the available stock shows it next time.
        QCOMPARE(stock("液晶电视"), 10);
        QCOMPARE(f->scalar("SELECT xsj FROM pl WHERE bh='TV-001'").toLongLong(), raw("3200"));
        QCOMPARE(w->ComboBoxBH->currentText(), QString());
        QCOMPARE(QApplication::focusWidget(), w->ComboBoxBH);
        lookUp("TV-001");
        QCOMPARE(w->Edit2->text(), QStringLiteral("7"));
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("lookup");
        QTest::addColumn<QString>("payment");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("message");
        for (const char *b : {"ButtonCK", "Button1", "Button2"}) {
            QTest::newRow(qPrintable(QString("no product, ") + b)) << "XX-9" << "已付" << b << "无产品,请先入库!";
            QTest::newRow(qPrintable(QString("unpaid without customer, ") + b))
                << "TV-001" << "未付" << b << "请选择客户或选择已付";
        }
    }
    void refusals()
    {
        QFETCH(QString, lookup);
        QFETCH(QString, payment);
        QFETCH(QString, button);
        QFETCH(QString, message);
        QVERIFY(open());
        lookUp(lookup);
        w->ComboBoxFK->setCurrentText(payment);
        if (button == "Button2")
            f->seams.confirmAnswers = {true};
        QTest::mouseClick(w->findChild<QPushButton *>(button), Qt::LeftButton);
        QCOMPARE(f->seams.messages(), QStringList{message});
        QCOMPARE(lineCount(), 0);
        QCOMPARE(stock("液晶电视"), 0);
        // The lookup box is cleared also after a refusal.
        QCOMPARE(w->ComboBoxBH->currentText(), QString());
        QCOMPARE(QApplication::focusWidget(), w->ComboBoxBH);
    }

    void badInputStoresNothing_data()
    {
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("discount");
        QTest::addColumn<QString>("message");
        QTest::newRow("letters in the quantity") << "abc" << "120" << "" << "数量必须是-32768到32767之间的整数";
        QTest::newRow("quantity too large") << "32768" << "120" << "" << "数量必须是-32768到32767之间的整数";
        QTest::newRow("decimal quantity") << "1.5" << "120" << "" << "数量必须是-32768到32767之间的整数";
        QTest::newRow("price with two points") << "1" << "1.2.3" << "" << "销售价";
        QTest::newRow("price with five decimals") << "1" << "0.12345" << "" << "4位小数";
        QTest::newRow("price above the limit") << "1" << "100000000" << "" << "99999999.9999";
        QTest::newRow("discount with letters") << "1" << "120" << "九折" << "折扣";
        QTest::newRow("discount above 10") << "1" << "120" << "12" << "折扣必须是0到10之间的数";
        QTest::newRow("negative discount") << "1" << "120" << "-1" << "折扣必须是0到10之间的数";
    }
    void badInputStoresNothing()
    {
        QFETCH(QString, quantity);
        QFETCH(QString, price);
        QFETCH(QString, discount);
        QFETCH(QString, message);
        QVERIFY(open());
        lookUp("TV-001");
        setQuantity(quantity);
        setPrice(price);
        setDiscount(discount);
        QTest::mouseClick(w->ButtonCK, Qt::LeftButton);
        QVERIFY(!f->seams.messages().isEmpty());
        QVERIFY2(f->seams.lastMessage().contains(message), qPrintable(f->seams.lastMessage()));
        QCOMPARE(lineCount(), 0);
        QCOMPARE(f->scalar("SELECT xsj FROM pl WHERE bh='TV-001'").toLongLong(), raw("3200"));
        // The lookup stays so that the value can be corrected.
        QCOMPARE(w->ComboBoxBH->currentText(), QStringLiteral("TV-001"));
    }

    void enterPosts_data()
    {
        QTest::addColumn<QString>("box");
        QTest::newRow("number box") << "ComboBoxBH";
        QTest::newRow("quantity") << "EditSN";
        QTest::newRow("price") << "DBComboBoxXSJ";
        QTest::newRow("discount") << "ComboBoxzk";
    }
    void enterPosts()
    {
        QFETCH(QString, box);
        QVERIFY(open());
        lookUp("WM-001");
        QWidget *wdg = w->findChild<QWidget *>(box);
        wdg->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY2(f->seams.shown.isEmpty(), qPrintable(f->seams.lastMessage()));
        QCOMPARE(f->scalar("SELECT count(*) FROM ck WHERE bh='WM-001'").toInt(), 1);
    }

    void saleOnCreditToAChosenCustomer()
    {
        f->start();
        f->exec("INSERT INTO kh (gsmc) VALUES ('大华商场')");
        QVERIFY(open());
        chooseCustomer("大华商场");
        lookUp("TV-001");
        w->ComboBoxFK->setCurrentText(QStringLiteral("未付"));
        QTest::mouseClick(w->ButtonCK, Qt::LeftButton);
        QVERIFY2(f->seams.shown.isEmpty(), qPrintable(f->seams.lastMessage()));
        QCOMPARE(f->rows("SELECT kh, fk FROM ck"), (QList<QVariantList>{{QStringLiteral("大华商场"), QStringLiteral("未付")}}));
        // "增新单" clears the customer and the discount.
        setDiscount("9");
        QTest::mouseClick(w->ButtonXZD, Qt::LeftButton);
        QCOMPARE(w->EditLSDH->text(), today(2));
        QCOMPARE(w->DBComboBoxKH->currentText(), QString());
        QCOMPARE(w->ComboBoxzk->currentText(), QString());
    }

    // ---------------------------------------------------------------- lending out and loss

    // "借出" and "报损" mark the line just stored, found by its id: also when the invoice's
    // lines were left filtered by another screen, and the invoice shows all its lines.
    void lendingMarksTheLineJustStored()
    {
        f->start();
        f->exec("INSERT INTO ck (lsdh, bh, mc, sn, rq) VALUES (:n, 'FR-001', '双门冰箱', 1, '2020-01-01 00:00:00')",
                {{"n", today(1)}});
        DataSet *lines = m().ADOQueryLSDH;
        lines->setFilter({{"rq", FilterCondition::Lt, QDate(2021, 1, 1)}});
        lines->setFiltered(true);
        QVERIFY(open());
        QCOMPARE(w->DBGrid1->model()->rowCount(), 1);
        postByNumber("TV-001", 2, QString(), w->Button1);
        QVERIFY2(f->seams.shown.isEmpty(), qPrintable(f->seams.lastMessage()));
        QCOMPARE(f->rows("SELECT mc, bc FROM ck ORDER BY id"),
                 (QList<QVariantList>{{QStringLiteral("双门冰箱"), QVariant()}, {QStringLiteral("液晶电视"), QStringLiteral("借出")}}));
        QVERIFY(!lines->isFiltered());
        QCOMPARE(w->DBGrid1->model()->rowCount(), 2);
        QCOMPARE(stock("液晶电视"), 0);
    }

    void writeOffTakesFromTheStoredStock()
    {
        f->start();
        f->exec("UPDATE pl SET sn=10 WHERE bh='TV-001'");
        QVERIFY(open());
        lookUp("TV-001");
        setQuantity("2");
        // Another line went into stock since the product was looked up.
        f->exec("UPDATE pl SET sn=15 WHERE bh='TV-001'");
        f->seams.confirmAnswers = {false};
        QTest::mouseClick(w->Button2, Qt::LeftButton);
        QCOMPARE(f->seams.shown.size(), 1);
        QCOMPARE(f->seams.shown[0].kind, QStringLiteral("confirm"));
        QCOMPARE(f->seams.shown[0].text, QStringLiteral("确定要报损吗?"));
        QCOMPARE(lineCount(), 0);
        QCOMPARE(w->ComboBoxBH->currentText(), QStringLiteral("TV-001"));
        f->seams.clear();
        f->seams.confirmAnswers = {true};
        QTest::mouseClick(w->Button2, Qt::LeftButton);
        QCOMPARE(f->seams.messages(), QStringList{"报损成功!"});
        QCOMPARE(stock("液晶电视"), 13);
        QCOMPARE(f->rows("SELECT sn, bc FROM ck"), (QList<QVariantList>{{2, QStringLiteral("报损")}}));
        // The lookup shows the stock as stored.
        QCOMPARE(m().ADOQueryPL->fieldByName("sn").asInteger(), 13);
    }

    // A write-off that cannot take the stock stores nothing and reports no success.
    void writeOffThatFailsStoresNothing()
    {
        f->start();
        f->exec("UPDATE pl SET sn=-32767 WHERE bh='TV-001'");
        QVERIFY(open());
        lookUp("TV-001");
        setQuantity("5");
        f->seams.confirmAnswers = {true};
        QTest::mouseClick(w->Button2, Qt::LeftButton);
        QCOMPARE(f->seams.messages().size(), 1);
        QVERIFY(f->seams.lastMessage().contains("32768"));
        QVERIFY(!f->seams.lastMessage().contains(QStringLiteral("报损成功")));
        QCOMPARE(lineCount(), 0);
        QCOMPARE(stock("液晶电视"), -32767);
        QVERIFY(!m().conn().inTransaction());
    }

    // ---------------------------------------------------------------- amount and totals

    // "实收" sets the price of the current line so that its amount is what was typed.
    void typedAmountSetsThePrice_data()
    {
        QTest::addColumn<int>("quantity");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QVariant>("price");  // raw, or null when the line is left alone
        QTest::newRow("250 on 4 units") << 4 << "250" << QVariant(raw("62.5"));
        QTest::newRow("rounded half to even") << 3 << "100" << QVariant(raw("33.3333"));
        QTest::newRow("quantity 0 is left alone") << 0 << "50" << QVariant();
        QTest::newRow("not a number is left alone") << 4 << "a1" << QVariant();
    }
    void typedAmountSetsThePrice()
    {
        QFETCH(int, quantity);
        QFETCH(QString, typed);
        QFETCH(QVariant, price);
        QVERIFY(open());
        postByNumber("TV-001", 1);
        f->exec("UPDATE ck SET sn=:q", {{"q", quantity}});
        w->EditLSDHChange();
        typeInto(w->Edit3, typed);
        QVERIFY(f->seams.shown.isEmpty());
        QCOMPARE(f->scalar("SELECT xsj FROM ck").toLongLong(), price.isNull() ? raw("3200") : price.toLongLong());
        QVERIFY(!m().ADOQueryLSDH->isEditing());
    }

    void typedAmountWithoutLinesChangesNothing()
    {
        QVERIFY(open());
        typeInto(w->Edit3, "250");
        QCOMPARE(lineCount(), 0);
        QVERIFY(f->seams.shown.isEmpty());
        QVERIFY(!m().ADOQueryLSDH->isEditing());
    }

    // Panel 1 shows the invoice's totals exactly: each line once, after every change.
    void invoiceTotalsAreExact()
    {
        QVERIFY(open());
        postByNumber("TV-001", 2, "0.1");
        postByNumber("FR-001", 3, "0.2");
        const QString expected = QStringLiteral("总金额：0.8   总数量：5");
        QCOMPARE(w->panelText(1), expected);
        QCOMPARE(w->panelText(0), QStringLiteral("共2条"));
        for (int row : {1, 0, 1})
            w->DBGrid1->clickCell(row, 0);
        QCOMPARE(w->panelText(1), expected);
        // A keystroke in the amount box rewrites the current line (3 units: 1 / 3 a unit),
        // and the totals follow.
        typeInto(w->Edit3, "1");
        QCOMPARE(w->panelText(1), QStringLiteral("总金额：1.1999   总数量：5"));
        QCOMPARE(m().lsdhTotalAmount, Money());
    }
};

QTEST_MAIN(TstStockOut)
#include "tst_stockout.moc"
