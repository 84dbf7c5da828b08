#pragma once
// The three analyses (TFormkhfx, TFormspfx, TFormlr): one pie chart over the stock-out
// history with a start day, an end day and "分析", told apart by their ChartKind.
#include "ui/MdiForm.h"

class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;

class DBChart;
class DataModule;
class DataSet;
class ScreenHost;
struct ChartKind;

class ChartScreen : public MdiForm {
    Q_OBJECT
public:
    ChartScreen(ScreenHost &host, const ChartKind &kind, QWidget *parent = nullptr);

    const ChartKind &kind() const { return kind_; }

    DBChart *DBChart1;
    QDateEdit *DateTimePicker1, *DateTimePicker2;
    QLabel *Label6;
    QPushButton *Button1;
    QLineEdit *Edit1 = nullptr;  // the total profit, profit analysis only

    void FormCreate();
    void Button1Click();

protected:
    void FormClose() override;

private:
    void showProfit();

    const ChartKind &kind_;
    DataModule &m_;
    DataSet *ds_;
};
