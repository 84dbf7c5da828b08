#pragma once
// Supplier picker of the stock-in screen.
#include "PickerForm.h"

class Tformgys : public PickerForm {
    Q_OBJECT
public:
    explicit Tformgys(Tmain &main, QWidget *parent = nullptr);
};
