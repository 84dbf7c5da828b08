#include "settlement/Settlement.h"

#include "dataset/Connection.h"
#include "dataset/DataSet.h"
#include "dataset/Formats.h"

namespace settlement {

const Kind &Kind::receivables()
{
    static const Kind k{LineKind::stockOut(), QStringLiteral("ys")};
    return k;
}

const Kind &Kind::payables()
{
    static const Kind k{LineKind::stockIn(), QStringLiteral("yf")};
    return k;
}

// The lines the party still owes for: saved and unpaid, as the list of those who owe sums them.
QString Service::owedWhere() const
{
    return QStringLiteral(" WHERE fk='未付' AND bc='保存' AND %1=:party").arg(kind_.lines.partyColumn);
}

std::optional<Money> Service::owed(const QString &party) const
{
    const QVariantList r =
        conn_.rows(QStringLiteral("SELECT count(*), sum(sn*%1) FROM %2").arg(kind_.lines.priceColumn, kind_.lines.table) + owedWhere(),
                   {{QStringLiteral("party"), party}})
            .value(0);
    if (r.value(0).toLongLong() == 0)
        return std::nullopt;
    FieldDef amount;
    amount.type = FieldType::Money;
    return fmt::toMoney(fields::fromStorage(amount, r.value(1)));
}

Money Service::owedUpTo(const QString &party, const QDate &day) const
{
    // rq before the next day's midnight: the whole of the day counts.
    return conn_.money(QStringLiteral("SELECT sum(sn*%1) FROM %2").arg(kind_.lines.priceColumn, kind_.lines.table) + owedWhere() +
                           QStringLiteral(" AND rq<:day"),
                       {{QStringLiteral("party"), party}, {QStringLiteral("day"), day.addDays(1)}});
}

Money Service::balance(const QString &party) const
{
    return conn_.money(QStringLiteral("SELECT sum(yr) FROM %1 WHERE yr>0 AND kh=:party").arg(kind_.moneyTable),
                       {{QStringLiteral("party"), party}});
}

Money Service::apply(const QString &party, Money amount)
{
    if (amount <= Money())
        return amount;
    // The party's own open rows as stored now, oldest first.
    DataSet rows(conn_, QStringLiteral("settlement.") + kind_.moneyTable);
    rows.setSql(QStringLiteral("select * from %1 where yr>0 and kh=:party").arg(kind_.moneyTable));
    rows.setParam(QStringLiteral("party"), party);
    rows.open();
    for (rows.first(); !rows.eof() && amount > Money(); rows.next()) {
        Money yr = rows.fieldByName(QStringLiteral("yr")).asMoney();
        Money yj = rows.fieldByName(QStringLiteral("yj")).asMoney();  // empty counts as 0
        const Money used = yr > amount ? amount : yr;
        yr -= used;
        yj += used;
        amount -= used;
        rows.edit();
        rows.setValue(QStringLiteral("yr"), QVariant::fromValue(yr));
        rows.setValue(QStringLiteral("yj"), QVariant::fromValue(yj));
        rows.post();
    }
    return amount;
}

void Service::announce()
{
    conn_.announceWrite(kind_.lines.table);
    conn_.announceWrite(kind_.moneyTable);
}

bool Service::settleInFull(const QString &party)
{
    if (party.isEmpty())
        return false;
    {
        // Decided and done under one write lock: the figures cannot change in between.
        Transaction tx(conn_);
        const std::optional<Money> due = owed(party);
        if (!due || *due != balance(party)) {
            tx.commit();
            return false;
        }
        conn_.exec(QStringLiteral("UPDATE %1 SET fk='已付' WHERE %2=:party AND bc='保存'")
                       .arg(kind_.lines.table, kind_.lines.partyColumn),
                   {{QStringLiteral("party"), party}});
        apply(party, *due);
        tx.commit();
    }
    announce();
    return true;
}

Service::Partial Service::settleUpTo(const QString &party, const QDate &day)
{
    Partial out;
    {
        Transaction tx(conn_);
        const Money due = owedUpTo(party, day);
        if (due > balance(party)) {
            out.enough = false;
            tx.commit();
            return out;
        }
        conn_.exec(QStringLiteral("UPDATE %1 SET fk='已付'").arg(kind_.lines.table) + owedWhere() +
                       QStringLiteral(" AND rq<:day"),
                   {{QStringLiteral("party"), party}, {QStringLiteral("day"), day.addDays(1)}});
        out.lines = conn_.changes();
        out.applied = due - apply(party, due);
        tx.commit();
    }
    if (out.lines > 0 || !out.applied.isZero())
        announce();
    return out;
}

} // namespace settlement
