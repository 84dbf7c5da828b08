// The three analyses: the charts' figures against the saved stock-out lines, the date
// range, which lines count, the profit join, slices that cannot be drawn, the total
// profit, and how the pie and its marks are drawn.
#include "analysis/ChartKinds.h"
#include "analysis/ChartScreen.h"
#include "analysis/DBChart.h"
#include "analysis/PieSeries.h"
#include "common/Fixture.h"

#include <QDateEdit>
#include <QListView>
#include <QMap>
#include <cmath>
#include <numbers>

class TstAnalysis : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<AppFixture> f;
    Tmain &m() { return f->main(); }

    static const ChartKind &kindNamed(const QString &screen)
    {
        for (const ChartKind *k : {&ChartKind::customers(), &ChartKind::products(), &ChartKind::profit()})
            if (screen == QLatin1String(k->screen))
                return *k;
        qFatal("no chart %s", qPrintable(screen));
    }

    // One stock-out line; prices in ten-thousandths.
    void sale(const QString &kh, const QString &mc, int sn, const QVariant &xsj, const QString &rq,
              const QVariant &bc = QStringLiteral("保存"), const QString &fk = QStringLiteral("已付"))
    {
        f->exec("INSERT INTO ck (lsdh, kh, jsr, mc, sn, xsj, rq, bc, fk) VALUES ('x', :kh, '系统管理员', :mc, :sn, :xsj, "
                ":rq, :bc, :fk)",
                {{"kh", kh}, {"mc", mc}, {"sn", sn}, {"xsj", xsj}, {"rq", rq}, {"bc", bc}, {"fk", fk}});
    }
    void product(const QString &mc, const QVariant &cgj)
    {
        f->exec("INSERT INTO pl (mc, sn, cgj, xsj) VALUES (:mc, 0, :cgj, 10000)", {{"mc", mc}, {"cgj", cgj}});
    }

    ChartScreen *open(const ChartKind &k)
    {
        m().action(QString::fromLatin1(k.command))->trigger();
        auto *w = qobject_cast<ChartScreen *>(m().lastOpened(QString::fromLatin1(k.command)));
        if (w)
            QTest::qWait(0);
        return w;
    }

    static void analyse(ChartScreen *w, QDate from, QDate to)
    {
        w->DateTimePicker1->setDate(from);
        w->DateTimePicker2->setDate(to);
        w->Button1->click();
    }

    // The chart as "label=value" in slice order.
    static QStringList figures(ChartScreen *w)
    {
        QStringList out;
        for (const PieSlice &s : w->DBChart1->series()->slices())
            out << s.label + u'=' + s.value.toString();
        return out;
    }

    static QStringList legendTexts(ChartScreen *w)
    {
        QStringList out;
        QAbstractItemModel *model = w->DBChart1->legend()->model();
        for (int r = 0; r < model->rowCount(); ++r)
            out << model->index(r, 0).data().toString() + u'=' +
                       model->index(r, 0).data(PieSeries::ValueTextRole).toString();
        return out;
    }

    // Colour of the pie at an angle (degrees from the top, anticlockwise) and a share of the radius.
    static QColor pixelAt(ChartScreen *w, double angle, double share)
    {
        const QImage img = w->DBChart1->grab().toImage();
        const QRect pie = w->DBChart1->pieRect();
        const double r = pie.width() / 2.0 * share, a = angle * std::numbers::pi / 180.0;
        const QPointF c = QRectF(pie).center();
        return img.pixelColor(QPointF(c.x() - r * std::sin(a), c.y() - r * std::cos(a)).toPoint());
    }

private slots:
    void init()
    {
        f = std::make_unique<AppFixture>();
        f->start();
        f->exec("DELETE FROM pl");
    }
    void cleanup()
    {
        QVERIFY(f->seams.allAnswersUsed());
        f.reset();
    }

    void screenTexts_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("title");
        QTest::newRow("customers") << "TFormkhfx" << "客户分析,逆时针的顺序从大到小,右边也有排列" << "出库总额分析";
        QTest::newRow("products") << "TFormspfx" << "商品分析,逆时针的顺序从大到小,右边也有排列" << "出库数量分析";
        QTest::newRow("profit") << "TFormlr" << "利润分析,进价与最后一次为准" << "利润分析";
    }
    void screenTexts()
    {
        QFETCH(QString, screen);
        QFETCH(QString, caption);
        QFETCH(QString, title);
        const ChartKind &k = kindNamed(screen);
        ChartScreen *w = open(k);
        QVERIFY(w);
        QCOMPARE(w->objectName(), screen);
        QCOMPARE(w->windowTitle(), caption);
        QCOMPARE(w->DBChart1->title(), title);
        QCOMPARE(w->DBChart1->dataSet(), m().*k.dataSet);
        QCOMPARE(w->DBChart1->series()->objectName(), QStringLiteral("Series1"));
        QCOMPARE(w->Label6->text(), QStringLiteral("→"));
        QCOMPARE(w->Button1->text(), QStringLiteral("分析"));
        QCOMPARE(w->DateTimePicker1->date(), QDate::currentDate());
        QCOMPARE(w->DateTimePicker2->date(), QDate::currentDate());
        QCOMPARE(w->Edit1 != nullptr, k.showsProfit);
        if (w->Edit1) {
            QCOMPARE(w->Edit1->toolTip(), QStringLiteral("总利润"));
            QVERIFY(w->Edit1->isReadOnly());
            QCOMPARE(w->Edit1->text(), QStringLiteral("0"));
        }
        QVERIFY(!m().instanceFlag(screen));
        m().action(QString::fromLatin1(k.command))->trigger();
        QCOMPARE(f->seams.lastMessage(), QStringLiteral("该窗口已经打开了"));
        w->close();
        QVERIFY(m().instanceFlag(screen));
    }

    // Many lines of many customers and products, paid or not, in every status: each chart
    // shows every group once, largest first, with the sum taken here from the raw lines.
    void figuresEqualTheSumsOfTheLines_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::newRow("customers") << "TFormkhfx";
        QTest::newRow("products") << "TFormspfx";
        QTest::newRow("profit") << "TFormlr";
    }
    void figuresEqualTheSumsOfTheLines()
    {
        QFETCH(QString, screen);
        const ChartKind &k = kindNamed(screen);
        quint32 seed = 12345;
        auto next = [&seed](int n) {
            seed = seed * 1103515245u + 12345u;
            return int((seed >> 8) % quint32(n));
        };
        for (int p = 0; p < 12; ++p)
            product(QStringLiteral("商品%1").arg(p), p == 11 ? QVariant() : QVariant(qlonglong(10000 * (5 + p) + 1234)));
        product(QStringLiteral("商品3"), qlonglong(99999));  // a name held by two product rows
        const QVariant statuses[] = {QStringLiteral("保存"), QStringLiteral("保存"), QStringLiteral("保存"), QVariant(),
                                     QStringLiteral("借出"), QStringLiteral("退单")};
        for (int i = 0; i < 300; ++i)
            sale(QStringLiteral("客户%1").arg(next(15)), QStringLiteral("商品%1").arg(next(14)), 1 + next(9),
                 qlonglong(10000 * next(40) + next(10000)), QStringLiteral("2024-0%1-1%2 10:00:00").arg(1 + next(9)).arg(next(10)),
                 statuses[next(6)], next(3) ? QStringLiteral("已付") : QStringLiteral("未付"));

        QMap<QString, qint64> expected;  // ten-thousandths, quantities as whole numbers
        QMultiMap<QString, QVariant> cgj;
        for (const QVariantList &r : f->rows("SELECT mc, cgj FROM pl"))
            cgj.insert(r[0].toString(), r[1]);
        for (const QVariantList &r : f->rows("SELECT kh, mc, sn, xsj, bc, fk FROM ck")) {
            if (r[4].toString() != QStringLiteral("保存"))
                continue;
            const bool paid = r[5].toString() == QStringLiteral("已付");
            const qint64 sn = r[2].toLongLong(), xsj = r[3].toLongLong();
            if (k.showsProfit) {
                // A name with product rows has its slice even when no price can be summed.
                if (cgj.contains(r[1].toString()))
                    expected[r[1].toString()] += 0;
                for (const QVariant &c : cgj.values(r[1].toString()))
                    if (!c.isNull())
                        expected[r[1].toString()] += sn * (xsj - c.toLongLong());
            } else if (paid) {
                expected[screen == QLatin1String("TFormkhfx") ? r[0].toString() : r[1].toString()] +=
                    screen == QLatin1String("TFormkhfx") ? sn * xsj : sn * 10000;
            }
        }
        ChartScreen *w = open(k);
        const QList<PieSlice> &slices = w->DBChart1->series()->slices();
        QMap<QString, qint64> shown;
        for (int i = 0; i < slices.size(); ++i) {
            QVERIFY2(!shown.contains(slices[i].label), qPrintable(slices[i].label));
            shown[slices[i].label] = slices[i].value.raw();
            if (i > 0)
                QVERIFY(slices[i - 1].value >= slices[i].value);
        }
        QCOMPARE(shown, expected);
        QVERIFY(slices.size() >= 10);
        QStringList legend;
        for (const PieSlice &s : slices)
            legend << s.label + u'=' + s.value.toString();
        QCOMPARE(legendTexts(w), legend);
        if (k.showsProfit) {
            qint64 total = 0;
            for (qint64 v : expected)
                total += v;
            QCOMPARE(m().lrTotalProfit.raw(), total);
            QCOMPARE(w->Edit1->text(), Money::fromRaw(total).toString());
        }
    }

    // Same day on both pickers: every date. Otherwise from after midnight of the start day
    // to the end of the end day. Each line's customer and product carry the same name.
    void dateRange_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<QStringList>("expected");
        const QDate d3(2024, 5, 3), d5(2024, 5, 5), d6(2024, 5, 6);
        for (const char *screen : {"TFormkhfx", "TFormspfx", "TFormlr"}) {
            auto row = [&](const char *name) -> QTestData & {
                return QTest::addRow("%s: %s", screen, name) << QString::fromLatin1(screen);
            };
            row("same day is every date") << d5 << d5 << QStringList{"E", "D", "C", "B", "A"};
            row("3 May to 5 May leaves out midnight of 3 May") << d3 << d5 << QStringList{"C", "B"};
            row("two neighbouring days are both counted") << d5 << d6 << QStringList{"D", "C"};
            row("start after end is empty") << d6 << d5 << QStringList{};
        }
    }
    void dateRange()
    {
        QFETCH(QString, screen);
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(QStringList, expected);
        const struct {
            const char *name;
            int sn;
            const char *rq;
        } lines[] = {{"A", 1, "2024-05-03 00:00:00"}, {"B", 2, "2024-05-03 00:00:01"}, {"C", 3, "2024-05-05 23:59:59"},
                     {"D", 4, "2024-05-06 00:00:00"}, {"E", 5, "2024-04-30 12:00:00"}};
        for (const auto &l : lines) {
            product(l.name, qlonglong(10000));
            sale(l.name, l.name, l.sn, qlonglong(30000), l.rq);
        }
        ChartScreen *w = open(kindNamed(screen));
        analyse(w, from, to);
        QStringList labels;
        for (const PieSlice &s : w->DBChart1->series()->slices())
            labels << s.label;
        QCOMPARE(labels, expected);
        if (w->Edit1) {
            int sn = 0;
            for (const auto &l : lines)
                sn += expected.contains(QString::fromLatin1(l.name)) ? l.sn : 0;
            QCOMPARE(w->Edit1->text(), QString::number(2 * sn));
        }
    }

    // Only saved lines count; unpaid ones only in the profit.
    void whichLinesCount_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("customers: paid saved lines") << "TFormkhfx" << QStringList{"甲=300"};
        QTest::newRow("products: paid saved lines") << "TFormspfx" << QStringList{"电视=3"};
        QTest::newRow("profit: saved lines, paid or not") << "TFormlr" << QStringList{"电视=250", "冰箱=80"};
    }
    void whichLinesCount()
    {
        QFETCH(QString, screen);
        QFETCH(QStringList, expected);
        product("电视", qlonglong(500000));
        product("冰箱", qlonglong(100000));
        sale("甲", "电视", 3, qlonglong(1000000), "2024-05-03 10:00:00");
        sale("乙", "电视", 2, qlonglong(1000000), "2024-05-03 10:00:00", "保存", "未付");
        sale("乙", "冰箱", 4, qlonglong(300000), "2024-05-03 10:00:00", "保存", "未付");
        sale("甲", "冰箱", 7, qlonglong(300000), "2024-05-03 10:00:00", QVariant());
        sale("甲", "冰箱", 7, qlonglong(300000), "2024-05-03 10:00:00", "借出");
        sale("甲", "冰箱", 7, qlonglong(300000), "2024-05-03 10:00:00", "退单");
        QCOMPARE(figures(open(kindNamed(screen))), expected);
    }

    // Profit against every product row of the name, with its price; a line without a
    // product row is left out; a loss or a zero cannot be a piece of the pie, so it is
    // listed in the legend with its value, left out of the pie, and the legend says so.
    void profitJoinAndLosses()
    {
        product("甲", qlonglong(100000));
        product("乙", qlonglong(100000));
        product("乙", qlonglong(120000));
        product("丁", qlonglong(500000));
        product("戊", qlonglong(100000));
        sale("客", "甲", 2, qlonglong(150000), "2024-05-03 10:00:00");
        sale("客", "乙", 1, qlonglong(200000), "2024-05-03 10:00:00");
        sale("客", "丙", 5, qlonglong(100000), "2024-05-03 10:00:00");
        sale("客", "丁", 1, qlonglong(300000), "2024-05-03 10:00:00");
        sale("客", "戊", 3, qlonglong(100000), "2024-05-03 10:00:00");
        ChartScreen *w = open(ChartKind::profit());
        QCOMPARE(figures(w), (QStringList{"乙=18", "甲=10", "戊=0", "丁=-20"}));
        QCOMPARE(w->Edit1->text(), QStringLiteral("8"));
        QCOMPARE(m().lrTotalProfit, Money::fromUnits(8));
        const QList<PieSlice> &s = w->DBChart1->series()->slices();
        QVERIFY(s[0].drawn && s[1].drawn && !s[2].drawn && !s[3].drawn);
        QCOMPARE(s[0].start, 0.0);
        QVERIFY(std::abs(s[0].span - 360.0 * 18 / 28) < 1e-9);
        QVERIFY(std::abs(s[0].span + s[1].span - 360.0) < 1e-9);
        QCOMPARE(legendTexts(w), (QStringList{"乙=18", "甲=10", "戊=0", "丁=-20"}));
        QVERIFY(!w->DBChart1->legend()->model()->index(3, 0).data(PieSeries::DrawnRole).toBool());
        QVERIFY(!w->DBChart1->legendNote()->isHidden());
        QCOMPARE(w->DBChart1->legendNote()->text(), QStringLiteral("灰色的2项为0或负数，只列在图例中，未画入饼图"));
        for (const DBChart::Mark &mk : w->DBChart1->marks())
            QVERIFY(s[mk.slice].drawn);
    }

    // Nothing to draw: an empty period, or only losses. The chart is empty, the total says
    // so, and drawing it is safe.
    void nothingToDraw_data()
    {
        QTest::addColumn<bool>("losses");
        QTest::addColumn<QString>("total");
        QTest::newRow("empty period") << false << "0";
        QTest::newRow("only losses") << true << "-7";
    }
    void nothingToDraw()
    {
        QFETCH(bool, losses);
        QFETCH(QString, total);
        if (losses) {
            product("甲", qlonglong(100000));
            sale("客", "甲", 1, qlonglong(50000), "2024-05-03 10:00:00");
            sale("客", "甲", 1, qlonglong(80000), "2024-05-04 10:00:00");
        }
        ChartScreen *w = open(ChartKind::profit());
        QCOMPARE(w->Edit1->text(), total);
        QCOMPARE(w->DBChart1->series()->drawnCount(), 0);
        QCOMPARE(w->DBChart1->series()->count(), losses ? 1 : 0);
        QCOMPARE(w->DBChart1->legendNote()->isHidden(), !losses);
        QVERIFY(!w->DBChart1->grab().isNull());
        QVERIFY(w->DBChart1->marks().isEmpty());
        QCOMPARE(pixelAt(w, 30, 0.5), w->DBChart1->palette().color(QPalette::Base));
    }

    // The data set keeps the last analysis: a reopened screen shows it again with both
    // pickers on today; the command refreshes an open screen's chart and total as well.
    void reopeningAndRefreshing()
    {
        product("甲", qlonglong(100000));
        product("乙", qlonglong(100000));
        sale("客", "甲", 1, qlonglong(150000), "2024-05-03 10:00:00");
        sale("客", "乙", 1, qlonglong(130000), "2024-05-05 10:00:00");
        ChartScreen *w = open(ChartKind::profit());
        QCOMPARE(figures(w), (QStringList{"甲=5", "乙=3"}));
        analyse(w, QDate(2024, 5, 4), QDate(2024, 5, 5));
        QCOMPARE(figures(w), QStringList{"乙=3"});
        QCOMPARE(w->Edit1->text(), QStringLiteral("3"));
        w->close();
        QTest::qWait(0);
        w = open(ChartKind::profit());
        QCOMPARE(w->DateTimePicker1->date(), QDate::currentDate());
        QCOMPARE(figures(w), QStringList{"乙=3"});
        QCOMPARE(w->Edit1->text(), QStringLiteral("3"));
        sale("客", "乙", 2, qlonglong(110000), "2024-05-05 11:00:00");
        m().action("ActionLRFX")->trigger();
        QCOMPARE(f->seams.lastMessage(), QStringLiteral("该窗口已经打开了"));
        QCOMPARE(figures(w), QStringList{"乙=5"});
        QCOMPARE(w->Edit1->text(), QStringLiteral("5"));
    }

    // Slices run anticlockwise from the top, largest first: 3:1 puts the first slice on the
    // left half and the lower right, the second in the upper right quarter.
    void slicesRunAnticlockwiseFromTheTop()
    {
        sale("甲", "x", 3, qlonglong(1000000), "2024-05-03 10:00:00");
        sale("乙", "x", 1, qlonglong(1000000), "2024-05-03 10:00:00");
        ChartScreen *w = open(ChartKind::customers());
        w->resize(900, 600);
        QTest::qWait(0);
        const QList<PieSlice> &s = w->DBChart1->series()->slices();
        QCOMPARE(figures(w), (QStringList{"甲=300", "乙=100"}));
        for (double angle : {20.0, 90.0, 180.0, 250.0})
            QCOMPARE(pixelAt(w, angle, 0.6), s[0].colour);
        for (double angle : {290.0, 340.0})
            QCOMPARE(pixelAt(w, angle, 0.6), s[1].colour);
        QVERIFY(s[0].colour != s[1].colour);
    }

    // Many customers with long names: the marks that are placed lie inside the chart,
    // beside the pie, apart from each other; the largest slices get theirs; a name too long
    // for its side is shortened, never cut.
    void marksAreLegibleAndInside()
    {
        const QString longName = QStringLiteral("华东地区电器批发零售连锁有限责任公司第一分公司营业部");
        for (int i = 0; i < 60; ++i)
            sale(i % 7 == 0 ? longName + QString::number(i) : QStringLiteral("客户%1").arg(i), "x", 1,
                 qlonglong(10000) * (1000 - 15 * i), "2024-05-03 10:00:00");
        ChartScreen *w = open(ChartKind::customers());
        w->resize(960, 620);
        QTest::qWait(0);
        const QList<DBChart::Mark> marks = w->DBChart1->marks();
        const QRect pie = w->DBChart1->pieRect();
        const QRect legend = w->DBChart1->legend()->geometry();
        QVERIFY(marks.size() >= 8);
        QVERIFY(!pie.isEmpty());
        QSet<int> marked;
        for (int i = 0; i < marks.size(); ++i) {
            const DBChart::Mark &a = marks[i];
            marked.insert(a.slice);
            QVERIFY2(w->DBChart1->rect().contains(a.rect), qPrintable(a.text));
            QVERIFY2(!a.rect.intersects(legend), qPrintable(a.text));
            QVERIFY2(a.rect.right() < pie.left() || a.rect.left() > pie.right(), qPrintable(a.text));
            for (int j = i + 1; j < marks.size(); ++j)
                QVERIFY2(!a.rect.intersects(marks[j].rect), qPrintable(a.text + " / " + marks[j].text));
            const QString label = w->DBChart1->series()->slices().at(a.slice).label;
            QVERIFY(a.text == label || (a.text.endsWith(u'…') && label.startsWith(a.text.chopped(1))));
            QVERIFY(QFontMetrics(w->DBChart1->font()).horizontalAdvance(a.text) <= a.rect.width());
        }
        for (int i = 0; i < 4; ++i)
            QVERIFY2(marked.contains(i), qPrintable(QString::number(i)));
        QCOMPARE(w->DBChart1->series()->count(), 60);
        QCOMPARE(w->DBChart1->legend()->model()->rowCount(), 60);
    }
};

QTEST_MAIN(TstAnalysis)
#include "tst_analysis.moc"
