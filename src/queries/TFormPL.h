#pragma once
// Stock query: lists the products with their stock and amount, filtered by location,
// name, number, stock above zero and sale price; the rows are edited in the grid and the
// list is printed.
#include "ui/MdiForm.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QToolButton;

class DBGrid;
class DBNavigator;
class DataModule;
class DataSet;
class ScreenHost;

class TFormPL : public MdiForm {
    Q_OBJECT
public:
    explicit TFormPL(ScreenHost &host, QWidget *parent = nullptr);

    QToolButton *SpeedButton_Print;
    QFrame *Panel1;
    QComboBox *ComboBoxCK, *ComboBoxbh, *ComboBoxMC;
    QLineEdit *Edit2;
    QCheckBox *CheckBox1;
    QPushButton *ButtonRK;
    DBNavigator *DBNavigator1;
    DBGrid *DBGrid1;
    QStatusBar *StatusBar1;

    QString panelText(int i) const;

    void ButtonRKClick();
    void SpeedButton_PrintClick();

protected:
    void FormActivate() override;
    void FormClose() override;
    void keyPressEvent(QKeyEvent *e) override;

private:
    QComboBox *makeCombo(const QString &name);

    DataModule &m_;
    DataSet *plcx_;
    QList<QLabel *> panels_;
};
