// Backup, restore, the copies made by the deletion command, and the deletion screen.
#include "dbwidgets/DBGrid.h"
#include "common/DamagedFiles.h"
#include "common/Fixture.h"
#include "store/Schema.h"
#include "maintenance/TFormdele.h"

#include <QMdiSubWindow>

class TstBackup : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<AppFixture> f;
    const QDate friday{2026, 12, 11}, monday{2026, 12, 7};

    static QByteArray digest(const QString &path) { return damaged::digest(path); }
    static void writeFile(const QString &path, const QByteArray &bytes)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    // Stock of the demonstration TV as stored in another database file.
    static int tvStockIn(const QString &path)
    {
        Connection c;
        schema::open(c, path);
        return c.scalar("select sn from pl where bh='TV-001'").toInt();
    }
    QString backupFile() const { return f->main().backupPaths().backupFile(); }
    QString safetyCopy() const { return f->main().backupPaths().safetyCopy(); }
    TFormdele *screen() { return f->main().findChild<TFormdele *>(); }
    TFormdele *openScreen()
    {
        f->main().action("ActionSJSC")->trigger();
        return screen();
    }

    // Lines a..f in every table the screen deletes from, tagged by lsdh.
    void seed()
    {
        struct Line {
            const char *tag, *rq;
            bool settled;  // stock lines: paid; receipts and payments: no open balance
        };
        const Line lines[] = {
            {"a", "2020-03-01 00:00:00", true},  {"b", "2020-03-01 08:00:00", true},
            {"c", "2020-03-03 23:59:59", true},  {"d", "2020-03-04 00:00:00", true},
            {"e", "2020-03-02 10:00:00", false}, {"f", "2020-02-27 10:00:00", true},
        };
        for (const Line &l : lines) {
            const Params p = {{"t", l.tag}, {"rq", l.rq}, {"fk", l.settled ? "已付" : "未付"}, {"yr", l.settled ? 0 : 50000}};
            f->exec("insert into ck (lsdh, kh, fk, bc, sn, rq) values (:t, 'k', :fk, '保存', 1, :rq)", p);
            f->exec("insert into rk (lsdh, gys, fk, bc, sn, rq) values (:t, 'g', :fk, '保存', 1, :rq)", p);
            f->exec("insert into ys (lsdh, kh, jr, yr, yj, rq) values (:t, 'k', 50000, :yr, 0, :rq)", p);
            f->exec("insert into yf (lsdh, kh, jr, yr, yj, rq) values (:t, 'g', 50000, :yr, 0, :rq)", p);
        }
    }
    QStringList tags(const QString &table)
    {
        QStringList out;
        for (const QVariantList &r : f->rows("select lsdh from " + table + " order by lsdh"))
            out << r.at(0).toString();
        return out;
    }
    static QStringList shown(DataSet *ds)
    {
        QStringList out;
        if (!ds->isActive())
            return out;
        for (int r = 0; r < ds->recordCount(); ++r)
            out << ds->rowValue(r, ds->fieldIndex("lsdh")).toString();
        out.sort();
        return out;
    }

private slots:
    void init() { f = std::make_unique<AppFixture>(); }
    void cleanup()
    {
        QVERIFY(f->seams.allAnswersUsed());
        f.reset();
    }

    void backup()
    {
        f->start();
        f->exec("update pl set sn=7 where bh='TV-001'");
        f->main().action("ActionSJBF")->trigger();
        QVERIFY(f->seams.shown.isEmpty());
        QCOMPARE(digest(backupFile()), digest(f->path("lr")));
        QCOMPARE(tvStockIn(backupFile()), 7);
    }

    void backupFailureIsReported()
    {
        f->start();
        QVERIFY(QDir(f->backupFolder()).removeRecursively());
        f->main().action("ActionSJBF")->trigger();
        QCOMPARE(f->seams.messages().size(), 1);
        QVERIFY(f->seams.lastMessage().startsWith(QStringLiteral("数据备份失败")));
    }

    void restoreRoundTrip()
    {
        f->start();
        f->main().action("ActionSJBF")->trigger();
        f->exec("update pl set sn=9 where bh='TV-001'");
        f->seams.confirmAnswers = {true};
        f->main().action("ActionSJFF")->trigger();
        QCOMPARE(f->seams.shown.size(), 1);
        QCOMPARE(f->seams.shown[0].text, QStringLiteral("确定要恢复数据吗?恢复成功后重启软件!"));
        QVERIFY(f->main().hasClosed());
        QVERIFY(!f->main().conn().isOpen());
        f->destroyMain();
        QCOMPARE(tvStockIn(f->path("lr")), 0);
    }

    void restoreNotConfirmed()
    {
        f->start();
        f->main().action("ActionSJBF")->trigger();
        f->exec("update pl set sn=9 where bh='TV-001'");
        f->seams.confirmAnswers = {false};
        f->main().action("ActionSJFF")->trigger();
        QVERIFY(!f->main().hasClosed());
        QCOMPARE(f->scalar("select sn from pl where bh='TV-001'").toInt(), 9);
    }

    // A backup file that is not this program's database never replaces lr.
    void restoreRefused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing") << "missing";
        QTest::newRow("garbage") << "garbage";
        QTest::newRow("empty file") << "empty";
        QTest::newRow("other key") << "otherkey";
        QTest::newRow("damaged in the middle") << "middle";
        QTest::newRow("cut short") << "short";
        QTest::newRow("right key, other tables") << "othertables";
        QTest::newRow("right key, a column missing") << "column";
    }
    void restoreRefused()
    {
        QFETCH(QString, kind);
        f->start();
        const QString file = backupFile();
        if (kind == "garbage")
            writeFile(file, QByteArray(8192, 'x'));
        else if (kind == "empty")
            writeFile(file, QByteArray());
        else if (kind == "otherkey") {
            Connection c;
            c.create(file, "another");
            c.execScript("CREATE TABLE kr (rkdh INTEGER); INSERT INTO kr VALUES (1);");
        } else if (kind == "middle" || kind == "short") {
            // A backup that was good when it was made, with enough lines to damage.
            QVERIFY(QFile::copy(f->path("lr"), file));
            damaged::fillLines(file);
            if (kind == "middle")
                damaged::overwriteMiddle(file);
            else
                damaged::cutTo(file, QFileInfo(file).size() / 2);
        } else if (kind == "othertables") {
            damaged::writeOtherTables(file);
        } else if (kind == "column") {
            damaged::writeColumnMissing(file);
        }
        f->exec("update pl set sn=9 where bh='TV-001'");
        const QByteArray before = digest(f->path("lr"));
        f->seams.confirmAnswers = {true};
        f->main().action("ActionSJFF")->trigger();
        QCOMPARE(f->seams.messages().size(), 1);
        QVERIFY2(f->seams.lastMessage().contains(QStringLiteral("数据没有恢复")), qPrintable(f->seams.lastMessage()));
        QVERIFY(!f->main().hasClosed());
        QCOMPARE(digest(f->path("lr")), before);
        QCOMPARE(f->scalar("select sn from pl where bh='TV-001'").toInt(), 9);
    }

    // Every use of the command refreshes both copies, also with the screen already open.
    void deletionCommandCopies()
    {
        f->start();
        QVERIFY(openScreen());
        QCOMPARE(tvStockIn(backupFile()), 0);
        QCOMPARE(digest(safetyCopy()), digest(backupFile()));

        f->exec("update pl set sn=4 where bh='TV-001'");
        f->main().action("ActionSJSC")->trigger();
        QVERIFY(f->seams.shown.isEmpty());
        QCOMPARE(f->main().mdiArea()->subWindowList().size(), 1);
        QCOMPARE(tvStockIn(backupFile()), 4);
        QCOMPARE(tvStockIn(safetyCopy()), 4);
    }

    void deletionCommandCopyFailures_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("prefix");
        QTest::newRow("no backup folder") << "nofolder" << QStringLiteral("数据备份失败");
        QTest::newRow("safety copy not writable") << "blocked" << QStringLiteral("安全备份");
    }
    void deletionCommandCopyFailures()
    {
        QFETCH(QString, kind);
        QFETCH(QString, prefix);
        f->start();
        if (kind == "nofolder")
            QVERIFY(QDir(f->backupFolder()).removeRecursively());
        else
            QVERIFY(QDir().mkpath(safetyCopy()));  // a folder where the file should go
        f->main().action("ActionSJSC")->trigger();
        QCOMPARE(f->seams.messages().size(), 1);
        QVERIFY2(f->seams.lastMessage().startsWith(prefix), qPrintable(f->seams.lastMessage()));
        QVERIFY(screen());
        QVERIFY(screen()->isVisible());
    }

    // A damaged lr never replaces the good backup: not by the backup command, not by the
    // deletion command's two copies, not by the copy on closing on a Friday.
    void damagedSourceKeepsTheBackup_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("road");
        for (const char *damage : {"middle", "emptied", "cut short", "replaced by other tables"})
            for (const char *road : {"backup", "deletion", "closing"})
                QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(damage, road))) << damage << road;
    }
    void damagedSourceKeepsTheBackup()
    {
        QFETCH(QString, damage);
        QFETCH(QString, road);
        const QString lr = f->path("lr");
        const BackupPaths paths = BackupPaths(f->backupFolder()).setClosingDay(road == "closing" ? friday : monday);
        damaged::fillLines(lr);
        QVERIFY(QFile::copy(lr, paths.backupFile()));
        QVERIFY(QFile::copy(lr, paths.safetyCopy()));
        const QByteArray backupBefore = digest(paths.backupFile());

        Tmain m(paths, PY_DIR);
        auto *dlg = new TFormdl(m);
        m.setLoginDialog(dlg);
        dlg->show();
        // Every page of the lines is read and cached before the damage.
        QCOMPARE(m.conn().scalar("select count(*) from rk where mc like '%足够%'").toInt(), 2000);
        if (damage == "middle")
            damaged::overwriteMiddle(lr);
        else if (damage == "emptied")
            damaged::cutTo(lr, 0);
        else if (damage == "cut short")
            damaged::cutTo(lr, QFileInfo(lr).size() / 2);
        else
            damaged::writeOtherTables(lr);

        if (road == "backup") {
            m.action("ActionSJBF")->trigger();
        } else if (road == "deletion") {
            m.action("ActionSJSC")->trigger();
        } else {
            dlg->close();
            QVERIFY(m.hasClosed());
        }
        delete dlg;
        QVERIFY2(f->seams.messages().size() == 1, qPrintable(f->seams.messages().join("\n----\n")));
        QVERIFY2(f->seams.lastMessage().contains(QStringLiteral("没有备份，原来的备份文件没有改变")),
                 qPrintable(f->seams.lastMessage()));
        QCOMPARE(digest(paths.backupFile()), backupBefore);
        QCOMPARE(digest(paths.safetyCopy()), backupBefore);
    }

    // The copy on closing is the backup command's copy, on Fridays only.
    void copyOnClosing_data()
    {
        QTest::addColumn<QDate>("day");
        QTest::newRow("Friday") << friday;
        QTest::newRow("Monday") << monday;
    }
    void copyOnClosing()
    {
        QFETCH(QDate, day);
        Tmain m(BackupPaths(f->backupFolder()).setClosingDay(day), PY_DIR);
        m.conn().exec("update pl set sn=3 where bh='TV-001'");
        m.close();
        QVERIFY(f->seams.shown.isEmpty());
        if (day.dayOfWeek() == 5)
            QCOMPARE(digest(m.backupPaths().backupFile()), digest(f->path("lr")));
        else
            QVERIFY(!QFile::exists(m.backupPaths().backupFile()));
    }

    void screenAtCreation()
    {
        f->start();
        TFormdele *s = openScreen();
        QVERIFY(s);
        QCOMPARE(s->DateTimePicker1->date(), QDate::currentDate());
        QCOMPARE(s->DateTimePicker2->date(), QDate::currentDate());
        QVERIFY(!s->Button2->isEnabled());
        QVERIFY(s->RadioButton1->isChecked());
        QCOMPARE(s->Label6->text(), QStringLiteral("→"));
        QStringList texts;
        for (auto *b : {s->Button1, s->Button2})
            texts << b->text();
        for (auto *r : {s->RadioButton1, s->RadioButton2, s->RadioButton3, s->RadioButton4})
            texts << r->text();
        QCOMPARE(texts, (QStringList{"删除预览", "删除", "出库数据", "入库数据", "收款数据", "付款数据"}));
    }

    // The period rule, for preview and delete alike.
    void period_data()
    {
        QTest::addColumn<int>("kind");  // radio button 1..4
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<QStringList>("selected");
        const QDate d1(2020, 3, 1), d3(2020, 3, 3), d4(2020, 3, 4);
        const QDate today = QDate::currentDate();
        QTest::newRow("same day: no lower bound, whole end day") << 1 << d3 << d3 << QStringList{"a", "b", "c", "f"};
        QTest::newRow("S<E: midnight of S left out") << 1 << d1 << d3 << QStringList{"b", "c"};
        QTest::newRow("both today: everything paid") << 1 << today << today << QStringList{"a", "b", "c", "d", "f"};
        QTest::newRow("start after end: nothing") << 1 << d4 << d1 << QStringList();
        QTest::newRow("stock-in lines") << 2 << d1 << d4 << QStringList{"b", "c", "d"};
        QTest::newRow("receipts, open balance too") << 3 << d1 << d3 << QStringList{"b", "c", "e"};
        QTest::newRow("payments") << 4 << d3 << d3 << QStringList{"a", "b", "c", "e", "f"};
    }
    void period()
    {
        QFETCH(int, kind);
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(QStringList, selected);
        f->start();
        seed();
        TFormdele *s = openScreen();
        QRadioButton *radios[] = {s->RadioButton1, s->RadioButton2, s->RadioButton3, s->RadioButton4};
        radios[kind - 1]->setChecked(true);
        const QString table = QStringList{"ck", "rk", "ys", "yf"}.at(kind - 1);
        s->DateTimePicker1->setDate(from);
        s->DateTimePicker2->setDate(to);

        s->Button1->click();
        DataSet *ds = f->main().ADOQuerydele;
        QCOMPARE(shown(ds), selected);
        QCOMPARE(s->Button2->isEnabled(), !selected.isEmpty());
        if (selected.isEmpty())
            return;
        QCOMPARE(ds->recNo(), ds->recordCount() - 1);  // the sizing walk ends on the last row

        const QStringList before = tags(table);
        s->Button2->click();
        QStringList left = before;
        for (const QString &t : selected)
            left.removeOne(t);
        QCOMPARE(tags(table), left);
        for (const QString other : {"ck", "rk", "ys", "yf"})
            if (other != table)
                QCOMPARE(tags(other).size(), 6);
        QCOMPARE(s->DateTimePicker1->date(), QDate::currentDate());
        QCOMPARE(s->DateTimePicker2->date(), QDate::currentDate());
        QVERIFY(!s->Button2->isEnabled());
        QCOMPARE(s->DBGrid1->model()->rowCount(), 0);
        QVERIFY(f->seams.shown.isEmpty());
    }

    // The delete acts on the choice made when it is pressed, not on what the preview showed.
    void deleteAfterSwitchingKind()
    {
        f->start();
        seed();
        TFormdele *s = openScreen();
        s->Button1->click();
        QVERIFY(s->Button2->isEnabled());
        s->RadioButton3->setChecked(true);
        s->Button2->click();
        QCOMPARE(tags("ys"), QStringList());
        QCOMPARE(tags("ck").size(), 6);
    }

    // A delete the engine stops midway leaves every row.
    void deleteIsAllOrNothing()
    {
        f->start();
        seed();
        f->exec("create trigger stop_f before delete on ck when old.lsdh='f' begin select raise(abort, 'blocked'); end");
        TFormdele *s = openScreen();
        s->Button1->click();
        s->Button2->click();
        QCOMPARE(f->seams.messages().size(), 1);
        QVERIFY(f->seams.lastMessage().contains("blocked"));
        QCOMPARE(tags("ck").size(), 6);
        QVERIFY(!f->main().conn().inTransaction());
    }

    void columnSizing()
    {
        f->start();
        f->exec("insert into ck (lsdh, kh, fk, rq) values ('x', '  甲乙丙丁戊  ', '已付', '2020-03-01 10:00:00')");
        f->exec("insert into ck (lsdh, kh, fk, rq) values ('y', 'ab', '已付', '2020-03-01 11:00:00')");
        TFormdele *s = openScreen();
        s->Button1->click();
        DataSet *ds = f->main().ADOQuerydele;
        const int kh = ds->fieldIndex("kh");
        QCOMPARE(s->DBGrid1->model()->headerData(kh, Qt::Horizontal).toString(), QStringLiteral("kh"));
        QCOMPARE(s->DBGrid1->columnWidth(kh), 40);                       // title 2, longest 5
        QCOMPARE(s->DBGrid1->columnWidth(ds->fieldIndex("lsdh")), 32);   // title longer than the texts
        QCOMPARE(ds->recNo(), 1);
    }
};

QTEST_MAIN(TstBackup)
#include "tst_backup.moc"
