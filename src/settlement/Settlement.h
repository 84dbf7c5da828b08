#pragma once
// Settling what customers owe and what the shop owes its suppliers, without any window:
// receipts (ys) against unpaid saved stock-out lines, payments (yf) against unpaid saved
// stock-in lines. Every figure is read afresh from the file when it is asked for, and each
// settlement is one transaction.
#include "dataset/Money.h"
#include "store/LineKind.h"

#include <QDate>
#include <QString>
#include <optional>

class Connection;

namespace settlement {

// The tables of one side: the lines that are owed and the rows of money received or paid.
struct Kind {
    const LineKind &lines;  // ck (customers, xsj) / rk (suppliers, cgj)
    QString moneyTable;     // ys / yf

    static const Kind &receivables();
    static const Kind &payables();
};

class Service {
public:
    Service(Connection &conn, const Kind &kind) : conn_(conn), kind_(kind) {}

    // What the party owes for its unpaid saved lines; nothing when it has none, that is
    // when the party is not in the list of those who owe.
    std::optional<Money> owed(const QString &party) const;
    // What the party owes for its unpaid saved lines dated up to and including the day.
    Money owedUpTo(const QString &party, const QDate &day) const;
    // Money of the party not yet applied: the balances of its open rows.
    Money balance(const QString &party) const;

    // When the party owes something and exactly as much as its balance: marks all its saved
    // lines paid and uses up its open rows. True when it settled.
    bool settleInFull(const QString &party);

    struct Partial {
        bool enough = true;  // false: the balance does not cover what is owed up to the day
        Money applied;
        int lines = 0;       // lines marked paid
    };
    // Marks paid exactly the party's unpaid saved lines dated up to the day and applies
    // exactly their sum to its open rows, in storage order; nothing when the balance is short.
    Partial settleUpTo(const QString &party, const QDate &day);

private:
    QString owedWhere() const;
    // Applies the amount to the party's open rows, oldest first; returns what is left.
    Money apply(const QString &party, Money amount);
    void announce();

    Connection &conn_;
    const Kind &kind_;
};

} // namespace settlement
