#pragma once
// Customer picker of the stock-out screen.
#include "masterdata/PickerForm.h"

class TFormKH : public PickerForm {
    Q_OBJECT
public:
    explicit TFormKH(DataModule &main, QWidget *parent = nullptr);
};
