#pragma once
// Supplier picker of the stock-in screen.
#include "masterdata/PickerForm.h"

class Tformgys : public PickerForm {
    Q_OBJECT
public:
    explicit Tformgys(DataModule &main, QWidget *parent = nullptr);
};
