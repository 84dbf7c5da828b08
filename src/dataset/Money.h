#pragma once
// Exact amount: a count of ten-thousandths, as the currency type of the original
// engine. Text is parsed straight into ten-thousandths, never through a double.
// Arithmetic is checked: a result beyond the range throws InputError instead of wrapping.
#include <QMetaType>
#include <QString>
#include <QStringView>
#include <compare>
#include <optional>

class Money {
public:
    static constexpr qint64 Scale = 10000;

    constexpr Money() = default;
    static constexpr Money fromRaw(qint64 raw) { Money m; m.raw_ = raw; return m; }
    static Money fromUnits(qint64 units);
    // Parses "12", "-3.5", "+0.25", ".5"; more than 4 decimals round half to even.
    // Refuses empty text, letters, a second point and values beyond the type's range.
    static std::optional<Money> parse(QStringView text);
    // For values computed in floating point elsewhere (rounded half to even at 4 decimals).
    static Money fromDouble(double v);

    // The largest price or amount a person may type. 32767 (the largest quantity) times
    // it stays about 280 times inside the range, so line amounts and the sums of a
    // long list of them never come near its end.
    static constexpr qint64 MaxEntryRaw = 999999999999LL;  // 99999999.9999
    // What a person typed for a price or amount: a number with at most 4 decimals,
    // within ±MaxEntryRaw; empty text is no value. Throws InputError naming the field
    // (label as shown, e.g. "采购价") otherwise.
    static std::optional<Money> parseEntry(QStringView text, const QString &label);

    constexpr qint64 raw() const { return raw_; }
    double toDouble() const { return double(raw_) / Scale; }
    bool isZero() const { return raw_ == 0; }
    // General number format: no trailing zeros, no grouping, "." as separator.
    QString toString() const;

    Money operator+(Money o) const;
    Money operator-(Money o) const;
    Money operator-() const;
    Money &operator+=(Money o) { return *this = *this + o; }
    Money &operator-=(Money o) { return *this = *this - o; }
    Money operator*(qint64 n) const;
    // This amount times factor / divisor, rounded half to even to four decimals (a price
    // with a discount: price × 8.5 / 10). The divisor must not be 0.
    Money scaled(Money factor, qint64 divisor) const;
    // This amount / n, rounded half to even to four decimals. n must not be 0.
    Money dividedBy(qint64 n) const;
    friend constexpr bool operator==(Money a, Money b) { return a.raw_ == b.raw_; }
    friend constexpr auto operator<=>(Money a, Money b) { return a.raw_ <=> b.raw_; }

private:
    qint64 raw_ = 0;
};

Q_DECLARE_METATYPE(Money)
