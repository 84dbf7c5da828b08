#pragma once
// Payables: the suppliers the shop owes for saved stock-in lines, the payments recorded
// to them, and their settlement in full or up to a day.
#include "settlement/SettlementForm.h"

class TFormyf : public SettlementForm {
    Q_OBJECT
public:
    explicit TFormyf(ScreenHost &host, QWidget *parent = nullptr);

    // The chosen supplier's money not yet applied: one value for the whole program.
    static Money yfBalance;
    static const SettlementScreen &description();

protected:
    SettlementDetail *makeDetail(const QString &party) override;
};
