#pragma once
// Receipt query ("收款查询"): the money received from customers, with its totals.
#include "queries/MoneyQueryForm.h"

class TFormskcx : public MoneyQueryForm {
    Q_OBJECT
public:
    explicit TFormskcx(ScreenHost &host, QWidget *parent = nullptr);
    static const MoneyQuery &description();
};
