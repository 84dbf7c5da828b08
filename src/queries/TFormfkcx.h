#pragma once
// Payment query ("付款查询"): the money paid to suppliers, with its totals.
#include "queries/MoneyQueryForm.h"

class TFormfkcx : public MoneyQueryForm {
    Q_OBJECT
public:
    explicit TFormfkcx(ScreenHost &host, QWidget *parent = nullptr);
    static const MoneyQuery &description();
};
