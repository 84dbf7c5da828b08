// Company information, the employee, supplier and customer screens and the pickers,
// driven through the real windows.
#include "dbwidgets/DBControls.h"
#include "common/Fixture.h"
#include "masterdata/TFormKH.h"
#include "masterdata/TFormgsxc.h"
#include "masterdata/Tformgys.h"
#include "masterdata/Tgy.h"
#include "masterdata/Tgys.h"
#include "masterdata/Tkh.h"

#include <QApplication>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QMdiSubWindow>
#include <QPropertyAnimation>

namespace {

// Text as an input method hands it over: the way a person enters Chinese.
void commitText(QWidget *w, const QString &text)
{
    if (auto *box = qobject_cast<QComboBox *>(w))
        w = box->lineEdit();
    QInputMethodEvent e;
    e.setCommitString(text);
    QApplication::sendEvent(w, &e);
}

QStringList headers(DBGrid *g)
{
    QStringList out;
    for (int c = 0; c < g->model()->columnCount(); ++c)
        out << g->model()->headerData(c, Qt::Horizontal).toString();
    return out;
}

QStringList fieldNames(DBGrid *g)
{
    QStringList out;
    for (int c = 0; c < g->model()->columnCount(); ++c)
        out << g->fieldNameOfColumn(c);
    return out;
}

QStringList column(DBGrid *g, const QString &field)
{
    QStringList out;
    const int col = int(fieldNames(g).indexOf(field));
    for (int r = 0; r < g->model()->rowCount(); ++r)
        out << g->model()->index(r, col).data().toString();
    return out;
}

} // namespace

class TstMasterData : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<AppFixture> f;
    Tmain &m() { return f->main(); }

    template <typename T>
    T *open(const QString &command)
    {
        m().action(command)->trigger();
        return qobject_cast<T *>(m().lastOpened(command));
    }

    QStringList titles()
    {
        const QVariantList r = f->rows("SELECT rk, ck, kc, ys, yf FROM kr").value(0);
        QStringList out;
        for (const QVariant &v : r)
            out << v.toString();
        return out;
    }

    static QStringList titlesFor(const QString &name)
    {
        return {name + "入库单据", name + "出库单据", name + "库存单据", name + "收款单据", name + "付款单据"};
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

    // ------------------------------------------------------------ entry screens

    void entryScreens_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("dataSet");
        QTest::addColumn<QString>("insertRow");
        QTest::addColumn<QStringList>("columns");
        QTest::newRow("employees") << "ActionZYDA" << "职员资料输入与权限设置,最少只输入名字即可" << "ADOTableGY"
                                   << "INSERT INTO gy (mz) VALUES ('新人')"
                                   << QStringList{"名字", "系(部门)名称", "身份证号码", "雇员编号", "QQ/MSN...", "头衔",
                                                  "电子邮件帐户名", "分机", "地址", "权限设置", "省/市/自治区", "地区",
                                                  "邮政编码", "国家/地区", "住宅电话", "单位电话", "系(部门)ID", "生日",
                                                  "雇佣日期", "薪金", "记帐费率", "扣除额", "管理员 ID", "配偶姓名",
                                                  "紧急联系人姓名", "紧急联系电话", "照片", "附注", "办公室位置"};
        QTest::newRow("suppliers") << "ActionGYS"
                                   << "供应商资料输入,此资料在入库处可以查询,最少只输入供应商名称即可" << "ADOTableGYS"
                                   << "INSERT INTO gys (gysmc) VALUES ('新供应商')"
                                   << QStringList{"供应商名称", "联系人姓名", "联系人职称", "地址", "市/县", "邮政编码",
                                                  "QQ/MSN...", "电话号码", "传真号码", "付款条件", "电子邮件地址", "附注"};
        QTest::newRow("customers") << "ActionKH" << "客户资料输入,此资料在出库处可以查询,最少只输入公司名称即可"
                                   << "ADOTableKH" << "INSERT INTO kh (gsmc) VALUES ('新客户')"
                                   << QStringList{"公司名称", "联系人名字", "公司或部门", "记帐地址", "市/县", "QQ/MSN...",
                                                  "邮政编码", "联系人职称", "电话号码", "分机", "传真号码",
                                                  "电子邮件地址", "附注"};
    }
    void entryScreens()
    {
        QFETCH(QString, command);
        QFETCH(QString, caption);
        QFETCH(QString, dataSet);
        QFETCH(QString, insertRow);
        QFETCH(QStringList, columns);
        DataSet *ds = m().dataSet(dataSet);

        auto *w = open<EntryForm>(command);
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), caption);
        QCOMPARE(w->parentWidget()->windowTitle(), caption);
        QCOMPARE(w->DBGrid1->dataSet(), ds);
        QCOMPARE(w->DBNavigator1->dataSet(), ds);
        QCOMPARE(headers(w->DBGrid1), columns);
        QVERIFY(!fieldNames(w->DBGrid1).contains("qggybh"));
        const int before = w->DBGrid1->model()->rowCount();
        QVERIFY(f->seams.shown.isEmpty());

        // A second run finds the window open, says so, and still shows current rows.
        f->exec(insertRow);
        m().action(command)->trigger();
        QCOMPARE(f->seams.messages(), QStringList{"该窗口已经打开了"});
        QCOMPARE(m().lastOpened(command), w);
        QCOMPARE(m().mdiArea()->subWindowList().size(), 1);
        QCOMPARE(w->DBGrid1->model()->rowCount(), before + 1);
        QCOMPARE(headers(w->DBGrid1), columns);  // a reopened data set keeps the column order

        // Closed, it can be opened again: a new window, no message.
        const QString flag = w->flagName();
        QVERIFY(!m().instanceFlag(flag));
        QPointer<QWidget> old = w;
        w->parentWidget()->close();
        QTRY_VERIFY(!old);
        QVERIFY(m().instanceFlag(flag));
        f->seams.clear();
        auto *again = open<EntryForm>(command);
        QVERIFY(again);
        QVERIFY(f->seams.shown.isEmpty());
        QCOMPARE(m().mdiArea()->subWindowList().size(), 1);
    }

    void employeeRoleIsPickedFromTheList()
    {
        auto *w = open<Tgy>("ActionZYDA");
        QCOMPARE(w->DBGrid1->pickList("sx"), (QStringList{"管理员", "入库员", "出库员"}));

        // A new employee with only a name is stored; the role stays empty.
        w->DBNavigator1->click(DBNavigator::Insert);
        QWidget *name = openCell(w->DBGrid1, 1, "mz");
        QVERIFY(name);
        commitText(name, "张小明");
        w->DBNavigator1->click(DBNavigator::Post);
        QCOMPARE(f->scalar("SELECT count(*) FROM gy WHERE mz='张小明' AND sx IS NULL").toInt(), 1);

        // Choosing the role in the cell's drop-down stores it.
        auto *role = qobject_cast<QComboBox *>(openCell(w->DBGrid1, 1, "sx"));
        QVERIFY(role);
        QCOMPARE(role->count(), 3);
        role->setCurrentIndex(1);
        QTest::keyClick(role, Qt::Key_Return);
        w->DBNavigator1->click(DBNavigator::Post);
        QCOMPARE(f->scalar("SELECT sx FROM gy WHERE mz='张小明'").toString(), QStringLiteral("入库员"));
        QVERIFY(f->seams.shown.isEmpty());
    }

    void typedNameFillsInitials_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("nameField");
        QTest::newRow("customer") << "ActionKH" << "kh" << "gsmc";
        QTest::newRow("supplier") << "ActionGYS" << "gys" << "gysmc";
    }
    void typedNameFillsInitials()
    {
        QFETCH(QString, command);
        QFETCH(QString, table);
        QFETCH(QString, nameField);
        auto *w = open<EntryForm>(command);
        QVERIFY(!fieldNames(w->DBGrid1).contains("gjdq"));
        w->DBNavigator1->click(DBNavigator::Insert);
        QWidget *cell = openCell(w->DBGrid1, 0, nameField);
        QVERIFY(cell);
        commitText(cell, "永久电视商店");
        QTest::keyClick(cell, Qt::Key_Tab);
        w->DBNavigator1->click(DBNavigator::Post);
        QCOMPARE(f->rows(QString("SELECT %1, gjdq FROM %2").arg(nameField, table)),
                 (QList<QVariantList>{{QStringLiteral("永久电视商店"), QStringLiteral("yjdssd")}}));
    }

    // A cell that does not take the typed text says so and keeps the field empty; the
    // rest of the row is still stored.
    void badCellInput_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("nameField");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::newRow("letters in a small number") << "ActionZYDA" << "gy" << "mz" << "kce" << "12a"
                                                   << "“12a”不是有效的整数，“扣除额”只能输入整数";
        QTest::newRow("small number out of range") << "ActionZYDA" << "gy" << "mz" << "kce" << "32768"
                                                   << "“扣除额”必须在-32768到32767之间";
        QTest::newRow("salary with two points") << "ActionZYDA" << "gy" << "mz" << "xj" << "1.2.3"
                                                << "“1.2.3”不是有效的金额，“薪金”只能输入数字";
        QTest::newRow("overlong role") << "ActionZYDA" << "gy" << "mz" << "sx" << QString(51, QChar(0x7BA1))
                                       << "“权限设置”最多只能输入50个字符";
        QTest::newRow("overlong customer contact") << "ActionKH" << "kh" << "gsmc" << "lxrmz" << QString(31, 'x')
                                                   << "“联系人名字”最多只能输入30个字符";
        QTest::newRow("overlong supplier post code") << "ActionGYS" << "gys" << "gysmc" << "yzbm"
                                                     << QString(21, '1') << "“邮政编码”最多只能输入20个字符";
    }
    void badCellInput()
    {
        QFETCH(QString, command);
        QFETCH(QString, table);
        QFETCH(QString, nameField);
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        auto *w = open<EntryForm>(command);
        w->DBNavigator1->click(DBNavigator::Insert);
        const int row = w->DBGrid1->model()->rowCount() - 1;
        QWidget *name = openCell(w->DBGrid1, row, nameField);
        commitText(name, "钱七");
        QTest::keyClick(name, Qt::Key_Tab);
        QWidget *cell = openCell(w->DBGrid1, row, field);
        QVERIFY(cell);
        commitText(cell, typed);
        QTest::keyClick(cell, Qt::Key_Tab);
        QCOMPARE(f->seams.messages(), QStringList{message});
        w->DBNavigator1->click(DBNavigator::Post);
        const auto stored = f->rows(QString("SELECT %1 FROM %2 WHERE %3='钱七'").arg(field, table, nameField));
        QCOMPARE(stored.size(), 1);
        QVERIFY(stored[0][0].isNull());
    }

    void rowLeftInEditingIsStoredOnClose()
    {
        auto *w = open<Tkh>("ActionKH");
        w->DBNavigator1->click(DBNavigator::Insert);
        QWidget *cell = openCell(w->DBGrid1, 0, "gsmc");
        commitText(cell, "华联超市");
        w->parentWidget()->close();
        QCOMPARE(f->scalar("SELECT gjdq FROM kh WHERE gsmc='华联超市'").toString(), QStringLiteral("hlcs"));
        QVERIFY(!m().ADOTableKH->isEditing());
    }

    // A row added with "+" and left without a name is dropped, however the screen is left.
    void entryRowWithoutNameIsDropped_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("leftBy");
        for (const char *c : {"ActionZYDA", "ActionGYS", "ActionKH"}) {
            const QString table = QString(c) == "ActionZYDA" ? "gy" : QString(c) == "ActionGYS" ? "gys" : "kh";
            QTest::newRow(qPrintable(QString(c) + ", closed")) << c << table << "close";
            QTest::newRow(qPrintable(QString(c) + ", post button")) << c << table << "post";
        }
    }
    void entryRowWithoutNameIsDropped()
    {
        QFETCH(QString, command);
        QFETCH(QString, table);
        QFETCH(QString, leftBy);
        const int before = f->scalar("SELECT count(*) FROM " + table).toInt();
        auto *w = open<EntryForm>(command);
        w->DBNavigator1->click(DBNavigator::Insert);
        // Something typed, but not the name.
        const QString other = table == "gy" ? "dz" : table == "gys" ? "dz" : "jzdz";
        QWidget *cell = openCell(w->DBGrid1, w->DBGrid1->model()->rowCount() - 1, other);
        QVERIFY(cell);
        commitText(cell, "北京路1号");
        QTest::keyClick(cell, Qt::Key_Tab);
        if (leftBy == "close")
            w->parentWidget()->close();
        else
            w->DBNavigator1->click(DBNavigator::Post);
        QCOMPARE(f->scalar("SELECT count(*) FROM " + table).toInt(), before);
        QVERIFY(!m().dataSet(command == "ActionZYDA" ? "ADOTableGY" : command == "ActionGYS" ? "ADOTableGYS" : "ADOTableKH")
                     ->isEditing());
        QVERIFY(f->seams.shown.isEmpty());
    }

    // ------------------------------------------------------------ company information

    void companyInfoScreen()
    {
        auto *w = open<TFormgsxc>("ActionGSXXLR");
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), QStringLiteral("公司信息,也是打印内容"));
        QCOMPARE(w->Button1->text(), QStringLiteral("保存"));
        const QList<std::tuple<QLabel *, DBEdit *, QString, QString, QString>> expected = {
            {w->Label1, w->DBEdit1, "公司名称：", "d", ""},
            {w->Label2, w->DBEdit2, "联系人：", "m", ""},
            {w->Label3, w->DBEdit3, "电话：", "h", "所有的号码都可以写多个号码"},
            {w->Label5, w->DBEdit5, "手   机：", "o", ""},
            {w->Label6, w->DBEdit6, "传真：", "n", "可以写多个号码"},
            {w->Label7, w->DBEdit7, "帐号 1：", "k", "例如：建行：6222.....（王某）"},
            {w->Label8, w->DBEdit8, "帐号 2：", "l", ""},
            {w->Label4, w->DBEdit4, "地址：", "i", "最大255个字"},
            {w->Label9, w->DBEdit9, "备注：", "j", "最大255个字"},
        };
        QWidget *expectedNext = w->DBEdit1;
        for (const auto &[label, edit, text, field, hint] : expected) {
            QCOMPARE(label->text(), text);
            QCOMPARE(edit->dataSet(), m().ADOTablegsxcpy);
            QCOMPARE(edit->fieldName(), field);
            QCOMPARE(edit->toolTip(), hint);
            QCOMPARE(edit, expectedNext);  // tab order
            expectedNext = edit->nextInFocusChain();
            while (!(expectedNext->focusPolicy() & Qt::TabFocus))
                expectedNext = expectedNext->nextInFocusChain();
        }
        QCOMPARE(expectedNext, w->Button1);

        // Grows from the centre to its full size in about a second.
        QPropertyAnimation *a = w->animation();
        QVERIFY(a);
        QCOMPARE(a->duration(), 1000);
        const QRect start = a->startValue().toRect(), end = a->endValue().toRect();
        QCOMPARE(start.center(), end.center());
        QVERIFY(start.width() < 4 && end.width() > 400);
        QTRY_COMPARE_WITH_TIMEOUT(w->parentWidget()->geometry(), end, 3000);

        // A second run neither opens another window nor says anything.
        m().action("ActionGSXXLR")->trigger();
        QCOMPARE(m().mdiArea()->subWindowList().size(), 1);
        QVERIFY(f->seams.shown.isEmpty());
    }

    void companyInfoSave_data()
    {
        QTest::addColumn<QString>("stored");  // company name already in by1
        QTest::addColumn<QString>("typed");   // typed over it; empty: left as it is
        QTest::addColumn<bool>("clear");      // name deleted before saving
        QTest::addColumn<QString>("expected");
        QTest::newRow("new name") << "" << "金星电器" << false << "金星电器";
        QTest::newRow("unchanged name") << "老王商行" << "" << false << "老王商行";
        QTest::newRow("empty name") << "老王商行" << "" << true << "";
        QTest::newRow("quote in the name") << "" << "Joe's 店" << false << "Joe's 店";
    }
    void companyInfoSave()
    {
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        QFETCH(bool, clear);
        QFETCH(QString, expected);
        f->exec("UPDATE by1 SET d=:d", {{"d", stored}});
        m().ADOTablegsxcpy->refresh();
        auto *w = open<TFormgsxc>("ActionGSXXLR");
        if (clear) {
            w->DBEdit1->setFocus();
            w->DBEdit1->selectAll();
            QTest::keyClick(w->DBEdit1, Qt::Key_Backspace);
        }
        if (!typed.isEmpty())
            commitText(w->DBEdit1, typed);
        QTest::keyClicks(w->DBEdit3, "0571-1234");

        // Typing alone stores nothing.
        QCOMPARE(f->scalar("SELECT d FROM by1").toString(), stored);
        QCOMPARE(titles(), titlesFor(""));

        w->Button1->click();
        QCOMPARE(f->seams.messages(), QStringList{"保存成功"});
        QCOMPARE(f->rows("SELECT d, h FROM by1"), (QList<QVariantList>{{expected, QStringLiteral("0571-1234")}}));
        QCOMPARE(titles(), titlesFor(expected));
        QVERIFY(!m().ADOTablegsxcpy->isEditing());
        QVERIFY(!m().ADOTableKR->isEditing());
    }

    // The company row and the titles are stored together or not at all.
    void companyInfoFailedTitlesKeepTheOldRow()
    {
        f->exec("CREATE TRIGGER no_titles BEFORE UPDATE ON kr BEGIN SELECT RAISE(ABORT, '标题写不进去'); END");
        auto *w = open<TFormgsxc>("ActionGSXXLR");
        commitText(w->DBEdit1, "金星电器");
        w->Button1->click();
        QCOMPARE(f->seams.shown.size(), 1);
        QVERIFY(f->seams.lastMessage().contains("标题写不进去"));
        QCOMPARE(f->scalar("SELECT d FROM by1").toString(), QString());
        QCOMPARE(titles(), titlesFor(""));
    }

    void companyInfoClosedUnsavedStoresNothing()
    {
        auto *w = open<TFormgsxc>("ActionGSXXLR");
        commitText(w->DBEdit1, "未保存的名字");
        w->parentWidget()->close();
        QVERIFY(!m().ADOTablegsxcpy->isEditing());
        QCOMPARE(m().ADOTablegsxcpy->fieldByName("d").asString(), QString());
        w = open<TFormgsxc>("ActionGSXXLR");
        QCOMPARE(w->DBEdit1->text(), QString());
        QCOMPARE(f->scalar("SELECT d FROM by1").toString(), QString());
        QCOMPARE(titles(), titlesFor(""));
    }

    void companyInfoEditsHoldTheirFieldSize_data()
    {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("size");
        QTest::newRow("contact") << "DBEdit2" << "m" << 50;
        QTest::newRow("telephone") << "DBEdit3" << "h" << 100;
        QTest::newRow("address") << "DBEdit4" << "i" << 255;
        QTest::newRow("remark") << "DBEdit9" << "j" << 255;
        // The name also heads the document titles, which must keep room for their word.
        QTest::newRow("company name") << "DBEdit1" << "d" << 96;
    }
    void companyInfoEditsHoldTheirFieldSize()
    {
        QFETCH(QString, edit);
        QFETCH(QString, field);
        QFETCH(int, size);
        auto *w = open<TFormgsxc>("ActionGSXXLR");
        auto *e = child<DBEdit>(w, edit);
        QVERIFY(e);
        QTest::keyClicks(e, QString(300, 'x'));
        QCOMPARE(e->text().size(), size);
        w->Button1->click();
        QCOMPARE(f->seams.messages(), QStringList{"保存成功"});
        QCOMPARE(f->scalar(QString("SELECT length(%1) FROM by1").arg(field)).toInt(), size);
    }

    void nameWithoutRoomForTheTitlesStoresNothing()
    {
        auto *w = open<TFormgsxc>("ActionGSXXLR");
        w->DBEdit1->setMaxLength(100);
        QTest::keyClicks(w->DBEdit1, QString(100, 'x'));
        commitText(w->DBEdit2, "张三");
        w->Button1->click();
        QCOMPARE(f->seams.messages(), QStringList{"公司名称太长，最多96个字"});
        QCOMPARE(f->rows("SELECT d, m FROM by1"), (QList<QVariantList>{{QString(""), QString("")}}));
        QCOMPARE(titles(), titlesFor(""));
    }

    // ------------------------------------------------------------ pickers

    void pickerTexts_data()
    {
        QTest::addColumn<bool>("customer");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("gridHint");
        QTest::newRow("customer") << true
                                  << "选择时不要选择第一格。单击其它可以关闭窗口单击其它可以关闭窗口,添加时按+选择第一列,按TAB键"
                                  << "客户" << "在此可以增加客户，方法看标题";
        QTest::newRow("supplier") << false << "选择时不要选择第一格。单击其它可以关闭窗口,添加时按+选择第一列,按TAB键"
                                  << "供应商" << "在此可以增加供应商，方法看标题";
    }
    void pickerTexts()
    {
        QFETCH(bool, customer);
        QFETCH(QString, caption);
        QFETCH(QString, label);
        QFETCH(QString, gridHint);
        std::unique_ptr<PickerForm> p(customer ? static_cast<PickerForm *>(new TFormKH(m()))
                                               : static_cast<PickerForm *>(new Tformgys(m())));
        QCOMPARE(p->windowTitle(), caption);
        QCOMPARE(p->Label2->text(), label);
        QCOMPARE(p->Edit1->toolTip(), QStringLiteral("支持全称与首拼查询"));
        QCOMPARE(p->DBGrid1->toolTip(), gridHint);
        QVERIFY(p->isWindow());
        QVERIFY(!p->isModal());
        QVERIFY(!fieldNames(p->DBGrid1).contains("gjdq"));
        QCOMPARE(p->DBGrid1->dataSet(), customer ? m().ADOQueryKH : m().ADOQueryGYS);
    }

    void pickerSearch_data()
    {
        QTest::addColumn<bool>("customer");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("found");
        for (bool customer : {true, false}) {
            const char *who = customer ? "customer: " : "supplier: ";
            auto row = [&](const char *name) -> QTestData & { return QTest::newRow(qPrintable(who + QString(name))) << customer; };
            row("initials not in the name") << "dssd" << QStringList{"永久电视商店"};
            row("initials in upper case") << "YJ" << QStringList{"永久电视商店"};
            row("start of the name") << "北京" << QStringList{"北京华联"};
            row("inside the name") << "华" << QStringList{"北京华联", "华为专卖"};
            row("name with a quote") << "O'B" << QStringList{"O'Brien's"};
            row("no match") << "不存在" << QStringList{};
        }
    }
    void pickerSearch()
    {
        QFETCH(bool, customer);
        QFETCH(QString, typed);
        QFETCH(QStringList, found);
        const QString table = customer ? "kh" : "gys", name = customer ? "gsmc" : "gysmc";
        for (const auto &[n, i] : QList<QPair<QString, QString>>{
                 {"永久电视商店", "yjdssd"}, {"北京华联", "bjhl"}, {"华为专卖", "hwzm"}, {"O'Brien's", "obrien's"}})
            f->exec(QString("INSERT INTO %1 (%2, gjdq) VALUES (:n, :i)").arg(table, name), {{"n", n}, {"i", i}});

        std::unique_ptr<PickerForm> p(customer ? static_cast<PickerForm *>(new TFormKH(m()))
                                               : static_cast<PickerForm *>(new Tformgys(m())));
        p->show();
        QCOMPARE(p->DBGrid1->model()->rowCount(), 4);
        commitText(p->Edit1, typed);
        QCOMPARE(column(p->DBGrid1, name), found);
        QCOMPARE(f->seams.messages(),
                 found.isEmpty() ? QStringList{QStringLiteral("请在\"基本资料\"菜单下增加数据")} : QStringList{});

        // Deleting the search text leaves the last list on show.
        f->seams.clear();
        p->Edit1->selectAll();
        QTest::keyClick(p->Edit1, Qt::Key_Delete);
        QCOMPARE(p->Edit1->text(), QString());
        QCOMPARE(column(p->DBGrid1, name), found);
        QVERIFY(f->seams.shown.isEmpty());
    }

    // "+", then a search or a choice: the empty row is dropped, never stored or listed.
    void pickerNeverStoresAnEmptyRow_data()
    {
        QTest::addColumn<bool>("customer");
        QTest::addColumn<QString>("then");
        for (bool customer : {true, false}) {
            const QString who = customer ? "customer: " : "supplier: ";
            QTest::newRow(qPrintable(who + "search, then choose")) << customer << "search";
            QTest::newRow(qPrintable(who + "choose another row")) << customer << "choose";
            QTest::newRow(qPrintable(who + "close the window")) << customer << "close";
        }
    }
    void pickerNeverStoresAnEmptyRow()
    {
        QFETCH(bool, customer);
        QFETCH(QString, then);
        const QString table = customer ? "kh" : "gys", name = customer ? "gsmc" : "gysmc";
        for (const char *n : {"甲商店", "乙商店"})
            f->exec(QString("INSERT INTO %1 (%2) VALUES (:n)").arg(table, name), {{"n", n}});
        DataSet *ds = customer ? m().ADOQueryKH : m().ADOQueryGYS;
        QPointer<PickerForm> p = customer ? static_cast<PickerForm *>(new TFormKH(m()))
                                          : static_cast<PickerForm *>(new Tformgys(m()));
        p->show();
        p->DBNavigator1->click(DBNavigator::Insert);
        if (then == "search") {
            commitText(p->Edit1, "商店");
            QCOMPARE(p->DBGrid1->model()->rowCount(), 2);
        }
        if (then == "close")
            p->close();
        else
            p->DBGrid1->clickCell(1, 0);
        QTRY_VERIFY(!p);
        QCOMPARE(f->scalar("SELECT count(*) FROM " + table).toInt(), 2);
        QVERIFY(!ds->isEditing());
        if (then != "close")
            QCOMPARE(ds->fieldByName(name).asString(), QStringLiteral("乙商店"));
        QVERIFY(f->seams.shown.isEmpty());
    }

    void pickerClickChoosesAndCloses_data()
    {
        QTest::addColumn<bool>("customer");
        QTest::newRow("customer") << true;
        QTest::newRow("supplier") << false;
    }
    void pickerClickChoosesAndCloses()
    {
        QFETCH(bool, customer);
        const QString table = customer ? "kh" : "gys", name = customer ? "gsmc" : "gysmc";
        for (const char *n : {"甲商店", "乙商店", "丙商店"})
            f->exec(QString("INSERT INTO %1 (%2) VALUES (:n)").arg(table, name), {{"n", n}});
        DataSet *ds = customer ? m().ADOQueryKH : m().ADOQueryGYS;

        QPointer<PickerForm> p = customer ? static_cast<PickerForm *>(new TFormKH(m()))
                                          : static_cast<PickerForm *>(new Tformgys(m()));
        p->show();
        p->DBGrid1->clickCell(1, 3);
        QTRY_VERIFY(!p);
        QCOMPARE(ds->fieldByName(name).asString(), QStringLiteral("乙商店"));

        // Adding on the spot: "+", TAB to the name, type it; the click that chooses it stores it.
        p = customer ? static_cast<PickerForm *>(new TFormKH(m())) : static_cast<PickerForm *>(new Tformgys(m()));
        p->show();
        p->DBNavigator1->click(DBNavigator::Insert);
        QCOMPARE(p->DBGrid1->currentIndex().row(), 3);
        QCOMPARE(p->DBGrid1->currentIndex().column(), 0);
        p->DBGrid1->setFocus();
        QTest::keyClick(p->DBGrid1, Qt::Key_Tab);
        QCOMPARE(p->DBGrid1->fieldNameOfColumn(p->DBGrid1->currentIndex().column()), name);
        QWidget *cell = openCell(p->DBGrid1, 3, name);
        QVERIFY(cell);
        commitText(cell, "丁商店");
        QTest::keyClick(cell, Qt::Key_Tab);
        p->DBGrid1->clickCell(3, 2);
        QTRY_VERIFY(!p);
        QCOMPARE(f->scalar(QString("SELECT gjdq FROM %1 WHERE %2='丁商店'").arg(table, name)).toString(),
                 QStringLiteral("dsd"));
        QCOMPARE(ds->fieldByName(name).asString(), QStringLiteral("丁商店"));
        QVERIFY(!ds->isEditing());
        QVERIFY(f->seams.shown.isEmpty());
    }
};

QTEST_MAIN(TstMasterData)
#include "tst_masterdata.moc"
