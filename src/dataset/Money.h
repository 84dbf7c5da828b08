#pragma once
// Exact amount: a count of ten-thousandths, as the currency type of the original
// engine. Text is parsed straight into ten-thousandths, never through a double.
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
    static constexpr Money fromUnits(qint64 units) { return fromRaw(units * Scale); }
    // Parses "12", "-3.5", "+0.25", ".5"; more than 4 decimals round half to even.
    // Refuses empty text, letters, a second point and values beyond the type's range.
    static std::optional<Money> parse(QStringView text);
    // For values computed in floating point elsewhere (rounded half to even at 4 decimals).
    static Money fromDouble(double v);

    constexpr qint64 raw() const { return raw_; }
    double toDouble() const { return double(raw_) / Scale; }
    bool isZero() const { return raw_ == 0; }
    // General number format: no trailing zeros, no grouping, "." as separator.
    QString toString() const;

    Money operator+(Money o) const { return fromRaw(raw_ + o.raw_); }
    Money operator-(Money o) const { return fromRaw(raw_ - o.raw_); }
    Money operator-() const { return fromRaw(-raw_); }
    Money &operator+=(Money o) { raw_ += o.raw_; return *this; }
    Money &operator-=(Money o) { raw_ -= o.raw_; return *this; }
    Money operator*(qint64 n) const { return fromRaw(raw_ * n); }
    friend constexpr bool operator==(Money a, Money b) { return a.raw_ == b.raw_; }
    friend constexpr auto operator<=>(Money a, Money b) { return a.raw_ <=> b.raw_; }

private:
    qint64 raw_ = 0;
};

Q_DECLARE_METATYPE(Money)
