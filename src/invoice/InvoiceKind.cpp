#include "invoice/InvoiceKind.h"

#include "store/DataModule.h"

const InvoiceKind &InvoiceKind::stockIn()
{
    static const InvoiceKind k{
        LineKind::stockIn(),
        DocumentCounter::StockIn,
        &DataModule::ADOQueryRKDH,
        &DataModule::ADOTableRK,
        &DataModule::ADOQueryDHrk,
        &DataModule::ADOQueryGYS,
        QStringLiteral("gysmc"),
        QStringLiteral("select * from rk where lsdh=:RKdh"),
        QStringLiteral("RKdh"),
        QStringLiteral("update rk set lsdh='',bc='退单',fk='已付' where lsdh=:RKdh"),
        {QStringLiteral("保存")},
        -1,  // a saved stock-in line added its quantity
        QStringLiteral("rK.rav"),
    };
    return k;
}

const InvoiceKind &InvoiceKind::stockOut()
{
    static const InvoiceKind k{
        LineKind::stockOut(),
        DocumentCounter::StockOut,
        &DataModule::ADOQueryLSDH,
        &DataModule::ADOTableCK,
        &DataModule::ADOQueryDHck,
        &DataModule::ADOQueryKH,
        QStringLiteral("gsmc"),
        QStringLiteral("select * from ck where lsdh=:lsdh"),
        QStringLiteral("lsdh"),
        QStringLiteral("update ck set lsdh='',bc='退单',fk='已付' where lsdh=:lsdh"),
        // A written-off line took its quantity out of stock when it was posted.
        {QStringLiteral("保存"), QStringLiteral("报损")},
        +1,
        QStringLiteral("CK.rav"),
    };
    return k;
}
