// The stock query screen: its criteria, the product rows edited in the grid with their
// amounts, the location list, reopening, and printing the list.
#include "dbwidgets/DBGrid.h"
#include "dbwidgets/DBNavigator.h"
#include "common/Fixture.h"
#include "queries/TFormPL.h"

#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStringListModel>

class TstPl : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<AppFixture> f;
    Tmain &m() { return f->main(); }

    void product(const QString &ck, const QString &bh, const QString &mc, int sn, const QVariant &xsjRaw)
    {
        f->exec("INSERT INTO pl (ck, bh, mc, sn, cgj, xsj) VALUES (:ck, :bh, :mc, :sn, 10000, :xsj)",
                {{"ck", ck}, {"bh", bh}, {"mc", mc}, {"sn", sn}, {"xsj", xsjRaw}});
    }

    // Products that differ in every criterion; stocks from negative to positive.
    void addProducts()
    {
        f->exec("DELETE FROM pl");
        product("一号仓库", "TV-001", "液晶电视", 3, 32000000);
        product("一号仓库", "TV-002", "液晶电视机架", 0, 200000);
        product("二号仓库", "", "电饭煲", -2, 265000);
        product("二号仓库东", "WM-001", "滚筒洗衣机", 7, 200000);
        product("", "FR-001", "双门冰箱", 1, QVariant());
        m().ADOTablePLL->refresh();
    }

    // Types text as a user does, one key at a time (also characters without a key code).
    static void type(QWidget *w, const QString &text)
    {
        w->setFocus();
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }

    TFormPL *open()
    {
        // Activation handlers run only in an active main window.
        m().activateWindow();
        if (!QTest::qWaitForWindowActive(&m()))
            qWarning("main window not active");
        m().action("ActionKCCX")->trigger();
        auto *w = qobject_cast<TFormPL *>(m().lastOpened("ActionKCCX"));
        if (w)
            QTest::qWait(0);
        return w;
    }

    QStringList listed(const QString &field = QStringLiteral("mc"))
    {
        QStringList out;
        DataSet *ds = m().ADOQueryPLCX;
        const int c = ds->fieldIndex(field);
        for (int r = 0; r < ds->recordCount(); ++r)
            out << ds->displayText(r, c);
        return out;
    }

    static int column(DBGrid *g, const QString &field)
    {
        for (int c = 0; c < g->model()->columnCount(); ++c)
            if (g->fieldNameOfColumn(c) == field)
                return c;
        return -1;
    }

    // Types into a grid cell through its editor, as a double click and typing do.
    static void typeCell(DBGrid *g, int row, const QString &field, const QString &text)
    {
        const QModelIndex i = g->model()->index(row, column(g, field));
        g->setFocus();
        g->setCurrentIndex(i);
        g->edit(i);
        QLineEdit *e = nullptr;
        for (QLineEdit *l : g->viewport()->findChildren<QLineEdit *>())
            if (l->isVisible())
                e = l;
        QVERIFY2(e, qPrintable(field));
        e->selectAll();
        type(e, text);
        QTest::keyClick(e, Qt::Key_Return);
        QApplication::processEvents();  // the editor hands its text over from the event loop
    }

    static QString cell(DBGrid *g, int row, const QString &field)
    {
        return g->model()->index(row, column(g, field)).data().toString();
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

    void screenShowsEveryProductByStock()
    {
        addProducts();
        TFormPL *w = open();
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), QStringLiteral("库存查询,可以对现有的产品做输入,没有用编号请不填写编号,有填数量必须"
                                                  "填销售价，不然金额不能计算错误"));
        QCOMPARE(w->SpeedButton_Print->toolTip(), QStringLiteral("打印"));
        QCOMPARE(w->CheckBox1->text(), QStringLiteral("不显示0以下的库存"));
        QVERIFY(!w->CheckBox1->isChecked());
        QCOMPARE(w->ButtonRK->text(), QStringLiteral("查询"));
        QVERIFY(w->ButtonRK->isDefault());
        QCOMPARE(w->ComboBoxbh->count(), 1);
        QCOMPARE(w->ComboBoxbh->itemText(0), QString());
        QCOMPARE(w->ComboBoxMC->count(), 0);
        for (QComboBox *c : {w->ComboBoxCK, w->ComboBoxbh, w->ComboBoxMC})
            QVERIFY2(c->isEditable() && c->currentText().isEmpty(), qPrintable(c->objectName()));
        QStringList labels;
        for (QLabel *l : w->Panel1->findChildren<QLabel *>())
            if (l->buddy())
                labels << l->text() + "=" + l->buddy()->objectName();
        QCOMPARE(labels, (QStringList{"商品位置=ComboBoxCK", "编号:=ComboBoxbh", "名称=ComboBoxMC", "销售价=Edit2"}));
        QStringList heads;
        for (int c = 0; c < w->DBGrid1->model()->columnCount(); ++c)
            heads << w->DBGrid1->model()->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(heads, (QStringList{"商品位置", "编号", "全称", "数量", "销售价", "金额"}));
        QCOMPARE(w->DBGrid1->dataSet(), m().ADOQueryPLCX);
        QCOMPARE(w->DBNavigator1->dataSet(), m().ADOQueryPLCX);
        QVERIFY(!w->DBGrid1->isReadOnly());
        // The command read the list afresh; the status bar waits for the first query.
        QCOMPARE(listed(), (QStringList{"电饭煲", "液晶电视机架", "双门冰箱", "液晶电视", "滚筒洗衣机"}));
        QCOMPARE(listed("zjr"), (QStringList{"-53", "0", "0", "9600", "140"}));
        for (int i = 0; i < 4; ++i)
            QCOMPARE(w->panelText(i), QString());
        w->ButtonRK->click();
        QCOMPARE(listed().size(), 5);
        QCOMPARE(w->panelText(0), QStringLiteral("共5条"));
        for (int i = 1; i < 4; ++i)
            QCOMPARE(w->panelText(i), QString());
    }

    void query_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("location exactly") << "ComboBoxCK" << "二号仓库" << QStringList{"电饭煲"};
        QTest::newRow("part of a location finds none") << "ComboBoxCK" << "仓库" << QStringList{};
        QTest::newRow("part of a name") << "ComboBoxMC" << "电视" << QStringList{"液晶电视机架", "液晶电视"};
        QTest::newRow("part of a number, any case") << "ComboBoxbh" << "tv-" << QStringList{"液晶电视机架", "液晶电视"};
        QTest::newRow("sale price as a number") << "Edit2" << "20.00" << QStringList{"液晶电视机架", "滚筒洗衣机"};
        QTest::newRow("sale price with decimals") << "Edit2" << "26.5" << QStringList{"电饭煲"};
        QTest::newRow("stock above zero only") << "CheckBox1" << "" << QStringList{"双门冰箱", "液晶电视", "滚筒洗衣机"};
        QTest::newRow("a quote is only a character") << "ComboBoxMC" << "电' or '1'='1" << QStringList{};
    }
    void query()
    {
        QFETCH(QString, box);
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        addProducts();
        TFormPL *w = open();
        QWidget *target = w->CheckBox1;
        if (box == QLatin1String("CheckBox1"))
            w->CheckBox1->click();
        else if (auto *c = w->findChild<QComboBox *>(box))
            target = c->lineEdit();
        else
            target = child<QLineEdit>(w, box);
        if (target != w->CheckBox1)
            type(target, text);
        QTest::keyClick(target, Qt::Key_Return);
        QCOMPARE(listed(), expected);
        QCOMPARE(w->panelText(0), "共" + QString::number(expected.size()) + "条");
        QVERIFY(f->seams.messages().isEmpty());
    }

    void criteriaCombine()
    {
        addProducts();
        TFormPL *w = open();
        type(w->ComboBoxMC->lineEdit(), "液晶");
        type(w->ComboBoxCK->lineEdit(), "一号仓库");
        w->CheckBox1->click();
        w->ButtonRK->click();
        QCOMPARE(listed(), QStringList{"液晶电视"});
        QCOMPARE(m().ADOQueryPLCX->sql(),
                 QStringLiteral("select * from pl where 1=1\nand ck=:ck1\nand mc like :mc1\nand sn>0\norder by sn"));
    }

    // A sale price that is not a number is refused with a message; the list, its rows
    // and the status bar stay as they were.
    void salePriceNotANumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("letters") << "abc";
        QTest::newRow("two points") << "1.2.3";
        QTest::newRow("with a unit") << "20元";
    }
    void salePriceNotANumber()
    {
        QFETCH(QString, text);
        addProducts();
        TFormPL *w = open();
        type(w->ComboBoxMC->lineEdit(), "电视");
        w->ButtonRK->click();
        const QString sql = m().ADOQueryPLCX->sql();
        type(w->Edit2, text);
        w->ButtonRK->click();
        QCOMPARE(f->seams.messages(),
                 QStringList{QStringLiteral("销售价“%1”不是有效的数字，请输入例如 12 或 12.5").arg(text)});
        QVERIFY(m().ADOQueryPLCX->isActive());
        QCOMPARE(m().ADOQueryPLCX->sql(), sql);
        QCOMPARE(listed(), (QStringList{"液晶电视机架", "液晶电视"}));
        QCOMPARE(w->panelText(0), QStringLiteral("共2条"));
    }

    // A product typed into the grid gets its amount as quantity × sale price (none counts
    // as 0) and its initials from the name, and is stored in the product table.
    void newProductInTheGrid_data()
    {
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("amount");
        QTest::newRow("quantity 5, price 20") << "20" << "100";
        QTest::newRow("no sale price") << "" << "0";
    }
    void newProductInTheGrid()
    {
        QFETCH(QString, price);
        QFETCH(QString, amount);
        TFormPL *w = open();
        DataSet *ds = m().ADOQueryPLCX;
        const int before = ds->recordCount();
        w->DBNavigator1->click(DBNavigator::Insert);
        const int row = ds->recNo();
        typeCell(w->DBGrid1, row, "ck", "三号仓库");
        typeCell(w->DBGrid1, row, "mc", "电热水壶");
        typeCell(w->DBGrid1, row, "sn", "5");
        if (!price.isEmpty())
            typeCell(w->DBGrid1, row, "xsj", price);
        QCOMPARE(cell(w->DBGrid1, row, "zjr"), amount);
        w->DBNavigator1->click(DBNavigator::Post);
        QVERIFY(f->seams.messages().isEmpty());
        const auto stored = f->rows("SELECT ck, sn, xsj, cj FROM pl WHERE mc='电热水壶'");
        QCOMPARE(stored.size(), 1);
        QCOMPARE(stored[0].value(0).toString(), QStringLiteral("三号仓库"));
        QCOMPARE(stored[0].value(1).toInt(), 5);
        QCOMPARE(stored[0].value(2), price.isEmpty() ? QVariant() : QVariant(qlonglong(200000)));
        QCOMPARE(stored[0].value(3).toString(), QStringLiteral("drsh"));
        QCOMPARE(ds->recordCount(), before + 1);
        QCOMPARE(cell(w->DBGrid1, ds->recNo(), "zjr"), amount);
    }

    // Changing a product's stock and price in the grid changes its amount and the table.
    void editStockAndPriceInTheGrid()
    {
        addProducts();
        TFormPL *w = open();
        QCOMPARE(listed().indexOf("液晶电视"), 3);
        typeCell(w->DBGrid1, 3, "sn", "4");
        QCOMPARE(cell(w->DBGrid1, 3, "zjr"), QStringLiteral("12800"));
        typeCell(w->DBGrid1, 3, "xsj", "3199.5");
        QCOMPARE(cell(w->DBGrid1, 3, "zjr"), QStringLiteral("12798"));
        w->DBNavigator1->click(DBNavigator::Post);
        const auto row = f->rows("SELECT sn, xsj FROM pl WHERE mc='液晶电视'").value(0);
        QCOMPARE(row.value(0).toInt(), 4);
        QCOMPARE(row.value(1).toLongLong(), 31995000);
        // Renaming in the stock list gives new initials.
        typeCell(w->DBGrid1, 3, "mc", "电视机");
        w->DBNavigator1->click(DBNavigator::Post);
        QCOMPARE(f->scalar("SELECT cj FROM pl WHERE bh='TV-001'").toString(), QStringLiteral("dsj"));
    }

    // An edit left in the grid is stored by the next query, not dropped with the old list.
    void queryStoresAPendingGridEdit()
    {
        addProducts();
        TFormPL *w = open();
        typeCell(w->DBGrid1, 4, "sn", "9");
        QCOMPARE(m().ADOQueryPLCX->state(), DataSet::State::Edit);
        w->ButtonRK->click();
        QCOMPARE(f->scalar("SELECT sn FROM pl WHERE mc='滚筒洗衣机'").toInt(), 9);
        QCOMPARE(listed().last(), QStringLiteral("滚筒洗衣机"));
    }

    // Each activation lists the location of every product row in table order, duplicates
    // and empty ones included, and keeps what the box shows.
    void locationListOnActivation()
    {
        addProducts();
        TFormPL *w = open();
        const QStringList expected = {"一号仓库", "一号仓库", "二号仓库", "二号仓库东", ""};
        auto items = [w] {
            QStringList l;
            for (int i = 0; i < w->ComboBoxCK->count(); ++i)
                l << w->ComboBoxCK->itemText(i);
            return l;
        };
        QCOMPARE(items(), expected);
        type(w->ComboBoxCK->lineEdit(), "一号仓库");
        m().action("ActionRKKD")->trigger();
        QWidget *rkkd = m().lastOpened("ActionRKKD");
        QVERIFY(rkkd);
        QTest::qWait(0);
        m().findChild<QMdiArea *>()->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(w->parentWidget()));
        QTest::qWait(0);
        QCOMPARE(items(), expected);
        QCOMPARE(w->ComboBoxCK->currentText(), QStringLiteral("一号仓库"));
    }

    // The command re-runs the last statement: a reopened screen shows the filtered list,
    // and the key while it is open says so and still shows current stock.
    void reopeningKeepsTheLastQuery()
    {
        addProducts();
        TFormPL *w = open();
        type(w->ComboBoxMC->lineEdit(), "电视");
        w->ButtonRK->click();
        w->close();
        QTest::qWait(0);
        QVERIFY(m().instanceFlag("TFormPL"));
        f->exec("UPDATE pl SET sn=20 WHERE mc='液晶电视机架'");
        w = open();
        QVERIFY(w);
        QCOMPARE(listed(), (QStringList{"液晶电视", "液晶电视机架"}));
        f->exec("UPDATE pl SET sn=1 WHERE mc='液晶电视机架'");
        m().action("ActionKCCX")->trigger();
        QCOMPARE(f->seams.lastMessage(), QStringLiteral("该窗口已经打开了"));
        QCOMPARE(listed(), (QStringList{"液晶电视机架", "液晶电视"}));
    }

    void printTheList()
    {
        QVERIFY(QFile::copy(QStringLiteral(REPORTS_DIR "/pl.rav"), f->path("pl.rav")));
        addProducts();
        TFormPL *w = open();
        w->CheckBox1->click();
        w->ButtonRK->click();
        const int current = m().ADOQueryPLCX->recNo();
        w->SpeedButton_Print->click();
        QCOMPARE(f->seams.printedText.size(), 1);
        const QString text = f->seams.printedText.first();
        QVERIFY(text.contains(QStringLiteral("库存单据")));
        QVERIFY(text.indexOf(QStringLiteral("双门冰箱")) < text.indexOf(QStringLiteral("液晶电视")));
        QVERIFY(text.indexOf(QStringLiteral("液晶电视")) < text.indexOf(QStringLiteral("滚筒洗衣机")));
        QVERIFY(!text.contains(QStringLiteral("电饭煲")));
        QVERIFY(text.contains(QStringLiteral("总数量：11")));
        QVERIFY(text.contains(QStringLiteral("总金额：9740")));
        QVERIFY(text.contains(QStringLiteral("共计条数：3")));
        QCOMPARE(m().ADOQueryPLCX->recNo(), current);
        QFile::remove(f->path("pl.rav"));
        w->SpeedButton_Print->click();
        QCOMPARE(f->seams.lastMessage(), "The following reporting project does not exist:\n\"" + f->path("pl.rav") + "\"");
    }
};

QTEST_MAIN(TstPl)
#include "tst_pl.moc"
