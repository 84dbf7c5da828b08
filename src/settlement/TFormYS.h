#pragma once
// Receivables: the customers who owe for saved stock-out lines, the receipts recorded
// against them, and their settlement in full or up to a day.
#include "settlement/SettlementForm.h"

class TFormYS : public SettlementForm {
    Q_OBJECT
public:
    explicit TFormYS(ScreenHost &host, QWidget *parent = nullptr);

    // The chosen customer's money not yet applied: one value for the whole program.
    static Money ysBalance;
    static const SettlementScreen &description();

protected:
    SettlementDetail *makeDetail(const QString &party) override;
};
