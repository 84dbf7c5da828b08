// What the stock-in and the stock-out invoice screens share, driven through the real
// windows, each case once for either kind: numbering, the party box, the lines grid,
// cancel and exchange decided on the stored lines, previous and next, printing.
#include "common/Fixture.h"
#include "dataset/Formats.h"
#include "masterdata/PickerForm.h"
#include "stockin/Trkkd.h"
#include "stockout/Tckkd.h"

#include <QApplication>
#include <QFile>
#include <QMdiSubWindow>

namespace {

struct Kind {
    bool in;
    QString action, table, counter, day, price, party, partyTable, partyName, flag, report;
    int cancelSign;  // what cancelling a line that moved the stock does to it
};

const Kind StockIn{true,  "ActionRKKD", "rk", "rkdh", "rq",  "cgj", "DBComboBoxGYS", "gys", "gysmc", "Trkkd", "rK.rav", -1};
const Kind StockOut{false, "ActionCKKD", "ck", "lsdh", "rq1", "xsj", "DBComboBoxKH", "kh", "gsmc", "Tckkd", "CK.rav", +1};

} // namespace

Q_DECLARE_METATYPE(Kind)

class TstInvoice : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<AppFixture> f;
    InvoiceForm *w = nullptr;
    Kind k;

    Tmain &m() { return f->main(); }
    static QString today(int counter) { return fmt::documentNumber(QDate::currentDate(), counter); }
    Money &balance() { return k.in ? Trkkd::rkkdExchangeBalance : Tckkd::ckkdExchangeBalance; }

    // Every test runs for both kinds; rows of a test's own table are repeated for each.
    static void kinds()
    {
        QTest::addColumn<Kind>("kind");
        QTest::newRow("stock-in") << StockIn;
        QTest::newRow("stock-out") << StockOut;
    }
    // The test's own columns come after the "kind" column that the _data function adds first.
    template <typename Rows>
    static void kindsWith(Rows rows)
    {
        for (const Kind &kind : {StockIn, StockOut})
            rows([&](const QString &name) -> QTestData & {
                return QTest::newRow(qPrintable((kind.in ? QStringLiteral("stock-in, ") : QStringLiteral("stock-out, ")) +
                                                name))
                       << kind;
            });
    }

    InvoiceForm *open()
    {
        if (!f->hasMain())
            f->start();
        m().activateWindow();
        if (!QTest::qWaitForWindowActive(&m()))
            qWarning("main window not active");
        m().action(k.action)->trigger();
        w = qobject_cast<InvoiceForm *>(m().lastOpened(k.action));
        if (w)
            QApplication::processEvents();
        return w;
    }
    QPushButton *postButton() { return w->findChild<QPushButton *>(k.in ? "ButtonRK" : "ButtonCK"); }
    DBComboBox *partyBox() { return w->findChild<DBComboBox *>(k.party); }
    QLineEdit *priceBox()
    {
        if (k.in)
            return w->findChild<QLineEdit *>("DBEditcgj");
        return w->findChild<QComboBox *>("DBComboBoxXSJ")->lineEdit();
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
        typeText(e, t);
    }
    // One line of a product found by its number, with the quantity and the price as typed.
    void postByNumber(const QString &bh, int sn, const QString &price = QString())
    {
        typeInto(w->ComboBoxBH, bh);
        replaceText(w->EditSN, QString::number(sn));
        if (!price.isEmpty())
            replaceText(priceBox(), price);
        QTest::mouseClick(postButton(), Qt::LeftButton);
    }
    int lines(const QString &lsdh)
    {
        return f->scalar(QString("SELECT count(*) FROM %1 WHERE lsdh=:n").arg(k.table), {{"n", lsdh}}).toInt();
    }
    int stock(const QString &mc) { return f->scalar("SELECT sn FROM pl WHERE mc=:m", {{"m", mc}}).toInt(); }
    DataSet *invoiceLines() { return k.in ? m().ADOQueryRKDH : m().ADOQueryLSDH; }
    void showAgain() { w->EditLSDHChange(); }

private slots:
    void init() { f = std::make_unique<AppFixture>(); }
    void cleanup()
    {
        w = nullptr;
        QVERIFY(f->seams.allAnswersUsed());
        f.reset();
    }

    // ---------------------------------------------------------------- numbering

    void numberOnOpening_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<int>("daysAgo");
        QTest::addColumn<int>("storedCounter");
        QTest::addColumn<int>("linesOnIt");
        QTest::addColumn<int>("expectedCounter");
        kindsWith([](auto row) {
            row("first opening of the day restarts at 1") << 1 << 5 << 0 << 1;
            row("same day keeps the counter") << 0 << 3 << 0 << 3;
            row("same day, number already used, not advanced") << 0 << 3 << 2 << 3;
        });
    }
    void numberOnOpening()
    {
        QFETCH(Kind, kind);
        k = kind;
        QFETCH(int, daysAgo);
        QFETCH(int, storedCounter);
        QFETCH(int, linesOnIt);
        QFETCH(int, expectedCounter);
        f->start();
        // The other kind's counter is left alone: each kind has its own day.
        f->exec("UPDATE kr SET rkdh=7, rq=:old, lsdh=7, rq1=:old", {{"old", QDate::currentDate().addDays(-3)}});
        f->exec(QString("UPDATE kr SET %1=:c, %2=:d").arg(k.counter, k.day),
                {{"c", storedCounter}, {"d", QDate::currentDate().addDays(-daysAgo)}});
        for (int i = 0; i < linesOnIt; ++i)
            f->exec(QString("INSERT INTO %1 (lsdh, mc, sn) VALUES (:n, '液晶电视', 1)").arg(k.table),
                    {{"n", today(storedCounter)}});
        m().ADOTableKR->refresh();
        QVERIFY(open());
        QCOMPARE(w->EditLSDH->text(), today(expectedCounter));
        QCOMPARE(f->scalar(QString("SELECT %1 FROM kr").arg(k.counter)).toInt(), expectedCounter);
        QCOMPARE(f->scalar(QString("SELECT %1 FROM kr").arg(k.day)).toString(), fmt::storageDate(QDate::currentDate()));
        QCOMPARE(f->scalar(QString("SELECT %1 FROM kr").arg(k.in ? "lsdh" : "rkdh")).toInt(), 7);
        QCOMPARE(w->DBGrid1->model()->rowCount(), daysAgo ? 0 : linesOnIt);
    }

    void newInvoiceOnlyWhenTheNumberHasLines_data() { kinds(); }
    void newInvoiceOnlyWhenTheNumberHasLines()
    {
        QFETCH(Kind, kind);
        k = kind;
        QVERIFY(open());
        QTest::mouseClick(w->ButtonXZD, Qt::LeftButton);
        QCOMPARE(w->EditLSDH->text(), today(1));
        QCOMPARE(f->scalar(QString("SELECT %1 FROM kr").arg(k.counter)).toInt(), 1);
        postByNumber("TV-001", 2);
        QCOMPARE(lines(today(1)), 1);
        QTest::mouseClick(w->ButtonXZD, Qt::LeftButton);
        QCOMPARE(w->EditLSDH->text(), today(2));
        QCOMPARE(f->scalar(QString("SELECT %1 FROM kr").arg(k.counter)).toInt(), 2);
        QCOMPARE(w->DBGrid1->model()->rowCount(), 0);
        QCOMPARE(QApplication::focusWidget(), w->ComboBoxBH);
    }

    void closingAdvancesOnlyAUsedNumber_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<bool>("post");
        QTest::addColumn<int>("counterAfter");
        kindsWith([](auto row) {
            row("invoice with a line") << true << 2;
            row("empty invoice") << false << 1;
        });
    }
    void closingAdvancesOnlyAUsedNumber()
    {
        QFETCH(Kind, kind);
        k = kind;
        QFETCH(bool, post);
        QFETCH(int, counterAfter);
        QVERIFY(open());
        if (post)
            postByNumber("FR-001", 1);
        // Another number is on display; closing still judges today's current number.
        w->EditLSDH->setText("something else");
        w->parentWidget()->close();
        QApplication::processEvents();
        QCOMPARE(f->scalar(QString("SELECT %1 FROM kr").arg(k.counter)).toInt(), counterAfter);
        QVERIFY(m().instanceFlag(k.flag));
        QVERIFY(open());
        QCOMPARE(w->EditLSDH->text(), today(counterAfter));
    }

    // A counter that cannot be written leaves the number empty: postings are refused with
    // a message, and the numbering is tried again when the screen is activated.
    void counterThatCannotBeWritten_data() { kinds(); }
    void counterThatCannotBeWritten()
    {
        QFETCH(Kind, kind);
        k = kind;
        f->start();
        f->exec(QString("UPDATE kr SET %1=:d").arg(k.day), {{"d", QDate::currentDate().addDays(-1)}});
        f->exec("CREATE TRIGGER kr_full BEFORE UPDATE ON kr BEGIN SELECT RAISE(ABORT, 'database or disk is full'); END");
        m().ADOTableKR->refresh();
        QVERIFY(open());
        QCOMPARE(w->EditLSDH->text(), QString());
        QCOMPARE(f->seams.messages().size(), 1);
        f->seams.clear();
        postByNumber("TV-001", 1);
        QCOMPARE(f->seams.messages().size(), 1);
        QVERIFY(f->seams.lastMessage().contains(QStringLiteral("没有单号")));
        QCOMPARE(f->scalar(QString("SELECT count(*) FROM %1").arg(k.table)).toInt(), 0);
        f->seams.clear();
        // Space again: the next activation numbers the invoice.
        f->exec("DROP TRIGGER kr_full");
        auto *sub = qobject_cast<QMdiSubWindow *>(w->parentWidget());
        m().mdiArea()->setActiveSubWindow(nullptr);
        m().mdiArea()->setActiveSubWindow(sub);
        QApplication::processEvents();
        QCOMPARE(w->EditLSDH->text(), today(1));
        // The refused posting left the lookup as it was: the same press posts now.
        QTest::mouseClick(postButton(), Qt::LeftButton);
        QVERIFY2(f->seams.shown.isEmpty(), qPrintable(f->seams.lastMessage()));
        QCOMPARE(lines(today(1)), 1);
    }

    // ---------------------------------------------------------------- party and lines

    // What is typed into the supplier or customer box goes into the line only; the party
    // keeps its name (and initials), also after the box is left and entered again.
    void partyBoxNeverRenamesTheParty_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<bool>("replace");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("onTheLine");
        kindsWith([](auto row) {
            row("text added after the name") << false << "有限公司" << "华强电器有限公司";
            row("name replaced") << true << "ys" << "ys";
        });
    }
    void partyBoxNeverRenamesTheParty()
    {
        QFETCH(Kind, kind);
        k = kind;
        QFETCH(bool, replace);
        QFETCH(QString, typed);
        QFETCH(QString, onTheLine);
        f->start();
        f->exec(QString("INSERT INTO %1 (%2, gjdq) VALUES ('华强电器', 'hqdq')").arg(k.partyTable, k.partyName));
        QVERIFY(open());
        typeInto(w->ComboBoxBH, "TV-001");
        partyBox()->setFocus();
        auto *picker = w->findChild<PickerForm *>();
        QVERIFY(picker && picker->isVisible());
        picker->DBGrid1->clickCell(0, 0);
        QCOMPARE(partyBox()->currentText(), QStringLiteral("华强电器"));
        partyBox()->setFocus();
        QLineEdit *edit = partyBox()->lineEdit();
        if (replace)
            edit->selectAll();
        else
            edit->end(false);
        typeText(edit, typed);
        QTest::mouseClick(postButton(), Qt::LeftButton);
        QVERIFY2(f->seams.shown.isEmpty(), qPrintable(f->seams.lastMessage()));
        QCOMPARE(f->scalar(QString("SELECT %1 FROM %2").arg(k.partyTable, k.table)).toString(), onTheLine);
        w->EditSN->setFocus();
        partyBox()->setFocus();
        for (PickerForm *p : w->findChildren<PickerForm *>())
            p->close();
        QApplication::processEvents();
        QCOMPARE(f->rows(QString("SELECT %1, gjdq FROM %2").arg(k.partyName, k.partyTable)),
                 (QList<QVariantList>{{QStringLiteral("华强电器"), QStringLiteral("hqdq")}}));
    }

    // Edits typed into the lines grid and confirmed with Enter are stored however the
    // grid is left; a bad value gets the message of the boxes and changes nothing.
    void linesGridEditsAreStored_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("leftBy");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("message");
        kindsWith([](auto row) {
            for (const char *by : {"posting the next line", "Enter on the grid", "closing the screen",
                                      "another control", "the new invoice button"}) {
                row(QStringLiteral("remark, ") + by) << "lb" << "包装破损" << QString(by) << "包装破损" << "";
                row(QStringLiteral("quantity, ") + by) << "sn" << "5" << QString(by) << "5" << "";
            }
            row("quantity not a number") << "sn" << "abc" << "another control" << "2"
                                         << "“abc”不是有效的整数，“数量”只能输入整数";
            row("quantity out of range") << "sn" << "40000" << "posting the next line" << "2"
                                         << "“数量”必须在-32768到32767之间";
        });
    }
    void linesGridEditsAreStored()
    {
        QFETCH(Kind, kind);
        k = kind;
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, leftBy);
        QFETCH(QString, stored);
        QFETCH(QString, message);
        QVERIFY(open());
        postByNumber("TV-001", 2);
        if (leftBy == "posting the next line")
            typeInto(w->ComboBoxBH, "FR-001");  // the lookup first; the grid keeps the focus after it
        QWidget *cell = openCell(w->DBGrid1, 0, field);
        QVERIFY(cell);
        typeText(cell, typed);
        QTest::keyClick(cell, Qt::Key_Return);
        QApplication::processEvents();
        QCOMPARE(f->seams.messages(), message.isEmpty() ? QStringList() : QStringList{message});
        f->seams.clear();
        if (leftBy == "posting the next line")
            postButton()->click();
        else if (leftBy == "Enter on the grid")
            QTest::keyClick(w->DBGrid1, Qt::Key_Return);
        else if (leftBy == "closing the screen")
            w->parentWidget()->close();
        else if (leftBy == "another control")
            w->EditSN->setFocus();
        else
            w->ButtonXZD->click();
        QApplication::processEvents();
        QCOMPARE(f->scalar(QString("SELECT %1 FROM %2 WHERE bh='TV-001'").arg(field, k.table)).toString(), stored);
        QVERIFY(!invoiceLines()->isEditing());
        if (leftBy == "posting the next line")
            QCOMPARE(lines(today(1)), 2);
    }

    // The navigator's "−" asks before it deletes a line.
    void deletingALineAsksFirst_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<bool>("answer");
        kindsWith([](auto row) {
            row("OK") << true;
            row("Cancel") << false;
        });
    }
    void deletingALineAsksFirst()
    {
        QFETCH(Kind, kind);
        k = kind;
        QFETCH(bool, answer);
        QVERIFY(open());
        postByNumber("TV-001", 1);
        postByNumber("FR-001", 1);
        f->seams.askAnswers = {answer};
        QTest::mouseClick(w->DBNavigator1->button(DBNavigator::Delete), Qt::LeftButton);
        QCOMPARE(f->seams.shown.size(), 1);
        QCOMPARE(f->seams.shown[0].text, QStringLiteral("删除这条记录吗?"));
        QCOMPARE(lines(today(1)), answer ? 1 : 2);
    }

    // ---------------------------------------------------------------- corrections

    void exchangeKeepsTheDifference_data() { kinds(); }
    void exchangeKeepsTheDifference()
    {
        QFETCH(Kind, kind);
        k = kind;
        QVERIFY(open());
        postByNumber("TV-001", 4, "25");
        // The line was saved into stock by the query screen.
        f->exec(QString("UPDATE %1 SET bc='保存'").arg(k.table));
        f->exec("UPDATE pl SET sn=10 WHERE bh='TV-001'");
        showAgain();
        QTest::mouseClick(w->SpeedButton1, Qt::LeftButton);
        QVERIFY(f->seams.shown.isEmpty());
        QCOMPARE(stock("液晶电视"), 10 + 4 * k.cancelSign);
        auto r = f->rows(QString("SELECT sn, fk, bc, lb, %1 FROM %2 WHERE bh='TV-001'").arg(k.price, k.table));
        QCOMPARE(r[0][0].toInt(), 0);
        QCOMPARE(r[0][1].toString(), QStringLiteral("已付"));
        QCOMPARE(r[0][2].toString(), QStringLiteral("退换"));
        QCOMPARE(r[0][3].toString(), QStringLiteral("-100"));
        QCOMPARE(r[0][4].toLongLong(), 250000LL);
        QCOMPARE(w->panelText(2), QStringLiteral("退换差额-100"));
        QCOMPARE(balance(), Money::fromUnits(-100));

        // A line already returned cannot be returned again.
        QTest::mouseClick(w->SpeedButton1, Qt::LeftButton);
        QCOMPARE(f->seams.messages(), QStringList{"该单无效"});

        // The replacement: amount 120.
        postByNumber("FR-001", 1, "120");
        QCOMPARE(w->panelText(2), QStringLiteral("退换差额20"));
        QCOMPARE(f->scalar(QString("SELECT lb FROM %1 WHERE bh='FR-001'").arg(k.table)).toString(),
                 QStringLiteral("退换差额20"));
        // Back to exactly 0: the remark goes on the line that closes the exchange, and
        // later postings leave every remark alone.
        postByNumber("WM-001", 1, "-20");
        QCOMPARE(w->panelText(2), QStringLiteral("退换差额0"));
        postByNumber("TV-001", 1, "25");
        postByNumber("FR-001", 1, "1");
        QCOMPARE(f->scalar(QString("SELECT count(*) FROM %1 WHERE lb IS NOT NULL AND lb<>''").arg(k.table)).toInt(), 3);
        // A new number resets the difference.
        w->EditLSDH->setText(today(9));
        QCOMPARE(balance(), Money());
        QCOMPARE(w->panelText(2), QString());
    }

    void returningAPendingLineKeepsTheStock_data() { kinds(); }
    void returningAPendingLineKeepsTheStock()
    {
        QFETCH(Kind, kind);
        k = kind;
        QVERIFY(open());
        postByNumber("TV-001", 4, "25");
        f->exec("UPDATE pl SET sn=9 WHERE bh='TV-001'");
        QTest::mouseClick(w->SpeedButton1, Qt::LeftButton);
        QCOMPARE(stock("液晶电视"), 9);
        QCOMPARE(f->scalar(QString("SELECT bc FROM %1").arg(k.table)).toString(), QStringLiteral("退换"));
        QCOMPARE(w->panelText(2), QStringLiteral("退换差额-100"));
    }

    // Cancelling decides on each line's stored status: the lines that had moved the stock
    // move it back (saved lines, and written-off ones on the stock-out side), line by line,
    // whichever line is selected; every line is then detached and marked.
    void cancelGivesBackWhatMovedTheStock_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<int>("selected");
        kindsWith([](auto row) {
            row("a pending line selected") << 1;
            row("a saved line selected") << 0;
        });
    }
    void cancelGivesBackWhatMovedTheStock()
    {
        QFETCH(Kind, kind);
        k = kind;
        QFETCH(int, selected);
        QVERIFY(open());
        postByNumber("TV-001", 5);
        postByNumber("FR-001", 3);
        typeInto(w->ComboBoxMC, "电饭");  // a product without a number: found by name
        replaceText(w->EditSN, "2");
        QTest::mouseClick(postButton(), Qt::LeftButton);
        postByNumber("WM-001", 4);
        // Line 1 and 3 saved; line 2 pending; line 4 written off on the stock-out side, or
        // borrowed in on the stock-in side (neither moved the stock then).
        f->exec(QString("UPDATE %1 SET bc='保存' WHERE mc IN ('液晶电视', '电饭煲')").arg(k.table));
        f->exec(QString("UPDATE %1 SET bc=:s WHERE mc='滚筒洗衣机'").arg(k.table), {{"s", k.in ? "借入" : "报损"}});
        f->exec("UPDATE pl SET sn=10");
        showAgain();
        w->DBGrid1->clickCell(selected, 0);
        // Another program changed a line since it was listed: the stored status decides.
        f->exec(QString("UPDATE %1 SET bc='保存' WHERE mc='双门冰箱'").arg(k.table));
        QTest::mouseClick(w->SpeedButton_Exit, Qt::LeftButton);
        QVERIFY(f->seams.shown.isEmpty());
        QCOMPARE(stock("液晶电视"), 10 + 5 * k.cancelSign);
        QCOMPARE(stock("双门冰箱"), 10 + 3 * k.cancelSign);
        QCOMPARE(stock("电饭煲"), 10 + 2 * k.cancelSign);
        QCOMPARE(stock("滚筒洗衣机"), k.in ? 10 : 14);
        QCOMPARE(f->scalar(QString("SELECT count(*) FROM %1 WHERE lsdh='' AND bc='退单' AND fk='已付'").arg(k.table)).toInt(), 4);
        QCOMPARE(w->DBGrid1->model()->rowCount(), 0);
        QCOMPARE(w->EditLSDH->text(), today(1));
        // Nothing left to cancel.
        QTest::mouseClick(w->SpeedButton_Exit, Qt::LeftButton);
        QCOMPARE(f->seams.messages(), QStringList{"该单无效"});
        // New lines still go into the same number.
        postByNumber("WM-001", 1);
        QCOMPARE(lines(today(1)), 1);
    }

    // No lines, or no invoice number at all: nothing to cancel or exchange. The empty
    // number holds the lines cancelled before; they stay as they are.
    void correctionsWithoutAnInvoice_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("emptyNumber");
        kindsWith([](auto row) {
            row("退单, no lines") << "SpeedButton_Exit" << false;
            row("退换, no lines") << "SpeedButton1" << false;
            row("退单, empty number") << "SpeedButton_Exit" << true;
            row("退换, empty number") << "SpeedButton1" << true;
        });
    }
    void correctionsWithoutAnInvoice()
    {
        QFETCH(Kind, kind);
        k = kind;
        QFETCH(QString, button);
        QFETCH(bool, emptyNumber);
        f->start();
        f->exec(QString("INSERT INTO %1 (lsdh, bh, mc, sn, bc, fk) VALUES ('', 'TV-001', '液晶电视', 3, '退单', '已付')").arg(k.table));
        QVERIFY(open());
        if (emptyNumber)
            w->EditLSDH->clear();
        QCOMPARE(w->DBGrid1->model()->rowCount(), emptyNumber ? 1 : 0);
        QTest::mouseClick(w->findChild<QToolButton *>(button), Qt::LeftButton);
        QCOMPARE(f->seams.messages(), QStringList{"该单无效"});
        QCOMPARE(f->rows(QString("SELECT sn, bc FROM %1").arg(k.table)),
                 (QList<QVariantList>{{3, QStringLiteral("退单")}}));
        QCOMPARE(stock("液晶电视"), 0);
    }

    // Stock that would leave the small-integer range: everything is rolled back.
    void stockOutOfRangeRollsBack_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("button");
        kindsWith([](auto row) {
            row("退单") << "SpeedButton_Exit";
            row("退换") << "SpeedButton1";
        });
    }
    void stockOutOfRangeRollsBack()
    {
        QFETCH(Kind, kind);
        k = kind;
        QFETCH(QString, button);
        QVERIFY(open());
        postByNumber("FR-001", 2);
        postByNumber("TV-001", 30);
        f->exec(QString("UPDATE %1 SET bc='保存'").arg(k.table));
        f->exec("UPDATE pl SET sn=100 WHERE bh='FR-001'");
        f->exec("UPDATE pl SET sn=:s WHERE bh='TV-001'", {{"s", k.in ? -32750 : 32750}});
        showAgain();
        w->book().lines().last();
        QTest::mouseClick(w->findChild<QToolButton *>(button), Qt::LeftButton);
        QCOMPARE(f->seams.messages().size(), 1);
        QVERIFY(f->seams.lastMessage().contains("32768"));
        QCOMPARE(stock("双门冰箱"), 100);
        QCOMPARE(stock("液晶电视"), k.in ? -32750 : 32750);
        QCOMPARE(f->scalar(QString("SELECT count(*) FROM %1 WHERE lsdh=:n AND bc='保存' AND sn>0").arg(k.table),
                           {{"n", today(1)}})
                     .toInt(),
                 2);
        QCOMPARE(balance(), Money());
        QCOMPARE(w->DBGrid1->model()->rowCount(), 2);
        QVERIFY(!w->book().lines().isEditing());
        QVERIFY(!m().conn().inTransaction());
    }

    // ---------------------------------------------------------------- navigation, printing

    // The stock-in screen starts on the last number, the stock-out screen where the list
    // was left (its first entry after start).
    void previousAndNextStopAtTheEnds_data() { kinds(); }
    void previousAndNextStopAtTheEnds()
    {
        QFETCH(Kind, kind);
        k = kind;
        f->start();
        for (const char *n : {"2020-1-1-1", "2020-1-2-1", "2020-1-2-2"})
            f->exec(QString("INSERT INTO %1 (lsdh, mc, sn) VALUES (:n, '电饭煲', 1)").arg(k.table), {{"n", n}});
        DataSet *dh = k.in ? m().ADOQueryDHrk : m().ADOQueryDHck;
        dh->close();
        dh->open();
        QVERIFY(open());
        QCOMPARE(w->EditLSDH->text(), today(1));
        QTest::mouseClick(w->SpeedButton_Preview, Qt::LeftButton);
        QCOMPARE(w->EditLSDH->text(), QString::fromLatin1(k.in ? "2020-1-2-1" : "2020-1-1-1"));
        QCOMPARE(w->DBGrid1->model()->rowCount(), 1);
        if (!k.in) {
            QTest::mouseClick(w->SpeedButton_Printsetup, Qt::LeftButton);
            QCOMPARE(w->EditLSDH->text(), QStringLiteral("2020-1-2-1"));
        }
        for (int i = 0; i < 3; ++i)
            QTest::mouseClick(w->SpeedButton_Preview, Qt::LeftButton);
        QCOMPARE(w->EditLSDH->text(), QStringLiteral("2020-1-1-1"));
        for (int i = 0; i < 3; ++i)
            QTest::mouseClick(w->SpeedButton_Printsetup, Qt::LeftButton);
        QCOMPARE(w->EditLSDH->text(), QStringLiteral("2020-1-2-2"));
    }

    void printingAMissingProjectIsReported_data() { kinds(); }
    void printingAMissingProjectIsReported()
    {
        QFETCH(Kind, kind);
        k = kind;
        QVERIFY(open());
        QFile::remove(f->path(k.report));
        QTest::mouseClick(w->SpeedButton_Print, Qt::LeftButton);
        QCOMPARE(f->seams.messages().size(), 1);
        QVERIFY(f->seams.lastMessage().contains(k.report));
    }

    // The printed invoice holds every line with its amount, also with a 50-character name.
    void printedInvoiceHoldsItsLines_data() { kinds(); }
    void printedInvoiceHoldsItsLines()
    {
        QFETCH(Kind, kind);
        k = kind;
        f->start();
        const QString longName = QString(50, QChar(0x957F));
        f->exec("INSERT INTO pl (bh, mc, xsj, cgj) VALUES ('LONG-1', :m, 100000, 100000)", {{"m", longName}});
        QFile::copy(QStringLiteral(KORVEL_REPORTS_DIR "/") + k.report, f->path(k.report));
        QVERIFY(open());
        postByNumber("LONG-1", 3, "12.5");
        postByNumber("TV-001", 1, "2000");
        f->seams.pdfPath = f->path("invoice.pdf");
        QTest::mouseClick(w->SpeedButton_Print, Qt::LeftButton);
        QVERIFY2(f->seams.messages().isEmpty(), qPrintable(f->seams.lastMessage()));
        QCOMPARE(f->seams.printedText.size(), 1);
        const QString text = f->seams.printedText.first();
        for (const QString &s : {longName, QStringLiteral("37.5"), QStringLiteral("2000"), QStringLiteral("2037.5"), today(1)})
            QVERIFY2(text.contains(s), qPrintable(s));
        QVERIFY(QFileInfo(f->path("invoice.pdf")).size() > 1000);
    }
};

QTEST_MAIN(TstInvoice)
#include "tst_invoice.moc"
