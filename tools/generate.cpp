// Fills a fresh delivered database with a year of made-up shop history ending today,
// for trying the program on realistic volumes and for the start-up benchmark:
//   korvel-generate PATH [--lines N] [--products P] [--customers C] [--suppliers S] [--seed X]
// Everything goes through prepared statements with bound values, in a few big
// transactions; the same seed gives the same file (apart from today's date).
#include "dataset/Connection.h"
#include "dataset/Errors.h"
#include "dataset/Formats.h"
#include "dataset/Money.h"
#include "store/PyLibrary.h"
#include "store/Schema.h"

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>

#include <algorithm>
#include <ctime>
#include <random>
#include <sqlcipher/sqlite3.h>
#include <vector>

namespace {

// An insert or update prepared once and run for many rows. Statement cannot be run
// again after it has finished, so the bulk statements keep their own handle.
class Prepared {
public:
    Prepared(Connection &c, const QString &sql) : db_(c.handle())
    {
        const QByteArray utf8 = sql.toUtf8();
        if (sqlite3_prepare_v2(db_, utf8.constData(), int(utf8.size()), &st_, nullptr) != SQLITE_OK)
            throw DbError(QString::fromUtf8(sqlite3_errmsg(db_)));
    }
    ~Prepared() { sqlite3_finalize(st_); }
    Prepared(const Prepared &) = delete;
    Prepared &operator=(const Prepared &) = delete;

    void bind(int i, const QVariant &v)
    {
        int rc;
        if (v.isNull()) {
            rc = sqlite3_bind_null(st_, i);
        } else if (v.metaType().id() == QMetaType::QString) {
            const QByteArray t = v.toString().toUtf8();
            rc = sqlite3_bind_text(st_, i, t.constData(), int(t.size()), SQLITE_TRANSIENT);
        } else if (v.metaType().id() == QMetaType::QDate) {
            const QByteArray t = fmt::storageDate(v.toDate()).toUtf8();
            rc = sqlite3_bind_text(st_, i, t.constData(), int(t.size()), SQLITE_TRANSIENT);
        } else {
            rc = sqlite3_bind_int64(st_, i, v.toLongLong());
        }
        if (rc != SQLITE_OK)
            throw DbError(QString::fromUtf8(sqlite3_errmsg(db_)));
    }
    // Runs the statement with the values bound so far and makes it ready for the next row.
    void run()
    {
        const int rc = sqlite3_step(st_);
        sqlite3_reset(st_);
        if (rc != SQLITE_DONE)
            throw DbError(QString::fromUtf8(sqlite3_errmsg(db_)));
    }

private:
    sqlite3 *db_;
    sqlite3_stmt *st_ = nullptr;
};

struct Options {
    QString path;
    qint64 lines = 1000000;
    int products = 20000;
    int customers = 2000;
    int suppliers = 200;
    quint64 seed = 20100507;
};

// Wall and processor time of each step: on a busy machine the two differ widely.
class StepTimer {
public:
    StepTimer() { restart(); }
    void restart()
    {
        wall_.start();
        cpu_ = std::clock();
    }
    QString text() const
    {
        return QStringLiteral("%1 ms（处理器 %2 ms）")
            .arg(wall_.elapsed())
            .arg(qint64(double(std::clock() - cpu_) * 1000 / CLOCKS_PER_SEC));
    }

private:
    QElapsedTimer wall_;
    std::clock_t cpu_;
};

// Vocabularies of the status columns, exactly as the program writes them.
const QString Saved = QStringLiteral("保存");
const QString BorrowedIn = QStringLiteral("借入");
const QString LentOut = QStringLiteral("借出");
const QString Loss = QStringLiteral("报损");
const QString GivenBack = QStringLiteral("归还");
const QString Cancelled = QStringLiteral("退单");
const QString Exchanged = QStringLiteral("退换");
const QString Paid = QStringLiteral("已付");
const QString Unpaid = QStringLiteral("未付");
const QString Retail = QStringLiteral("零售");

struct Category {
    const char16_t *name;
    const char *code;
    int minPrice, maxPrice;  // purchase price range in yuan
};

const Category categories[] = {
    {u"液晶电视", "YJDS", 1200, 9000},   {u"双门冰箱", "SMBX", 1500, 6000},  {u"电饭煲", "DFB", 120, 900},
    {u"滚筒洗衣机", "GTXYJ", 1400, 5000}, {u"空调", "KT", 1800, 7000},        {u"微波炉", "WBL", 250, 1500},
    {u"电风扇", "DFS", 80, 600},          {u"吸尘器", "XCQ", 200, 2500},      {u"热水器", "RSQ", 600, 4000},
    {u"电磁炉", "DCL", 150, 800},         {u"豆浆机", "DJJ", 150, 900},       {u"榨汁机", "ZZJ", 90, 700},
    {u"电水壶", "DSH", 40, 300},          {u"吹风机", "CFJ", 50, 500},        {u"剃须刀", "TXD", 60, 900},
    {u"加湿器", "JSQ", 70, 600},          {u"空气净化器", "KQJHQ", 500, 4000}, {u"洗碗机", "XWJ", 1800, 6000},
    {u"消毒柜", "XDG", 600, 3000},        {u"油烟机", "YYJ", 900, 4500},      {u"燃气灶", "RQZ", 400, 2500},
    {u"电烤箱", "DKX", 200, 1500},        {u"音响", "YX", 150, 5000},         {u"耳机", "EJ", 30, 1800},
    {u"手机", "SJ", 600, 7000},           {u"平板电脑", "PBDN", 900, 6000},   {u"笔记本电脑", "BJBDN", 2500, 12000},
    {u"打印机", "DYJ", 500, 3500},        {u"路由器", "LYQ", 80, 900},        {u"显示器", "XSQ", 500, 4000},
};

const char16_t *const brands[] = {u"金鹰", u"华光", u"东升", u"瑞丰", u"天宇", u"恒通", u"美达", u"新华", u"宏图", u"安泰",
                                  u"星河", u"永兴", u"正大", u"百川", u"凯旋", u"远航", u"鼎盛", u"国泰", u"嘉禾", u"明月"};
const char16_t *const locations[] = {u"一号仓库", u"二号仓库", u"三号仓库", u"四号仓库", u"五号仓库", u"门市部", u"展厅"};
const char16_t *const cities[] = {u"北京", u"上海", u"广州", u"深圳", u"天津", u"重庆", u"成都", u"武汉", u"南京", u"杭州",
                                  u"西安", u"长沙", u"郑州", u"济南", u"青岛", u"沈阳", u"大连", u"厦门", u"福州", u"昆明",
                                  u"南宁", u"合肥", u"南昌", u"太原", u"石家庄", u"哈尔滨", u"长春", u"兰州", u"贵阳", u"海口"};
const char16_t *const words[] = {u"恒信", u"鑫源", u"宏达", u"华联", u"金桥", u"万家", u"福瑞", u"隆盛", u"德润", u"佳和",
                                 u"顺发", u"兴业", u"汇通", u"盛世", u"联创", u"腾飞", u"东方", u"新世纪", u"利民", u"广源",
                                 u"中天", u"富达", u"欣荣", u"博远", u"祥和", u"和美", u"昌隆", u"同创", u"永和", u"安康",
                                 u"锦程", u"众诚", u"康泰", u"家乐", u"华美", u"友邦", u"宝丰", u"泰和", u"天成", u"信达"};
const char16_t *const customerKinds[] = {u"商贸有限公司", u"电器商行", u"家电城", u"实业有限公司", u"百货商店", u"酒店"};
const char16_t *const supplierKinds[] = {u"电器厂", u"电子有限公司", u"家电批发部", u"贸易公司", u"科技有限公司"};
const char16_t *const surnames[] = {u"王", u"李", u"张", u"刘", u"陈", u"杨", u"赵", u"黄", u"周", u"吴",
                                    u"徐", u"孙", u"胡", u"朱", u"高", u"林", u"何", u"郭", u"马", u"罗"};
const char16_t *const givenNames[] = {u"伟", u"芳", u"娜", u"敏", u"静", u"丽", u"强", u"磊", u"军", u"洋",
                                      u"勇", u"艳", u"杰", u"娟", u"涛", u"明", u"超", u"秀英", u"建国", u"志强"};
const char16_t *const titles[] = {u"经理", u"采购主管", u"店长", u"财务", u"业务员"};
const char16_t *const documentTypes[] = {u"收据", u"普通发票", u"增值发票"};
const char16_t *const banks[] = {u"现金", u"中国工商银行", u"中国建设银行", u"中国农业银行", u"中国银行"};

QString s(const char16_t *t) { return QString::fromUtf16(t); }

struct Product {
    qint64 rowid;
    QString ck, bh, mc;
    qint64 cgj, xsj;  // ten-thousandths
    int stock = 0;    // stock of the saved lines so far
};

struct Employee {
    const char *number;
    const char16_t *name;
    const char16_t *role;
};

// Accounts besides the administrator; their names are written as jsr.
const Employee employees[] = {
    {"rk01", u"王建国", u"入库员"}, {"rk02", u"刘芳", u"入库员"}, {"ck01", u"李娜", u"出库员"},
    {"ck02", u"张伟", u"出库员"},   {"ck03", u"陈静", u"出库员"},
};

class Generator {
public:
    Generator(Connection &c, const Options &o) : c_(c), o_(o), rng_(o.seed), py_(QCoreApplication::applicationDirPath()) {}

    void run(QTextStream &out);

private:
    int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    bool chance(double p) { return std::bernoulli_distribution(p)(rng_); }
    template <typename T, size_t N>
    QString pick(const T (&items)[N]) { return s(items[uniform(0, int(N) - 1)]); }
    QString personName() { return pick(surnames) + pick(givenNames); }
    QString phone() { return QStringLiteral("0%1-%2").arg(uniform(10, 999)).arg(uniform(2000000, 89999999)); }
    QString initials(const QString &name) const
    {
        bool ok = false;
        const QString i = py_.initials(name, &ok);
        return ok ? i.left(50) : QString(QLatin1String(""));
    }
    // Products sell unevenly: a fifth of the lines go to the first twentieth.
    Product &pickProduct()
    {
        const int n = int(products_.size());
        const int hot = std::max(1, n / 20);
        return products_[chance(0.2) ? uniform(0, hot - 1) : uniform(0, n - 1)];
    }
    const QString &pickCustomer() { return customers_[uniform(0, int(customers_.size()) - 1)]; }
    const QString &pickSupplier() { return suppliers_[uniform(0, int(suppliers_.size()) - 1)]; }
    // Invoices hold 1 to 8 lines, mostly few.
    int invoiceSize() { return std::min(8, 1 + int(std::geometric_distribution<int>(0.45)(rng_))); }
    // Times of k invoices spread over a working day (today: up to now).
    std::vector<QTime> invoiceTimes(const QDate &day, int k);
    static QString stamp(const QDate &day, const QTime &t) { return fmt::storageDateTime(fmt::wallClock(day, t)); }

    void masterData();
    void history();
    void stockInDay(const QDate &day, int age, qint64 quota, Prepared &st);
    void stockOutDay(const QDate &day, int age, qint64 quota, Prepared &st);
    void settlementsDay(const QDate &day, int age, Prepared &ys, Prepared &yf);
    void finish();

    Connection &c_;
    Options o_;
    std::mt19937_64 rng_;
    PyLibrary py_;
    QDate today_ = QDate::currentDate();
    QTime now_ = QTime::currentTime();
    std::vector<Product> products_;
    std::vector<QString> customers_, suppliers_;
    QStringList stockInClerks_, stockOutClerks_;
    int rkToday_ = 0, ckToday_ = 0, ysToday_ = 0, yfToday_ = 0;
};

std::vector<QTime> Generator::invoiceTimes(const QDate &day, int k)
{
    int from = 8 * 3600, to = 20 * 3600;
    if (day == today_) {
        to = std::min(to, now_.msecsSinceStartOfDay() / 1000);
        from = std::min(from, std::max(0, to - 3600));
    }
    const double step = double(std::max(1, to - from)) / std::max(1, k);
    std::vector<QTime> times;
    times.reserve(k);
    for (int i = 0; i < k; ++i) {
        const int jitter = int(step * 0.5 * std::uniform_real_distribution<double>(0, 1)(rng_));
        times.push_back(QTime(0, 0).addSecs(std::min(to, from + int(step * i) + jitter)));
    }
    return times;
}

void Generator::masterData()
{
    Transaction tx(c_);
    // The administrator exists already; the clerks log in with an empty password.
    stockInClerks_ << QStringLiteral("系统管理员");
    stockOutClerks_ << QStringLiteral("系统管理员");
    {
        Prepared st(c_, QStringLiteral("INSERT INTO gy (gybh, mz, sx, qggybh, xbmmc, tx, gyrq) "
                                                 "VALUES (?1, ?2, ?3, '', ?4, ?5, ?6)"));
        for (const Employee &e : employees) {
            const QString role = s(e.role);
            st.bind(1, QString::fromLatin1(e.number));
            st.bind(2, s(e.name));
            st.bind(3, role);
            st.bind(4, role == QLatin1String("入库员") ? QStringLiteral("采购部") : QStringLiteral("销售部"));
            st.bind(5, role);
            st.bind(6, today_.addYears(-2));
            st.run();
            (role == QLatin1String("入库员") ? stockInClerks_ : stockOutClerks_) << s(e.name);
        }
    }

    // The demonstration products of the delivered file take part in the history too.
    for (const QVariantList &r : c_.rows(QStringLiteral("SELECT rowid, ck, bh, mc, cgj, xsj FROM pl ORDER BY rowid")))
        products_.push_back({r[0].toLongLong(), r[1].toString(), r[2].toString(), r[3].toString(), r[4].toLongLong(),
                             r[5].toLongLong()});
    {
        Prepared st(c_, QStringLiteral("INSERT INTO pl (ck, bh, sn, cj, lb, mc, xh, cgj, xsj) "
                                                 "VALUES (?1, ?2, 0, ?3, ?4, ?5, ?6, ?7, ?8)"));
        const int existing = int(products_.size());
        for (int i = existing; i < o_.products; ++i) {
            const Category &cat = categories[uniform(0, int(std::size(categories)) - 1)];
            const QString model = QStringLiteral("%1%2").arg(QChar(u'A' + i % 26)).arg(i + 1, 5, 10, QChar(u'0'));
            Product p;
            p.ck = pick(locations);
            // Most products carry a number; the rest are known by name only.
            p.bh = chance(0.92) ? QStringLiteral("%1-%2").arg(QLatin1String(cat.code)).arg(i + 1, 5, 10, QChar(u'0'))
                                : QString(QLatin1String(""));
            p.mc = pick(brands) + s(cat.name) + model;
            const int yuan = uniform(cat.minPrice, cat.maxPrice);
            p.cgj = Money::fromUnits(yuan).raw();
            // Sales prices end in whole yuan, 12% to 40% above the purchase price.
            p.xsj = Money::fromUnits(yuan + yuan * uniform(12, 40) / 100).raw();
            st.bind(1, p.ck);
            st.bind(2, p.bh);
            st.bind(3, initials(p.mc));
            st.bind(4, s(cat.name));
            st.bind(5, p.mc);
            st.bind(6, model);
            st.bind(7, p.cgj);
            st.bind(8, p.xsj);
            st.run();
            p.rowid = c_.lastInsertRowid();
            products_.push_back(p);
        }
    }
    {
        Prepared st(c_,
                     QStringLiteral("INSERT INTO kh (gsmc, lxrmz, gsobm, jzdz, sc, sszzq, yzbm, gjdq, lxrzc, dhhm, fj, czhm, "
                                    "dzyjdz, fz) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, NULL)"));
        const int nc = int(std::size(cities)), nw = int(std::size(words)), nk = int(std::size(customerKinds));
        for (int i = 0; i < o_.customers; ++i) {
            // City, word and kind cycle independently, so names stay unique; a number
            // follows once all combinations are used.
            const QString city = s(cities[i % nc]);
            QString name = city + s(words[(i / nc) % nw]) + s(customerKinds[(i / (nc * nw)) % nk]);
            if (i >= nc * nw * nk)
                name += QString::number(i / (nc * nw * nk) + 1);
            customers_.push_back(name);
            st.bind(1, name);
            st.bind(2, personName());
            st.bind(3, chance(0.5) ? QStringLiteral("采购部") : QString(QLatin1String("")));
            st.bind(4, city + QStringLiteral("市%1路%2号").arg(pick(words)).arg(uniform(1, 999)));
            st.bind(5, city);
            st.bind(6, QString::number(uniform(10000000, 999999999)));
            st.bind(7, QString::number(uniform(100000, 860000)));
            st.bind(8, initials(name));
            st.bind(9, pick(titles));
            st.bind(10, phone());
            st.bind(11, chance(0.3) ? QString::number(uniform(100, 899)) : QString(QLatin1String("")));
            st.bind(12, phone());
            st.bind(13, QStringLiteral("kh%1@example.com").arg(i + 1));
            st.run();
        }
    }
    {
        Prepared st(c_,
                     QStringLiteral("INSERT INTO gys (gysmc, lxrxm, lxrzc, dz, sc, yzbm, sszzq, gjdq, dhhm, czhm, fktj, "
                                    "dzyjdz, fz) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, NULL)"));
        const int nc = int(std::size(cities)), nw = int(std::size(words)), nk = int(std::size(supplierKinds));
        for (int i = 0; i < o_.suppliers; ++i) {
            // Offset from the customers' names so that a supplier is not also a customer.
            const QString city = s(cities[(i + 7) % nc]);
            QString name = city + s(words[(i / nc + 11) % nw]) + s(supplierKinds[(i / (nc * nw)) % nk]);
            if (i >= nc * nw * nk)
                name += QString::number(i / (nc * nw * nk) + 1);
            suppliers_.push_back(name);
            st.bind(1, name);
            st.bind(2, personName());
            st.bind(3, pick(titles));
            st.bind(4, city + QStringLiteral("市工业园%1号").arg(uniform(1, 300)));
            st.bind(5, city);
            st.bind(6, QString::number(uniform(100000, 860000)));
            st.bind(7, QString::number(uniform(10000000, 999999999)));
            st.bind(8, initials(name));
            st.bind(9, phone());
            st.bind(10, phone());
            st.bind(11, chance(0.5) ? QStringLiteral("月结30天") : QStringLiteral("货到付款"));
            st.bind(12, QStringLiteral("gys%1@example.com").arg(i + 1));
            st.run();
        }
    }
    tx.commit();
}

void Generator::stockInDay(const QDate &day, int age, qint64 quota, Prepared &st)
{
    std::vector<int> sizes;
    for (qint64 left = quota; left > 0;) {
        const int n = int(std::min<qint64>(left, invoiceSize()));
        sizes.push_back(n);
        left -= n;
    }
    const std::vector<QTime> times = invoiceTimes(day, int(sizes.size()));
    const bool recent = age <= 1;
    for (size_t k = 0; k < sizes.size(); ++k) {
        const QString number = fmt::documentNumber(day, qint64(k) + 1);
        const QString supplier = chance(0.02) ? QString(QLatin1String("")) : pickSupplier();
        const QString clerk = stockInClerks_.at(uniform(0, int(stockInClerks_.size()) - 1));
        const QString pj = chance(0.7) ? s(documentTypes[0]) : pick(documentTypes);
        QString fk = chance(age <= 60 ? 0.3 : 0.05) ? Unpaid : Paid;
        // What became of the invoice: cancelled, borrowed in (later saved or given back), or ordinary.
        const bool cancelled = chance(0.015);
        const bool borrowed = !cancelled && chance(0.03);
        for (int line = 0; line < sizes[k]; ++line) {
            Product &p = pickProduct();
            int sn = uniform(5, 40);
            qint64 cgj = p.cgj;
            if (chance(0.1))
                cgj = cgj / 10000 * uniform(95, 105) / 100 * 10000;  // a slightly different price, whole yuan
            QVariant lsdh = number, bc, lb, lineFk = fk;
            if (cancelled) {
                bc = Cancelled;
                lsdh = QString(QLatin1String(""));
                lineFk = Paid;
            } else if (borrowed) {
                const int fate = recent ? 0 : uniform(0, 2);
                bc = fate == 0 ? BorrowedIn : fate == 1 ? Saved : GivenBack;
                if (fate == 2)
                    lsdh = QString(QLatin1String(""));
            } else if (recent) {
                if (!chance(0.95))
                    bc = Saved;
            } else if (chance(0.015)) {
                bc = Exchanged;
                lb = u'-' + Money::fromRaw(cgj * sn).toString();
                sn = 0;
                lineFk = Paid;
            } else if (!chance(0.01)) {
                bc = Saved;  // the rest stay pending, as if forgotten
            }
            if (bc.toString() == Saved) {
                if (p.stock + sn > 32000)
                    sn = 1;
                p.stock += sn;
            }
            st.bind(1, lsdh);
            st.bind(2, supplier);
            st.bind(3, clerk);
            st.bind(4, p.ck);
            st.bind(5, pj);
            st.bind(6, lineFk);
            st.bind(7, p.bh);
            st.bind(8, sn);
            st.bind(9, lb);
            st.bind(10, p.mc);
            st.bind(11, cgj);
            st.bind(12, stamp(day, times[k].addSecs(line * 10)));
            st.bind(13, bc);
            st.run();
        }
    }
    if (day == today_)
        rkToday_ = int(sizes.size());
}

void Generator::stockOutDay(const QDate &day, int age, qint64 quota, Prepared &st)
{
    std::vector<int> sizes;
    for (qint64 left = quota; left > 0;) {
        const int n = int(std::min<qint64>(left, invoiceSize()));
        sizes.push_back(n);
        left -= n;
    }
    const std::vector<QTime> times = invoiceTimes(day, int(sizes.size()));
    const bool recent = age <= 1;
    for (size_t k = 0; k < sizes.size(); ++k) {
        const QString number = fmt::documentNumber(day, qint64(k) + 1);
        const QString customer = chance(0.3) ? Retail : pickCustomer();
        const QString clerk = stockOutClerks_.at(uniform(0, int(stockOutClerks_.size()) - 1));
        const QString pj = chance(0.7) ? s(documentTypes[0]) : pick(documentTypes);
        const QString fk = customer != Retail && chance(age <= 60 ? 0.3 : 0.05) ? Unpaid : Paid;
        const bool cancelled = chance(0.015);
        const bool lent = !cancelled && chance(0.02);
        const bool loss = !cancelled && !lent && chance(0.01);
        for (int line = 0; line < sizes[k]; ++line) {
            Product *p = &pickProduct();
            int sn = uniform(1, 6);
            QVariant lsdh = number, bc, lb, lineFk = fk;
            if (cancelled) {
                bc = Cancelled;
                lsdh = QString(QLatin1String(""));
                lineFk = Paid;
            } else if (lent) {
                const int fate = recent ? 0 : uniform(0, 2);
                bc = fate == 0 ? LentOut : fate == 1 ? Saved : GivenBack;
                if (fate == 2)
                    lsdh = QString(QLatin1String(""));
            } else if (loss) {
                bc = Loss;
                lineFk = Paid;
            } else if (recent) {
                if (!chance(0.95))
                    bc = Saved;
            } else if (chance(0.015)) {
                bc = Exchanged;
            } else if (!chance(0.01)) {
                bc = Saved;
            }
            bool leavesStock = bc.toString() == Saved || bc.toString() == Loss;
            // Sell what is in stock: look a few times for a product that has some, else
            // the line waits unsaved, so the stock never goes below zero.
            for (int tries = 0; leavesStock && p->stock < sn && tries < 6; ++tries) {
                if (p->stock > 0) {
                    sn = p->stock;
                    break;
                }
                p = &pickProduct();
            }
            if (leavesStock && p->stock < sn) {
                bc = QVariant();
                leavesStock = false;
            }
            // 70% at the listed price, the rest with a small discount to the cent.
            qint64 xsj = p->xsj;
            if (chance(0.3))
                xsj = xsj * uniform(90, 99) / 100 / 100 * 100;
            if (bc.toString() == Exchanged) {
                lb = u'-' + Money::fromRaw(xsj * sn).toString();
                sn = 0;
                lineFk = Paid;
            }
            if (leavesStock)
                p->stock -= sn;
            st.bind(1, lsdh);
            st.bind(2, customer);
            st.bind(3, clerk);
            st.bind(4, p->ck);
            st.bind(5, pj);
            st.bind(6, lineFk);
            st.bind(7, p->bh);
            st.bind(8, sn);
            st.bind(9, lb);
            st.bind(10, p->mc);
            st.bind(11, xsj);
            st.bind(12, stamp(day, times[k].addSecs(line * 10)));
            st.bind(13, bc);
            st.run();
        }
    }
    if (day == today_)
        ckToday_ = int(sizes.size());
}

void Generator::settlementsDay(const QDate &day, int age, Prepared &ys, Prepared &yf)
{
    // About one receipt per 100,000 lines a day, payments half as often.
    const int perDay = int(std::max<qint64>(1, o_.lines / 100000));
    for (int kind = 0; kind < 2; ++kind) {
        Prepared &st = kind == 0 ? ys : yf;
        const int k = kind == 0 ? perDay : std::max(1, perDay / 2);
        const std::vector<QTime> times = invoiceTimes(day, k);
        for (int i = 0; i < k; ++i) {
            const qint64 jr = Money::fromUnits(uniform(5, 500) * 100).raw();
            // Old rows are used up; recent ones are open or partly applied.
            const int fate = age > 30 ? (chance(0.9) ? 2 : 1) : uniform(0, 2);
            const qint64 applied = fate == 0 ? 0 : fate == 2 ? jr : jr / 100 * uniform(10, 90);
            st.bind(1, fmt::documentNumber(day, i + 1));
            st.bind(2, kind == 0 ? pickCustomer() : pickSupplier());
            const QStringList &clerks = kind == 0 ? stockOutClerks_ : stockInClerks_;
            st.bind(3, clerks.at(uniform(0, int(clerks.size()) - 1)));
            st.bind(4, chance(0.7) ? s(documentTypes[0]) : pick(documentTypes));
            st.bind(5, pick(banks));
            st.bind(6, jr);
            st.bind(7, jr - applied);
            st.bind(8, fate == 0 ? QVariant() : QVariant(applied));
            st.bind(9, stamp(day, times[i]));
            st.bind(10, chance(0.2) ? QStringLiteral("货款") : QString(QLatin1String("")));
            st.run();
        }
        if (day == today_)
            (kind == 0 ? ysToday_ : yfToday_) = k;
    }
}

void Generator::history()
{
    Transaction tx(c_);
    // Indexes are built once at the end: far quicker than keeping them up to date row by row.
    const QList<QVariantList> indexes =
        c_.rows(QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type='index' AND sql IS NOT NULL "
                               "AND tbl_name IN ('rk','ck','ys','yf')"));
    for (const QVariantList &ix : indexes)
        c_.exec(QStringLiteral("DROP INDEX \"%1\"").arg(ix[0].toString()));
    {
        Prepared rk(c_, QStringLiteral("INSERT INTO rk (lsdh, gys, jsr, ck, pj, fk, bh, sn, lb, mc, cgj, rq, bc) "
                                                 "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13)"));
        Prepared ck(c_, QStringLiteral("INSERT INTO ck (lsdh, kh, jsr, ck, pj, fk, bh, sn, lb, mc, xsj, rq, bc) "
                                                 "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13)"));
        const QString ysSql = QStringLiteral("INSERT INTO %1 (lsdh, kh, jsr, pj, yh, jr, yr, yj, rq, bz) "
                                             "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)");
        Prepared ys(c_, ysSql.arg(QLatin1String("ys")));
        Prepared yf(c_, ysSql.arg(QLatin1String("yf")));
        // Roughly 35% of the lines are stock-in, with larger quantities than the sales.
        qint64 rkLeft = o_.lines * 35 / 100, ckLeft = o_.lines - rkLeft;
        const int days = 365;
        for (int d = 0; d < days; ++d) {
            const QDate day = today_.addDays(d - days + 1);
            const int age = days - 1 - d;
            const int daysLeft = days - d;
            auto quota = [&](qint64 left) {
                if (daysLeft == 1)
                    return left;
                const double share = double(left) / daysLeft * std::uniform_real_distribution<double>(0.8, 1.2)(rng_);
                return std::min(left, qint64(share + 0.5));
            };
            const qint64 rkQuota = quota(rkLeft), ckQuota = quota(ckLeft);
            stockInDay(day, age, rkQuota, rk);
            stockOutDay(day, age, ckQuota, ck);
            settlementsDay(day, age, ys, yf);
            rkLeft -= rkQuota;
            ckLeft -= ckQuota;
        }
    }
    for (const QVariantList &ix : indexes)
        c_.exec(ix[1].toString());
    tx.commit();
}

void Generator::finish()
{
    Transaction tx(c_);
    {
        Prepared st(c_, QStringLiteral("UPDATE pl SET sn=?1 WHERE rowid=?2"));
        for (const Product &p : products_) {
            st.bind(1, std::clamp(p.stock, -32768, 32767));
            st.bind(2, p.rowid);
            st.run();
        }
    }
    // Each numbering screen was last closed today after its last document, so the next
    // opening proposes a fresh number.
    c_.exec(QStringLiteral("UPDATE kr SET rkdh=:rk, rq=:d, lsdh=:ck, rq1=:d, ysdh=:ys, rqys=:d, yfdh=:yf, rqyf=:d"),
            {{QStringLiteral("rk"), rkToday_ + 1},
             {QStringLiteral("ck"), ckToday_ + 1},
             {QStringLiteral("ys"), ysToday_ + 1},
             {QStringLiteral("yf"), yfToday_ + 1},
             {QStringLiteral("d"), today_}});
    tx.commit();
}

void Generator::run(QTextStream &out)
{
    StepTimer t;
    if (!py_.isLoaded())
        out << "注意：找不到支持库 py，首字母列留空\n";
    // A large page cache keeps index pages in memory while the tables grow.
    c_.exec(QStringLiteral("PRAGMA cache_size=-262144"));
    // A failed run removes the file, so nothing needs to survive a crash half-way:
    // no journal on disk and no waiting for the disk on each commit.
    c_.exec(QStringLiteral("PRAGMA journal_mode=MEMORY"));
    c_.exec(QStringLiteral("PRAGMA synchronous=OFF"));
    // The index sorts stay in memory instead of encrypted temporary files.
    c_.exec(QStringLiteral("PRAGMA temp_store=MEMORY"));
    masterData();
    out << QStringLiteral("商品、客户、供应商：") << t.text() << '\n';
    t.restart();
    history();
    out << QStringLiteral("入库、出库、收付款：") << t.text() << '\n';
    t.restart();
    finish();
    out << QStringLiteral("库存与计数器：") << t.text() << '\n';
    for (const char *table : {"pl", "kh", "gys", "gy", "rk", "ck", "ys", "yf"})
        out << QStringLiteral("%1\t%2\n")
                   .arg(QLatin1String(table))
                   .arg(c_.scalar(QStringLiteral("SELECT count(*) FROM ") + QLatin1String(table)).toLongLong());
    for (const char *table : {"rk", "ck"}) {
        const auto rows = c_.rows(QStringLiteral("SELECT coalesce(bc, '(待保存)'), count(*) FROM %1 GROUP BY bc ORDER BY 2 DESC")
                                      .arg(QLatin1String(table)));
        QStringList parts;
        for (const QVariantList &r : rows)
            parts << r[0].toString() + u' ' + r[1].toString();
        out << table << QStringLiteral("\t") << parts.join(QStringLiteral("，")) << '\n';
    }
}

bool parseOptions(const QStringList &args, Options &o, QString &error)
{
    for (int i = 1; i < args.size(); ++i) {
        const QString &a = args[i];
        if (!a.startsWith(QLatin1String("--"))) {
            if (!o.path.isEmpty()) {
                error = QStringLiteral("只能给一个数据库文件：") + a;
                return false;
            }
            o.path = a;
            continue;
        }
        if (i + 1 >= args.size()) {
            error = QStringLiteral("选项缺少数值：") + a;
            return false;
        }
        bool ok = false;
        const qint64 v = args[++i].toLongLong(&ok);
        if (!ok || v < 0) {
            error = QStringLiteral("选项%1的数值无效：%2").arg(a, args[i]);
            return false;
        }
        if (a == QLatin1String("--lines") && v <= 100000000)
            o.lines = v;
        else if (a == QLatin1String("--products") && v >= 1 && v <= 10000000)
            o.products = int(v);
        else if (a == QLatin1String("--customers") && v >= 1 && v <= 10000000)
            o.customers = int(v);
        else if (a == QLatin1String("--suppliers") && v >= 1 && v <= 10000000)
            o.suppliers = int(v);
        else if (a == QLatin1String("--seed"))
            o.seed = quint64(v);
        else {
            error = QStringLiteral("未知选项或数值超出范围：%1 %2").arg(a, args[i]);
            return false;
        }
    }
    if (o.path.isEmpty()) {
        error = QStringLiteral("缺少数据库文件");
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout), err(stderr);
    Options o;
    QString error;
    if (!parseOptions(app.arguments(), o, error)) {
        err << error << '\n'
            << "用法：korvel-generate 数据库文件 [--lines 行数] [--products 商品数] [--customers 客户数] "
               "[--suppliers 供应商数] [--seed 随机种子]\n";
        return 2;
    }
    StepTimer total;
    bool created = false;
    try {
        schema::createDeliveredDatabase(o.path);
        created = true;
        Connection c;
        schema::open(c, o.path);
        Generator(c, o).run(out);
    } catch (const KorvelError &e) {
        err << e.message() << '\n';
        // A half-filled file would pass for a generated one later.
        if (created)
            QFile::remove(o.path);
        return 1;
    }
    out << QStringLiteral("共用时：") << total.text() << '\n';
    return 0;
}
