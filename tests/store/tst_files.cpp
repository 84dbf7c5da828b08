// The database file in trouble: a full disk, a read-only file or folder, a damaged page,
// and a second program on the same file. The user gets a Chinese message that says what
// to do, with the engine's text as detail, and nothing is stored half.
#include "dataset/EngineErrors.h"
#include "dataset/Errors.h"
#include "common/AsOrdinaryUser.h"
#include "common/FileSizeLimit.h"
#include "common/DamagedFiles.h"
#include "common/Fixture.h"
#include "maintenance/TFormdele.h"
#include "maintenance/TFormmmxg.h"
#include "queries/TFormRKCX.h"
#include "store/Schema.h"

#include <QApplication>
#include <QProcess>
#include <QRadioButton>
#include <QThread>

#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

// The working folder on a file system of its own with 12 KB left, as on a full disk.
// Mounting needs the right to; without it the test is skipped.
class SmallDisk {
public:
    explicit SmallDisk(AppFixture &f) : f_(f), dir_(f.path(QStringLiteral("disk")))
    {
        QDir().mkpath(dir_);
        const qint64 size = QFileInfo(f.path(QStringLiteral("lr"))).size() + 1024 * 1024;
        const QByteArray options = "size=" + QByteArray::number(size);
        if (mount("tmpfs", QFile::encodeName(dir_).constData(), "tmpfs", 0, options.constData()) != 0)
            return;
        mounted_ = true;
        QFile::copy(f.path(QStringLiteral("lr")), QDir(dir_).filePath(QStringLiteral("lr")));
        // Fill all but 12 KB.
        QFile filler(QDir(dir_).filePath(QStringLiteral("filler")));
        filler.open(QIODevice::WriteOnly);
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
        filler.close();
        struct statvfs fs{};
        statvfs(QFile::encodeName(dir_).constData(), &fs);
        const qint64 keep = qint64(fs.f_bavail) * qint64(fs.f_frsize);
        QFile::resize(filler.fileName(), std::max<qint64>(0, filler.size() + keep - 12 * 1024));
        QDir::setCurrent(dir_);
    }
    ~SmallDisk()
    {
        if (!mounted_)
            return;
        f_.destroyMain();
        QDir::setCurrent(f_.dir());
        umount2(QFile::encodeName(dir_).constData(), MNT_DETACH);
    }
    bool isMounted() const { return mounted_; }
    void freeSpace() { QFile::remove(QDir(dir_).filePath(QStringLiteral("filler"))); }

private:
    AppFixture &f_;
    QString dir_;
    bool mounted_ = false;
};

const char *const OtherProgram = "TST_FILES_OTHER_PROGRAM";

// The second program: opens lr, stores a product in a transaction and holds it open,
// until told on its input ("wait") or for a moment ("briefly"), then commits.
int otherProgram(const QString &how)
{
    const QStringList parts = how.split(u'\n');
    try {
        Connection c;
        schema::open(c, parts.value(0));
        Transaction tx(c);
        c.exec(QStringLiteral("INSERT INTO pl (bh, mc, sn) VALUES ('OTHER-1', '另一个程序的商品', 5)"));
        std::cout << "held" << std::endl;
        if (parts.value(1) == QLatin1String("briefly")) {
            QThread::msleep(300);
        } else {
            std::string line;
            std::getline(std::cin, line);
        }
        tx.commit();
        return 0;
    } catch (const KorvelError &e) {
        std::cerr << e.message().toStdString() << std::endl;
        return 2;
    }
}

} // namespace

class TstFiles : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<AppFixture> f;

    // Paid stock-in lines that the deletion screen takes.
    void seedLines()
    {
        for (int i = 0; i < 5; ++i)
            f->exec("INSERT INTO rk (lsdh, gys, fk, bc, sn, rq) VALUES (:n, 'g', '已付', '保存', 1, '2020-03-01 10:00:00')",
                    {{"n", QStringLiteral("old-%1").arg(i)}});
    }
    int lines() { return f->scalar("select count(*) from rk where lsdh like 'old-%'").toInt(); }
    // The deletion screen set to the stock-in lines since February 2020.
    TFormdele *deletionScreen()
    {
        f->main().action("ActionSJSC")->trigger();
        auto *s = f->main().findChild<TFormdele *>();
        if (s) {
            s->RadioButton2->setChecked(true);
            s->DateTimePicker1->setDate(QDate(2020, 2, 1));
        }
        return s;
    }
    // Logged in, with the seeded lines shown by "删除预览".
    TFormdele *previewOldLines()
    {
        f->start();
        seedLines();
        TFormdele *s = deletionScreen();
        if (s)
            s->Button1->click();
        return s;
    }
    void changePassword()
    {
        f->main().action("ActionMMXG")->trigger();
        auto *w = f->main().findChild<TFormmmxg *>();
        QVERIFY(w);
        w->Edit2->setText("neu");
        w->Edit3->setText("neu");
        w->Button1->click();
        w->close();
    }
    std::unique_ptr<QProcess> startOtherProgram(const QString &how)
    {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(OtherProgram), f->path("lr") + u'\n' + how);
        p->setProcessEnvironment(env);
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(QCoreApplication::applicationFilePath(), QStringList());
        if (!p->waitForStarted() || !p->waitForReadyRead(30000) || p->readLine() != "held\n")
            qWarning("the other program did not start its transaction");
        return p;
    }

private slots:
    void init() { f = std::make_unique<AppFixture>(); }
    void cleanup()
    {
        QVERIFY(f->seams.allAnswersUsed());
        QFile::setPermissions(f->dir(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        f.reset();
    }

    // A write refused by the file itself is told in Chinese with what to do; the stored
    // password stays as it was.
    void readOnly_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("says");
        QTest::addColumn<QString>("engineSays");
        QTest::newRow("file") << "file" << "数据文件是只读的，数据没有保存。请检查数据文件lr和它所在的文件夹是否允许写入"
                              << "attempt to write a readonly database";
        // The engine cannot make its journal beside the file.
        QTest::newRow("folder") << "folder" << "无法打开或创建数据文件。请检查数据文件lr是否存在，它和它所在的文件夹是否允许读写"
                                << "unable to open database file";
    }
    void readOnly()
    {
        QFETCH(QString, what);
        QFETCH(QString, says);
        QFETCH(QString, engineSays);
        const QString lr = f->path("lr");
        if (what == "file") {
            QVERIFY(QFile::setPermissions(lr, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
            QVERIFY(QFile::setPermissions(f->dir(), QFileDevice::Permissions(0x7555)));
        } else {
            QVERIFY(QFile::setPermissions(lr, QFileDevice::Permissions(0x6666)));
            QVERIFY(QFile::setPermissions(f->dir(), QFileDevice::Permissions(0x5555)));
        }
        {
            AsOrdinaryUser user;
            if (!user.bound())
                QSKIP("file permissions cannot be made to bind here");
            f->start();
            changePassword();
        }
        QCOMPARE(f->seams.messages().size(), 1);
        const QString text = f->seams.lastMessage();
        QVERIFY2(text.startsWith(says), qPrintable(text));
        QVERIFY2(text.endsWith(QStringLiteral("详细信息：") + engineSays), qPrintable(text));
        QCOMPARE(f->scalar("select qggybh from gy where gybh='admin'").toString(), QString());
    }

    // The whole road of a shop on a full disk: "保存" on 3,000 listed pending lines fails as
    // often as it is pressed and changes nothing; once there is room one press saves every
    // line once, and every product's stock is its start plus its saved lines.
    void fullDiskSaveRoad_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("size limit") << "size limit";
        QTest::newRow("small disk") << "small disk";
    }
    void fullDiskSaveRoad()
    {
        QFETCH(QString, how);
        const int products = 30, lines = 3000;
        {
            Connection c;
            schema::open(c, f->path("lr"));
            Transaction tx(c);
            for (int p = 0; p < products; ++p)
                c.exec("INSERT INTO pl (bh, mc, sn) VALUES (:b, :m, :s)",
                       {{"b", QStringLiteral("RD-%1").arg(p)}, {"m", QStringLiteral("路试商品%1").arg(p)}, {"s", p}});
            const QDateTime now = QDateTime::currentDateTime();
            for (int i = 0; i < lines; ++i)
                c.exec("INSERT INTO rk (lsdh, bh, mc, sn, cgj, rq) VALUES (:n, :b, :m, :q, 10000, :r)",
                       {{"n", QStringLiteral("路试-%1").arg(i / 100)},
                        {"b", QStringLiteral("RD-%1").arg(i % products)},
                        {"m", QStringLiteral("路试商品%1").arg(i % products)},
                        {"q", 1 + i % 5},
                        {"r", now}});
            tx.commit();
        }
        std::unique_ptr<SmallDisk> disk;
        if (how == "small disk") {
            disk = std::make_unique<SmallDisk>(*f);
            if (!disk->isMounted())
                QSKIP("no small file system can be mounted here");
        }
        f->start();
        const int productsAtStart = f->scalar("SELECT count(*) FROM pl").toInt();
        // Every product's stock as it must be: its start plus the lines saved so far.
        const auto stockMatchesSavedLines = [&] {
            return f->scalar("SELECT count(*) FROM pl WHERE bh LIKE 'RD-%' AND sn <> CAST(substr(bh, 4) AS INTEGER)"
                             " + (SELECT coalesce(sum(rk.sn), 0) FROM rk WHERE rk.bh=pl.bh AND rk.bc='保存')")
                       .toInt() == 0;
        };
        f->main().action("ActionRKCX")->trigger();
        auto *w = f->main().findChild<TFormRKCX *>();
        QVERIFY(w);
        w->ButtonRK->click();  // today's lines
        QCOMPARE(w->DBGrid1->dataSet()->recordCount(), lines);
        {
            std::unique_ptr<FileSizeLimit> limit;
            if (how == "size limit") {
                limit = std::make_unique<FileSizeLimit>(QFileInfo(f->path("lr")).size() + 100);
                QVERIFY(limit->isSet());
            }
            for (int press = 1; press <= 3; ++press) {
                w->SpeedButton_Scan->click();
                QCOMPARE(f->seams.messages().size(), press);
                QVERIFY2(f->seams.lastMessage().contains(QStringLiteral("磁盘")), qPrintable(f->seams.lastMessage()));
                QCOMPARE(f->scalar("SELECT count(*) FROM rk WHERE bc='保存'").toInt(), 0);
                QVERIFY(stockMatchesSavedLines());
            }
        }
        if (disk)
            disk->freeSpace();
        for (int press = 0; press < 2; ++press) {
            w->SpeedButton_Scan->click();
            QCOMPARE(f->seams.messages().size(), 3);
            QCOMPARE(f->scalar("SELECT count(*) FROM rk WHERE bc='保存'").toInt(), lines);
            QVERIFY(stockMatchesSavedLines());
        }
        QCOMPARE(f->scalar("SELECT count(*) FROM pl").toInt(), productsAtStart);
        QCOMPARE(f->scalar("PRAGMA integrity_check").toString(), QStringLiteral("ok"));
        // Nothing was left in an open transaction: the file holds it after closing.
        const QString file = QDir::current().filePath("lr");
        f->destroyMain();
        Connection c;
        schema::open(c, file);
        QCOMPARE(c.scalar("SELECT count(*) FROM rk WHERE bc='保存'").toInt(), lines);
    }

    // A write that finds no room: the message says to free space and the file keeps what it
    // had; once there is room the same write goes through.
    void diskFull_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("fault");
        QTest::addColumn<QString>("says");
        QTest::addColumn<QString>("engineSays");
        QTest::newRow("no space left on a small file system")
            << "small disk" << int(engine::Fault::DiskFull)
            << "磁盘已满，数据没有保存。请删除不用的文件，腾出磁盘空间后再试。" << "database or disk is full";
        QTest::newRow("file size limit") << "size limit" << int(engine::Fault::DiskError)
                                         << "读写数据文件时出错，操作没有完成。可能是磁盘已满或磁盘有故障：请腾出磁盘空间"
                                         << "disk I/O error";
    }
    void diskFull()
    {
        QFETCH(QString, how);
        QFETCH(int, fault);
        QFETCH(QString, says);
        QFETCH(QString, engineSays);
        std::unique_ptr<SmallDisk> disk;
        if (how == "small disk") {
            disk = std::make_unique<SmallDisk>(*f);
            if (!disk->isMounted())
                QSKIP("no small file system can be mounted here");
        }
        f->start();
        const QString big = "INSERT INTO gy (gybh, mz, fz) VALUES ('big', '大', hex(randomblob(200000)))";
        QString text;
        int code = 0;
        {
            // Room for what the file holds and part of one more page.
            std::unique_ptr<FileSizeLimit> limit;
            if (how == "size limit") {
                limit = std::make_unique<FileSizeLimit>(QFileInfo(f->path("lr")).size() + 100);
                QVERIFY(limit->isSet());
            }
            try {
                f->exec(big);
            } catch (const DbError &e) {
                text = e.message();
                code = e.code();
            }
        }
        QCOMPARE(int(engine::faultOf(code)), fault);
        QVERIFY2(text.startsWith(says), qPrintable(text));
        QVERIFY2(text.endsWith(QStringLiteral("详细信息：") + engineSays), qPrintable(text));
        QCOMPARE(f->scalar("select count(*) from gy where gybh='big'").toInt(), 0);
        if (disk)
            disk->freeSpace();
        f->exec(big);
        QCOMPARE(f->scalar("select count(*) from gy where gybh='big'").toInt(), 1);
    }

    // A damaged page met while working: the user is told the file is damaged and to
    // restore a backup, not an engine text in English.
    void damagedPage()
    {
        damaged::fillLines(f->path("lr"));
        damaged::overwriteMiddle(f->path("lr"));
        f->start();
        TFormdele *s = deletionScreen();
        f->seams.clear();  // the copies the command makes refuse the damaged file; shown elsewhere
        QVERIFY(s);
        s->Button1->click();
        QCOMPARE(f->seams.messages().size(), 1);
        const QString text = f->seams.lastMessage();
        QVERIFY2(text.startsWith(QStringLiteral("数据文件已经损坏。请不要再录入数据，用最近的备份恢复数据。")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("详细信息：")), qPrintable(text));
    }

    // Constraint messages stay as the engine gives them: the schema names its checks in Chinese.
    void constraintTextsStay()
    {
        f->start();
        try {
            f->exec("UPDATE gy SET mz=:m WHERE gybh='admin'", {{"m", QString(51, u'名')}});
            QFAIL("a name longer than its column was stored");
        } catch (const DbError &e) {
            QCOMPARE(engine::faultOf(e.code()), engine::Fault::None);
            QVERIFY2(e.message().contains(QStringLiteral("名字最多50个字符")), qPrintable(e.message()));
            QVERIFY(!e.message().contains(QStringLiteral("详细信息")));
        }
    }

    // A second program holds a write on the same file: a deletion waits for it, then says
    // so and deletes nothing; once the other has finished, the same press deletes. A backup
    // taken meanwhile holds only what was committed.
    void otherProgramHoldsTheFile()
    {
        TFormdele *s = previewOldLines();
        QVERIFY(s);
        QVERIFY(s->Button2->isEnabled());

        auto other = startOtherProgram("wait");
        f->main().action("ActionSJBF")->trigger();
        QVERIFY(f->seams.shown.isEmpty());
        s->Button2->click();
        QCOMPARE(f->seams.messages().size(), 1);
        const QString text = f->seams.lastMessage();
        QVERIFY2(text.startsWith(QStringLiteral("数据文件正被另一个程序使用")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("请关闭另一个使用这个数据文件的程序")), qPrintable(text));
        QVERIFY2(text.endsWith(QStringLiteral("详细信息：database is locked")), qPrintable(text));
        QCOMPARE(lines(), 5);
        QVERIFY(!f->main().conn().inTransaction());

        other->write("go\n");
        other->closeWriteChannel();
        QVERIFY(other->waitForFinished(30000));
        QCOMPARE(other->exitCode(), 0);
        QCOMPARE(f->scalar("select count(*) from pl where bh='OTHER-1'").toInt(), 1);
        {
            Connection backup;
            schema::open(backup, f->main().backupPaths().backupFile());
            QCOMPARE(backup.scalar("select count(*) from pl where bh='OTHER-1'").toInt(), 0);
            QCOMPARE(backup.scalar("select count(*) from rk where lsdh like 'old-%'").toInt(), 5);
        }

        s->Button2->click();
        QCOMPARE(f->seams.messages().size(), 1);
        QCOMPARE(lines(), 0);
    }

    // A hold shorter than the engine's wait is waited out: no message, both stored.
    void shortHoldIsWaitedOut()
    {
        TFormdele *s = previewOldLines();
        QVERIFY(s);
        auto other = startOtherProgram("briefly");
        s->Button2->click();
        QVERIFY2(f->seams.shown.isEmpty(), qPrintable(f->seams.lastMessage()));
        QCOMPARE(lines(), 0);
        QVERIFY(other->waitForFinished(30000));
        QCOMPARE(other->exitCode(), 0);
        QCOMPARE(f->scalar("select count(*) from pl where bh='OTHER-1'").toInt(), 1);
    }
};

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsSet(OtherProgram))
        return otherProgram(qEnvironmentVariable(OtherProgram));
    QApplication app(argc, argv);
    TstFiles test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_files.moc"
