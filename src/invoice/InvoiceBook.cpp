#include "invoice/InvoiceBook.h"

#include "dataset/Connection.h"
#include "dataset/DataSet.h"
#include "dataset/Formats.h"
#include "store/DataModule.h"
#include "store/StockSave.h"

namespace {
const QString Returned = QStringLiteral("退换");
const QString BalanceText = QStringLiteral("退换差额");
} // namespace

InvoiceBook::InvoiceBook(DataModule &dm, const InvoiceKind &kind) : dm_(dm), kind_(kind) {}

DataSet &InvoiceBook::lines() const
{
    return *(dm_.*kind_.invoiceLines);
}

QString InvoiceBook::openForDay(const QDate &today)
{
    return DocumentCounter(*dm_.ADOTableKR, kind_.counter).openForDay(today);
}

QString InvoiceBook::current(const QDate &today)
{
    return DocumentCounter(*dm_.ADOTableKR, kind_.counter).current(today);
}

QString InvoiceBook::advanceIfUsed(const QDate &today)
{
    return DocumentCounter(*dm_.ADOTableKR, kind_.counter).advanceIfUsed(today);
}

void InvoiceBook::show(const QString &number)
{
    DataSet &ds = lines();
    ds.close();
    // Another screen may have left a filter on the shared lines (the settlement detail
    // windows filter by date): an invoice shows all its lines.
    ds.setFiltered(false);
    ds.setSql(kind_.invoiceSql);
    ds.setParam(kind_.invoiceParam, number);
    ds.open();
}

std::optional<QString> InvoiceBook::step(bool forward)
{
    DataSet *dh = dm_.*kind_.numbers;
    if (!dh->isActive())
        dh->open();
    if (dh->recordCount() == 0)
        return std::nullopt;
    if (forward)
        dh->next();
    else
        dh->prior();
    return dh->field(0).asString();
}

qint64 InvoiceBook::insertLine(const NewLine &l)
{
    const LineKind &k = kind_.lines;
    Params p{{"lsdh", l.lsdh}, {"party", l.party}, {"jsr", l.jsr}, {"ck", l.ck}, {"pj", l.pj}, {"fk", l.fk},
             {"bh", l.bh},     {"sn", l.sn},       {"mc", l.mc},   {"rq", fmt::now()}};
    p.append({"price", l.price ? QVariant::fromValue(*l.price) : QVariant()});
    Connection &c = dm_.conn();
    c.exec(QStringLiteral("INSERT INTO %1 (lsdh, %2, jsr, ck, pj, fk, bh, sn, mc, %3, rq) "
                          "VALUES (:lsdh, :party, :jsr, :ck, :pj, :fk, :bh, :sn, :mc, :price, :rq)")
               .arg(k.table, k.partyColumn, k.priceColumn),
           p);
    return c.lastInsertRowid();
}

Money InvoiceBook::amountOf(qint64 line)
{
    const QList<QVariantList> r = dm_.conn().rows(
        QStringLiteral("SELECT sn, %1 FROM %2 WHERE rowid=:r").arg(kind_.lines.priceColumn, kind_.lines.table),
        {{"r", line}});
    if (r.isEmpty())
        return {};
    FieldDef price;
    price.type = FieldType::Money;
    return fmt::toMoney(fields::fromStorage(price, r[0].value(1))) * r[0].value(0).toLongLong();
}

void InvoiceBook::appendRemark(qint64 line, const QString &text)
{
    dm_.conn().exec(QStringLiteral("UPDATE %1 SET lb=coalesce(lb,'')||:t WHERE rowid=:r").arg(kind_.lines.table),
                    {{"t", text}, {"r", line}});
}

void InvoiceBook::mark(qint64 line, const QString &status)
{
    dm_.conn().exec(QStringLiteral("UPDATE %1 SET bc=:s WHERE rowid=:r").arg(kind_.lines.table),
                    {{"s", status}, {"r", line}});
}

QString InvoiceBook::carryBalance(qint64 line, Money &balance)
{
    if (balance.isZero())
        return {};
    const Money next = balance + amountOf(line);
    const QString text = BalanceText + next.toString();
    appendRemark(line, text);
    balance = next;
    return text;
}

bool InvoiceBook::cancel(const QString &number)
{
    if (number.isEmpty())
        return false;  // the empty number holds the lines cancelled before
    Connection &c = dm_.conn();
    const LineKind &k = kind_.lines;
    {
        Transaction tx(c);
        const QList<QVariantList> rows =
            c.rows(QStringLiteral("SELECT bh, mc, sn, bc FROM %1 WHERE lsdh=:n ORDER BY rowid").arg(k.table),
                   {{"n", number}});
        if (rows.isEmpty())
            return false;
        // Line by line: each line that had moved the stock moves it back.
        for (const QVariantList &r : rows)
            if (kind_.stockStatuses.contains(r.value(3).toString()))
                stock::moveStock(c, r.value(0).toString(), r.value(1).toString(),
                                 r.value(2).toLongLong() * kind_.correctionSign);
        c.exec(kind_.cancelSql, {{kind_.invoiceParam, number}});
        tx.commit();
    }
    c.announceWrite(QStringLiteral("pl"));
    // The lines are gone from the invoice: the grid shows none until the next number.
    lines().close();
    return true;
}

std::optional<Money> InvoiceBook::exchange(qint64 line, const QString &number)
{
    if (line < 0 || number.isEmpty())
        return std::nullopt;
    Connection &c = dm_.conn();
    const LineKind &k = kind_.lines;
    Money amount;
    {
        Transaction tx(c);
        const QList<QVariantList> rows =
            c.rows(QStringLiteral("SELECT bh, mc, sn, bc FROM %1 WHERE rowid=:r AND lsdh=:n").arg(k.table),
                   {{"r", line}, {"n", number}});
        if (rows.isEmpty() || rows[0].value(3).toString() == Returned)
            return std::nullopt;
        const QVariantList &r = rows[0];
        amount = amountOf(line);
        if (kind_.stockStatuses.contains(r.value(3).toString()))
            stock::moveStock(c, r.value(0).toString(), r.value(1).toString(), r.value(2).toLongLong() * kind_.correctionSign);
        c.exec(QStringLiteral("UPDATE %1 SET lb=:lb, sn=0, fk='已付', bc=:bc WHERE rowid=:r").arg(k.table),
               {{"lb", QStringLiteral("-") + amount.toString()}, {"bc", Returned}, {"r", line}});
        tx.commit();
    }
    c.announceWrite(QStringLiteral("pl"));
    lines().refresh();
    return amount;
}
