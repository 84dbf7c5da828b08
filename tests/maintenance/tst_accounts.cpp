// Passwords, clearing them, and handing the program to another user.
#include "dbwidgets/DBControls.h"
#include "common/Fixture.h"
#include "maintenance/TFormdele.h"
#include "app/TFormdl.h"
#include "maintenance/TFormmmxg.h"

#include <QLineEdit>
#include <QMdiSubWindow>

class TstAccounts : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<AppFixture> f;

    void addAccount(const QString &number, const QString &name, const QString &role, const QVariant &password)
    {
        f->exec("INSERT INTO gy (gybh, mz, sx, qggybh) VALUES (:b, :m, :s, :p)",
                {{"b", number}, {"m", name}, {"s", role}, {"p", password}});
    }
    QVariant storedPassword(const QString &number)
    {
        return f->scalar("select qggybh from gy where gybh=:b", {{"b", number}});
    }
    TFormmmxg *openPasswordWindow()
    {
        const int before = int(f->main().findChildren<TFormmmxg *>().size());
        f->main().action("ActionMMXG")->trigger();
        const auto all = f->main().findChildren<TFormmmxg *>();
        if (all.size() != before + 1)
            return nullptr;
        return all.last();
    }
    void change(TFormmmxg *w, const QString &old, const QString &pw, const QString &again)
    {
        w->Edit1->setText(old);
        w->Edit2->setText(pw);
        w->Edit3->setText(again);
        w->Button1->click();
    }
    static void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

private slots:
    void init() { f = std::make_unique<AppFixture>(); }
    void cleanup()
    {
        QVERIFY(f->seams.allAnswersUsed());
        f.reset();
    }

    void passwordWindow()
    {
        f->start();
        TFormmmxg *w = openPasswordWindow();
        QVERIFY(w);
        QVERIFY(openPasswordWindow());  // a new one on every use
        QVERIFY(w->isWindow());
        QVERIFY(w->isVisible());
        QVERIFY(w->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(w->windowTitle(), QStringLiteral("修改所登录的密码"));
        QCOMPARE(w->Label1->text() + w->DBText1->text() + w->Label3->text(), QStringLiteral("感谢系统管理员使用本系统!"));
        QCOMPARE(w->Label4->text(), QStringLiteral("现在可以对您的密码进修"));
        QCOMPARE(w->Edit1->toolTip(), QStringLiteral("密码为空时，不填，直接输入新密码"));
        for (QLineEdit *e : {w->Edit1, w->Edit2, w->Edit3})
            QCOMPARE(e->echoMode(), QLineEdit::Password);
        QPointer<TFormmmxg> gone = w;
        w->close();
        flushDeletes();
        QVERIFY(gone.isNull());
    }

    // Every way through "修改": the message, and what is stored afterwards.
    void changePassword_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("old");
        QTest::addColumn<QString>("pw");
        QTest::addColumn<QString>("again");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QVariant>("after");
        const QString ok = QStringLiteral("修改密码成功");
        const QString max(30, u'密');
        QTest::newRow("empty stored, empty old") << QVariant("") << "" << "n1" << "n1" << ok << QVariant("n1");
        QTest::newRow("null stored, empty old") << QVariant() << "" << "n1" << "n1" << ok << QVariant("n1");
        QTest::newRow("old is case-sensitive") << QVariant("Old") << "old" << "n1" << "n1"
                                               << QStringLiteral("原始密码错误") << QVariant("Old");
        QTest::newRow("old left empty") << QVariant("Old") << "" << "n1" << "n1" << QStringLiteral("原始密码错误")
                                        << QVariant("Old");
        QTest::newRow("repetition differs") << QVariant("Old") << "Old" << "n1" << "n2"
                                            << QStringLiteral("新密码错误") << QVariant("Old");
        QTest::newRow("empty new clears") << QVariant("Old") << "Old" << "" << "" << ok << QVariant("");
        QTest::newRow("quote and 30 chars") << QVariant("Old") << "Old" << "a'" + max.left(28) << "a'" + max.left(28)
                                            << ok << QVariant("a'" + max.left(28));
        QTest::newRow("31 chars refused") << QVariant("Old") << "Old" << max + "x" << max + "x"
                                          << QStringLiteral("新密码不能超过30个字符") << QVariant("Old");
    }
    void changePassword()
    {
        QFETCH(QVariant, stored);
        QFETCH(QString, old);
        QFETCH(QString, pw);
        QFETCH(QString, again);
        QFETCH(QString, message);
        QFETCH(QVariant, after);
        f->start();
        // Set behind the data set's back: the window must compare with what is stored now.
        f->exec("update gy set qggybh=:p where gybh='admin'", {{"p", stored}});
        TFormmmxg *w = openPasswordWindow();
        QVERIFY(w);
        change(w, old, pw, again);
        QCOMPARE(f->seams.messages(), QStringList{message});
        QCOMPARE(storedPassword("admin").toString(), after.toString());
        QCOMPARE(storedPassword("admin").isNull(), after.isNull());
        QVERIFY(w->isVisible());
        QCOMPARE(w->Edit2->text(), pw);
        QVERIFY(!f->main().ADOTabledlck->isEditing());
    }

    void oldPasswordFailsAfterAChange()
    {
        f->start();
        // The same name twice: the current account is the first of them.
        addAccount("admin2", "系统管理员", "管理员", "keep");
        TFormmmxg *w = openPasswordWindow();
        QVERIFY(w);
        change(w, "", "n1", "n1");
        change(w, "", "n2", "n2");
        change(w, "n1", "n3", "n3");
        QCOMPARE(f->seams.messages(),
                 (QStringList{"修改密码成功", "原始密码错误", "修改密码成功"}));
        QCOMPARE(storedPassword("admin").toString(), QStringLiteral("n3"));
        QCOMPARE(storedPassword("admin2").toString(), QStringLiteral("keep"));
        QCOMPARE(f->scalar("select count(*) from gy").toInt(), 2);
    }

    void clearPassword_data()
    {
        QTest::addColumn<bool>("screenOpen");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QString>("asked");
        QTest::addColumn<QString>("cleared");
        // With the employee screen closed the list is reopened: the first employee is asked about.
        QTest::newRow("closed, yes") << false << true << "系统管理员" << "admin";
        QTest::newRow("closed, box closed") << false << false << "系统管理员" << "";
        // With it open, the employee selected there.
        QTest::newRow("open, yes") << true << true << "O'Neil" << "o1";
    }
    void clearPassword()
    {
        QFETCH(bool, screenOpen);
        QFETCH(bool, answer);
        QFETCH(QString, asked);
        QFETCH(QString, cleared);
        f->start();
        addAccount("o1", "O'Neil", "入库员", "pw2");
        f->exec("update gy set qggybh='pw1' where gybh='admin'");
        DataSet *gy = f->main().ADOTableGY;
        if (screenOpen) {
            f->main().setInstanceFlag("Tgy", false);
            gy->close();
            gy->open();
            gy->last();
        }
        f->seams.confirmAnswers = {answer};
        f->main().action("ActionQCMM")->trigger();
        QCOMPARE(f->seams.shown.first().kind, QStringLiteral("confirm"));
        QCOMPARE(f->seams.shown.first().text, "对" + asked + "进行密码清除吗?");
        QCOMPARE(storedPassword("admin").toString(), cleared == "admin" ? QString("") : QString("pw1"));
        QCOMPARE(storedPassword("o1").toString(), cleared == "o1" ? QString("") : QString("pw2"));
        QCOMPARE(f->scalar("select count(*) from gy").toInt(), 2);
        QVERIFY(f->seams.messages().isEmpty());
    }

    void switchUser()
    {
        Tmain &m = f->start();
        addAccount("u1", "王五", "出库员", "p1");
        m.action("ActionSJSC")->trigger();  // a child window that must survive the switch
        QVERIFY(m.findChild<TFormdele *>());
        TFormdl *first = m.loginDialog();

        m.action("ActionYHQF")->trigger();
        TFormdl *dlg = m.loginDialog();
        QVERIFY(dlg && dlg != first);
        QVERIFY(!m.isVisible());
        QVERIFY(dlg->isVisible());
        QVERIFY(dlg->isModal());
        QCOMPARE(dlg->DBText1->text(), QStringLiteral("系统管理员"));  // the current user first
        QTest::keyClicks(dlg->ComboBox1->lineEdit(), "u1");
        QTest::keyClicks(dlg->Password, "p1");
        dlg->Button1->click();

        QVERIFY(m.isVisible());
        QVERIFY(dlg->isHidden());
        QCOMPARE(m.panelText(0), QStringLiteral("王五"));
        // The employee written into new lines from now on.
        QCOMPARE(m.ADOTabledlck->fieldByName("mz").asString(), QStringLiteral("王五"));
        for (const QString &name : Tmain::roleGatedCommands())
            QVERIFY2(!m.action(name)->isEnabled(), qPrintable(name));
        auto *screen = m.findChild<TFormdele *>();
        QVERIFY(screen);
        QVERIFY(screen->isVisible());
        QCOMPARE(m.mdiArea()->subWindowList().size(), 1);

        // Back to the administrator: every command again, the screen still there.
        m.action("ActionYHQF")->trigger();
        dlg = m.loginDialog();
        for (const QString &name : Tmain::roleGatedCommands())
            QVERIFY2(m.action(name)->isEnabled(), qPrintable(name));
        QCOMPARE(dlg->DBText1->text(), QStringLiteral("王五"));
        QTest::keyClicks(dlg->ComboBox1->lineEdit(), "admin");
        dlg->Button1->click();
        QVERIFY(m.isVisible());
        QCOMPARE(m.ADOTabledlck->fieldByName("mz").asString(), QStringLiteral("系统管理员"));
        for (const QString &name : Tmain::roleGatedCommands())
            QVERIFY2(m.action(name)->isEnabled(), qPrintable(name));
        QVERIFY(m.findChild<TFormdele *>()->isVisible());
        QVERIFY(f->seams.messages().isEmpty());
    }

    void closingTheSwitchDialogEndsTheProgram()
    {
        Tmain &m = f->start();
        m.action("ActionYHQF")->trigger();
        m.loginDialog()->close();
        QVERIFY(m.hasClosed());
        QVERIFY(!m.isVisible());
    }
};

QTEST_MAIN(TstAccounts)
#include "tst_accounts.moc"
