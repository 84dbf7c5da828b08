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
#include <QLineEdit>

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
