#pragma once
// The per-day document numbers: date text, "-", counter. Each kind keeps its counter
// and the day it was last restarted in the one kr row; a number is used up only when
// rows carry it.
#include "dataset/DataSet.h"

#include <QDate>
#include <QString>

class DocumentCounter {
public:
    enum Kind { StockIn, StockOut, Receipt, Payment };

    // kr: the counters row data set (ADOTableKR).
    DocumentCounter(DataSet &kr, Kind kind);

    // First opening of a numbering screen: restarts the counter at 1 on a new day.
    // Returns the number to propose.
    QString openForDay(const QDate &today);
    // Today's date text with the stored counter.
    QString current(const QDate &today);
    // Rows of the kind's table that carry the number.
    bool numberHasRows(const QString &number) const;
    // Advances the counter by one if the current number has rows; returns the number to propose.
    QString advanceIfUsed(const QDate &today);

    QString counterColumn() const { return counter_; }
    QString dayColumn() const { return day_; }
    QString table() const { return table_; }

private:
    DataSet &kr_;
    QString counter_, day_, table_;
};
