#pragma once
// What tells the stock-in query and the stock-out query apart. Everything else of the two
// screens is written once in LineQueryForm over one of these descriptions.
#include "dataset/Money.h"
#include "store/LineKind.h"

#include <QString>
#include <QStringList>

class DataModule;
class DataSet;

struct LineQueryKind {
    const LineKind &lines;        // table, price and party columns, lent status, stock sign
    QString screen;               // class, object name and instance flag
    QString caption;

    // Shared data sets of the data module.
    DataSet *DataModule::*list;       // the result list: grid, navigator, report
    DataSet *DataModule::*numbers;    // the distinct invoice numbers, for previous and next
    DataSet *DataModule::*parties;    // source of the party box
    QString partyNameField;

    // The controls that differ.
    QString partyBox, partyLabel;
    QString queryButton, queryCaption;

    // Statements, as the screen issues them.
    QString firstLine;            // the query's first line, with the upper date bound :rq
    QString partyFragment, partyParam;
    QString invoiceSql, invoiceParam;   // one invoice by its number
    QString lentSql;              // every lent line of any date

    // Running totals of the list's after-open handler.
    Money DataModule::*totalAmount;
    Money DataModule::*totalPaid;
    qint64 DataModule::*totalQuantity;

    QString report;

    // The stock-in screen lists the shown number once more after filling it in, whether
    // the number changed or not; the stock-out screen leaves the list as it was when
    // there is no invoice yet.
    bool relistShownNumber;

    // Items of the status box: the lent status first, then the rest.
    QStringList statusItems() const;

    static const LineQueryKind &stockIn();
    static const LineQueryKind &stockOut();
};
