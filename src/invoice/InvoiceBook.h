#pragma once
// The data work of an invoice screen, free of widgets: numbering, showing an invoice,
// stepping through the numbers, new lines, cancelling an invoice and exchanging a line,
// each command that writes more than one row in its own transaction.
#include "dataset/Money.h"
#include "invoice/InvoiceKind.h"

#include <QDate>
#include <QString>
#include <optional>

class DataModule;
class DataSet;

class InvoiceBook {
public:
    InvoiceBook(DataModule &dm, const InvoiceKind &kind);

    const InvoiceKind &kind() const { return kind_; }
    DataSet &lines() const;

    // ---- numbering (date text, "-", the day's counter)
    QString openForDay(const QDate &today);
    QString current(const QDate &today);
    // The counter moves on only when the current number already has lines.
    QString advanceIfUsed(const QDate &today);

    // The lines of an invoice, in the order they were stored.
    void show(const QString &number);
    // The previous or next number of the number list, staying at its ends; nothing when the
    // list is empty.
    std::optional<QString> step(bool forward);

    // ---- a new line
    struct NewLine {
        QString lsdh, party, jsr, ck, pj, fk, bh, mc;
        int sn = 0;
        std::optional<Money> price;  // none: the line has no price
    };
    // Inserts the line (in the caller's transaction, if one is open) and returns its rowid.
    qint64 insertLine(const NewLine &line);
    // A stored line's amount: quantity times price, an empty price counting as 0.
    Money amountOf(qint64 line);
    void appendRemark(qint64 line, const QString &text);
    void mark(qint64 line, const QString &status);
    // The exchange under way after a posting: the new line's amount goes into the balance,
    // and "退换差额" with the balance onto that line. Returns the text for the status bar;
    // nothing changes while no exchange is under way (balance 0).
    QString carryBalance(qint64 line, Money &balance);

    // ---- corrections, decided on the lines as stored
    // Puts back the stock of every line that had moved it, then detaches and marks every
    // line of the invoice. False (nothing changed) when the number is empty or has no lines.
    bool cancel(const QString &number);
    // Returns one line: its stock back if it had moved it, quantity 0, "已付", "退换" and the
    // remark "-" with its former amount, which is returned. Nothing when the line is already
    // exchanged or no longer belongs to the invoice.
    std::optional<Money> exchange(qint64 line, const QString &number);

private:
    DataModule &dm_;
    const InvoiceKind &kind_;
};
