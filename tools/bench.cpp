// Times what a user waits for on a generated file against the bare engine on the same
// file and prints tables:  korvel-bench PATH [--runs N]
//   process start to the login window, on the file and on an empty file;
//   the full-history stock-in and stock-out query lists with their totals;
//   posting one line through the stock-in and stock-out screens, with all they refresh,
//   on the file and on an empty file; opening every screen;
//   saving 1,000 pending lines into stock from the full-history list (on a copy);
//   the first read of every start data set, the analyses, the stock query, peak memory.
// The lines it posts are deleted again at the end, so the file stays as generated.
#include "dataset/Connection.h"
#include "dataset/Errors.h"
#include "dataset/Formats.h"
#include "dbwidgets/GridExport.h"
#include "store/Schema.h"
#include "analysis/ChartKinds.h"
#include "analysis/ChartScreen.h"
#include "analysis/DBChart.h"
#include "analysis/PieSeries.h"
#include "app/TFormdl.h"
#include "app/Tmain.h"
#include "queries/TFormRKCX.h"
#include "queries/TFormCKCX.h"
#include "stockin/Trkkd.h"
#include "stockout/Tckkd.h"
#include "queries/TFormPL.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <ctime>
#include <functional>
#include <memory>
#include <sys/resource.h>
#include <vector>

namespace {

struct Cost {
    double wall = 0;  // ms
    double cpu = 0;   // ms of this process's processor time
};

double cpuNow()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1000 + double(ts.tv_nsec) / 1e6;
}

Cost measure(const std::function<void()> &f)
{
    QElapsedTimer t;
    const double c0 = cpuNow();
    t.start();
    f();
    return {double(t.nsecsElapsed()) / 1e6, cpuNow() - c0};
}

// Median by wall time of several runs: other processes on the machine disturb single runs.
Cost median(std::vector<Cost> v)
{
    std::sort(v.begin(), v.end(), [](const Cost &a, const Cost &b) { return a.wall < b.wall; });
    return v[v.size() / 2];
}

Cost repeat(int runs, const std::function<void()> &f)
{
    std::vector<Cost> v;
    for (int i = 0; i < runs; ++i)
        v.push_back(measure(f));
    return median(v);
}

QString ms(double v) { return QString::number(v, 'f', v < 10 ? 2 : 0); }
QString cell(const Cost &c) { return ms(c.wall) + QStringLiteral(" (") + ms(c.cpu) + u')'; }

long rssKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

long peakRssKb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

class Bench {
public:
    Bench(const QString &file, int runs, const QString &only, QTextStream &out)
        : file_(file), runs_(runs), only_(only), out_(out) {}
    int run();

private:
    void row(const QString &what, const QString &program, const QString &bare, const QString &target)
    {
        out_ << "| " << what << " | " << program << " | " << bare << " | " << target << " |\n";
        out_.flush();
    }
    void check(bool ok, const QString &what)
    {
        if (!ok) {
            out_ << QStringLiteral("**不一致：") << what << "**\n";
            ++mismatches_;
        }
    }
    std::unique_ptr<Tmain> makeMain(const QString &dir);
    void startUp();
    void queryList(const QString &label, DataSet *ds, const QString &sql, Money *amount, Money *paid,
                   qint64 *quantity, const QString &priceColumn);
    void oneInvoice();
    void stockOutQueryScreen();
    void posting(const QString &label, DataSet *table, const QString &customerColumn, const QString &priceColumn);
    void firstReads();
    void cleanUp();
    void analysisFirstDisplay(const ChartKind &kind);
    void loginWindow();
    void screenPostings();
    Cost postThroughScreen(const QString &dir, bool stockIn, int lines);
    void screensOpen();
    void saveIntoStock();
    void stockQueryOpen();
    void exportStockOutHistory();
    QWidget *openScreen(Tmain &m, const QString &command);

    bool part(const char *name) const { return only_.isEmpty() || only_ == QLatin1String(name); }
    QString file_;
    int runs_;
    QString only_;  // --only: one part of the measurements
    QTextStream &out_;
    QTemporaryDir work_;
    QString bigDir_, emptyDir_;
    std::unique_ptr<Tmain> main_;
    QList<DataSet *> startSets_;  // the data sets the main window opened at start
    Connection bare_;
    qint64 rkMax_ = 0, ckMax_ = 0, ckSeq_ = 0;
    int mismatches_ = 0;
};

std::unique_ptr<Tmain> Bench::makeMain(const QString &dir)
{
    // The program finds "lr" in its working directory.
    QDir::setCurrent(dir);
    return std::make_unique<Tmain>(BackupPaths(work_.filePath(QStringLiteral("backup"))));
}

void Bench::startUp()
{
    const QString empty = QDir(emptyDir_).filePath(QStringLiteral("lr"));
    const QString big = QDir(bigDir_).filePath(QStringLiteral("lr"));
    const Cost bareEmpty = repeat(runs_, [&] {
        Connection c;
        schema::open(c, empty);
    });
    const Cost bareBig = repeat(runs_, [&] {
        Connection c;
        schema::open(c, big);
    });
    const Cost mainEmpty = repeat(runs_, [&] { makeMain(emptyDir_); });
    const Cost mainBig = repeat(runs_, [&] { makeMain(bigDir_); });
    row(QStringLiteral("启动：主窗口（空文件）"), cell(mainEmpty), cell(bareEmpty), QStringLiteral("< 1000"));
    row(QStringLiteral("启动：主窗口（生成的文件）"), cell(mainBig), cell(bareBig),
        QStringLiteral("< 1000，与空文件相当"));
    main_ = makeMain(bigDir_);
    for (DataSet *ds : main_->allDataSets())
        if (ds->isActive())
            startSets_ << ds;
    out_ << QStringLiteral("\n启动后内存：%1 MB\n\n").arg(rssKb() / 1024);
}

void Bench::queryList(const QString &label, DataSet *ds, const QString &sql, Money *amount, Money *paid,
                      qint64 *quantity, const QString &priceColumn)
{
    const QDate tomorrow = QDate::currentDate().addDays(1);
    int count = 0;
    // As the query screens do: reset the totals, replace the statement, open (the after-open
    // handler adds up the totals and moves to the last row), then count the rows.
    const Cost open = repeat(runs_, [&] {
        *amount = Money();
        *paid = Money();
        *quantity = 0;
        ds->close();
        ds->setSql(sql);
        ds->setParam(QStringLiteral("rq"), tomorrow);
        ds->open();
        ds->last();
        count = ds->recordCount();
    });
    // What the grid reads next: the first screenful of rows.
    const Cost firstScreen = measure([&] {
        ds->first();
        for (int r = 0; r < 40 && r < ds->recordCount(); ++r)
            for (int c = 0; c < ds->fieldCount(); ++c)
                ds->displayText(r, c);
    });

    const QString where = sql.mid(sql.indexOf(QLatin1String(" where "), 0, Qt::CaseInsensitive));
    const QString from = sql.left(sql.indexOf(QLatin1String(" where "), 0, Qt::CaseInsensitive))
                             .mid(sql.indexOf(QLatin1String(" from "), 0, Qt::CaseInsensitive) + 6);
    const QString filter = where.left(where.indexOf(QLatin1String(" order by "), 0, Qt::CaseInsensitive));
    const Params p = {{QStringLiteral("rq"), tomorrow}};
    QVariantList totals;
    const Cost bareTotals = repeat(runs_, [&] {
        totals = bare_.rows(QStringLiteral("SELECT count(*), sum(sn*%1), sum(sn), sum(CASE WHEN fk='已付' THEN sn*%1 END) "
                                           "FROM ")
                                .arg(priceColumn) +
                            from + filter,
                            p)
                     .value(0);
    });
    const Cost bareKeys = repeat(runs_, [&] {
        Statement st(bare_.handle(), QStringLiteral("SELECT rowid FROM ") + from + where);
        st.bind(p);
        while (st.step())
            st.int64(0);
    });
    const Cost bareAll = measure([&] {
        Statement st(bare_.handle(), sql);
        st.bind(p);
        while (st.step())
            for (int c = 0; c < st.columnCount(); ++c)
                st.value(c);
    });
    check(count == totals.value(0).toInt(), label + QStringLiteral("行数"));
    check(amount->raw() == totals.value(1).toLongLong(), label + QStringLiteral("总金额"));
    check(*quantity == totals.value(2).toLongLong(), label + QStringLiteral("总数量"));
    check(paid->raw() == totals.value(3).toLongLong(), label + QStringLiteral("已付"));
    row(label + QStringLiteral("：打开 + 合计 + 末行（%1 行）").arg(count), cell(open),
        QStringLiteral("合计 ") + cell(bareTotals) + QStringLiteral("；行号 ") + cell(bareKeys), QStringLiteral("< 1000"));
    row(label + QStringLiteral("：表格首屏 40 行"), cell(firstScreen),
        QStringLiteral("全部行逐列读出 ") + cell(bareAll), QStringLiteral("—"));
}

void Bench::oneInvoice()
{
    // Typing an invoice number reopens the list on every keystroke.
    const QString number = bare_.scalar(QStringLiteral("SELECT lsdh FROM rk WHERE lsdh<>'' ORDER BY rowid DESC LIMIT 1")).toString();
    DataSet *ds = main_->ADOQueryRKCX;
    const Cost c = repeat(runs_ * 3, [&] {
        main_->rkcxTotalAmount = Money();
        main_->rkcxTotalPaid = Money();
        main_->rkcxTotalQuantity = 0;
        ds->close();
        ds->setSql(QStringLiteral("select * from rk where lsdh=:RKcx"));
        ds->setParam(QStringLiteral("RKcx"), number);
        ds->open();
        ds->recordCount();
    });
    const Cost bare = repeat(runs_ * 3, [&] {
        bare_.rows(QStringLiteral("SELECT * FROM rk WHERE lsdh=:n"), {{QStringLiteral("n"), number}});
    });
    row(QStringLiteral("入库查询：按单号（每次按键）"), cell(c), cell(bare), QStringLiteral("—"));
}

// Opening the stock-out query as the user does: the command re-reads the invoice numbers,
// the screen fills its boxes and lists the newest invoice with its sums, and the window is
// painted once (the grid reads the rows it shows).
void Bench::stockOutQueryScreen()
{
    // Closing a screen keeps its place in the user's settings: here in the work folder.
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, work_.filePath(QStringLiteral("settings")));
    const QString command = QStringLiteral("ActionCKCX");
    QString shown;
    int lines = -1;
    std::vector<Cost> costs;
    for (int i = 0; i < std::max(3, runs_); ++i) {
        QWidget *w = nullptr;
        costs.push_back(measure([&] {
            main_->action(command)->trigger();
            w = main_->lastOpened(command);
            if (w)
                w->grab();
        }));
        if (!w)
            break;
        shown = w->findChild<QObject *>(QStringLiteral("EditLSDH"))->property("text").toString();
        lines = main_->ADOQueryCKCX->recordCount();
        w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QString newest;
    const Cost bare = repeat(runs_, [&] {
        newest = bare_.scalar(QStringLiteral("SELECT lsdh FROM ck ORDER BY lsdh DESC LIMIT 1")).toString();
        bare_.rows(QStringLiteral("SELECT *, sn*xsj FROM ck WHERE lsdh=:n"), {{QStringLiteral("n"), newest}});
    });
    check(!costs.empty() && shown == newest, QStringLiteral("出库查询显示的单号"));
    check(lines == bare_.scalar(QStringLiteral("SELECT count(*) FROM ck WHERE lsdh=:n"), {{QStringLiteral("n"), newest}}).toInt(),
          QStringLiteral("出库查询单据行数"));
    row(QStringLiteral("出库查询：打开屏幕（命令、FormCreate、首次显示）"), cell(median(costs)),
        QStringLiteral("最新单号及其各行 ") + cell(bare), QStringLiteral("< 300"));
}

void Bench::posting(const QString &label, DataSet *table, const QString &customerColumn, const QString &priceColumn)
{
    const QString tableName = table->tableName();
    const QDateTime now = fmt::now();
    const QString number = fmt::documentNumber(now.date(), 9999);
    auto fill = [&](auto set) {
        set(QStringLiteral("lsdh"), number);
        set(customerColumn, QStringLiteral("测试客户"));
        set(QStringLiteral("jsr"), QStringLiteral("系统管理员"));
        set(QStringLiteral("ck"), QStringLiteral("一号仓库"));
        set(QStringLiteral("pj"), QStringLiteral("收据"));
        set(QStringLiteral("fk"), QStringLiteral("已付"));
        set(QStringLiteral("bh"), QStringLiteral("TV-001"));
        set(QStringLiteral("sn"), 1);
        set(QStringLiteral("mc"), QStringLiteral("液晶电视"));
        set(priceColumn, QVariant::fromValue(Money::fromUnits(3200)));
        set(QStringLiteral("rq"), now);
    };
    std::vector<Cost> costs;
    for (int i = 0; i < std::max(3, runs_); ++i)
        costs.push_back(measure([&] {
            table->insert();
            fill([&](const QString &f, const QVariant &v) { table->setValue(f, v); });
            table->post();
        }));
    const Cost worst = *std::max_element(costs.begin(), costs.end(),
                                         [](const Cost &a, const Cost &b) { return a.wall < b.wall; });
    const Cost bare = repeat(std::max(3, runs_), [&] {
        Params p;
        fill([&](const QString &f, const QVariant &v) { p.append({f, v}); });
        QStringList cols, names;
        for (const auto &[n, v] : p) {
            cols << n;
            names << u':' + n;
        }
        bare_.exec(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(tableName, cols.join(u','), names.join(u',')), p);
    });
    check(bare_.scalar(QStringLiteral("SELECT count(*) FROM %1 WHERE lsdh=:n").arg(tableName), {{QStringLiteral("n"), number}})
                  .toInt() == 2 * std::max(3, runs_),
          label + QStringLiteral("记帐行数"));
    row(label + QStringLiteral("：记帐一行（中位 / 最慢）"), cell(median(costs)) + QStringLiteral(" / ") + cell(worst),
        cell(bare), QStringLiteral("< 50"));
}

void Bench::firstReads()
{
    // Start opens every data set without reading; the first screen that looks pays this.
    struct Read {
        QString name;
        Cost cost;
        int rows;
    };
    std::vector<Read> reads;
    for (DataSet *ds : startSets_) {
        ds->close();
        ds->openDeferred();
        int rows = 0;
        const Cost c = measure([&] { rows = ds->recordCount(); });
        reads.push_back({ds->objectName(), c, rows});
    }
    std::sort(reads.begin(), reads.end(), [](const Read &a, const Read &b) { return a.cost.wall > b.cost.wall; });
    out_ << QStringLiteral("\n首次读取启动时打开的数据集（毫秒，括号内为处理器时间）：\n\n| 数据集 | 行数 | 用时 |\n|---|---|---|\n");
    for (const Read &r : reads)
        out_ << "| " << r.name << " | " << r.rows << " | " << cell(r.cost) << " |\n";
}

void Bench::cleanUp()
{
    Transaction tx(bare_);
    bare_.exec(QStringLiteral("DELETE FROM rk WHERE rowid>:m"), {{QStringLiteral("m"), rkMax_}});
    bare_.exec(QStringLiteral("DELETE FROM ck WHERE rowid>:m"), {{QStringLiteral("m"), ckMax_}});
    bare_.exec(QStringLiteral("UPDATE sqlite_sequence SET seq=:s WHERE name='ck'"), {{QStringLiteral("s"), ckSeq_}});
    tx.commit();
}

// ---------------------------------------------------------------- analyses and stock query
// What a user waits for after pressing the command in a freshly started program: the
// command's re-read of the data set, the screen, and its first painting. Each run starts
// a new main window (not timed), so every run reads the file through a cold page cache,
// as the bare engine does on its own new connection.

QWidget *Bench::openScreen(Tmain &m, const QString &command)
{
    m.action(command)->trigger();
    QWidget *w = m.lastOpened(command);
    if (!w)
        throw DbError(command + QStringLiteral("没有打开窗口"));
    QApplication::processEvents();  // activation
    w->grab();                      // the first painting, with the chart or the grid's rows
    return w;
}

void Bench::analysisFirstDisplay(const ChartKind &kind)
{
    const QString command = QString::fromLatin1(kind.command);
    const QDate to = QDate::currentDate(), from = to.addDays(-30);
    const Params range = {{QStringLiteral("rq1"), from}, {QStringLiteral("rq"), to.addDays(1)}};
    const qint64 unit = kind.valueColumn == QByteArrayView("数量") ? Money::Scale : 1;  // quantities are whole numbers
    // Program and bare engine take turns, so that the load of the machine falls on both alike.
    std::vector<Cost> first, ranged, bareFirst, bareRanged;
    int slices[2] = {}, rows[2] = {};
    Money totals[2], bareTotals[2];
    auto read = [&](QWidget *w, int which) {
        const PieSeries *series = qobject_cast<ChartScreen *>(w)->DBChart1->series();
        slices[which] = series->count();
        totals[which] = Money();
        for (const PieSlice &s : series->slices())
            totals[which] += s.value;
    };
    auto bareRead = [&](Connection &c, const QString &text, const Params &p, int which) {
        Statement st(c.handle(), text);
        st.bind(p);
        rows[which] = 0;
        bareTotals[which] = Money();
        while (st.step()) {
            st.value(0);
            bareTotals[which] += Money::fromRaw(st.int64(1) * unit);
            ++rows[which];
        }
    };
    for (int i = 0; i < runs_; ++i) {
        QString sql;
        {
            std::unique_ptr<Tmain> m = makeMain(bigDir_);
            m->show();
            sql = (m.get()->*kind.dataSet)->sql();
            QWidget *w = nullptr;
            first.push_back(measure([&] { w = openScreen(*m, command); }));
            read(w, 0);
            // Then the last 30 days, as "分析" with the start picker moved back.
            auto *screen = qobject_cast<ChartScreen *>(w);
            screen->DateTimePicker1->setDate(from);
            screen->DateTimePicker2->setDate(to);
            ranged.push_back(measure([&] {
                screen->Button1->click();
                w->grab();
            }));
            read(w, 1);
            w->close();
        }
        Connection c;
        schema::open(c, QDir(bigDir_).filePath(QStringLiteral("lr")));
        bareFirst.push_back(measure([&] { bareRead(c, sql, {}, 0); }));
        bareRanged.push_back(measure([&] { bareRead(c, QString::fromUtf8(kind.rangedSql), range, 1); }));
    }
    const QString title = QString::fromUtf16(kind.title);
    for (int k = 0; k < 2; ++k) {
        check(rows[k] == slices[k], title + QStringLiteral("扇区数"));
        check(totals[k] == bareTotals[k], title + QStringLiteral("合计"));
    }
    row(title + QStringLiteral("：首次显示（%1 个扇区）").arg(slices[0]), cell(median(first)),
        QStringLiteral("聚合语句 ") + cell(median(bareFirst)), QStringLiteral("< 1000，≤ 1.2 × 裸引擎"));
    row(title + QStringLiteral("：随后分析最近 30 天（%1 个扇区）").arg(slices[1]), cell(median(ranged)),
        QStringLiteral("聚合语句 ") + cell(median(bareRanged)), QStringLiteral("—"));
}

void Bench::stockQueryOpen()
{
    std::vector<Cost> costs, bare;
    int rows = 0, locations = 0, bareRows = 0, bareLocations = 0;
    for (int i = 0; i < runs_; ++i) {
        {
            std::unique_ptr<Tmain> m = makeMain(bigDir_);
            m->show();
            m->activateWindow();
            QApplication::processEvents();
            QWidget *w = nullptr;
            costs.push_back(measure([&] { w = openScreen(*m, QStringLiteral("ActionKCCX")); }));
            rows = m->ADOQueryPLCX->recordCount();
            locations = qobject_cast<TFormPL *>(w)->ComboBoxCK->count();
            w->close();
        }
        // The same reads by hand: the list's key set, its first screenful, every location.
        Connection c;
        schema::open(c, QDir(bigDir_).filePath(QStringLiteral("lr")));
        bare.push_back(measure([&] {
            Statement keys(c.handle(), QStringLiteral("SELECT rowid FROM pl ORDER BY sn"));
            bareRows = 0;
            while (keys.step()) {
                keys.int64(0);
                ++bareRows;
            }
            Statement first(c.handle(), QStringLiteral("SELECT * FROM pl ORDER BY sn LIMIT 40"));
            while (first.step())
                for (int col = 0; col < first.columnCount(); ++col)
                    first.value(col);
            Statement ck(c.handle(), QStringLiteral("SELECT ck FROM pl ORDER BY rowid"));
            bareLocations = 0;
            while (ck.step()) {
                ck.value(0);
                ++bareLocations;
            }
        }));
    }
    check(rows == bareRows, QStringLiteral("库存查询行数"));
    check(locations == bareLocations, QStringLiteral("库存查询商品位置列表"));
    row(QStringLiteral("库存查询：打开（%1 个商品，商品位置列表 %2 项）").arg(rows).arg(locations), cell(median(costs)),
        QStringLiteral("行号 + 首屏 40 行 + 全部商品位置 ") + cell(median(bare)), QStringLiteral("< 300"));
}

// ---------------------------------------------------------------- what the screens cost

// From starting the process to the login window on the screen, in a process of its own each
// run, against a process that only opens the file with the bare engine.
void Bench::loginWindow()
{
    const QString self = QCoreApplication::applicationFilePath();
    auto runChild = [&](const QString &mode, const QString &dir) {
        QElapsedTimer t;
        t.start();
        const int rc = QProcess::execute(self, {mode, dir});
        check(rc == 0, mode + QStringLiteral(" 退出码"));
        return Cost{double(t.nsecsElapsed()) / 1e6, 0};
    };
    for (const auto &[dir, what] : {std::pair(emptyDir_, QStringLiteral("空文件")), std::pair(bigDir_, QStringLiteral("生成的文件"))}) {
        std::vector<Cost> program, bare;
        for (int i = 0; i < runs_; ++i) {
            program.push_back(runChild(QStringLiteral("--probe-login"), dir));
            bare.push_back(runChild(QStringLiteral("--probe-bare"), dir));
        }
        row(QStringLiteral("进程启动到登录窗口（%1）").arg(what), ms(median(program).wall), ms(median(bare).wall) +
            QStringLiteral("（只打开文件的进程）"), QStringLiteral("< 300，与空文件相当"));
    }
}

// One posting through the screen as the user does it: the number lookup, the quantity, the
// button, and everything the screen refreshes; the median over several lines.
Cost Bench::postThroughScreen(const QString &dir, bool stockIn, int lines)
{
    std::unique_ptr<Tmain> m = makeMain(dir);
    m->show();
    const QString command = stockIn ? QStringLiteral("ActionRKKD") : QStringLiteral("ActionCKKD");
    QWidget *w = openScreen(*m, command);
    std::vector<Cost> costs;
    const QStringList products = {QStringLiteral("TV-001"), QStringLiteral("FR-001"), QStringLiteral("WM-001")};
    for (int i = 0; i < lines; ++i) {
        auto *form = qobject_cast<InvoiceForm *>(w);
        form->ComboBoxBH->setEditText(products[i % products.size()]);
        if (stockIn)
            qobject_cast<Trkkd *>(w)->ComboBoxBHChange();
        else
            qobject_cast<Tckkd *>(w)->ComboBoxBHChange();
        form->EditSN->setText(QStringLiteral("1"));
        costs.push_back(measure([&] {
            const bool stored = stockIn ? qobject_cast<Trkkd *>(w)->ButtonRKClick() : qobject_cast<Tckkd *>(w)->ButtonCKClick();
            check(stored, QStringLiteral("通过屏幕记帐"));
            QApplication::processEvents();
        }));
    }
    w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return median(costs);
}

void Bench::screenPostings()
{
    // The counters row and the lines go back as they were, so the file stays as generated.
    const QList<QVariantList> kr = bare_.rows(QStringLiteral("SELECT rkdh, rq, lsdh, rq1 FROM kr"));
    const int lines = std::max(5, 2 * runs_);
    for (bool stockIn : {true, false}) {
        const Cost empty = postThroughScreen(emptyDir_, stockIn, lines);
        const Cost big = postThroughScreen(bigDir_, stockIn, lines);
        row(QStringLiteral("%1开单：通过屏幕记帐一行（含刷新，%2 行的中位数）").arg(stockIn ? "入库" : "出库").arg(lines),
            cell(big), QStringLiteral("空文件上 ") + cell(empty), QStringLiteral("≤ 2 × 空文件"));
    }
    bare_.exec(QStringLiteral("UPDATE kr SET rkdh=:a, rq=:b, lsdh=:c, rq1=:d"),
               {{QStringLiteral("a"), kr[0][0]}, {QStringLiteral("b"), kr[0][1]}, {QStringLiteral("c"), kr[0][2]},
                {QStringLiteral("d"), kr[0][3]}});
}

// Every screen of the command table, each in a freshly started main window: the command,
// the screen, its activation and its first painting.
void Bench::screensOpen()
{
    const QStringList commands = {"ActionRKKD", "ActionCKKD", "ActionRKCX", "ActionCKCX", "ActionKCCX",
                                  "ActionYS",   "ActionYF",   "ActionSKCX", "ActionFKCX", "ActionGYS",
                                  "ActionKH",   "ActionZYDA", "ActionGSXXLR"};
    const QList<QVariantList> kr = bare_.rows(QStringLiteral("SELECT rkdh, rq, lsdh, rq1 FROM kr"));
    for (const QString &command : commands) {
        std::vector<Cost> costs;
        QString caption;
        for (int i = 0; i < runs_; ++i) {
            std::unique_ptr<Tmain> m = makeMain(bigDir_);
            m->show();
            QApplication::processEvents();
            QWidget *w = nullptr;
            costs.push_back(measure([&] { w = openScreen(*m, command); }));
            caption = m->action(command)->text();
            w->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        row(QStringLiteral("打开屏幕：") + caption, cell(median(costs)), QStringLiteral("—"), QStringLiteral("< 300"));
    }
    bare_.exec(QStringLiteral("UPDATE kr SET rkdh=:a, rq=:b, lsdh=:c, rq1=:d"),
               {{QStringLiteral("a"), kr[0][0]}, {QStringLiteral("b"), kr[0][1]}, {QStringLiteral("c"), kr[0][2]},
                {QStringLiteral("d"), kr[0][3]}});
}

// "保存" in the stock-in and stock-out queries over the full-history list holding 1,000
// pending lines, on a copy of the file (the save changes the stock); the bare engine does
// the same updates in one transaction on a second copy.
void Bench::saveIntoStock()
{
    const QString dir = work_.filePath(QStringLiteral("save")), bareDir = work_.filePath(QStringLiteral("savebare"));
    QDir().mkpath(dir);
    QDir().mkpath(bareDir);
    for (const QString &d : {dir, bareDir}) {
        QFile::remove(QDir(d).filePath(QStringLiteral("lr")));
        if (!QFile::copy(QFileInfo(file_).absoluteFilePath(), QDir(d).filePath(QStringLiteral("lr"))))
            throw DbError(QStringLiteral("无法复制数据库文件"));
        Connection c;
        schema::open(c, QDir(d).filePath(QStringLiteral("lr")));
        // Exactly 1,000 lines to save in each list: the generator's pending and lent ones are
        // saved first.
        Transaction tx(c);
        c.exec(QStringLiteral("UPDATE rk SET bc='保存' WHERE bc IS NULL OR bc='' OR bc='借入'"));
        c.exec(QStringLiteral("UPDATE ck SET bc='保存' WHERE bc IS NULL OR bc='' OR bc='借出'"));
        const QList<QVariantList> products = c.rows(QStringLiteral("SELECT bh, mc FROM pl WHERE bh<>'' ORDER BY rowid LIMIT 500"));
        const QDateTime now = fmt::now();
        for (int i = 0; i < 1000; ++i)
            for (const char *t : {"rk", "ck"})
                c.exec(QStringLiteral("INSERT INTO %1 (lsdh, bh, mc, sn, rq) VALUES ('测试-1', :b, :m, 1, :r)").arg(QString::fromLatin1(t)),
                       {{QStringLiteral("b"), products[i % products.size()][0]},
                        {QStringLiteral("m"), products[i % products.size()][1]},
                        {QStringLiteral("r"), now}});
        tx.commit();
    }
    for (bool stockIn : {true, false}) {
        std::unique_ptr<Tmain> m = makeMain(dir);
        m->show();
        const QString command = stockIn ? QStringLiteral("ActionRKCX") : QStringLiteral("ActionCKCX");
        auto *w = qobject_cast<LineQueryForm *>(openScreen(*m, command));
        // Both pickers on today: the whole history.
        if (stockIn)
            qobject_cast<TFormRKCX *>(w)->ButtonRKClick();
        else
            qobject_cast<TFormCKCX *>(w)->ButtonCKClick();
        const int listed = (stockIn ? m->ADOQueryRKCX : m->ADOQueryCKCX)->recordCount();
        const QString table = stockIn ? QStringLiteral("rk") : QStringLiteral("ck");
        const Cost c = measure([&] {
            w->SpeedButton_ScanClick();
            QApplication::processEvents();
        });
        check(m->conn().scalar(QStringLiteral("SELECT count(*) FROM %1 WHERE lsdh='测试-1' AND bc='保存'").arg(table)).toInt() == 1000,
              QStringLiteral("保存的行数"));
        w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m.reset();
        Connection b;
        schema::open(b, QDir(bareDir).filePath(QStringLiteral("lr")));
        const Cost bare = measure([&] {
            Transaction tx(b);
            const QList<QVariantList> lines =
                b.rows(QStringLiteral("SELECT rowid, bh, sn FROM %1 WHERE bc IS NULL").arg(table));
            for (const QVariantList &l : lines) {
                b.exec(QStringLiteral("UPDATE pl SET sn=sn+:q WHERE rowid=(SELECT rowid FROM pl WHERE bh=:b LIMIT 1)"),
                       {{QStringLiteral("q"), l[2].toLongLong() * (stockIn ? 1 : -1)}, {QStringLiteral("b"), l[1]}});
                b.exec(QStringLiteral("UPDATE %1 SET bc='保存' WHERE rowid=:r").arg(table), {{QStringLiteral("r"), l[0]}});
            }
            tx.commit();
        });
        row(QStringLiteral("%1查询：保存 1000 行未保存的行（全部历史列表，%2 行）").arg(stockIn ? "入库" : "出库").arg(listed),
            cell(c), QStringLiteral("同样的更新，一个事务 ") + cell(bare), QStringLiteral("< 500"));
    }
    for (const QString &d : {dir, bareDir})
        QFile::remove(QDir(d).filePath(QStringLiteral("lr")));
}

// "导出到Excel..." of the stock-out query's grid over the whole history, written to .xlsx
// as the command does (rows read in the list's windows, the workbook in constant memory,
// the progress callback every 500 rows), in a freshly started main window.
void Bench::exportStockOutHistory()
{
    std::unique_ptr<Tmain> m = makeMain(bigDir_);
    m->show();
    auto *w = qobject_cast<TFormCKCX *>(openScreen(*m, QStringLiteral("ActionCKCX")));
    w->ButtonCKClick();  // both pickers on today: the whole history
    const gridexport::Listing listing = gridexport::ofGrid(w->DBGrid1);
    const QString target = work_.filePath(QStringLiteral("export.xlsx"));
    const long rssBefore = rssKb();
    qint64 written = 0;
    const Cost c = measure([&] {
        gridexport::write(listing, target, sheet::Format::Xlsx, [&](qint64 n, qint64) {
            written = n;
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            return true;
        });
    });
    const qint64 lines = bare_.scalar(QStringLiteral("SELECT count(*) FROM ck")).toLongLong();
    check(written == lines, QStringLiteral("导出的行数"));
    check(listing.totals.size() >= 4, QStringLiteral("导出的合计"));
    row(QStringLiteral("出库查询：导出到Excel（全部历史 %1 行，%2 列，文件 %3 MB；内存 %4 MB → 峰值 %5 MB）")
            .arg(written)
            .arg(listing.columns.size())
            .arg(QFileInfo(target).size() / (1024 * 1024))
            .arg(rssBefore / 1024)
            .arg(peakRssKb() / 1024),
        cell(c), QStringLiteral("—"), QStringLiteral("< 15000"));
    QFile::remove(target);
    w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

int Bench::run()
{
    if (!work_.isValid())
        throw DbError(QStringLiteral("无法建立临时文件夹"));
    const QFileInfo info(file_);
    if (!info.isFile())
        throw DbError(QStringLiteral("找不到数据库文件：") + file_);
    bigDir_ = work_.filePath(QStringLiteral("big"));
    emptyDir_ = work_.filePath(QStringLiteral("empty"));
    QDir().mkpath(bigDir_);
    QDir().mkpath(emptyDir_);
    // A link, not a copy: the engine resolves it and keeps its journal beside the real file.
    if (!QFile::link(info.absoluteFilePath(), QDir(bigDir_).filePath(QStringLiteral("lr"))))
        throw DbError(QStringLiteral("无法在临时文件夹中建立链接"));
    schema::createDeliveredDatabase(QDir(emptyDir_).filePath(QStringLiteral("lr")));
    schema::open(bare_, info.absoluteFilePath());
    // The bench's own reading connection keeps a small cache, so that the peak memory is the
    // program's.
    bare_.exec(QStringLiteral("PRAGMA cache_size=-4000"));

    rkMax_ = bare_.scalar(QStringLiteral("SELECT coalesce(max(rowid), 0) FROM rk")).toLongLong();
    ckMax_ = bare_.scalar(QStringLiteral("SELECT coalesce(max(rowid), 0) FROM ck")).toLongLong();
    ckSeq_ = bare_.scalar(QStringLiteral("SELECT coalesce(max(seq), 0) FROM sqlite_sequence WHERE name='ck'")).toLongLong();
    out_ << QStringLiteral("文件：%1（%2 MB），入库 %3 行，出库 %4 行，商品 %5 个；每项取 %6 次的中位数\n\n")
                .arg(info.absoluteFilePath())
                .arg(info.size() / (1024 * 1024))
                .arg(bare_.scalar(QStringLiteral("SELECT count(*) FROM rk")).toLongLong())
                .arg(bare_.scalar(QStringLiteral("SELECT count(*) FROM ck")).toLongLong())
                .arg(bare_.scalar(QStringLiteral("SELECT count(*) FROM pl")).toLongLong())
                .arg(runs_);
    out_ << QStringLiteral("毫秒：墙上时间（处理器时间）\n\n| 测量 | 程序 | 裸引擎 | 目标 |\n|---|---|---|---|\n");

    if (part("start"))
        loginWindow();
    if (part("lists") || part("posting")) {
        startUp();
        queryList(QStringLiteral("入库查询"), main_->ADOQueryRKCX, QStringLiteral("select * from rk where rq<:rq order by rq desc"),
                  &main_->rkcxTotalAmount, &main_->rkcxTotalPaid, &main_->rkcxTotalQuantity, QStringLiteral("cgj"));
        queryList(QStringLiteral("出库查询"), main_->ADOQueryCKCX, QStringLiteral("select * from Ck where rq<:rq order by rq desc"),
                  &main_->ckcxTotalAmount, &main_->ckcxTotalPaid, &main_->ckcxTotalQuantity, QStringLiteral("xsj"));
        oneInvoice();
        stockOutQueryScreen();
        try {
            posting(QStringLiteral("入库"), main_->ADOTableRK, QStringLiteral("gys"), QStringLiteral("cgj"));
            posting(QStringLiteral("出库"), main_->ADOTableCK, QStringLiteral("kh"), QStringLiteral("xsj"));
            screenPostings();
        } catch (...) {
            cleanUp();
            throw;
        }
        cleanUp();
    }
    if (part("screens"))
        screensOpen();
    if (part("save"))
        saveIntoStock();
    if (main_) {
        const long peakBeforeReads = peakRssKb();
        firstReads();
        out_ << QStringLiteral("\n内存峰值：%1 MB（首次读取前 %2 MB；目标 < 200 MB）\n")
                    .arg(peakRssKb() / 1024)
                    .arg(peakBeforeReads / 1024);
        main_.reset();
    }
    if (part("analysis")) {
        out_ << QStringLiteral("\n分析与库存查询（毫秒，括号内为处理器时间；每次在新启动的主窗口中）：\n\n"
                               "| 测量 | 程序 | 裸引擎 | 目标 |\n|---|---|---|---|\n");
        for (const ChartKind *k : {&ChartKind::customers(), &ChartKind::products(), &ChartKind::profit()})
            analysisFirstDisplay(*k);
        stockQueryOpen();
    }
    if (part("export"))
        exportStockOutHistory();
    QDir::setCurrent(QDir::tempPath());
    if (mismatches_) {
        out_ << QStringLiteral("有 %1 处与裸引擎结果不一致\n").arg(mismatches_);
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    // No screen is needed; the windows are made off screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout), err(stderr);
    const QStringList args = app.arguments();
    // Child processes of the start-up measurement: the program up to its login window, or
    // the bare engine opening the file, in the given folder.
    if (args.size() == 3 && (args[1] == QLatin1String("--probe-login") || args[1] == QLatin1String("--probe-bare"))) {
        QDir::setCurrent(args[2]);
        try {
            if (args[1] == QLatin1String("--probe-bare")) {
                Connection c;
                schema::open(c, QStringLiteral("lr"));
                return 0;
            }
            Tmain m(BackupPaths(QDir(args[2]).filePath(QStringLiteral("backup"))));
            TFormdl login(m);
            login.show();
            QApplication::processEvents();
            login.grab();
            return 0;
        } catch (const KorvelError &e) {
            err << e.message() << '\n';
            return 1;
        }
    }
    int runs = 3;
    QString file, only;
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--runs") && i + 1 < args.size()) {
            bool ok = false;
            runs = args[++i].toInt(&ok);
            if (!ok || runs < 1 || runs > 100) {
                err << "选项--runs的数值无效：" << args[i] << '\n';
                return 2;
            }
        } else if (args[i] == QLatin1String("--only") && i + 1 < args.size()) {
            only = args[++i];
        } else if (file.isEmpty() && !args[i].startsWith(QLatin1String("--"))) {
            file = args[i];
        } else {
            file.clear();
            break;
        }
    }
    if (file.isEmpty()) {
        err << "用法：korvel-bench 数据库文件 [--runs 次数] [--only start|lists|screens|save|analysis|export]\n";
        return 2;
    }
    try {
        return Bench(file, runs, only, out).run();
    } catch (const KorvelError &e) {
        err << e.message() << '\n';
        return 1;
    }
}
