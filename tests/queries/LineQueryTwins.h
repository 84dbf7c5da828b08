#pragma once
// The stock-in and stock-out queries as the tests see them: the names, tables and words of
// each kind, written out here on their own so that a wrong description in the program is
// caught, and helpers that insert lines and read the screen back.
#include "common/Fixture.h"
#include "queries/LineQueryForm.h"

struct Twin {
    const char *tag;
    const char *action, *screen, *caption;
    const char *table, *party, *price, *lent;  // line table, its party and price columns
    const char *partyBox, *partyLabel;
    const char *partyTable, *partyName, *partyDataSet;
    const char *queryButton, *queryCaption;
    const char *list, *numbers;
    const char *report;
    int sign;  // what saving a line does to the stock
};

inline const Twin twins[] = {
    {"stock-in", "ActionRKCX", "TFormRKCX", "入库查询,按日期查询未保存的后点保存即可全部保存", "rk", "gys", "cgj",
     "借入", "ComboBoxgys", "供 应 商", "gys", "gysmc", "ADOTableGYS", "ButtonRK", "入库查询", "ADOQueryRKCX",
     "ADOQueryDHrk", "rKCX.rav", +1},
    {"stock-out", "ActionCKCX", "TFormCKCX", "出库查询,日期查询时日期两个都今天为全部记录", "ck", "kh", "xsj", "借出",
     "ComboBoxKH", "客    户", "kh", "gsmc", "ADOTableKH", "ButtonCK", "出库查询", "ADOQueryCKCX", "ADOQueryDHck",
     "CKCX.rav", -1},
};

// The first column of every shared case: which twin it runs on.
inline void addKindColumn() { QTest::addColumn<int>("kind"); }
inline QTestData &kindRow(int kind, const char *name) { return QTest::addRow("%s: %s", twins[kind].tag, name) << kind; }
// A case with nothing but the kind.
inline void bothKinds()
{
    addKindColumn();
    for (int k = 0; k < 2; ++k)
        QTest::addRow("%s", twins[k].tag) << k;
}

class LineQueryTest {
public:
    LineQueryTest(AppFixture &f, const Twin &t) : f(f), t(t) {}

    AppFixture &f;
    const Twin &t;

    Tmain &m() { return f.main(); }
    DataSet *list() { return m().dataSet(QString::fromUtf8(t.list)); }
    DataSet *numbers() { return m().dataSet(QString::fromUtf8(t.numbers)); }

    // One line; the later arguments are the criteria a query can pick it by.
    void add(const QString &lsdh, const QString &mc, const QString &bh, int sn, qint64 priceRaw, const QString &rq,
             const QVariant &bc = {}, const QString &fk = QStringLiteral("已付"),
             const QString &pj = QStringLiteral("收据"), const QString &party = QString(),
             const QString &jsr = QStringLiteral("系统管理员"), const QString &ck = QStringLiteral("一号仓库"))
    {
        f.exec(QStringLiteral("INSERT INTO %1 (lsdh, %2, jsr, ck, pj, fk, bh, sn, mc, %3, rq, bc) VALUES "
                              "(:lsdh, :party, :jsr, :ck, :pj, :fk, :bh, :sn, :mc, :price, :rq, :bc)")
                   .arg(QString::fromUtf8(t.table), QString::fromUtf8(t.party), QString::fromUtf8(t.price)),
               {{"lsdh", lsdh}, {"party", party}, {"jsr", jsr}, {"ck", ck}, {"pj", pj}, {"fk", fk},
                {"bh", bh}, {"sn", sn}, {"mc", mc}, {"price", priceRaw}, {"rq", rq}, {"bc", bc}});
    }

    // A history over a few days, each line different in every criterion.
    void addHistory()
    {
        add("2024-5-1-1", "早一", "A1", 1, 10000, "2024-05-01 10:00:00", "保存", "已付", "收据", "甲公司", "张三", "一号仓库");
        add("2024-5-3-1", "零点", "A2", 2, 20000, "2024-05-03 00:00:00", QVariant(), "未付", "普通发票", "乙公司", "李四", "二号仓库");
        add("2024-5-3-1", "三日上午", "A3", 3, 30000, "2024-05-03 09:00:00", QString::fromUtf8(t.lent), "已付", "增值发票", "甲公司", "张三", "一号仓库");
        add("2024-5-5-1", "五日深夜", "A4", 4, 40000, "2024-05-05 23:59:59", "保存", "未付", "收据", "甲公司乙部", "李四", "三号库房");
        add("2024-5-6-1", "六日零点", "A5", 5, 50000, "2024-05-06 00:00:00", "保存", "已付", "普通发票", "乙公司", "张三", "一号仓库");
    }

    LineQueryForm *open()
    {
        m().action(QString::fromUtf8(t.action))->trigger();
        auto *w = qobject_cast<LineQueryForm *>(m().lastOpened(QString::fromUtf8(t.action)));
        if (w)
            QTest::qWait(0);
        return w;
    }

    QPushButton *queryButton(LineQueryForm *w) { return child<QPushButton>(w, QString::fromUtf8(t.queryButton)); }
    QComboBox *partyBox(LineQueryForm *w) { return child<QComboBox>(w, QString::fromUtf8(t.partyBox)); }
    // A criterion box by its name; "party" is the supplier or customer box.
    QComboBox *box(LineQueryForm *w, const QString &name)
    {
        return name == QLatin1String("party") ? partyBox(w) : child<QComboBox>(w, name);
    }

    // Names of the listed lines, top to bottom.
    QStringList listed()
    {
        QStringList out;
        DataSet *ds = list();
        const int mc = ds->fieldIndex("mc");
        for (int r = 0; r < ds->recordCount(); ++r)
            out << ds->rowValue(r, mc).toString();
        return out;
    }

    int stock(const QString &mc) { return f.scalar("SELECT sn FROM pl WHERE mc=:m", {{"m", mc}}).toInt(); }
    QVariant status(const QString &mc)
    {
        return f.scalar(QStringLiteral("SELECT bc FROM %1 WHERE mc=:m").arg(QString::fromUtf8(t.table)), {{"m", mc}});
    }

    // Types text as a user does, one key at a time (also characters without a key code).
    static void type(QWidget *w, const QString &text)
    {
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
};
