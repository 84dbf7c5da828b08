// The stock-in invoice screen driven through its controls: its lookups, posting with its
// refusals, and Enter. What it shares with the stock-out screen is tested in tests/invoice.
#include "common/Fixture.h"
#include "dataset/Formats.h"
#include "masterdata/Tformgys.h"
#include "stockin/Trkkd.h"
#include "dbwidgets/DBNavigator.h"

#include <QApplication>
#include <QMdiSubWindow>

class TstStockIn : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<AppFixture> f;
    Trkkd *w = nullptr;

    Tmain &m() { return f->main(); }
    static QString today(int counter) { return fmt::documentNumber(QDate::currentDate(), counter); }

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

    // Prices and amounts that leave what can be kept exactly are refused before anything
    // is stored; nothing wraps around.
    void amountsOutOfRangeAreRefused_data()
    {
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("storedPrice");  // the product's price already on file
        QTest::addColumn<qlonglong>("invoiceSoFar");  // raw amount of a line already on the invoice
        QTest::addColumn<QString>("message");
        QTest::newRow("the price of the report")
            << "32767" << "900000000000000" << "" << 0LL << "“采购价”必须在-99999999.9999到99999999.9999之间";
        QTest::newRow("above the largest price")
            << "1" << "100000000" << "" << 0LL << "“采购价”必须在-99999999.9999到99999999.9999之间";
        QTest::newRow("five decimals") << "1" << "0.00005" << "" << 0LL << "最多只能输入4位小数";
        QTest::newRow("sales price with five decimals")
            << "1" << "" << "" << 0LL << "“0.12345”的小数超过了4位，“销售价”最多只能输入4位小数";
        QTest::newRow("a stored price beyond the limit")
            << "32767" << "" << "900000000000000" << 0LL << "“采购价”必须在-99999999.9999到99999999.9999之间";
        QTest::newRow("the invoice's total beyond the range")
            << "2" << "10" << "" << 9223372036854700000LL << "金额超出了可以计算的范围";
    }
    void amountsOutOfRangeAreRefused()
    {
        QFETCH(QString, quantity);
        QFETCH(QString, price);
        QFETCH(QString, storedPrice);
        QFETCH(qlonglong, invoiceSoFar);
        QFETCH(QString, message);
        f->start();
        if (!storedPrice.isEmpty())
            f->exec("UPDATE pl SET cgj=:p WHERE bh='TV-001'", {{"p", storedPrice.toLongLong() * 10000}});
        if (invoiceSoFar)
            f->exec("INSERT INTO rk (lsdh, bh, mc, sn, cgj) VALUES (:n, 'FR-001', '双门冰箱', 1, :c)",
                    {{"n", today(1)}, {"c", invoiceSoFar}});
        QVERIFY(open());
        typeNumber("TV-001");
        setQuantity(quantity);
        if (!price.isEmpty())
            replaceText(w->DBEditcgj, price);
        if (QString(QTest::currentDataTag()) == "sales price with five decimals")
            replaceText(w->DBEditxsj, "0.12345");
        const qint64 before = f->scalar("SELECT cgj FROM pl WHERE bh='TV-001'").toLongLong();
        // The click leaves the price box (which refuses its text) and then posts (which
        // refuses it again); either way nothing is stored.
        QTest::mouseClick(w->ButtonRK, Qt::LeftButton);
        QVERIFY(!f->seams.messages().isEmpty());
        for (const QString &shown : f->seams.messages())
            QVERIFY2(shown.contains(message), qPrintable(shown));
        QCOMPARE(f->scalar("SELECT count(*) FROM rk WHERE bh='TV-001'").toInt(), 0);
        QCOMPARE(f->scalar("SELECT cgj FROM pl WHERE bh='TV-001'").toLongLong(), before);
        QCOMPARE(f->scalar("SELECT count(*) FROM pl").toInt(), 4);
    }

    // A product needs its full name: the number lookup of a new one, the name emptied
    // after a name lookup, or a name of blanks is refused.
    void productWithoutNameIsRefused_data()
    {
        QTest::addColumn<bool>("byNumber");
        QTest::addColumn<QString>("fullName");
        QTest::newRow("new number, name left empty") << true << "";
        QTest::newRow("new number, blanks for a name") << true << "   ";
        QTest::newRow("name lookup, name deleted") << false << "";
    }
    void productWithoutNameIsRefused()
    {
        QFETCH(bool, byNumber);
        QFETCH(QString, fullName);
        QVERIFY(open());
        if (byNumber) {
            typeNumber("NEW-02");
            QCOMPARE(w->Label3->text(), QStringLiteral("新入"));
        } else {
            typeName("新电器");
        }
        w->DBComboBoxmc->setFocus();
        w->DBComboBoxmc->lineEdit()->selectAll();
        QTest::keyClick(w->DBComboBoxmc->lineEdit(), Qt::Key_Delete);
        if (!fullName.isEmpty())
            typeText(w->DBComboBoxmc->lineEdit(), fullName);
        replaceText(w->DBEditcgj, "12");
        QTest::keyClick(w->DBEditcgj, Qt::Key_Return);
        QCOMPARE(f->seams.messages(), QStringList{"请输入产品的全称，没有全称的产品不能入库"});
        QCOMPARE(f->scalar("SELECT count(*) FROM pl").toInt(), 4);
        QCOMPARE(f->scalar("SELECT count(*) FROM rk").toInt(), 0);
        // With a name it posts.
        f->seams.clear();
        typeInto(w->DBComboBoxmc, "新电器二号");
        QTest::keyClick(w->DBComboBoxmc->lineEdit(), Qt::Key_Return);
        QVERIFY2(f->seams.shown.isEmpty(), qPrintable(f->seams.lastMessage()));
        QCOMPARE(f->scalar("SELECT count(*) FROM pl WHERE mc IS NULL OR trim(mc)=''").toInt(), 0);
        QCOMPARE(f->scalar("SELECT mc FROM rk").toString().trimmed(), fullName.trimmed() + "新电器二号");
    }

    // Enter on a row of either grid posts, as it does in the boxes.
    void enterOnAGridRowPosts_data()
    {
        QTest::addColumn<QString>("grid");
        QTest::newRow("results") << "DBGrid2";
        QTest::newRow("lines") << "DBGrid1";
    }
    void enterOnAGridRowPosts()
    {
        QFETCH(QString, grid);
        QVERIFY(open());
        postByNumber("TV-001", 1);
        typeName("电");  // 液晶电视 and 电饭煲
        auto *g = w->findChild<DBGrid *>(grid);
        const QRect cell = g->visualRect(g->model()->index(g == w->DBGrid2 ? 1 : 0, 0));
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, cell.center());
        if (g == w->DBGrid2)
            QCOMPARE(w->ComboBoxMC->currentText(), QStringLiteral("电饭煲"));
        QCOMPARE(QApplication::focusWidget(), g);
        QTest::keyClick(g, Qt::Key_Return);
        QVERIFY2(f->seams.shown.isEmpty(), qPrintable(f->seams.lastMessage()));
        QCOMPARE(lines(today(1)), 2);
        QCOMPARE(f->scalar("SELECT mc FROM rk ORDER BY rowid DESC").toString(),
                 g == w->DBGrid2 ? QStringLiteral("电饭煲") : QStringLiteral("液晶电视"));
    }

    // A 50-character name in the name list leaves the panels at their width, and the
    // results grid shows the sales price.
    void longNamesKeepThePanels()
    {
        QVERIFY(open());
        const int formWidth = w->DBComboBoxmc->width();
        const int resultsWidth = w->GroupBox1->width();
        w->parentWidget()->close();
        QTRY_VERIFY(m().instanceFlag("Trkkd"));
        const QString longName = QString(50, QChar(0x957F));
        f->exec("INSERT INTO pl (bh, mc, xsj) VALUES ('LONG-1', :m, 29999900)", {{"m", longName}});
        QVERIFY(open());
        QVERIFY(w->DBComboBoxmc->findText(longName) >= 0);
        typeNumber("LONG-1");
        QApplication::processEvents();
        QCOMPARE(w->DBComboBoxmc->width(), formWidth);
        QCOMPARE(w->GroupBox1->width(), resultsWidth);
        DBGrid *g = w->DBGrid2;
        const int price = g->dataModel()->columnOfField(m().ADOQueryPL->fieldIndex("xsj"));
        QVERIFY(g->columnViewportPosition(price) + 40 <= g->viewport()->width());
        QCOMPARE(g->model()->index(0, price).data().toString(), QStringLiteral("2999.99"));
    }
};

QTEST_MAIN(TstStockIn)
#include "tst_stockin.moc"
