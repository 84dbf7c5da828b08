#pragma once
// "付款详细处理": one supplier's unpaid lines up to a picked day, settled in part.
#include "settlement/SettlementDetail.h"

class TFormyfd : public SettlementDetail {
    Q_OBJECT
public:
    TFormyfd(DataModule &main, const QString &supplier, QWidget *parent);

    // What the shop owes the supplier up to the picked day: one value for all these windows.
    static Money yfdPartialSum;
};
