#include "dataset/Formats.h"

#include <QRegularExpression>
#include <cmath>

namespace fmt {

QDateTime wallClock(const QDate &d, const QTime &t)
{
    return QDateTime(d, t, Qt::UTC);
}

QDateTime wallClock(const QDateTime &dt)
{
    return dt.timeSpec() == Qt::UTC || !dt.isValid() ? dt : wallClock(dt.date(), dt.time());
}

QDateTime now()
{
    return wallClock(QDateTime::currentDateTime());
}

QString shortDate(const QDate &d)
{
    return d.toString(QStringLiteral("yyyy-M-d"));
}

QString displayDateTime(const QDateTime &dt)
{
    if (!dt.isValid())
        return {};
    if (dt.time() == QTime(0, 0))
        return shortDate(dt.date());
    return shortDate(dt.date()) + u' ' + dt.time().toString(QStringLiteral("H:mm:ss"));
}

QString storageDateTime(const QDateTime &dt)
{
    return dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString storageDate(const QDate &d)
{
    return d.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(" 00:00:00");
}

QDateTime parseStorage(const QString &text)
{
    // Read by position: this runs for every date of every row read.
    auto num = [&](int from, int len, bool *ok) {
        int v = 0;
        for (int i = from; i < from + len; ++i) {
            const QChar c = text.at(i);
            if (c < u'0' || c > u'9') {
                *ok = false;
                return 0;
            }
            v = v * 10 + (c.unicode() - u'0');
        }
        return v;
    };
    bool ok = text.size() >= 10 && text.at(4) == u'-' && text.at(7) == u'-';
    if (!ok)
        return {};
    const QDate d(num(0, 4, &ok), num(5, 2, &ok), num(8, 2, &ok));
    QTime t(0, 0);
    if (ok && text.size() >= 19 && text.at(10) == u' ' && text.at(13) == u':' && text.at(16) == u':')
        t = QTime(num(11, 2, &ok), num(14, 2, &ok), num(17, 2, &ok));
    if (!ok || !d.isValid() || !t.isValid())
        return {};
    return wallClock(d, t);
}

QDateTime parseUserDateTime(const QString &text, bool *ok)
{
    static const QRegularExpression re(
        QStringLiteral("^\\s*(\\d{4})-(\\d{1,2})-(\\d{1,2})(?:[ T](\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?)?\\s*$"));
    const auto m = re.match(text);
    QDateTime dt;
    if (m.hasMatch()) {
        const QDate d(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        const QTime t = m.captured(4).isEmpty()
                            ? QTime(0, 0)
                            : QTime(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt());
        if (d.isValid() && t.isValid())
            dt = wallClock(d, t);
    }
    if (ok)
        *ok = dt.isValid();
    return dt;
}

QString generalNumber(double v)
{
    if (v == 0 || !std::isfinite(v))
        return QStringLiteral("0");
    QString s = QString::number(v, 'g', 15);
    // Qt writes large or small magnitudes with an exponent; plain digits read better up to 15 digits.
    if (s.contains(u'e')) {
        const double mag = std::fabs(v);
        if (mag >= 1e-5 && mag < 1e15) {
            const int decimals = std::max(0, 14 - int(std::floor(std::log10(mag))));
            s = QString::number(v, 'f', decimals);
            if (s.contains(u'.')) {
                while (s.endsWith(u'0'))
                    s.chop(1);
                if (s.endsWith(u'.'))
                    s.chop(1);
            }
        }
    }
    return s;
}

QString documentNumber(const QDate &day, qint64 counter)
{
    return shortDate(day) + u'-' + QString::number(counter);
}

Money toMoney(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return {};
    if (v.metaType() == QMetaType::fromType<Money>())
        return v.value<Money>();
    if (v.metaType().id() == QMetaType::Double)
        return Money::fromDouble(v.toDouble());
    if (v.metaType().id() == QMetaType::QString)
        return Money::parse(v.toString()).value_or(Money());
    return Money::fromUnits(v.toLongLong());
}

} // namespace fmt
