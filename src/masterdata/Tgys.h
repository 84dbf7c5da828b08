#pragma once
// Suppliers, offered by the stock-in screen's picker.
#include "masterdata/EntryForm.h"

class Tgys : public EntryForm {
    Q_OBJECT
public:
    explicit Tgys(ScreenHost &host, QWidget *parent = nullptr);
};
