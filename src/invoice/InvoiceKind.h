#pragma once
// The two kinds of invoice, stock-in and stock-out, described once: what the shared
// invoice book and the shared form need to know of each.
#include "store/DocumentCounter.h"
#include "store/LineKind.h"

#include <QString>
#include <QStringList>

class DataModule;
class DataSet;

struct InvoiceKind {
    const LineKind &lines;
    DocumentCounter::Kind counter;
    DataSet *DataModule::*invoiceLines;  // the lines of the invoice shown
    DataSet *DataModule::*lineTable;     // the table data set new lines go in through
    DataSet *DataModule::*numbers;       // the distinct invoice numbers
    DataSet *DataModule::*party;         // suppliers / customers, as the picker leaves them
    QString partyNameField;              // gysmc / gsmc
    QString invoiceSql;                  // the lines of one invoice
    QString invoiceParam;                // its parameter
    QString cancelSql;                   // detaches and marks every line of an invoice
    QStringList stockStatuses;           // statuses of lines whose quantity has moved the stock
    int correctionSign;                  // cancelling such a line moves the stock back this way
    QString reportFile;

    static const InvoiceKind &stockIn();
    static const InvoiceKind &stockOut();
};
