#include "store/Schema.h"

#include "dataset/EngineErrors.h"
#include "dataset/Errors.h"
#include "dataset/Formats.h"

#include <QDateTime>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QFileInfo>

namespace schema {

const char *const Key = "qavmep";

namespace {

struct Col {
    const char *name;
    FieldType type;
    int size;
    const char16_t *label;
    bool visible;
};

constexpr FieldType T = FieldType::Text, M = FieldType::Memo, S = FieldType::SmallInt, I = FieldType::Integer,
                    A = FieldType::AutoInc, Y = FieldType::Money, D = FieldType::DateTime, B = FieldType::Blob;

struct Table {
    const char *name;
    std::initializer_list<Col> cols;
};

const Table tables[] = {
    {"pl",
     {{"ck", T, 50, u"商品位置", true}, {"bh", T, 50, u"编号", true}, {"sn", S, 0, u"数量", true},
      {"cj", T, 50, u"床架", false}, {"lb", T, 50, u"类别", false}, {"mc", T, 50, u"全称", true},
      {"xh", T, 50, u"型号", false}, {"cgj", Y, 0, u"采购价", false}, {"xsj", Y, 0, u"销售价", true}}},
    {"rk",
     {{"lsdh", T, 50, u"流水单号", true}, {"gys", T, 50, u"供应商", true}, {"jsr", T, 50, u"经手人", true},
      {"ck", T, 50, u"商品位置", true}, {"pj", T, 50, u"票据", true}, {"fk", T, 50, u"付款", true},
      {"bh", T, 50, u"编号", true}, {"sn", S, 0, u"数量", true}, {"cj", T, 50, u"床架", false},
      {"lb", T, 50, u"类别", false}, {"mc", T, 50, u"全称", true}, {"xh", T, 50, u"型号", false},
      {"cgj", Y, 0, u"采购价", false}, {"rq", D, 0, u"日期", true}, {"bc", T, 50, u"保存", true}}},
    {"ck",
     {{"id", A, 0, u"id", false}, {"lsdh", T, 50, u"流水单号", true}, {"kh", T, 50, u"客户", true},
      {"jsr", T, 50, u"经手人", true}, {"ck", T, 50, u"商品位置", true}, {"pj", T, 50, u"票据", true},
      {"fk", T, 50, u"付款", true}, {"bh", T, 50, u"编号", true}, {"sn", S, 0, u"数量", true},
      {"cj", T, 50, u"床架", true}, {"lb", T, 50, u"类别", false}, {"mc", T, 50, u"全称", true},
      {"xh", T, 50, u"型号", false}, {"xsj", Y, 0, u"销售价", true}, {"rq", D, 0, u"日期", true},
      {"bc", T, 50, u"保存", true}}},
    {"kh",
     {{"gsmc", T, 50, u"公司名称", true}, {"lxrmz", T, 30, u"联系人名字", true}, {"gsobm", T, 50, u"公司或部门", true},
      {"jzdz", T, 255, u"记帐地址", true}, {"sc", T, 50, u"市/县", true}, {"sszzq", T, 20, u"QQ/MSN...", true},
      {"yzbm", T, 20, u"邮政编码", true}, {"gjdq", T, 50, u"国家/地区", false}, {"lxrzc", T, 50, u"联系人职称", true},
      {"dhhm", T, 30, u"电话号码", true}, {"fj", T, 30, u"分机", true}, {"czhm", T, 30, u"传真号码", true},
      {"dzyjdz", T, 50, u"电子邮件地址", true}, {"fz", M, 0, u"附注", true}}},
    {"gys",
     {{"gysmc", T, 50, u"供应商名称", true}, {"lxrxm", T, 50, u"联系人姓名", true}, {"lxrzc", T, 50, u"联系人职称", true},
      {"dz", T, 255, u"地址", true}, {"sc", T, 50, u"市/县", true}, {"yzbm", T, 20, u"邮政编码", true},
      {"sszzq", T, 20, u"QQ/MSN...", true}, {"gjdq", T, 50, u"国家/地区", false}, {"dhhm", T, 30, u"电话号码", true},
      {"czhm", T, 30, u"传真号码", true}, {"fktj", T, 255, u"付款条件", true}, {"dzyjdz", T, 50, u"电子邮件地址", true},
      {"fz", M, 0, u"附注", true}}},
    {"gy",
     {{"xbmmc", T, 50, u"系(部门)名称", true}, {"sfzhm", T, 30, u"身份证号码", true}, {"gybh", T, 30, u"雇员编号", true},
      {"mz", T, 50, u"名字", true}, {"ex", T, 30, u"QQ/MSN...", true}, {"tx", T, 50, u"头衔", true},
      {"dzyjzfmc", T, 50, u"电子邮件帐户名", true}, {"fj", T, 30, u"分机", true}, {"dz", T, 255, u"地址", true},
      {"sx", T, 50, u"权限设置", true}, {"sszzq", T, 20, u"省/市/自治区", true}, {"dq", T, 50, u"地区", true},
      {"yzbm", T, 20, u"邮政编码", true}, {"gjdq", T, 50, u"国家/地区", false}, {"zzdh", T, 30, u"住宅电话", true},
      {"dwdh", T, 30, u"单位电话", true}, {"xbmID", I, 0, u"系(部门)ID", true}, {"sr", D, 0, u"生日", true},
      {"gyrq", D, 0, u"雇佣日期", true}, {"xj", Y, 0, u"薪金", true}, {"jzfl", Y, 0, u"记帐费率", true},
      {"kce", S, 0, u"扣除额", true}, {"glyID", I, 0, u"管理员 ID", true}, {"boxm", T, 50, u"配偶姓名", true},
      {"jjlxrxm", T, 50, u"紧急联系人姓名", true}, {"jjlxdh", T, 30, u"紧急联系电话", true}, {"zp", B, 0, u"照片", true},
      {"fz", M, 0, u"附注", true}, {"bgswz", T, 20, u"办公室位置", true}, {"qggybh", T, 30, u"", false}}},
    {"ys",
     {{"lsdh", T, 50, u"流水单号", true}, {"kh", T, 50, u"客户", true}, {"jsr", T, 50, u"经手人", true},
      {"pj", T, 50, u"票据", true}, {"yh", T, 50, u"银行", true}, {"jr", Y, 0, u"金额", true},
      {"yr", Y, 0, u"余额", true}, {"yj", Y, 0, u"已结", true}, {"rq", D, 0, u"日期", true}, {"bz", M, 0, u"备注", true}}},
    {"yf",
     {{"lsdh", T, 50, u"流水单号", true}, {"kh", T, 50, u"客户", true}, {"jsr", T, 50, u"经手人", true},
      {"pj", T, 50, u"票据", true}, {"yh", T, 50, u"银行", true}, {"jr", Y, 0, u"金额", true},
      {"yr", Y, 0, u"余额", true}, {"yj", Y, 0, u"已结", true}, {"rq", D, 0, u"日期", true}, {"bz", M, 0, u"备注", true}}},
    {"kr",
     {{"rkdh", I, 0, u"rkdh", true}, {"rq", D, 0, u"rq", true}, {"lsdh", I, 0, u"lsdh", true},
      {"rq1", D, 0, u"rq1", true}, {"ysdh", I, 0, u"ysdh", true}, {"rqys", D, 0, u"rqys", true},
      {"yfdh", I, 0, u"yfdh", true}, {"rqyf", D, 0, u"rqyf", true}, {"rk", T, 100, u"rk", true},
      {"ck", T, 100, u"ck", true}, {"kc", T, 100, u"kc", true}, {"ys", T, 100, u"ys", true},
      {"yf", T, 100, u"yf", true}}},
    {"by1",
     {{"d", T, 100, u"公司名称", true}, {"m", T, 50, u"联系人", true}, {"h", T, 100, u"电话", true},
      {"o", T, 100, u"手机", true}, {"n", T, 100, u"传真", true}, {"k", T, 100, u"帐号 1", true},
      {"l", T, 100, u"帐号 2", true}, {"i", T, 255, u"地址", true}, {"j", T, 255, u"备注", true}}},
};

QString columnDdl(const Col &c)
{
    const QString n = QString::fromLatin1(c.name);
    const QString label = QString::fromUtf16(c.label).isEmpty() ? n : QString::fromUtf16(c.label);
    switch (c.type) {
    case FieldType::Text:
        // The constraint's name is what the engine reports when a text is too long.
        return QStringLiteral("%1 TEXT COLLATE NOCASE CONSTRAINT \"%2最多%3个字符\" CHECK(length(%1) <= %3)")
            .arg(n, label)
            .arg(c.size);
    case FieldType::Memo:
        return n + QStringLiteral(" TEXT");
    case FieldType::SmallInt:
        return QStringLiteral("%1 INTEGER CONSTRAINT \"%2必须在-32768到32767之间\" CHECK(%1 BETWEEN -32768 AND 32767)")
            .arg(n, label);
    case FieldType::Integer:
        return QStringLiteral("%1 INTEGER CHECK(%1 BETWEEN -2147483648 AND 2147483647)").arg(n);
    case FieldType::AutoInc:
        return n + QStringLiteral(" INTEGER PRIMARY KEY AUTOINCREMENT");
    case FieldType::Money:
        return QStringLiteral("%1 INTEGER CHECK(typeof(%1) IN ('integer','null'))").arg(n);
    case FieldType::DateTime:
        return n + QStringLiteral(" TEXT");
    case FieldType::Float:
        return n + QStringLiteral(" REAL");
    case FieldType::Blob:
        return n + QStringLiteral(" BLOB");
    }
    return n;
}

QString describeMissing(const QStringList &missing)
{
    if (missing.size() == int(std::size(tables)))
        return QStringLiteral("文件里没有本系统的任何数据表");
    return QStringLiteral("缺少：") + missing.join(QStringLiteral("、"));
}

} // namespace

void registerCatalog(Catalog &catalog)
{
    for (const Table &t : tables)
        for (const Col &c : t.cols) {
            FieldDef f;
            f.name = QString::fromLatin1(c.name);
            f.type = c.type;
            f.size = c.size;
            f.label = QString::fromUtf16(c.label);
            f.visible = c.visible;
            catalog.add(QString::fromLatin1(t.name), f);
        }
}

QString ddl()
{
    QString out;
    for (const Table &t : tables) {
        QStringList cols;
        for (const Col &c : t.cols)
            cols << columnDdl(c);
        out += QStringLiteral("CREATE TABLE %1 (\n  %2\n);\n").arg(QString::fromLatin1(t.name), cols.join(QStringLiteral(",\n  ")));
    }
    out += QStringLiteral(
        "CREATE INDEX rk_lsdh ON rk(lsdh);\n"
        "CREATE INDEX rk_rq ON rk(rq, fk, sn, cgj);\n"
        // Payment state first: the unpaid saved lines of a party are one range of it.
        "CREATE INDEX rk_fk_gys ON rk(fk, bc, gys, sn, cgj, rq);\n"
        "CREATE INDEX rk_bc ON rk(bc);\n"
        "CREATE INDEX rk_bh ON rk(bh);\n"
        "CREATE INDEX rk_mc ON rk(mc);\n"
        "CREATE INDEX rk_gys ON rk(gys);\n"
        "CREATE INDEX ck_lsdh ON ck(lsdh);\n"
        "CREATE INDEX ck_rq ON ck(rq, fk, sn, xsj);\n"
        "CREATE INDEX ck_bc_mc ON ck(bc, mc, fk, sn, xsj, rq);\n"
        "CREATE INDEX ck_fk_kh ON ck(fk, bc, kh, sn, xsj, rq);\n"
        "CREATE INDEX ck_bh ON ck(bh);\n"
        "CREATE INDEX ck_mc ON ck(mc);\n"
        "CREATE INDEX ck_kh ON ck(kh, mc);\n"
        "CREATE INDEX pl_bh ON pl(bh);\n"
        "CREATE INDEX pl_mc ON pl(mc, cgj);\n"
        "CREATE INDEX pl_sn ON pl(sn);\n"
        "CREATE INDEX kh_gsmc ON kh(gsmc);\n"
        "CREATE INDEX gys_gysmc ON gys(gysmc);\n"
        "CREATE INDEX gy_gybh ON gy(gybh);\n"
        "CREATE INDEX gy_mz ON gy(mz);\n"
        "CREATE INDEX ys_lsdh ON ys(lsdh);\n"
        "CREATE INDEX ys_kh ON ys(kh);\n"
        "CREATE INDEX ys_rq ON ys(rq);\n"
        "CREATE INDEX yf_lsdh ON yf(lsdh);\n"
        "CREATE INDEX yf_kh ON yf(kh);\n"
        "CREATE INDEX yf_rq ON yf(rq);\n");
    return out;
}

void open(Connection &c, const QString &path, Connection::LegacyPages legacy)
{
    registerCatalog(c.catalog());
    c.open(path, QString::fromLatin1(Key), legacy);
    // An empty file opens as an empty database; it must not half-start the program.
    const QStringList missing = missingParts(c);
    if (missing.isEmpty())
        return;
    c.close();
    throw engine::notThisDatabase(describeMissing(missing));
}

void ensureIndexes(Connection &c)
{
    QHash<QString, QString> wanted;
    for (const QString &line : ddl().split(u'\n')) {
        if (!line.startsWith(QLatin1String("CREATE INDEX ")))
            continue;
        const QString stmt = line.trimmed().chopped(1);  // without the ';'
        wanted.insert(stmt.section(u' ', 2, 2), stmt);
    }
    const QList<QVariantList> present =
        c.rows(QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type='index' AND sql IS NOT NULL"));
    QStringList drop, create;
    QSet<QString> have;
    static const QRegularExpression ours(QStringLiteral("^(rk|ck|pl|kh|gys|gy|ys|yf)_"));
    for (const QVariantList &ix : present) {
        const QString name = ix.value(0).toString();
        have.insert(name);
        if (ours.match(name).hasMatch() && wanted.value(name) != ix.value(1).toString())
            drop << name;
    }
    for (auto it = wanted.constBegin(); it != wanted.constEnd(); ++it)
        if (!have.contains(it.key()) || drop.contains(it.key()))
            create << it.value();
    if (drop.isEmpty() && create.isEmpty())
        return;
    Transaction tx(c);
    for (const QString &name : drop)
        c.exec(QStringLiteral("DROP INDEX \"%1\"").arg(name));
    for (const QString &stmt : create)
        c.exec(stmt);
    tx.commit();
}

QStringList missingParts(Connection &c)
{
    QStringList missing;
    for (const Table &t : tables) {
        const QString table = QString::fromLatin1(t.name);
        QStringList present;
        for (const QVariantList &row : c.rows(QStringLiteral("PRAGMA table_info(%1)").arg(table)))
            present << row.value(1).toString().toLower();
        if (present.isEmpty()) {
            missing << table;
            continue;
        }
        for (const Col &col : t.cols)
            if (!present.contains(QString::fromLatin1(col.name).toLower()))
                missing << table + u'.' + QString::fromLatin1(col.name);
    }
    return missing;
}

SoundFile::SoundFile(Connection &c, Check check)
{
    if (c.inTransaction()) {
        problem_ = QStringLiteral("有一项保存还没有结束，现在不能检查数据文件");
        return;
    }
    try {
        // Pages read earlier may still be cached; the check must read what is on the disk now.
        c.exec(QStringLiteral("PRAGMA shrink_memory"));
        read_ = std::make_unique<Statement>(
            c.handle(), check == Check::Quick ? QStringLiteral("PRAGMA quick_check(5)") : QStringLiteral("PRAGMA integrity_check(5)"));
        // A sound file gives the one row "ok". The statement stays at that row: its read of
        // the file goes on until it is finished.
        QStringList findings;
        while (read_->step()) {
            const QString line = read_->value(0).toString();
            if (findings.isEmpty() && line == QLatin1String("ok"))
                break;
            findings << line;
        }
        const QStringList missing = findings.isEmpty() ? missingParts(c) : QStringList();
        if (!findings.isEmpty()) {
            problem_ = findings.join(u'\n');
        } else if (!missing.isEmpty()) {
            problem_ = describeMissing(missing);
        } else {
            // A copy reads the file by its name: it must still be the file the engine checked,
            // not one cut short or put in its place since it was opened.
            const qint64 pages = c.scalar(QStringLiteral("PRAGMA page_count")).toLongLong();
            const qint64 pageSize = c.scalar(QStringLiteral("PRAGMA page_size")).toLongLong();
            if (QFileInfo(c.path()).size() != pages * pageSize)
                problem_ = QStringLiteral("文件“%1”的大小与数据库不符：它被截短了，或者被别的文件替换了").arg(c.path());
        }
    } catch (const DbError &e) {
        problem_ = engine::detailOf(e);
    }
    if (!problem_.isEmpty())
        read_.reset();
}

SoundFile::~SoundFile() = default;

void createDeliveredDatabase(const QString &path)
{
    if (QFile::exists(path))
        throw DbError(QStringLiteral("文件已经存在：") + path);
    Connection c;
    registerCatalog(c.catalog());
    c.create(path, QString::fromLatin1(Key));
    Transaction tx(c);
    c.execScript(ddl());
    const QString yesterday = fmt::storageDate(QDate::currentDate().addDays(-1));
    c.exec(QStringLiteral("INSERT INTO kr (rkdh, rq, lsdh, rq1, ysdh, rqys, yfdh, rqyf, rk, ck, kc, ys, yf) "
                          "VALUES (1, :d, 1, :d, 1, :d, 1, :d, :rk, :ck, :kc, :ys, :yf)"),
           {{QStringLiteral("d"), yesterday},
            {QStringLiteral("rk"), QStringLiteral("入库单据")},
            {QStringLiteral("ck"), QStringLiteral("出库单据")},
            {QStringLiteral("kc"), QStringLiteral("库存单据")},
            {QStringLiteral("ys"), QStringLiteral("收款单据")},
            {QStringLiteral("yf"), QStringLiteral("付款单据")}});
    c.exec(QStringLiteral("INSERT INTO by1 (d, m, h, o, n, k, l, i, j) VALUES ('', '', '', '', '', '', '', '', '')"));
    c.exec(QStringLiteral("INSERT INTO gy (gybh, mz, sx, qggybh) VALUES ('admin', '系统管理员', '管理员', '')"));
    struct Demo {
        const char16_t *ck, *bh, *mc, *cj;
        qint64 cgj, xsj;  // ten-thousandths
    };
    const Demo demos[] = {
        {u"一号仓库", u"TV-001", u"液晶电视", u"yjds", 25000000, 32000000},
        {u"一号仓库", u"FR-001", u"双门冰箱", u"smbx", 18000000, 23990000},
        {u"二号仓库", u"", u"电饭煲", u"dfb", 1800000, 2650000},
        {u"二号仓库", u"WM-001", u"滚筒洗衣机", u"gtxyj", 21000000, 27880000},
    };
    for (const Demo &d : demos)
        c.exec(QStringLiteral("INSERT INTO pl (ck, bh, sn, mc, cj, cgj, xsj) VALUES (:ck, :bh, 0, :mc, :cj, :cgj, :xsj)"),
               {{QStringLiteral("ck"), QString::fromUtf16(d.ck)},
                {QStringLiteral("bh"), QString::fromUtf16(d.bh)},
                {QStringLiteral("mc"), QString::fromUtf16(d.mc)},
                {QStringLiteral("cj"), QString::fromUtf16(d.cj)},
                {QStringLiteral("cgj"), d.cgj},
                {QStringLiteral("xsj"), d.xsj}});
    tx.commit();
}

} // namespace schema
