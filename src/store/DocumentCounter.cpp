#include "store/DocumentCounter.h"

#include "dataset/Formats.h"

DocumentCounter::DocumentCounter(DataSet &kr, Kind kind) : kr_(kr)
{
    switch (kind) {
    case StockIn: counter_ = "rkdh"; day_ = "rq"; table_ = "rk"; break;
    case StockOut: counter_ = "lsdh"; day_ = "rq1"; table_ = "ck"; break;
    case Receipt: counter_ = "ysdh"; day_ = "rqys"; table_ = "ys"; break;
    case Payment: counter_ = "yfdh"; day_ = "rqyf"; table_ = "yf"; break;
    }
}

QString DocumentCounter::openForDay(const QDate &today)
{
    kr_.open();
    kr_.first();
    kr_.edit();
    const QDateTime stored = kr_.fieldByName(day_).asDateTime();
    const QString storedText = stored.isValid() ? fmt::shortDate(stored.date()) : QString();
    if (storedText != fmt::shortDate(today)) {
        kr_.setValue(day_, fmt::wallClock(today));
        kr_.setValue(counter_, 1);
    }
    kr_.post();
    return current(today);
}

QString DocumentCounter::current(const QDate &today)
{
    kr_.open();
    return fmt::documentNumber(today, kr_.fieldByName(counter_).asInteger());
}

bool DocumentCounter::numberHasRows(const QString &number) const
{
    return kr_.connection()
               .scalar(QStringLiteral("SELECT count(*) FROM %1 WHERE lsdh=:n").arg(table_), {{"n", number}})
               .toLongLong() > 0;
}

QString DocumentCounter::advanceIfUsed(const QDate &today)
{
    const QString number = current(today);
    if (!numberHasRows(number))
        return number;
    kr_.edit();
    kr_.setValue(counter_, kr_.fieldByName(counter_).asInteger() + 1);
    kr_.post();
    return current(today);
}
