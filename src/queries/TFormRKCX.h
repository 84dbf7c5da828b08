#pragma once
// Stock-in query: searches the stock-in lines, shows their sums, saves pending and
// borrowed-in lines into stock, returns borrowed goods and prints the list.
#include "queries/LineQueryForm.h"

class TFormRKCX : public LineQueryForm {
    Q_OBJECT
public:
    explicit TFormRKCX(ScreenHost &host, QWidget *parent = nullptr);

    QComboBox *const ComboBoxgys;
    QPushButton *const ButtonRK;

    void ButtonRKClick() { runQuery(); }
};
