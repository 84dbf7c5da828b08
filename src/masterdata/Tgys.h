#pragma once
// Suppliers, offered by the stock-in screen's picker.
#include "EntryForm.h"

class Tgys : public EntryForm {
    Q_OBJECT
public:
    explicit Tgys(Tmain &main, QWidget *parent = nullptr);
};
