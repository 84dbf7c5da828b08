#include "dataset/Money.h"

#include <cmath>
#include <limits>

__extension__ typedef __int128 Wide;

std::optional<Money> Money::parse(QStringView text)
{
    QStringView s = text.trimmed();
    if (s.isEmpty())
        return std::nullopt;
    bool negative = false;
    qsizetype i = 0;
    if (s[0] == u'+' || s[0] == u'-') {
        negative = s[0] == u'-';
        ++i;
    }
    Wide whole = 0;
    Wide frac = 0; // first four decimals
    int fracDigits = 0;
    int roundDigit = -1;  // fifth decimal
    bool beyondFifthNonZero = false;
    bool seenPoint = false;
    bool seenDigit = false;
    const Wide limit = Wide(std::numeric_limits<qint64>::max()) + 1;
    for (; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c == u'.') {
            if (seenPoint)
                return std::nullopt;
            seenPoint = true;
            continue;
        }
        if (c < u'0' || c > u'9')
            return std::nullopt;
        seenDigit = true;
        const int d = c.unicode() - u'0';
        if (!seenPoint) {
            whole = whole * 10 + d;
            if (whole * Scale > limit)
                return std::nullopt;
        } else if (fracDigits < 4) {
            frac = frac * 10 + d;
            ++fracDigits;
        } else if (roundDigit < 0) {
            roundDigit = d;
        } else if (d != 0) {
            beyondFifthNonZero = true;
        }
    }
    if (!seenDigit)
        return std::nullopt;
    for (int k = fracDigits; k < 4; ++k)
        frac *= 10;
    Wide value = whole * Scale + frac;
    if (roundDigit > 5 || (roundDigit == 5 && (beyondFifthNonZero || (value % 2) != 0)))
        ++value;
    if (negative)
        value = -value;
    if (value > std::numeric_limits<qint64>::max() || value < std::numeric_limits<qint64>::min())
        return std::nullopt;
    return fromRaw(qint64(value));
}

Money Money::fromDouble(double v)
{
    return fromRaw(qint64(std::nearbyint(v * Scale)));
}

QString Money::toString() const
{
    const bool negative = raw_ < 0;
    const unsigned long long a = negative ? 0ULL - (unsigned long long)raw_ : (unsigned long long)raw_;
    QString s = QString::number(a / Scale);
    unsigned long long frac = a % Scale;
    if (frac != 0) {
        QString f = QStringLiteral("%1").arg(frac, 4, 10, QLatin1Char('0'));
        while (f.endsWith(u'0'))
            f.chop(1);
        s += u'.' + f;
    }
    return negative ? u'-' + s : s;
}
