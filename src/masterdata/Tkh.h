#pragma once
// Customers, offered by the stock-out screen's picker.
#include "EntryForm.h"

class Tkh : public EntryForm {
    Q_OBJECT
public:
    explicit Tkh(Tmain &main, QWidget *parent = nullptr);
};
