#pragma once
// Stock-out query: searches the stock-out lines, shows their sums, saves pending and
// lent-out lines out of stock, takes lent goods back and prints the list.
#include "queries/LineQueryForm.h"

class TFormCKCX : public LineQueryForm {
    Q_OBJECT
public:
    explicit TFormCKCX(ScreenHost &host, QWidget *parent = nullptr);

    QComboBox *const ComboBoxKH;
    QPushButton *const ButtonCK;

    void ButtonCKClick() { runQuery(); }
};
