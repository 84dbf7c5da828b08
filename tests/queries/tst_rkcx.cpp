// The stock-in query on what only it does; what it shares with the stock-out query is
// tested over both in tst_linequery.cpp.
#include "LineQueryTwins.h"

class TstRkcx : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<AppFixture> f;
    std::unique_ptr<LineQueryTest> q;

private slots:
    void init()
    {
        f = std::make_unique<AppFixture>();
        f->start();
        q = std::make_unique<LineQueryTest>(*f, twins[0]);
    }
    void cleanup()
    {
        QVERIFY(f->seams.allAnswersUsed());
        q.reset();
        f.reset();
    }

    // When the newest number is empty (only given-back lines, whose number was emptied),
    // the box keeps its empty text and the screen lists the lines without a number; the
    // status bar stays as it was.
    void anEmptyNewestNumberListsTheLinesWithoutOne()
    {
        q->add("", "还掉的", "TV-001", 2, 10000, "2024-05-03 09:00:00", "归还");
        q->add("", "又还掉的", "FR-001", 1, 10000, "2024-05-04 09:00:00", "归还");
        LineQueryForm *w = q->open();
        QCOMPARE(w->EditLSDH->text(), QString());
        QCOMPARE(q->listed(), (QStringList{"还掉的", "又还掉的"}));
        QCOMPARE(w->panelText(0), QString());
        QCOMPARE(w->panelText(1), QString());
    }
};

QTEST_MAIN(TstRkcx)
#include "tst_rkcx.moc"
