#pragma once
// Every shared data set of the program, by its name, with the handlers and running
// totals that belong to them. The main window owns one; screens bind to its data sets
// and leave them as the next screen expects to find them.
#include "dataset/Connection.h"
#include "dataset/DataSet.h"
#include "dataset/Money.h"

#include <QHash>
#include <QString>
#include <memory>

#include "store/PyLibrary.h"

class PyLibrary;

class DataModule {
public:
    // Owns the open connection and the support library binding (py may be null or unloaded).
    DataModule(std::unique_ptr<Connection> conn, std::unique_ptr<PyLibrary> py);
    virtual ~DataModule();
    DataModule(const DataModule &) = delete;
    DataModule &operator=(const DataModule &) = delete;

    // Opens the data sets marked as opened at start, in their order. Nothing is read
    // until a data set is looked at, so start-up does not depend on the file's size.
    void openAtStart();

    Connection &connection() const { return conn_; }
    Connection &conn() const { return conn_; }
    const PyLibrary *pyLibrary() const { return py_; }
    DataSet *dataSet(const QString &name) const;
    QList<DataSet *> allDataSets() const { return all_; }
    // The report data connections: connection name -> data set.
    DataSet *reportConnection(const QString &name) const { return reportConnections_.value(name); }
    QStringList reportConnectionNames() const { return reportConnections_.keys(); }

    // Initials of a name for the search columns; a null string when the library is missing.
    QString initials(const QString &name) const;

    DataSet *ADOTableKR, *ADOTableGY, *ADOTabledlck, *ADOTableKH, *ADOQueryKH, *ADOTableGYS, *ADOQueryGYS,
        *ADOTablePLL, *ADOTabletd, *ADOQueryPL, *ADOQueryPLCX, *ADOQueryPLRK, *ADOQueryPLCK1, *ADOTableRK,
        *ADOQueryRKDH, *ADOQueryRKCX, *ADOTableCK, *ADOQueryLSDH, *ADOQueryCKCX, *ADOQueryDHrk, *ADOQueryDHck,
        *ADOQuerysp, *ADOQuerysp1, *ADOQueryspwz, *ADOQueryjg, *ADOQueryYS, *ADOQueryYF, *ADOTableYS,
        *ADOQueryys1, *ADOTableyf, *ADOQueryyf1, *ADOQueryskcx, *ADOQueryfkcx, *ADOQuerykhfx, *ADOQueryspfx,
        *ADOQuerylr, *ADOQuerydele, *ADOTablegsxcpy;

    // Running totals kept by the handlers below; the screens reset and show them.
    Money rkcxTotalAmount, rkcxTotalPaid;
    qint64 rkcxTotalQuantity = 0;
    Money ckcxTotalAmount, ckcxTotalPaid;
    qint64 ckcxTotalQuantity = 0;
    Money lsdhTotalAmount;
    qint64 lsdhTotalQuantity = 0;
    Money skcxTotalJr, skcxTotalYr;
    Money fkcxTotalJr, fkcxTotalYr;
    Money lrTotalProfit;

    // Handlers on the data sets.
    void ADOQueryRKDHCalcFields(CalcRow &row);
    void ADOQueryRKCXCalcFields(CalcRow &row);
    void ADOQueryCKCXCalcFields(CalcRow &row);
    void ADOQueryPLCXCalcFields(CalcRow &row);
    void ADOQueryLSDHCalcFields(CalcRow &row);
    void ADOQueryRKCXAfterOpen(DataSet &ds);
    void ADOQueryCKCXAfterOpen(DataSet &ds);
    void ADOQueryskcxAfterOpen(DataSet &ds);
    void ADOQueryfkcxAfterOpen(DataSet &ds);
    void ADOQuerylrAfterOpen(DataSet &ds);
    void ADOTableKHgsmcChange(DataSet &ds);
    void ADOQueryKHgsmcChange(DataSet &ds);
    void ADOTableGYSgysmcChange(DataSet &ds);
    void ADOQueryGYSgysmcChange(DataSet &ds);
    void ADOQueryPLmcChange(DataSet &ds);
    void ADOQueryPLCXmcChange(DataSet &ds);

private:
    DataSet *make(const QString &name);
    QList<FieldDef> list(const QString &table, const QStringList &entries) const;
    void fillInitials(DataSet &ds, const QString &nameField, const QString &initialsField, bool skipEmpty);

    std::unique_ptr<Connection> connOwned_;
    std::unique_ptr<PyLibrary> pyOwned_;
    Connection &conn_;
    const PyLibrary *py_;
    QList<DataSet *> all_;
    QList<DataSet *> startOrder_;
    QHash<QString, DataSet *> reportConnections_;
    std::unique_ptr<QObject> owner_;
};
