// The report engine: project files, what a printout holds, and that printing leaves the
// data sets as the screen had them.
#include "common/Fixture.h"
#include "reporting/ReportEngine.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>

class TstReport : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<AppFixture> f;
    Tmain &m() { return f->main(); }

    void copyLayout(const QString &name)
    {
        QVERIFY(QFile::copy(QStringLiteral(REPORTS_DIR "/") + name, f->path(name)));
    }

    void writeFile(const QString &name, const QString &text)
    {
        QFile out(f->path(name));
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(text.toUtf8());
    }

    static QString pdfText(const QString &path)
    {
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
        if (!p.waitForFinished(20000))
            return {};
        // The extractor maps some ideographs to their compatibility forms (radicals).
        return QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
    }

    struct PdfWords {
        double pageWidth = 0;
        double rightmost = 0;
        double leftmost = 1e9;
        QString text;  // every word in reading order, without blanks or line breaks
    };
    // Where the words of a PDF lie on its pages and what they say.
    static PdfWords pdfWords(const QString &path)
    {
        PdfWords out;
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
        if (!p.waitForFinished(20000))
            return out;
        const QString xml = QString::fromUtf8(p.readAllStandardOutput());
        static const QRegularExpression page(QStringLiteral("<page width=\"([0-9.]+)\""));
        static const QRegularExpression word(
            QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"[0-9.]+\" xMax=\"([0-9.]+)\" yMax=\"[0-9.]+\">([^<]*)</word>"));
        out.pageWidth = page.match(xml).captured(1).toDouble();
        for (auto it = word.globalMatch(xml); it.hasNext();) {
            const auto m = it.next();
            out.leftmost = std::min(out.leftmost, m.captured(1).toDouble());
            out.rightmost = std::max(out.rightmost, m.captured(2).toDouble());
            out.text += m.captured(3);
        }
        out.text = out.text.normalized(QString::NormalizationForm_KC);
        return out;
    }

    void addLine(const QString &lsdh, const QString &bh, const QString &mc, int sn, qint64 cgjRaw, const QString &rq,
                 const QString &fk = QStringLiteral("已付"), const QString &lb = QString())
    {
        f->exec("INSERT INTO rk (lsdh, gys, jsr, ck, pj, fk, bh, sn, mc, cgj, rq, lb) VALUES "
                "(:lsdh, '华南电器批发', '系统管理员', '一号仓库', '收据', :fk, :bh, :sn, :mc, :cgj, :rq, :lb)",
                {{"lsdh", lsdh}, {"fk", fk}, {"bh", bh}, {"sn", sn}, {"mc", mc}, {"cgj", cgjRaw}, {"rq", rq}, {"lb", lb}});
    }

    void setCompany()
    {
        f->exec("UPDATE by1 SET d='华信电器商行', m='王经理', h='0755-8888666', o='13800138000', n='0755-8888667', "
                "k='建行：6222000011112222（王某）', i='深圳市福田区华强北路1号', j='货物当面点清'");
        f->exec("UPDATE kr SET rk='华信电器商行入库单据'");
        m().ADOTableKR->refresh();
        m().ADOTablegsxcpy->refresh();
    }

    void openInvoice(const QString &lsdh)
    {
        DataSet *ds = m().ADOQueryRKDH;
        ds->setSql("select * from rk where lsdh=:RKdh");
        ds->setParam("RKdh", lsdh);
        ds->open();
    }

private slots:
    void init()
    {
        f = std::make_unique<AppFixture>();
        f->createMain();
    }
    void cleanup()
    {
        QVERIFY(f->seams.allAnswersUsed());
        f.reset();
    }

    void missingProject_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("in the working folder") << "rK.rav";
        QTest::newRow("in a sub folder") << "sub/rKCX.rav";
    }
    void missingProject()
    {
        QFETCH(QString, file);
        openInvoice("x");
        m().ADOQueryRKDH->close();
        report::runProject(m(), nullptr, file);
        QCOMPARE(f->seams.messages(),
                 QStringList{"The following reporting project does not exist:\n\"" + f->path(file) + "\""});
        QVERIFY(f->seams.printedText.isEmpty());
        QVERIFY(!m().ADOQueryRKDH->isActive());
    }

    // A project that cannot be used says why and where, and prints nothing.
    void badProject_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        const QString head = "korvel-report 1\nconnection kr RvDataSetConnectionkr\nconnection lines RvDataSetConnectionRK\n";
        QTest::newRow("empty file") << "" << "报表工程文件格式错误";
        QTest::newRow("no format marker") << "title kr.rk\n" << "第1行";
        QTest::newRow("unknown keyword") << head + "title kr.rk\nbanner x\n" << "第5行：不认识的关键字“banner”";
        QTest::newRow("undeclared alias") << head + "title company.d\n" << "第4行：没有声明数据连接别名“company”";
        QTest::newRow("width not a number")
            << head + "title kr.rk\ndetail lines\ncolumn mc 全称 wide left\n" << "第6行：宽度“wide”";
        QTest::newRow("open quote") << head + "title kr.rk \"入库\n" << "第4行：引号没有配对";
        QTest::newRow("no title") << head << "缺少 title";
        QTest::newRow("font size out of range") << head + "fontsize 40\ntitle kr.rk\n" << "第4行：fontsize 应为6到16之间的整数";
        QTest::newRow("unknown connection")
            << "korvel-report 1\nconnection kr RvDataSetConnectionNone\ntitle kr.rk\n"
            << "没有名为“RvDataSetConnectionNone”的数据连接";
        QTest::newRow("unknown field")
            << head + "title kr.rk\ndetail lines\ncolumn price 价格 10 right\n" << "数据连接“lines”中没有字段“price”";
    }
    void badProject()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        writeFile("bad.rav", text);
        report::runProject(m(), nullptr, "bad.rav");
        QCOMPARE(f->seams.messages().size(), 1);
        const QString msg = f->seams.lastMessage();
        QVERIFY2(msg.contains(expected), qPrintable(msg));
        QVERIFY2(msg.contains(f->path("bad.rav")), qPrintable(msg));
        QVERIFY(f->seams.printedText.isEmpty());
    }

    // The stock-in invoice as a PDF: company, title, lines and total, read back from the file.
    void invoicePdf()
    {
        copyLayout("rK.rav");
        setCompany();
        addLine("2024-5-3-1", "TV-001", "液晶电视", 3, 25000000, "2024-05-03 09:15:00");
        addLine("2024-5-3-1", "", "电饭煲", 2, 18005000, "2024-05-03 09:16:00", "未付", "赠品两个");
        addLine("2024-5-3-2", "FR-001", "双门冰箱", 9, 18000000, "2024-05-03 10:00:00");
        openInvoice("2024-5-3-1");
        DataSet *ds = m().ADOQueryRKDH;
        ds->first();
        f->seams.pdfPath = f->path("rK.pdf");
        report::runProject(m(), nullptr, "rK.rav");
        QVERIFY(f->seams.messages().isEmpty());
        QCOMPARE(f->seams.printedText.size(), 1);
        QCOMPARE(f->seams.shown.last().title, QStringLiteral("华信电器商行入库单据"));
        const QString text = pdfText(f->seams.pdfPath);
        for (const char *s : {"华信电器商行入库单据", "深圳市福田区华强北路1号", "0755-8888666", "2024-5-3-1",
                              "2024-5-3", "华南电器批发", "液晶电视", "电饭煲", "1800.5", "3601",
                              "7500", "赠品两个", "合计金额：11101", "总数量：5", "6222000011112222"})
            QVERIFY2(text.contains(QString::fromUtf8(s).normalized(QString::NormalizationForm_KC)), s);
        QVERIFY(!text.contains(QStringLiteral("双门冰箱")));
        // The extractor loses the digits after a hyphen inside a table cell; the document has them.
        QVERIFY(f->seams.printedText.first().contains(QStringLiteral("TV-001")));
        QVERIFY(text.indexOf(QStringLiteral("液晶电视")) < text.indexOf(QStringLiteral("电饭煲")));
        QCOMPARE(ds->recNo(), 0);
    }

    // Names up to the column's 50 characters wrap inside their column: every column of
    // every line stays on the page, in the invoice and in the query list.
    void longNamesStayOnThePage_data()
    {
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QString>("name");
        const QString cjk50 = QString("高清智能液晶电视机豪华套装").repeated(3) + "含壁挂支架与遥控器各一";
        QTest::newRow("invoice, 50 Chinese characters") << "rK.rav" << cjk50;
        QTest::newRow("invoice, 35 Chinese characters") << "rK.rav" << cjk50.left(35);
        QTest::newRow("invoice, 50 letters without a blank") << "rK.rav" << QString("ABCDEFGHIJ").repeated(5);
        QTest::newRow("query list, 50 Chinese characters") << "rKCX.rav" << cjk50;
        QTest::newRow("query list, 50 letters without a blank") << "rKCX.rav" << QString("ABCDEFGHIJ").repeated(5);
    }
    void longNamesStayOnThePage()
    {
        QFETCH(QString, layout);
        QFETCH(QString, name);
        copyLayout(layout);
        const QString supplier = QString("深圳市华强北电子科技有限公司").repeated(4).left(50);
        f->exec("INSERT INTO rk (lsdh, gys, jsr, ck, pj, fk, bh, sn, mc, cgj, rq, lb) VALUES "
                "('2024-5-3-1', :g, '系统管理员', '一号仓库', '收据', '已付', 'LONG-1', 12, :m, 24999900, "
                "'2024-05-03 09:15:00', '包装破损已联系')",
                {{"g", supplier}, {"m", name}});
        if (layout == "rK.rav") {
            openInvoice("2024-5-3-1");
        } else {
            DataSet *ds = m().ADOQueryRKCX;
            ds->setSql("select * from rk where lsdh=:RKcx");
            ds->setParam("RKcx", "2024-5-3-1");
            ds->open();
        }
        f->seams.pdfPath = f->path("long.pdf");
        report::runProject(m(), nullptr, layout);
        QVERIFY(f->seams.messages().isEmpty());
        const PdfWords pdf = pdfWords(f->seams.pdfPath);
        QVERIFY(pdf.pageWidth > 500);
        QVERIFY2(pdf.rightmost <= pdf.pageWidth && pdf.leftmost >= 0,
                 qPrintable(QString("words reach %1 of %2").arg(pdf.rightmost).arg(pdf.pageWidth)));
        auto holds = [&](const QString &t) { return pdf.text.contains(t.normalized(QString::NormalizationForm_KC)); };
        QVERIFY2(holds(name), qPrintable(pdf.text));
        QVERIFY(holds(QStringLiteral("2499.99")));
        QVERIFY(holds(QStringLiteral("29999.88")));
        if (layout == "rK.rav")
            QVERIFY(holds(QStringLiteral("包装破损已联系")));
        else
            QVERIFY(holds(QStringLiteral("系统管理员")));
    }

    // Printing reads the rows as the screen has them, its edit included, and moves nothing.
    void printingLeavesTheDataSetAlone()
    {
        copyLayout("rK.rav");
        addLine("2024-5-3-1", "TV-001", "液晶电视", 3, 25000000, "2024-05-03 09:15:00");
        addLine("2024-5-3-1", "FR-001", "双门冰箱", 1, 18000000, "2024-05-03 09:16:00");
        addLine("2024-5-3-1", "WM-001", "滚筒洗衣机", 1, 21000000, "2024-05-03 09:17:00");
        openInvoice("2024-5-3-1");
        DataSet *ds = m().ADOQueryRKDH;
        ds->moveTo(1);
        ds->setValue("lb", QStringLiteral("尚未保存的备注"));
        int moves = 0;
        connect(ds, &DataSet::currentChanged, this, [&moves] { ++moves; });
        report::runProject(m(), nullptr, "rK.rav");
        QCOMPARE(f->seams.printedText.size(), 1);
        const QString text = f->seams.printedText.first();
        QVERIFY(text.contains(QStringLiteral("尚未保存的备注")));
        QVERIFY(text.contains(QStringLiteral("入库单据")));  // the delivered title
        QVERIFY(text.contains(QStringLiteral("合计金额：11400")));
        QCOMPARE(moves, 0);
        QCOMPARE(ds->recNo(), 1);
        QCOMPARE(ds->state(), DataSet::State::Edit);
        QCOMPARE(f->scalar("SELECT lb FROM rk WHERE bh='FR-001'").toString(), QString());
    }

    void queryListTotals_data()
    {
        QTest::addColumn<QString>("lsdh");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("two lines")
            << "2024-5-3-1" << QStringList{"总金额：11101", "总数量：5", "共计条数：2", "入库查询清单", "未付"};
        QTest::newRow("nothing listed") << "none" << QStringList{"总金额：0", "总数量：0", "共计条数：0", "（无记录）"};
    }
    void queryListTotals()
    {
        QFETCH(QString, lsdh);
        QFETCH(QStringList, expected);
        copyLayout("rKCX.rav");
        addLine("2024-5-3-1", "TV-001", "液晶电视", 3, 25000000, "2024-05-03 09:15:00");
        addLine("2024-5-3-1", "", "电饭煲", 2, 18005000, "2024-05-03 09:16:00", "未付");
        DataSet *ds = m().ADOQueryRKCX;
        ds->setSql("select * from rk where lsdh=:RKcx");
        ds->setParam("RKcx", lsdh);
        ds->open();
        report::runProject(m(), nullptr, "rKCX.rav");
        QCOMPARE(f->seams.printedText.size(), 1);
        const QString text = f->seams.printedText.first();
        for (const QString &s : expected)
            QVERIFY2(text.contains(s), qPrintable(s));
    }

    // A closed list prints as an empty one instead of failing.
    void closedDataSetPrintsEmpty()
    {
        copyLayout("rKCX.rav");
        m().ADOQueryRKCX->close();
        report::runProject(m(), nullptr, "rKCX.rav");
        QVERIFY(f->seams.messages().isEmpty());
        QCOMPARE(f->seams.printedText.size(), 1);
        QVERIFY(f->seams.printedText.first().contains(QStringLiteral("（无记录）")));
        QVERIFY(!m().ADOQueryRKCX->isActive());
    }
};

QTEST_MAIN(TstReport)
#include "tst_report.moc"
