#pragma once
// "收款详细处理": one customer's unpaid lines up to a picked day, settled in part.
#include "settlement/SettlementDetail.h"

class TFormysd : public SettlementDetail {
    Q_OBJECT
public:
    TFormysd(DataModule &main, const QString &customer, QWidget *parent);

    // What the customer owes up to the picked day: one value for all these windows.
    static Money ysdPartialSum;
};
