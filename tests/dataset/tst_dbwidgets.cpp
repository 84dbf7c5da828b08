// The data-aware widgets: the grid's model, current-row sync and the edit boxes'
// write-back rules.
#include "dbwidgets/DBControls.h"
#include "dbwidgets/DBGrid.h"
#include "dbwidgets/DBNavigator.h"
#include "dbwidgets/DataSetModel.h"
#include "dataset/Errors.h"
#include "common/Fixture.h"
#include "store/Schema.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QVBoxLayout>

// A control and a plain text box in one active window, as a screen holds them.
struct ControlWindow {
    QWidget window;
    QLineEdit *other = nullptr;
    void build(QWidget *control)
    {
        control->setParent(&window);
        other = new QLineEdit(&window);
        auto *v = new QVBoxLayout(&window);
        v->addWidget(control);
        v->addWidget(other);
        window.resize(900, 400);
        window.show();
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window))
            qWarning("window not active");
    }
};

struct GridWindow : ControlWindow {
    DBGrid *grid = new DBGrid;
    explicit GridWindow(DataSet *ds)
    {
        grid->setDataSet(ds);
        build(grid);
    }
    int column(const QString &field) const { return grid->dataModel()->columnOfField(grid->dataSet()->fieldIndex(field)); }
    // Opens the cell's editor as a double click does and types into it; Enter confirms.
    QLineEdit *type(int row, const QString &field, const QString &text, bool enter = true)
    {
        grid->setFocus();
        auto *editor = qobject_cast<QLineEdit *>(openCell(grid, row, field));
        if (!editor)
            return nullptr;
        editor->selectAll();
        typeText(editor, text);
        if (enter) {
            QTest::keyClick(editor, Qt::Key_Return);
            QApplication::processEvents();  // the delegate confirms after the key
        }
        return editor;
    }
};

class TstDbWidgets : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<AppFixture> f;

private slots:
    void init()
    {
        f = std::make_unique<AppFixture>();
        f->createMain();
    }
    void cleanup() { f.reset(); }

    void gridModelIsConsistent()
    {
        DataSet *ds = f->main().ADOQueryPLCX;
        DataSetModel model(ds);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        ds->close();
        ds->open();
        QCOMPARE(model.rowCount(), 4);
        QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("商品位置"));
        // Hidden fields are not columns: ck, bh, mc, sn, xsj, zjr.
        QCOMPARE(model.columnCount(), 6);
        ds->insert();
        QCOMPARE(model.rowCount(), 5);
        ds->cancel();
        QCOMPARE(model.rowCount(), 4);
        ds->setSql("select * from pl where sn>100");
        QCOMPARE(model.rowCount(), 0);
    }

    void gridRowIsTheCurrentRecord()
    {
        DataSet *ds = f->main().ADOTablePLL;
        DBGrid grid;
        grid.setDataSet(ds);
        grid.show();
        ds->last();
        QCOMPARE(grid.currentIndex().row(), 3);
        grid.clickCell(1, 0);
        QCOMPARE(ds->recNo(), 1);
    }

    void gridEditWritesTheField()
    {
        DataSet *ds = f->main().ADOTablePLL;
        DBGrid grid;
        grid.setDataSet(ds);
        const int col = grid.dataModel()->columnOfField(ds->fieldIndex("ck"));
        QVERIFY(grid.dataModel()->setData(grid.dataModel()->index(2, col), "三号仓库"));
        ds->post();
        QCOMPARE(f->scalar("SELECT count(*) FROM pl WHERE ck='三号仓库'").toInt(), 1);
        // A value that does not convert is refused with a message; nothing changes.
        const int sn = grid.dataModel()->columnOfField(ds->fieldIndex("sn"));
        QVERIFY(!grid.dataModel()->setData(grid.dataModel()->index(2, sn), "十"));
        QVERIFY(f->seams.lastMessage().contains(QStringLiteral("不是有效的整数")));
        QCOMPARE(f->scalar("SELECT sum(sn) FROM pl").toInt(), 0);
    }

    // Typing puts the data set into editing; the text reaches the field before a post.
    void editWritesBackBeforePost()
    {
        DataSet *ds = f->main().ADOTablePLL;
        ds->first();
        DBEdit edit;
        edit.setDataField(ds, "xsj");
        edit.show();
        QCOMPARE(edit.text(), QStringLiteral("3200"));
        edit.selectAll();
        QTest::keyClicks(&edit, "3199.5");
        QVERIFY(ds->isEditing());
        ds->post();
        QCOMPARE(f->scalar("SELECT xsj FROM pl WHERE mc='液晶电视'").toLongLong(), 31995000LL);
    }

    void editRefusesBadTextAndKeepsTheRecord()
    {
        DataSet *ds = f->main().ADOTablePLL;
        ds->first();
        DBEdit edit;
        edit.setDataField(ds, "xsj");
        edit.show();
        edit.selectAll();
        QTest::keyClicks(&edit, "12.3.4");
        QVERIFY_THROWS_EXCEPTION(InputError, ds->post());
        QCOMPARE(edit.text(), QStringLiteral("3200"));
        ds->cancel();
        QCOMPARE(f->scalar("SELECT xsj FROM pl WHERE mc='液晶电视'").toLongLong(), 32000000LL);
    }

    // The first keystroke on an empty data set starts one new record, not a stored half one.
    void typingIntoAnEmptyDataSetStartsOneRecord()
    {
        DataSet *ds = f->main().ADOQueryPL;
        ds->setSql("select * from pl where mc=:m");
        ds->setParam("m", "没有");
        ds->open();
        DBEdit name;
        name.setDataField(ds, "mc");
        DBEdit price;
        price.setDataField(ds, "xsj");
        name.show();
        QTest::keyClicks(&name, "NEW-1");
        QTest::keyClicks(&price, "12.5");
        ds->post();
        QCOMPARE(f->scalar("SELECT count(*) FROM pl").toInt(), 5);
        QCOMPARE(f->scalar("SELECT xsj FROM pl WHERE mc='NEW-1'").toLongLong(), 125000LL);
    }

    void editAcceptsNoMoreThanTheFieldHolds()
    {
        DBEdit edit;
        edit.setDataField(f->main().ADOTablePLL, "mc");
        QCOMPARE(edit.maxLength(), 50);
    }

    // A box that only shows its field: typing stays in the box, the record is never touched.
    void displayOnlyBoxNeverEditsTheRecord()
    {
        DataSet *ds = f->main().ADOTablePLL;
        ds->first();
        auto *box = new DBComboBox;
        box->setDataField(ds, "mc");
        box->setDisplayOnly(true);
        ControlWindow w;
        w.build(box);
        box->setFocus();
        box->lineEdit()->end(false);
        QTest::keyClicks(box->lineEdit(), "ys");
        QCOMPARE(box->currentText(), QStringLiteral("液晶电视ys"));
        w.other->setFocus();
        QVERIFY(!ds->isEditing());
        ds->checkBrowseMode();
        QCOMPARE(f->scalar("SELECT count(*) FROM pl WHERE mc='液晶电视'").toInt(), 1);
        // Another record on show replaces the typing.
        ds->next();
        QCOMPARE(box->currentText(), ds->fieldByName("mc").asString());
    }

    // One long entry in the list must not widen the box (and the panel around it).
    void comboBoxKeepsItsWidthWithALongEntry()
    {
        DBComboBox box;
        box.addItems({"液晶电视", "电饭煲"});
        const QSize before = box.sizeHint();
        box.addItem(QString(50, QChar(0x957F)));
        QCOMPARE(box.sizeHint(), before);
    }

    // Prices and amounts typed into a box or a cell: at most 4 decimals, within the entry
    // limit; the same message either way, and the record keeps its value.
    void priceEntryRules_data()
    {
        QTest::addColumn<bool>("inGrid");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        for (bool grid : {false, true}) {
            const char *where = grid ? "cell: " : "box: ";
            QTest::newRow(qPrintable(where + QString("five decimals")))
                << grid << "0.00005" << "“0.00005”的小数超过了4位，“销售价”最多只能输入4位小数";
            QTest::newRow(qPrintable(where + QString("above the largest price")))
                << grid << "900000000000000" << "“销售价”必须在-99999999.9999到99999999.9999之间";
            QTest::newRow(qPrintable(where + QString("not a number")))
                << grid << "1.2.3" << "“1.2.3”不是有效的金额，“销售价”只能输入数字";
        }
    }
    void priceEntryRules()
    {
        QFETCH(bool, inGrid);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        DataSet *ds = f->main().ADOTablePLL;
        ds->first();
        if (inGrid) {
            GridWindow w(ds);
            QVERIFY(w.type(0, "xsj", typed));
        } else {
            auto *edit = new DBEdit;
            edit->setDataField(ds, "xsj");
            ControlWindow w;
            w.build(edit);
            edit->setFocus();
            edit->selectAll();
            QTest::keyClicks(edit, typed);
            w.other->setFocus();
            // Left with a refused text, the box keeps it; posting refuses it again and
            // shows the stored value.
            QCOMPARE(edit->text(), typed);
            QVERIFY_THROWS_EXCEPTION(InputError, ds->post());
            QCOMPARE(edit->text(), QStringLiteral("3200"));
            ds->cancel();
        }
        QCOMPARE(f->seams.messages(), QStringList{message});
        ds->checkBrowseMode();
        QCOMPARE(f->scalar("SELECT xsj FROM pl WHERE mc='液晶电视'").toLongLong(), 32000000LL);
    }

    // An edit confirmed with Enter reaches the record and is stored once the focus moves
    // to another control; a remark and a quantity alike.
    void gridEditIsStoredWhenTheFocusLeaves_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QVariant>("stored");
        QTest::newRow("remark") << "lb" << "包装破损" << QVariant(QStringLiteral("包装破损"));
        QTest::newRow("quantity") << "sn" << "7" << QVariant(7);
    }
    void gridEditIsStoredWhenTheFocusLeaves()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QVariant, stored);
        f->exec("INSERT INTO rk (lsdh, mc, sn) VALUES ('A-1', '液晶电视', 1)");
        DataSet *ds = f->main().ADOQueryRKDH;
        ds->setSql("select * from rk where lsdh=:RKdh");
        ds->setParam("RKdh", "A-1");
        ds->open();
        GridWindow w(ds);
        QVERIFY(w.type(0, field, typed));
        QVERIFY(ds->isEditing());
        QCOMPARE(f->scalar(QString("SELECT %1 FROM rk").arg(field)).toString(), field == "sn" ? "1" : "");
        w.other->setFocus();
        QVERIFY(!ds->isEditing());
        QCOMPARE(f->scalar(QString("SELECT %1 FROM rk").arg(field)), stored);
        QVERIFY(f->seams.shown.isEmpty());
    }

    // A new row without its name is dropped however it is left; with a name it is stored.
    void newRowWithoutNameIsDropped_data()
    {
        QTest::addColumn<QString>("leftBy");
        QTest::addColumn<QString>("name");
        for (const char *by : {"navigator post", "another row", "focus elsewhere", "navigator insert"}) {
            QTest::newRow(qPrintable(QString(by) + ", no name")) << by << "";
            QTest::newRow(qPrintable(QString(by) + ", blank name")) << by << "   ";
            QTest::newRow(qPrintable(QString(by) + ", named")) << by << "华强电器";
        }
    }
    void newRowWithoutNameIsDropped()
    {
        QFETCH(QString, leftBy);
        QFETCH(QString, name);
        f->exec("INSERT INTO gys (gysmc) VALUES ('甲商店'), ('乙商店')");
        DataSet *ds = f->main().ADOTableGYS;
        ds->refresh();
        dbwidgets::setNameField(ds, "gysmc");
        GridWindow w(ds);
        DBNavigator nav(&w.window);
        nav.setDataSet(ds);
        nav.click(DBNavigator::Insert);
        QVERIFY(w.type(2, "lxrxm", "张三"));
        if (!name.isEmpty())
            QVERIFY(w.type(2, "gysmc", name));
        if (leftBy == "navigator post")
            nav.click(DBNavigator::Post);
        else if (leftBy == "another row")
            w.grid->clickCell(0, 0);
        else if (leftBy == "focus elsewhere")
            w.other->setFocus();
        else
            nav.click(DBNavigator::Insert);
        const bool named = !name.trimmed().isEmpty();
        QCOMPARE(f->scalar("SELECT count(*) FROM gys").toInt(), named ? 3 : 2);
        QCOMPARE(f->scalar("SELECT count(*) FROM gys WHERE gysmc IS NULL OR trim(gysmc)=''").toInt(), 0);
        if (leftBy == "another row")
            QCOMPARE(ds->recNo(), 0);
        QVERIFY(f->seams.shown.isEmpty());
    }

    // The navigator's delete button asks first; only OK deletes.
    void navigatorAsksBeforeDeleting_data()
    {
        QTest::addColumn<bool>("answer");
        QTest::newRow("OK") << true;
        QTest::newRow("Cancel") << false;
    }
    void navigatorAsksBeforeDeleting()
    {
        QFETCH(bool, answer);
        f->exec("INSERT INTO rk (lsdh, mc, sn) VALUES ('A-1', '液晶电视', 1), ('A-1', '电饭煲', 2)");
        DataSet *ds = f->main().ADOQueryRKDH;
        ds->setSql("select * from rk where lsdh=:RKdh");
        ds->setParam("RKdh", "A-1");
        ds->open();
        DBNavigator nav;
        nav.setDataSet(ds);
        f->seams.askAnswers = {answer};
        nav.click(DBNavigator::Delete);
        QCOMPARE(f->seams.shown.size(), 1);
        QCOMPARE(f->seams.shown[0].kind, QStringLiteral("ask"));
        QCOMPARE(f->seams.shown[0].text, QStringLiteral("删除这条记录吗?"));
        QCOMPARE(f->scalar("SELECT count(*) FROM rk").toInt(), answer ? 1 : 2);
        QCOMPARE(ds->recordCount(), answer ? 1 : 2);
    }

    // Amounts and dates are shown whole; a long name takes at most its share of the width.
    void gridColumnsFitTheirContents()
    {
        f->exec("INSERT INTO rk (lsdh, mc, sn, cgj, rq) VALUES ('A-1', :m, 12, 24999900, '2026-12-10 14:33:20')",
                {{"m", QString(50, QChar(0x957F))}});
        DataSet *ds = f->main().ADOQueryRKDH;
        ds->setSql("select * from rk where lsdh=:RKdh");
        ds->setParam("RKdh", "A-1");
        ds->open();
        GridWindow w(ds);
        const QFontMetrics fm(w.grid->font());
        for (const char *field : {"cgj", "zjr", "rq", "sn", "lsdh"}) {
            const int c = w.column(field);
            const QString text = w.grid->model()->index(0, c).data().toString();
            const QString title = w.grid->model()->headerData(c, Qt::Horizontal).toString();
            QVERIFY2(w.grid->columnWidth(c) >= fm.horizontalAdvance(text) + 6, field);
            QVERIFY2(w.grid->columnWidth(c) >= w.grid->horizontalHeader()->fontMetrics().horizontalAdvance(title), field);
        }
        QCOMPARE(w.grid->model()->index(0, w.column("zjr")).data().toString(), QStringLiteral("29999.88"));
        QCOMPARE(w.grid->columnWidth(w.column("mc")), DBGrid::MaxColumnWidth);
    }

    void navigatorButtonsHaveTheirHints()
    {
        DBNavigator nav;
        nav.setDataSet(f->main().ADOTablePLL);
        const QStringList hints = {"首条", "上一条", "下一条", "尾条", "新增", "删除", "编辑", "确认", "取消", "刷新"};
        for (int i = 0; i < DBNavigator::Count; ++i)
            QCOMPARE(nav.button(DBNavigator::Button(i))->toolTip(), hints[i]);
        nav.click(DBNavigator::Last);
        QCOMPARE(f->main().ADOTablePLL->recNo(), 3);
        QVERIFY(!nav.button(DBNavigator::Post)->isEnabled());
        nav.click(DBNavigator::Edit);
        QVERIFY(nav.button(DBNavigator::Post)->isEnabled());
    }
};

QTEST_MAIN(TstDbWidgets)
#include "tst_dbwidgets.moc"
