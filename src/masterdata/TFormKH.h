#pragma once
// Customer picker of the stock-out screen.
#include "PickerForm.h"

class TFormKH : public PickerForm {
    Q_OBJECT
public:
    explicit TFormKH(Tmain &main, QWidget *parent = nullptr);
};
