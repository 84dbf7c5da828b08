// Start-up, the login dialog and the role gating, driven through the real windows.
#include "dbwidgets/DBControls.h"
#include "common/DamagedFiles.h"
#include "common/Fixture.h"
#include "app/Startup.h"
#include "app/TFormdl.h"

#include <QApplication>
#include <QLineEdit>
#include <QProcess>

class TstLogin : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<AppFixture> f;

    void addAccount(const QString &number, const QString &name, const QVariant &role, const QString &password)
    {
        f->exec("INSERT INTO gy (gybh, mz, sx, qggybh) VALUES (:b, :m, :s, :p)",
                {{"b", number}, {"m", name}, {"s", role}, {"p", password}});
    }

private slots:
    void init() { f = std::make_unique<AppFixture>(); }
    void cleanup() { f.reset(); }

    void administratorLogsIn()
    {
        f->createMain();
        QVERIFY(f->login("admin", ""));
        Tmain &m = f->main();
        QVERIFY(m.isMaximized());
        QCOMPARE(m.panelText(0), QStringLiteral("系统管理员"));
        QCOMPARE(m.panelText(1), QStringLiteral("管理员"));
        QVERIFY(m.loginDialog()->isHidden());
        QCOMPARE(m.ADOTabledlck->fieldByName("mz").asString(), QStringLiteral("系统管理员"));
        for (QAction *a : m.commandActions())
            if (!a->objectName().startsWith("Window"))
                QVERIFY2(a->isEnabled(), qPrintable(a->objectName()));
        QVERIFY(f->seams.shown.isEmpty());
    }

    void dialogTexts()
    {
        f->createMain();
        TFormdl dlg(f->main());
        QCOMPARE(dlg.windowTitle(), QStringLiteral("请选择工号登录"));
        QCOMPARE(dlg.Label5->text(), QStringLiteral("管理员:admin    密码:空"));
        QCOMPARE(dlg.Label6->text(), QStringLiteral("登录人员在\"职员档案\"处管理"));
        QCOMPARE(dlg.Label4->text(), "系统日期是" + QDate::currentDate().toString("yyyy-M-d") + "有错请改正");
        QVERIFY(dlg.Button1->isDefault());
        QCOMPARE(dlg.Password->echoMode(), QLineEdit::Password);
    }

    void typingANumberShowsTheName()
    {
        f->createMain();
        addAccount("007", "张三", "入库员", "pw");
        auto *dlg = new TFormdl(f->main());
        f->main().setLoginDialog(dlg);
        dlg->show();
        QTest::keyClicks(dlg->Password, "xx");
        QTest::keyClicks(dlg->ComboBox1->lineEdit(), "007");
        QCOMPARE(dlg->DBText1->text(), QStringLiteral("张三"));
        QCOMPARE(dlg->Password->text(), QString());
    }

    // Each path through "登录": whether it gets in, and what it shows.
    void loginPaths_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("in");
        QTest::newRow("right password") << "clerk" << "s3cret" << true;
        QTest::newRow("wrong password") << "clerk" << "S3CRET" << false;
        QTest::newRow("empty instead of a password") << "clerk" << "" << false;
        QTest::newRow("unknown number, empty password") << "nobody" << "" << false;
        QTest::newRow("unknown number, some password") << "nobody" << "x" << false;
        QTest::newRow("quote in the number") << "o'neil" << "pw'1" << true;
    }
    void loginPaths()
    {
        QFETCH(QString, number);
        QFETCH(QString, password);
        QFETCH(bool, in);
        f->createMain();
        addAccount("clerk", "李四", "入库员", "s3cret");
        addAccount("o'neil", "O'Neil", "管理员", "pw'1");
        QCOMPARE(f->login(number, password), in);
        if (in) {
            QVERIFY(f->seams.shown.isEmpty());
            QVERIFY(f->main().loginDialog()->isHidden());
        } else {
            QCOMPARE(f->seams.shown.size(), 1);
            QCOMPARE(f->seams.shown[0].text, QStringLiteral("密码错误"));
            QCOMPARE(f->seams.shown[0].title, QStringLiteral("出错"));
            QVERIFY(f->main().loginDialog()->isVisible());
            QVERIFY(!f->main().hasClosed());
        }
    }

    void enterBeforeTypingUsesTheShownAccount()
    {
        f->createMain();
        auto *dlg = new TFormdl(f->main());
        f->main().setLoginDialog(dlg);
        dlg->show();
        QCOMPARE(dlg->DBText1->text(), QStringLiteral("系统管理员"));
        QTest::keyClick(dlg->Password, Qt::Key_Return);
        QVERIFY(f->main().isVisible());
    }

    void roleGating_data()
    {
        QTest::addColumn<QString>("role");
        QTest::addColumn<QStringList>("disabled");
        const QStringList all = {"ActionZYDA", "ActionGYS", "ActionRKKD", "ActionRKCX", "ActionQCMM",
                                 "ActionGSXXLR", "ActionLRFX", "ActionFKCX", "ActionYF", "ActionSJSC"};
        QTest::newRow("出库员") << "出库员" << all;
        QTest::newRow("入库员") << "入库员"
                             << QStringList{"ActionZYDA", "ActionQCMM", "ActionGSXXLR", "ActionLRFX", "ActionFKCX",
                                            "ActionSJSC"};
        QTest::newRow("管理员") << "管理员" << QStringList();
        QTest::newRow("other text") << "店长" << QStringList();
    }
    void roleGating()
    {
        QFETCH(QString, role);
        QFETCH(QStringList, disabled);
        f->createMain();
        addAccount("u1", "王五", role, "");
        QVERIFY(f->login("u1", ""));
        for (QAction *a : f->main().commandActions()) {
            if (a->objectName().startsWith("Window"))
                continue;
            QCOMPARE(a->isEnabled(), !disabled.contains(a->objectName()));
        }
        // A disabled command ignores its shortcut.
        if (!disabled.isEmpty()) {
            QAction *a = f->main().action(disabled.first());
            bool ran = false;
            connect(a, &QAction::triggered, this, [&] { ran = true; });
            a->activate(QAction::Trigger);
            QVERIFY(!ran);
        }
    }

    void emptyRoleEndsTheProgram()
    {
        f->createMain();
        addAccount("u2", "赵六", QVariant(), "");
        f->login("u2", "");
        QVERIFY(f->main().hasClosed());
        QVERIFY(!f->main().isVisible());
    }

    void closingTheDialogEndsTheProgram()
    {
        f->createMain();
        auto *dlg = new TFormdl(f->main());
        f->main().setLoginDialog(dlg);
        dlg->show();
        dlg->close();
        QVERIFY(f->main().hasClosed());
        QVERIFY(!f->main().isVisible());
    }

    // Each ends start-up with one box before any window, saying what is wrong and where
    // the backup is.
    void startUpFailures_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("says");
        QTest::newRow("file missing") << "missing" << "无法打开或创建数据文件";
        QTest::newRow("wrong password") << "wrongkey" << "不是本系统的数据文件";
        QTest::newRow("not a database") << "garbage" << "不是本系统的数据文件";
        QTest::newRow("0-byte file") << "empty" << "文件里没有本系统的任何数据表";
        QTest::newRow("right key, other tables") << "othertables" << "缺少：pl、rk";
        QTest::newRow("right key, a column missing") << "column" << "缺少：rk.bc";
    }
    void startUpFailures()
    {
        QFETCH(QString, kind);
        QFETCH(QString, says);
        QFile::remove(f->path("lr"));
        if (kind == "wrongkey") {
            Connection c;
            c.create(f->path("lr"), "another");
            c.execScript("CREATE TABLE kr (rkdh INTEGER)");
        } else if (kind == "garbage") {
            QFile file(f->path("lr"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(4096, 'x'));
        } else if (kind == "empty") {
            QFile file(f->path("lr"));
            QVERIFY(file.open(QIODevice::WriteOnly));
        } else if (kind == "othertables") {
            damaged::writeOtherTables(f->path("lr"));
        } else if (kind == "column") {
            damaged::writeColumnMissing(f->path("lr"));
        }
        const BackupPaths paths(f->backupFolder());
        auto main = createMain(paths, PY_DIR);
        QVERIFY(!main);
        QCOMPARE(f->seams.shown.size(), 1);
        const QString text = f->seams.shown[0].text;
        QVERIFY2(text.contains(says), qPrintable(text));
        QVERIFY2(text.contains(QDir::toNativeSeparators(paths.backupFile())), qPrintable(text));
        QCOMPARE(f->seams.shown[0].icon, ui::Icon::Error);
        for (const QWidget *w : QApplication::topLevelWidgets())
            QVERIFY(!w->isVisible());
    }

    // Temporary files of copies killed half-way go at start; files of a copy still running
    // in another process, and every file not named as the copy names its own, stay.
    void staleCopiesRemovedAtStart()
    {
        QProcess gone;
        gone.start(QStringLiteral("true"), QStringList());
        QVERIFY(gone.waitForStarted());
        const qint64 deadPid = gone.processId();
        QVERIFY(gone.waitForFinished());
        const qint64 livePid = QCoreApplication::applicationPid();

        const QString work = f->dir(), backup = f->backupFolder();
        const auto name = [](const QString &target, qint64 pid) {
            return QStringLiteral(".%1.tmp-%2-0-123456789").arg(target).arg(pid);
        };
        const QStringList stale = {QDir(work).filePath(name("lr", deadPid)),
                                   QDir(backup).filePath(name("软件数据备份", deadPid)),
                                   QDir(backup).filePath(name("lr.bak", deadPid))};
        const QStringList kept = {QDir(work).filePath(name("lr", livePid)),            // a copy still running
                                  QDir(backup).filePath(name("软件数据备份", livePid)),
                                  QDir(work).filePath(name("rK.rav", deadPid)),         // not a copy's target
                                  QDir(work).filePath(name("lr", deadPid).mid(1)),      // not hidden
                                  QDir(work).filePath(QStringLiteral(".lr.tmp-x")),
                                  QDir(backup).filePath(name("lr", deadPid)),           // lr's copy goes beside lr
                                  QDir(work).filePath(name("软件数据备份", deadPid))};
        for (const QString &p : stale + kept) {
            QFile file(p);
            QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(p));
            file.write(QByteArray(4096, 'a'));
        }
        auto main = createMain(BackupPaths(backup), PY_DIR);
        QVERIFY(main);
        for (const QString &p : stale)
            QVERIFY2(!QFile::exists(p), qPrintable(p));
        for (const QString &p : kept)
            QVERIFY2(QFile::exists(p), qPrintable(p));
        QVERIFY(f->seams.shown.isEmpty());
    }

    void copyOnClosingIsOnFridays()
    {
        // 2026-12-07 is a Monday.
        for (int i = 0; i < 7; ++i) {
            const QDate d(2026, 12, 7 + i);
            QCOMPARE(Tmain::copyOnCloseDay(d), d.dayOfWeek() == 5);
        }
    }

    void missingLibraryStillStarts()
    {
        QTemporaryDir empty;
        Tmain m(BackupPaths(f->backupFolder()), empty.path());
        QVERIFY(m.ADOTableKR->isActive());
    }
};

QTEST_MAIN(TstLogin)
#include "tst_login.moc"
