#pragma once
// Customers, offered by the stock-out screen's picker.
#include "masterdata/EntryForm.h"

class Tkh : public EntryForm {
    Q_OBJECT
public:
    explicit Tkh(ScreenHost &host, QWidget *parent = nullptr);
};
