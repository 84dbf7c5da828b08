// "导出到Excel..." of the grids: the stock-out query's lines written to .xlsx and read back
// with openpyxl, cell by cell against the database, with the totals of the status bar; the
// CSV's bytes; a cancelled or refused export leaves no file; the query screens' button.
#include "common/AsOrdinaryUser.h"
#include "common/FileSizeLimit.h"
#include "dataset/Formats.h"
#include "dbwidgets/GridExport.h"
#include "queries/LineQueryTwins.h"
#include "queries/TFormCKCX.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProgressDialog>
#include <QTimer>

namespace {

const QString Quote = QStringLiteral("他说\"好\"，再来");
const QString Formula = QStringLiteral("=1+2");
const QString Long = QStringLiteral("加长型不锈钢双门对开门风冷无霜变频节能静音大容量家用冰箱带制冰机与温控显示屏幕款式（二零二四新款）A");

} // namespace

class TstExport : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<AppFixture> f;
    std::unique_ptr<LineQueryTest> q;

    QString today(const char *time) const
    {
        return QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd ")) + QLatin1String(time);
    }

    // The day's lines: amounts with one to four decimals and whole ones, a quote, a leading
    // "=", a 50-character name, paid and unpaid; extra lines make the list long.
    TFormCKCX *dayList(int extra = 0)
    {
        q->add("D-1", QStringLiteral("液晶电视"), "TV-001", 2, 32005000, today("09:00:00"), {}, "已付");
        q->add("D-1", Quote, "Q-1", 1, 1, today("09:30:15"), {}, "未付");
        q->add("D-2", Formula, "F-1", 3, 122500, today("10:00:00"), "保存", "已付");
        q->add("D-2", Long, "L-1", 12, 990000, today("23:59:59"), {}, "未付");
        if (extra) {
            Transaction tx(f->main().conn());
            for (int i = 0; i < extra; ++i)
                q->add("D-3", QStringLiteral("螺丝%1").arg(i), "S-1", i % 7 + 1, 12345 + i, today("11:00:00"));
            tx.commit();
        }
        auto *w = qobject_cast<TFormCKCX *>(q->open());
        w->ButtonCKClick();  // both pickers on today: every line
        return w;
    }

    QString folder()
    {
        const QString d = f->path(QStringLiteral("out"));
        QDir().mkpath(d);
        return d;
    }

    // Everything in a folder, hidden files included.
    static QStringList entries(const QString &dir)
    {
        return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }

    void exportAs(DBGrid *grid, const QString &path)
    {
        f->seams.saveAnswers << path;
        grid->exportAction()->trigger();
    }

    static QJsonObject readXlsx(const QString &path)
    {
        QProcess p;
        p.start(QStringLiteral(PYTHON3), {QStringLiteral(READ_XLSX), path});
        if (!p.waitForFinished(60000) || p.exitCode() != 0)
            qWarning("openpyxl: %s", p.readAllStandardError().constData());
        return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
    }

    // The stored value of a listed line's field; the amount column is the line's sn*xsj.
    QVariant stored(qint64 rowid, const FieldDef &def)
    {
        const QString expr = def.calculated ? QStringLiteral("sn*xsj") : def.name;
        return f->scalar(QStringLiteral("SELECT %1 FROM ck WHERE rowid=:r").arg(expr), {{"r", rowid}});
    }

    // The totals as the status bar shows them: "共N条", then the four sums.
    QList<QPair<QString, QVariant>> expectedTotals()
    {
        const QList<QVariantList> s = f->rows(
            "SELECT count(*), sum(sn*xsj), sum(CASE WHEN fk='已付' THEN sn*xsj ELSE 0 END), sum(sn) FROM ck");
        const qint64 all = s[0][1].toLongLong(), paid = s[0][2].toLongLong();
        return {{QStringLiteral("共%1条").arg(s[0][0].toInt()), {}},
                {QStringLiteral("总金额："), all},
                {QStringLiteral("已付："), paid},
                {QStringLiteral("未付："), all - paid},
                {QStringLiteral("总数量："), s[0][3].toLongLong() * Money::Scale}};
    }

private slots:
    void init()
    {
        f = std::make_unique<AppFixture>();
        f->start();
        q = std::make_unique<LineQueryTest>(*f, twins[1]);
    }
    void cleanup()
    {
        QVERIFY(f->seams.allAnswersUsed());
        QFile::setPermissions(f->dir(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        q.reset();
        f.reset();
    }

    // The workbook holds the listed lines in the grid's columns, each cell typed and equal to
    // the stored value, under a frozen header, with the status bar's totals below.
    void xlsxHoldsTheListedLines()
    {
        TFormCKCX *w = dayList();
        DBGrid *grid = w->DBGrid1;
        DataSet *ds = q->list();
        const QString path = QDir(folder()).filePath(QStringLiteral("出库.xlsx"));
        exportAs(grid, path);
        QCOMPARE(f->seams.lastMessage(), QStringLiteral("已导出4行到“%1”。").arg(QDir::toNativeSeparators(path)));
        QCOMPARE(entries(folder()), QStringList{QStringLiteral("出库.xlsx")});

        const QJsonObject book = readXlsx(path);
        QCOMPARE(book.value("freeze").toString(), QStringLiteral("A2"));
        const QJsonArray rows = book.value("rows").toArray();
        const gridexport::Listing l = gridexport::ofGrid(grid);
        QVERIFY(l.columns.size() >= 10);
        const QJsonArray header = rows.at(0).toArray();
        QCOMPARE(header.size(), l.columns.size());
        for (int c = 0; c < l.columns.size(); ++c)
            QCOMPARE(header.at(c).toObject().value("v").toString(),
                     grid->dataModel()->headerData(c, Qt::Horizontal).toString());

        const QList<qint64> keys = ds->listedKeys();
        QCOMPARE(keys.size(), 4);
        int mcColumn = -1;
        for (int r = 0; r < keys.size(); ++r) {
            const QJsonArray cells = rows.at(r + 1).toArray();
            for (int c = 0; c < l.columns.size(); ++c) {
                const FieldDef &def = l.columns[c].def;
                const QJsonObject cell = cells.at(c).toObject();
                const QVariant db = stored(keys[r], def);
                const QString where = QStringLiteral("row %1, %2").arg(r + 1).arg(def.name);
                if (def.name == QLatin1String("mc"))
                    mcColumn = c;
                if (db.isNull() || db.toString().isEmpty()) {
                    QVERIFY2(cell.value("v").isNull(), qPrintable(where));
                } else if (def.type == FieldType::Money) {
                    QCOMPARE(cell.value("t").toString(), QStringLiteral("n"));
                    QCOMPARE(qRound64(cell.value("v").toDouble() * Money::Scale), db.toLongLong());
                    // As many decimals as the grid shows.
                    const QString shown = ds->displayText(r, l.fields[c]);
                    const qsizetype dot = shown.indexOf(u'.');
                    const QString pattern = dot < 0 ? QStringLiteral("0") : QStringLiteral("0.") + QString(shown.size() - dot - 1, u'0');
                    QCOMPARE(cell.value("f").toString(), pattern);
                } else if (def.type == FieldType::Integer || def.type == FieldType::SmallInt) {
                    QCOMPARE(cell.value("t").toString(), QStringLiteral("n"));
                    QCOMPARE(cell.value("v").toDouble(), db.toDouble());
                } else if (def.type == FieldType::DateTime) {
                    QCOMPARE(cell.value("t").toString(), QStringLiteral("d"));
                    QCOMPARE(cell.value("f").toString(), QStringLiteral("yyyy-m-d h:mm:ss"));
                    QCOMPARE(cell.value("v").toString(), db.toString());
                } else {
                    QVERIFY2(cell.value("t").toString() == QLatin1String("s"), qPrintable(where));
                    QCOMPARE(cell.value("v").toString(), db.toString());
                }
            }
        }
        QVERIFY(mcColumn >= 0);
        QStringList names;
        for (int r = 1; r <= 4; ++r)
            names << rows.at(r).toArray().at(mcColumn).toObject().value("v").toString();
        QCOMPARE(Long.size(), 50);
        for (const QString &n : {QStringLiteral("液晶电视"), Quote, Formula, Long})
            QVERIFY2(names.contains(n), qPrintable(n));
        // The long name's column is wider than the others' widest.
        QVERIFY(book.value("widths").toArray().at(mcColumn).toDouble() >= 50);

        // A blank line, then the totals.
        const auto totals = expectedTotals();
        QCOMPARE(rows.size(), 1 + 4 + 1 + totals.size());
        for (const QJsonValue &v : rows.at(5).toArray())
            QVERIFY(v.toObject().value("v").isNull());
        for (int i = 0; i < totals.size(); ++i) {
            const QJsonArray cells = rows.at(6 + i).toArray();
            QCOMPARE(cells.at(0).toObject().value("v").toString(), totals[i].first);
            if (totals[i].second.isValid())
                QCOMPARE(qRound64(cells.at(1).toObject().value("v").toDouble() * Money::Scale), totals[i].second.toLongLong());
            else
                QVERIFY(cells.at(1).toObject().value("v").isNull());
        }
        QCOMPARE(w->panelText(0), totals[0].first);
    }

    // The CSV: a byte order mark, UTF-8, quotes doubled, a leading "=" kept as text, the
    // totals under a blank line.
    void csvBytes()
    {
        TFormCKCX *w = dayList();
        const QString path = QDir(folder()).filePath(QStringLiteral("出库.csv"));
        exportAs(w->DBGrid1, path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        QCOMPARE(QString::fromUtf8(bytes.mid(3)).toUtf8(), bytes.mid(3));  // valid UTF-8 throughout
        const QList<QByteArray> lines = bytes.mid(3).split('\n');
        QCOMPARE(lines.size(), 1 + 4 + 1 + 5 + 1);
        for (const QByteArray &line : lines.mid(0, lines.size() - 1))
            QVERIFY(line.endsWith('\r'));
        const gridexport::Listing l = gridexport::ofGrid(w->DBGrid1);
        QStringList labels;
        for (const sheet::Column &c : l.columns)
            labels << c.label;
        QCOMPARE(QString::fromUtf8(lines[0]).trimmed(), labels.join(u','));
        // The lines in the list's order, each with the cells the grid shows.
        auto lineOf = [&](const QByteArray &part) {
            int found = -1;
            for (int i = 1; i <= 4; ++i)
                if (lines[i].contains(part))
                    found = i;
            return found;
        };
        const int tv = lineOf(",液晶电视,");
        QVERIFY(tv > 0);
        QVERIFY(lines[tv].contains(",6401,"));  // 2 × 3200.5
        QVERIFY(lines[tv].contains(',' + fmt::displayDateTime(fmt::wallClock(QDate::currentDate(), QTime(9, 0))).toUtf8() + ','));
        QVERIFY(lineOf(",\"他说\"\"好\"\"，再来\",") > 0);
        QVERIFY(lineOf(",'=1+2,") > 0);
        QVERIFY(lineOf("," + Long.toUtf8() + ",") > 0);
        DataSet *ds = q->list();
        for (int r = 0; r < 4; ++r) {
            QStringList cells;
            for (int c = 0; c < l.fields.size(); ++c)
                cells << ds->displayText(r, l.fields[c]);
            const QString shown = cells.join(u',');
            if (!shown.contains(u'"') && !shown.contains(u'='))
                QCOMPARE(QString::fromUtf8(lines[1 + r]).chopped(1), shown);
        }
        QCOMPARE(lines[5], QByteArray("\r"));
        const auto totals = expectedTotals();
        for (int i = 0; i < totals.size(); ++i) {
            QByteArray expected = totals[i].first.toUtf8();
            if (totals[i].second.isValid())
                expected += ',' + Money::fromRaw(totals[i].second.toLongLong()).toString().toUtf8();
            QCOMPARE(lines[6 + i], expected + '\r');
        }
    }

    // Cancelling in the progress dialog stops the export: no file, no temporary file, and a
    // file of that name from before stays as it was.
    void cancelLeavesNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("existing");
        QTest::newRow("xlsx") << "长.xlsx" << false;
        QTest::newRow("csv") << "长.csv" << false;
        QTest::newRow("xlsx over an older file") << "长.xlsx" << true;
    }
    void cancelLeavesNothing()
    {
        QFETCH(QString, name);
        QFETCH(bool, existing);
        TFormCKCX *w = dayList(1500);
        const QString path = QDir(folder()).filePath(name);
        if (existing) {
            QFile old(path);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("older");
        }
        const QStringList before = entries(folder());
        int seen = 0;
        QTimer press;
        press.setInterval(0);
        connect(&press, &QTimer::timeout, this, [&] {
            auto *dlg = f->main().findChild<QProgressDialog *>(QStringLiteral("ExportProgress"));
            if (dlg && dlg->value() >= 500) {
                seen = dlg->value();
                dlg->cancel();
            }
        });
        press.start();
        exportAs(w->DBGrid1, path);
        press.stop();
        QVERIFY(seen >= 500 && seen < 1504);
        QCOMPARE(entries(folder()), before);
        if (existing) {
            QFile old(path);
            QVERIFY(old.open(QIODevice::ReadOnly));
            QCOMPARE(old.readAll(), QByteArray("older"));
        }
        QVERIFY(f->seams.messages().isEmpty());
    }

    // A target that cannot be written: a message that says why, and no file at all.
    void refusedTargetLeavesNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("trouble");
        QTest::addColumn<QString>("reason");
        QTest::newRow("read-only folder, xlsx") << "出库.xlsx" << "read-only" << "没有写入这个文件夹的权限";
        QTest::newRow("read-only folder, csv") << "出库.csv" << "read-only" << "没有写入这个文件夹的权限";
        QTest::newRow("full disk, xlsx") << "出库.xlsx" << "full" << "磁盘空间不足";
        QTest::newRow("full disk, csv") << "出库.csv" << "full" << "磁盘空间不足";
        QTest::newRow("missing folder") << "没有/出库.xlsx" << "none" << "文件夹不存在";
    }
    void refusedTargetLeavesNothing()
    {
        QFETCH(QString, name);
        QFETCH(QString, trouble);
        QFETCH(QString, reason);
        TFormCKCX *w = dayList(1500);
        const QString dir = folder(), path = QDir(dir).filePath(name);
        if (trouble == QLatin1String("read-only")) {
            QVERIFY(QFile::setPermissions(f->dir(), QFileDevice::Permissions(0x7755)));
            QVERIFY(QFile::setPermissions(dir, QFileDevice::Permissions(0x5555)));
            AsOrdinaryUser user;
            exportAs(w->DBGrid1, path);
        } else if (trouble == QLatin1String("full")) {
            FileSizeLimit limit(16 * 1024);
            QVERIFY(limit.isSet());
            exportAs(w->DBGrid1, path);
        } else {
            exportAs(w->DBGrid1, path);
        }
        QFile::setPermissions(dir, QFileDevice::Permissions(0x7700));
        QCOMPARE(f->seams.messages(),
                 QStringList{QStringLiteral("导出失败：无法写入“%1”（%2），没有生成文件。").arg(QDir::toNativeSeparators(path), reason)});
        QCOMPARE(entries(dir), QStringList());
    }

    // The query screens have the command as a tool button beside "打印"; the save dialog
    // offers both kinds of file under the screen's name.
    void queryScreensHaveTheButton_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("print");
        QTest::addColumn<QString>("name");
        QTest::newRow("stock-out query") << "ActionCKCX" << "SpeedButton2" << "出库查询";
        QTest::newRow("stock-in query") << "ActionRKCX" << "SpeedButton2" << "入库查询";
        QTest::newRow("stock query") << "ActionKCCX" << "SpeedButton_Print" << "库存查询";
        QTest::newRow("receipts") << "ActionSKCX" << "SpeedButton_Print" << "";
        QTest::newRow("payments") << "ActionFKCX" << "SpeedButton_Print" << "";
    }
    void queryScreensHaveTheButton()
    {
        QFETCH(QString, command);
        QFETCH(QString, print);
        QFETCH(QString, name);
        f->main().action(command)->trigger();
        QWidget *w = f->main().lastOpened(command);
        QVERIFY(w);
        QTest::qWait(0);
        auto *button = child<QToolButton>(w, QStringLiteral("SpeedButton_Export"));
        auto *printButton = child<QToolButton>(w, print);
        QVERIFY(button && printButton);
        QCOMPARE(button->text(), QStringLiteral("导出到Excel..."));
        // Right beside "打印", on the same line.
        QCOMPARE(button->y(), printButton->y());
        QVERIFY(button->x() > printButton->x());
        QVERIFY(button->x() - (printButton->x() + printButton->width()) < 20);
        button->click();  // the dialog is cancelled
        QCOMPARE(f->seams.shown.last().kind, QStringLiteral("save"));
        QCOMPARE(f->seams.shown.last().title, QStringLiteral("Excel 工作簿 (*.xlsx);;CSV 文件，UTF-8 逗号分隔 (*.csv)"));
        const QString offered = QFileInfo(f->seams.shown.last().text).fileName();
        QVERIFY2(offered.startsWith(name) && offered.endsWith(".xlsx"), qPrintable(offered));
        QVERIFY(f->seams.messages().isEmpty());
    }

    // What a status bar shows becomes labelled totals; a panel without an amount keeps its text.
    void statusTextsBecomeTotals_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<QStringList>("amounts");
        QTest::newRow("count") << "共12条" << QStringList{"共12条"} << QStringList{""};
        QTest::newRow("sums") << "总金额：12.5   已付：0   未付：-3.0001   总数量：7"
                              << QStringList{"总金额：", "已付：", "未付：", "总数量："}
                              << QStringList{"12.5", "0", "-3.0001", "7"};
        QTest::newRow("balance with a colon") << "余额: 100" << QStringList{"余额:"} << QStringList{"100"};
        QTest::newRow("words") << "当前余额 未知" << QStringList{"当前余额 未知"} << QStringList{""};
    }
    void statusTextsBecomeTotals()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, labels);
        QFETCH(QStringList, amounts);
        const QList<sheet::Total> t = gridexport::parseTotals({text});
        QStringList gotLabels, gotAmounts;
        for (const sheet::Total &x : t) {
            gotLabels << x.label;
            gotAmounts << (x.value ? x.value->toString() : QString());
        }
        QCOMPARE(gotLabels, labels);
        QCOMPARE(gotAmounts, amounts);
    }
};

QTEST_MAIN(TstExport)
#include "tst_export.moc"
