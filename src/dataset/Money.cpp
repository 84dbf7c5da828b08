#include "dataset/Money.h"

#include "dataset/Errors.h"

#include <cmath>
#include <limits>

__extension__ typedef __int128 Wide;

namespace {

[[noreturn]] void outOfRange()
{
    throw InputError(QStringLiteral("金额超出了可以计算的范围（最大%1），没有保存")
                         .arg(Money::fromRaw(std::numeric_limits<qint64>::max()).toString()));
}

Money checked(Wide value)
{
    if (value > std::numeric_limits<qint64>::max() || value < std::numeric_limits<qint64>::min())
        outOfRange();
    return Money::fromRaw(qint64(value));
}

} // namespace

Money Money::fromUnits(qint64 units)
{
    return checked(Wide(units) * Scale);
}

Money Money::operator+(Money o) const
{
    return checked(Wide(raw_) + o.raw_);
}

Money Money::operator-(Money o) const
{
    return checked(Wide(raw_) - o.raw_);
}

Money Money::operator-() const
{
    return checked(-Wide(raw_));
}

namespace {
// a / b rounded half to even (b > 0).
Wide divideHalfEven(Wide a, Wide b)
{
    Wide q = a / b, r = a % b;
    if (r < 0) {
        r += b;
        --q;
    }
    if (2 * r > b || (2 * r == b && (q % 2) != 0))
        ++q;
    return q;
}
} // namespace

Money Money::scaled(Money factor, qint64 divisor) const
{
    Wide num = Wide(raw_) * factor.raw_;
    Wide den = Wide(Scale) * divisor;
    if (den < 0) {
        num = -num;
        den = -den;
    }
    return checked(divideHalfEven(num, den));
}

Money Money::dividedBy(qint64 n) const
{
    Wide num = raw_, den = n;
    if (den < 0) {
        num = -num;
        den = -den;
    }
    return checked(divideHalfEven(num, den));
}

Money Money::operator*(qint64 n) const
{
    return checked(Wide(raw_) * n);
}

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
    const double raw = std::nearbyint(v * Scale);
    // 2^63 is exactly representable; anything from there on (or not a number) does not fit.
    if (!(raw >= -9223372036854775808.0 && raw < 9223372036854775808.0))
        outOfRange();
    return fromRaw(qint64(raw));
}

std::optional<Money> Money::parseEntry(QStringView text, const QString &label)
{
    const QStringView t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    const QString name = QStringLiteral("“%1”").arg(label);
    const std::optional<Money> m = parse(t);
    if (!m)
        throw InputError(QStringLiteral("“%1”不是有效的金额，%2只能输入数字").arg(text, name));
    // Trailing zeros change nothing; a fifth decimal that counts would be rounded away.
    qsizetype end = t.size();
    const qsizetype point = t.indexOf(u'.');
    while (point >= 0 && end > point + 1 && t[end - 1] == u'0')
        --end;
    if (point >= 0 && end - point - 1 > 4)
        throw InputError(QStringLiteral("“%1”的小数超过了4位，%2最多只能输入4位小数").arg(text, name));
    if (m->raw() > MaxEntryRaw || m->raw() < -MaxEntryRaw)
        throw InputError(QStringLiteral("%1必须在%2到%3之间")
                             .arg(name, fromRaw(-MaxEntryRaw).toString(), fromRaw(MaxEntryRaw).toString()));
    return m;
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
