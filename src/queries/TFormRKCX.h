#pragma once
// Stock-in query: searches the stock-in lines, shows their sums, saves pending and
// borrowed-in lines into stock, returns borrowed goods and prints the list.
#include "ui/MdiForm.h"

#include <QStyle>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QToolButton;
class QCheckBox;
class QDateEdit;


class DBGrid;
class DBNavigator;
class DataModule;
class DataSet;
class ScreenHost;

class TFormRKCX : public MdiForm {
    Q_OBJECT
public:
    explicit TFormRKCX(ScreenHost &host, QWidget *parent = nullptr);

    QToolButton *SpeedButton_Scan, *SpeedButton2, *SpeedButton_Preview, *SpeedButton_Printsetup, *SpeedButton1;
    QCheckBox *CheckBox1;
    QFrame *Panel1;
    QLineEdit *EditLSDH;
    QComboBox *ComboBoxjsr, *ComboBoxMC, *ComboBoxfk, *ComboBoxbc, *ComboBoxgys, *ComboBoxspwz, *ComboBoxPJ;
    QDateEdit *DateTimePicker1, *DateTimePicker2;
    QPushButton *ButtonRK;
    DBNavigator *DBNavigator1;
    DBGrid *DBGrid1;
    QStatusBar *StatusBar1;

    QString panelText(int i) const;

    void FormCreate();
    void ButtonRKClick();
    void EditLSDHChange();
    void CheckBox1Click();
    void SpeedButton_ScanClick();
    void SpeedButton1Click();
    void SpeedButton_PreviewClick();
    void SpeedButton_PrintsetupClick();
    void SpeedButton2Click();

protected:
    void FormClose() override;
    void keyPressEvent(QKeyEvent *e) override;

private:
    QToolButton *makeButton(const QString &name, const QString &hint, QStyle::StandardPixmap icon);
    QComboBox *makeCombo(const QString &name, const QStringList &items);
    void resetTotals();
    void showTotals();
    void showInvoice(int row);

    DataModule &m_;
    DataSet *rkcx_;
    QLabel *panels_[2] = {};
};
