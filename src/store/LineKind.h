#pragma once
// The two kinds of stock lines: stock-in lines (rk) and stock-out lines (ck). What the
// twin screens and commands share is written once over this description.
#include <QString>

struct LineKind {
    QString table;         // "rk" / "ck"
    QString priceColumn;   // purchase price cgj / sales price xsj
    QString partyColumn;   // supplier gys / customer kh
    QString lentStatus;    // "借入" (borrowed in) / "借出" (lent out)
    int savedStockSign;    // saving a line adds (+1) or takes (-1) its quantity to the stock

    static const LineKind &stockIn();
    static const LineKind &stockOut();
};
