#include "store/DataModule.h"

#include "dataset/Errors.h"
#include "dataset/Formats.h"
#include "store/PyLibrary.h"

namespace {

const QStringList listG = {"xbmmc", "sfzhm", "gybh", "mz",   "ex",   "tx",     "dzyjzfmc", "fj",  "dz", "sx",
                           "sszzq", "dq",    "yzbm", "gjdq", "zzdh", "dwdh",   "xbmID",    "sr",  "gyrq", "xj",
                           "jzfl",  "kce",   "glyID", "boxm", "jjlxrxm", "jjlxdh", "zp",    "fz",  "bgswz", "qggybh"};
const QStringList listK = {"gsmc", "lxrmz", "gsobm", "jzdz", "sc", "sszzq", "yzbm",
                           "gjdq", "lxrzc", "dhhm",  "fj",   "czhm", "dzyjdz", "fz"};
const QStringList listS = {"gysmc", "lxrxm", "lxrzc", "dz", "sc", "yzbm", "sszzq",
                           "gjdq", "dhhm", "czhm", "fktj", "dzyjdz", "fz"};
const QStringList listY = {"lsdh", "kh", "jsr", "pj", "yh", "jr", "yr", "yj", "rq", "bz"};

QStringList moved(QStringList l, const QString &what, const QString &before)
{
    l.removeAll(what);
    l.insert(l.indexOf(before), what);
    return l;
}

QStringList without(QStringList l, const QString &what)
{
    l.removeAll(what);
    return l;
}

} // namespace

DataModule::DataModule(std::unique_ptr<Connection> conn, std::unique_ptr<PyLibrary> py)
    : connOwned_(std::move(conn)), pyOwned_(std::move(py)), conn_(*connOwned_), py_(pyOwned_.get()),
      owner_(std::make_unique<QObject>())
{
    // Field list entries: name, "(h)" hidden, "(ro)" read-only, "=label" overrides the label,
    // "zjr" is the calculated amount.
    ADOTableKR = make("ADOTableKR");
    ADOTableKR->setTable("kr");

    ADOTableGY = make("ADOTableGY");
    ADOTableGY->setFieldDefs(list("gy", listG));
    ADOTableGY->setTable("gy");

    ADOTabledlck = make("ADOTabledlck");
    {
        QStringList l = listG;
        l[l.indexOf("ex")] = "ex=二姓";
        ADOTabledlck->setFieldDefs(list("gy", l));
    }
    ADOTabledlck->setTable("gy");

    ADOTableKH = make("ADOTableKH");
    ADOTableKH->setFieldDefs(list("kh", listK));
    ADOTableKH->setTable("kh");
    ADOTableKH->setFieldChangeHandler("gsmc", [this](DataSet &ds) { ADOTableKHgsmcChange(ds); });

    ADOQueryKH = make("ADOQueryKH");
    ADOQueryKH->setFieldDefs(list("kh", moved(listK, "lxrmz", "gsmc")));
    ADOQueryKH->setFieldChangeHandler("gsmc", [this](DataSet &ds) { ADOQueryKHgsmcChange(ds); });

    ADOTableGYS = make("ADOTableGYS");
    ADOTableGYS->setFieldDefs(list("gys", listS));
    ADOTableGYS->setTable("gys");
    ADOTableGYS->setFieldChangeHandler("gysmc", [this](DataSet &ds) { ADOTableGYSgysmcChange(ds); });

    ADOQueryGYS = make("ADOQueryGYS");
    ADOQueryGYS->setFieldDefs(list("gys", moved(listS, "lxrxm", "gysmc")));
    ADOQueryGYS->setFieldChangeHandler("gysmc", [this](DataSet &ds) { ADOQueryGYSgysmcChange(ds); });

    const QStringList listP1 = {"ck", "bh", "sn", "zjr", "cj(h)", "lb(h)", "mc", "xh(h)", "cgj(h)", "xsj"};
    ADOTablePLL = make("ADOTablePLL");
    ADOTablePLL->setFieldDefs(list("pl", listP1));
    ADOTablePLL->setTable("pl");

    ADOTabletd = make("ADOTabletd");
    ADOTabletd->setTable("pl");

    ADOQueryPL = make("ADOQueryPL");
    ADOQueryPL->setFieldDefs(list("pl", {"ck", "bh", "mc", "sn", "zjr(h)", "cj(h)", "lb(h)", "xh(h)", "cgj(h)", "xsj"}));
    ADOQueryPL->setFieldChangeHandler("mc", [this](DataSet &ds) { ADOQueryPLmcChange(ds); });

    ADOQueryPLCX = make("ADOQueryPLCX");
    ADOQueryPLCX->setFieldDefs(list("pl", {"ck", "bh", "mc", "sn", "xsj", "zjr", "cj(h)", "lb(h)", "xh(h)", "cgj(h)"}));
    ADOQueryPLCX->setSql("select * from pl order by sn");
    ADOQueryPLCX->onCalcFields = [this](CalcRow &r) { ADOQueryPLCXCalcFields(r); };
    ADOQueryPLCX->setFieldChangeHandler("mc", [this](DataSet &ds) { ADOQueryPLCXmcChange(ds); });

    ADOQueryPLRK = make("ADOQueryPLRK");
    ADOQueryPLRK->setFieldDefs(list("pl", {"ck", "bh", "sn", "zjr", "cj(h)", "lb(h)", "mc", "xh(h)", "cgj", "xsj"}));

    ADOQueryPLCK1 = make("ADOQueryPLCK1");
    ADOQueryPLCK1->setFieldDefs(list("pl", without(listP1, "cgj(h)")));
    ADOQueryPLCK1->setSql("select * from pl where mc='液晶电视' ");

    ADOTableRK = make("ADOTableRK");
    ADOTableRK->setFieldDefs(list("rk", {"lsdh", "gys", "jsr", "ck", "pj", "fk", "bh", "sn", "zjr", "cj(h)", "lb(h)",
                                         "mc", "xh(h)", "cgj(h)", "rq", "bc"}));
    ADOTableRK->setTable("rk", "mc");

    const QStringList listR2 = {"lsdh", "gys", "jsr(ro)", "ck", "pj", "fk", "bh", "mc", "sn",
                                "cgj", "zjr", "lb=备注", "cj(h)", "xh(h)", "rq", "bc"};
    ADOQueryRKDH = make("ADOQueryRKDH");
    ADOQueryRKDH->setFieldDefs(list("rk", listR2));
    ADOQueryRKDH->onCalcFields = [this](CalcRow &r) { ADOQueryRKDHCalcFields(r); };

    ADOQueryRKCX = make("ADOQueryRKCX");
    {
        QStringList l = listR2;
        l[l.indexOf("jsr(ro)")] = "jsr";
        l.removeAll("cj(h)");
        l.insert(l.indexOf("lb=备注"), "cj(h)");
        ADOQueryRKCX->setFieldDefs(list("rk", l));
    }
    ADOQueryRKCX->onCalcFields = [this](CalcRow &r) { ADOQueryRKCXCalcFields(r); };
    ADOQueryRKCX->afterOpen = [this](DataSet &ds) { ADOQueryRKCXAfterOpen(ds); };

    ADOTableCK = make("ADOTableCK");
    ADOTableCK->setFieldDefs(list("ck", {"lsdh", "kh", "jsr", "ck", "pj", "fk", "bh", "sn", "zjr", "cj", "lb(h)", "mc",
                                         "xh(h)", "xsj", "rq", "bc"}));
    ADOTableCK->setTable("ck");

    const QStringList listC2 = {"lsdh", "kh", "jsr(ro)", "ck", "pj", "fk", "bh", "mc", "sn",
                                "xsj", "zjr", "cj(h)", "lb=备注", "xh(h)", "rq", "bc"};
    ADOQueryLSDH = make("ADOQueryLSDH");
    ADOQueryLSDH->setFieldDefs(list("ck", listC2));
    ADOQueryLSDH->onCalcFields = [this](CalcRow &r) { ADOQueryLSDHCalcFields(r); };

    ADOQueryCKCX = make("ADOQueryCKCX");
    {
        QStringList l = listC2;
        l[l.indexOf("jsr(ro)")] = "jsr";
        ADOQueryCKCX->setFieldDefs(list("ck", l));
    }
    ADOQueryCKCX->onCalcFields = [this](CalcRow &r) { ADOQueryCKCXCalcFields(r); };
    ADOQueryCKCX->afterOpen = [this](DataSet &ds) { ADOQueryCKCXAfterOpen(ds); };

    // The engine does not sort DISTINCT results by itself.
    ADOQueryDHrk = make("ADOQueryDHrk");
    ADOQueryDHrk->setWindowedRead(true);  // 150,000 numbers after a few years: read where looked at
    ADOQueryDHrk->setSql("SELECT DISTINCT lsdh FROM RK ORDER BY lsdh");
    ADOQueryDHck = make("ADOQueryDHck");
    ADOQueryDHck->setWindowedRead(true);
    ADOQueryDHck->setSql("SELECT DISTINCT lsdh FROM cK ORDER BY lsdh");

    ADOQuerysp = make("ADOQuerysp");
    ADOQuerysp->setSql("select bh as 编号,sum(sn) as 数量 from ck where  bc is null group by bh");
    ADOQuerysp->setResultType("编号", FieldType::Text, 50);
    ADOQuerysp->setResultType("数量", FieldType::Integer);
    ADOQuerysp1 = make("ADOQuerysp1");
    ADOQuerysp1->setSql("select mc as 名称,sum(sn) as 数量 from ck where bc is null group by mc");
    ADOQuerysp1->setResultType("名称", FieldType::Text, 50);
    ADOQuerysp1->setResultType("数量", FieldType::Integer);

    ADOQueryspwz = make("ADOQueryspwz");
    ADOQueryspwz->setSql("SELECT DISTINCT ck FROM pl");
    ADOQueryspwz->setFilter({{"ck", FilterCondition::Ne, QString()}});
    ADOQueryspwz->setFiltered(true);

    ADOQueryjg = make("ADOQueryjg");

    ADOQueryYS = make("ADOQueryYS");
    ADOQueryYS->setSql("select kh as 客户,sum(sn*xsj) as 总金额 from ck where fk='未付' and bc='保存' group by kh");
    ADOQueryYS->setResultType("客户", FieldType::Text, 50);
    ADOQueryYS->setResultType("总金额", FieldType::Money);

    ADOQueryYF = make("ADOQueryYF");
    ADOQueryYF->setSql("select gys as 供应商,sum(sn*cgj) as 总金额 from rk where fk='未付' and bc='保存' group by gys");
    ADOQueryYF->setResultType("供应商", FieldType::Text, 50);
    ADOQueryYF->setResultType("总金额", FieldType::Money);

    ADOTableYS = make("ADOTableYS");
    ADOTableYS->setFieldDefs(list("ys", listY));
    ADOTableYS->setTable("ys");
    ADOQueryys1 = make("ADOQueryys1");
    ADOQueryys1->setFieldDefs(list("ys", listY));
    ADOTableyf = make("ADOTableyf");
    ADOTableyf->setFieldDefs(list("yf", listY));
    ADOTableyf->setTable("yf");
    ADOQueryyf1 = make("ADOQueryyf1");
    ADOQueryyf1->setFieldDefs(list("yf", listY));

    ADOQueryskcx = make("ADOQueryskcx");
    {
        QStringList l = listY;
        l[0] = "lsdh=单号";
        ADOQueryskcx->setFieldDefs(list("ys", l));
    }
    ADOQueryskcx->setSql("select * from ys");
    ADOQueryskcx->afterOpen = [this](DataSet &ds) { ADOQueryskcxAfterOpen(ds); };

    ADOQueryfkcx = make("ADOQueryfkcx");
    {
        QStringList l = listY;
        l[0] = "lsdh=单号";
        l[1] = "kh=供应商";
        ADOQueryfkcx->setFieldDefs(list("yf", l));
    }
    ADOQueryfkcx->setSql("select * from yf");
    ADOQueryfkcx->afterOpen = [this](DataSet &ds) { ADOQueryfkcxAfterOpen(ds); };

    ADOQuerykhfx = make("ADOQuerykhfx");
    ADOQuerykhfx->setSql("select kh as 客户,sum(sn*xsj) as 总金额 from ck where fk='已付' and bc='保存' group by kh "
                         "order by sum(sn*xsj) desc");
    ADOQuerykhfx->setResultType("客户", FieldType::Text, 50);
    ADOQuerykhfx->setResultType("总金额", FieldType::Money);

    ADOQueryspfx = make("ADOQueryspfx");
    ADOQueryspfx->setSql("select mc as 名称,sum(sn) as 数量 from ck where fk='已付' and bc='保存' group by mc order by "
                         "sum(sn) desc");
    ADOQueryspfx->setResultType("名称", FieldType::Text, 50);
    ADOQueryspfx->setResultType("数量", FieldType::Integer);

    ADOQuerylr = make("ADOQuerylr");
    ADOQuerylr->setSql("select ck.mc,sum(ck.xsj*ck.sn-pl.cgj*ck.sn) from pl,ck where pl.mc=ck.mc and ck.bc='保存' "
                       "group by ck.mc order by sum(ck.xsj*ck.sn-pl.cgj*ck.sn) desc");
    ADOQuerylr->setResultType("#0", FieldType::Text, 50);
    ADOQuerylr->setResultType("#1", FieldType::Money);
    ADOQuerylr->afterOpen = [this](DataSet &ds) { ADOQuerylrAfterOpen(ds); };

    ADOQuerydele = make("ADOQuerydele");

    ADOTablegsxcpy = make("ADOTablegsxcpy");
    ADOTablegsxcpy->setTable("by1");

    startOrder_ = {ADOTableKR,   ADOTableGY,   ADOTabledlck,  ADOTableKH,    ADOTableGYS,  ADOTablePLL,
                   ADOTabletd,   ADOQueryPLCX, ADOQueryPLCK1, ADOTableRK,    ADOTableCK,   ADOQueryDHrk,
                   ADOQueryDHck, ADOQuerysp,   ADOQuerysp1,   ADOQueryspwz,  ADOQueryYS,   ADOQueryYF,
                   ADOTableYS,   ADOTableyf,   ADOQueryskcx,  ADOQueryfkcx,  ADOQuerykhfx, ADOQueryspfx,
                   ADOQuerylr,   ADOTablegsxcpy};

    reportConnections_ = {
        {"RvDataSetConnectionRK", ADOQueryRKDH},    {"RvDataSetConnectionCK", ADOQueryLSDH},
        {"RvDataSetConnectionys", ADOQueryys1},     {"RvDataSetConnectionyf", ADOQueryyf1},
        {"RvDataSetConnectionrkcx", ADOQueryRKCX},  {"RvDataSetConnectionckcx", ADOQueryCKCX},
        {"RvDataSetConnectionPL", ADOQueryPLCX},    {"RvDataSetConnectionyfcx", ADOQueryfkcx},
        {"RvDataSetConnectionyscx", ADOQueryskcx},  {"RvDataSetConnectiongscx", ADOTablegsxcpy},
        {"RvDataSetConnectionkr", ADOTableKR},
    };
}

DataModule::~DataModule()
{
    // Data sets go before the connection they read through.
    owner_.reset();
}

DataSet *DataModule::make(const QString &name)
{
    auto *ds = new DataSet(conn_, name, owner_.get());
    all_.append(ds);
    return ds;
}

DataSet *DataModule::dataSet(const QString &name) const
{
    for (DataSet *ds : all_)
        if (ds->objectName() == name)
            return ds;
    return nullptr;
}

QList<FieldDef> DataModule::list(const QString &table, const QStringList &entries) const
{
    QList<FieldDef> out;
    for (QString item : entries) {
        QString label;
        if (const int eq = int(item.indexOf(u'=')); eq >= 0) {
            label = item.mid(eq + 1);
            item = item.left(eq);
        }
        bool hidden = false, readOnly = false;
        if (item.endsWith(QLatin1String("(h)"))) {
            hidden = true;
            item.chop(3);
        }
        if (item.endsWith(QLatin1String("(ro)"))) {
            readOnly = true;
            item.chop(4);
        }
        FieldDef f;
        if (item == QLatin1String("zjr")) {
            f.name = item;
            f.label = QStringLiteral("金额");
            f.type = FieldType::Money;
            f.calculated = true;
        } else {
            const FieldDef *c = conn_.catalog().find(table, item);
            if (!c)
                throw DbError(QStringLiteral("表%1中没有字段%2").arg(table, item));
            f = *c;
            f.visible = true;
        }
        if (hidden)
            f.visible = false;
        if (item == QLatin1String("gjdq"))
            f.visible = false;  // the search initials are never a grid column
        if (table == QLatin1String("gy") && item == QLatin1String("qggybh"))
            f.visible = false;
        f.readOnly = readOnly;
        if (!label.isEmpty())
            f.label = label;
        out.append(f);
    }
    return out;
}

void DataModule::openAtStart()
{
    for (DataSet *ds : startOrder_)
        ds->openDeferred();
}

QString DataModule::initials(const QString &name) const
{
    if (!py_)
        return {};
    bool ok = false;
    const QString s = py_->initials(name, &ok);
    return ok ? s.left(50) : QString();
}

void DataModule::fillInitials(DataSet &ds, const QString &nameField, const QString &initialsField, bool skipEmpty)
{
    const QString name = ds.fieldByName(nameField).asString();
    if (skipEmpty && name.isEmpty())
        return;
    if (!py_ || !py_->isLoaded())
        return;  // without the library the initials stay as they were
    ds.setValue(initialsField, initials(name));
}

// ---------------------------------------------------------------- calculations

namespace {
// Quantity times price. A stored line whose amount leaves the money range (written before
// amounts were checked) shows no amount instead of stopping every repaint of its grid.
QVariant amountOf(CalcRow &row, const char *price)
{
    try {
        return QVariant::fromValue(row.asMoney(price) * row.asInt("sn"));
    } catch (const InputError &) {
        return {};
    }
}
} // namespace

void DataModule::ADOQueryRKDHCalcFields(CalcRow &row)
{
    row.setValue("zjr", amountOf(row, "cgj"));
}

void DataModule::ADOQueryRKCXCalcFields(CalcRow &row)
{
    row.setValue("zjr", amountOf(row, "cgj"));
}

void DataModule::ADOQueryCKCXCalcFields(CalcRow &row)
{
    row.setValue("zjr", amountOf(row, "xsj"));
}

void DataModule::ADOQueryPLCXCalcFields(CalcRow &row)
{
    row.setValue("zjr", amountOf(row, "xsj"));
}

// The invoice's totals are taken exactly by the stock-out screen on each change of its
// lines; counting here, per fetch, would count a line once for every time it is read.
void DataModule::ADOQueryLSDHCalcFields(CalcRow &row)
{
    row.setValue("zjr", amountOf(row, "xsj"));
}

// ---------------------------------------------------------------- after open
// The walks over every row are taken by one aggregate over the same statement; the
// totals and the final position (last row current) are the same.

void DataModule::ADOQueryRKCXAfterOpen(DataSet &ds)
{
    const QVariantList r = ds.aggregate({{"sum(sn*cgj)", FieldType::Money},
                                         {"sum(sn)", FieldType::Integer},
                                         {"sum(CASE WHEN fk='已付' THEN sn*cgj END)", FieldType::Money}});
    rkcxTotalAmount += fmt::toMoney(r.value(0));
    rkcxTotalQuantity += r.value(1).toLongLong();
    rkcxTotalPaid += fmt::toMoney(r.value(2));
    ds.last();
}

void DataModule::ADOQueryCKCXAfterOpen(DataSet &ds)
{
    const QVariantList r = ds.aggregate({{"sum(sn*xsj)", FieldType::Money},
                                         {"sum(sn)", FieldType::Integer},
                                         {"sum(CASE WHEN fk='已付' THEN sn*xsj END)", FieldType::Money}});
    ckcxTotalAmount += fmt::toMoney(r.value(0));
    ckcxTotalQuantity += r.value(1).toLongLong();
    ckcxTotalPaid += fmt::toMoney(r.value(2));
    ds.last();
}

void DataModule::ADOQueryskcxAfterOpen(DataSet &ds)
{
    const QVariantList r = ds.aggregate({{"sum(jr)", FieldType::Money}, {"sum(yr)", FieldType::Money}});
    skcxTotalJr += fmt::toMoney(r.value(0));
    skcxTotalYr += fmt::toMoney(r.value(1));
    ds.last();
}

void DataModule::ADOQueryfkcxAfterOpen(DataSet &ds)
{
    const QVariantList r = ds.aggregate({{"sum(jr)", FieldType::Money}, {"sum(yr)", FieldType::Money}});
    fkcxTotalJr += fmt::toMoney(r.value(0));
    fkcxTotalYr += fmt::toMoney(r.value(1));
    ds.last();
}

void DataModule::ADOQuerylrAfterOpen(DataSet &ds)
{
    // The rows are read already; adding them up in place sends no notice per row.
    lrTotalProfit = Money();
    DataSet::NotifyScope scope(ds);
    for (int r = 0, n = ds.recordCount(); r < n; ++r)
        lrTotalProfit += fmt::toMoney(ds.rowValue(r, 1));
    ds.last();
}

// ---------------------------------------------------------------- name changes

void DataModule::ADOTableKHgsmcChange(DataSet &ds) { fillInitials(ds, "gsmc", "gjdq", false); }
void DataModule::ADOQueryKHgsmcChange(DataSet &ds) { fillInitials(ds, "gsmc", "gjdq", false); }
void DataModule::ADOTableGYSgysmcChange(DataSet &ds) { fillInitials(ds, "gysmc", "gjdq", false); }
void DataModule::ADOQueryGYSgysmcChange(DataSet &ds) { fillInitials(ds, "gysmc", "gjdq", false); }
void DataModule::ADOQueryPLmcChange(DataSet &ds) { fillInitials(ds, "mc", "cj", true); }
void DataModule::ADOQueryPLCXmcChange(DataSet &ds) { fillInitials(ds, "mc", "cj", false); }
