#pragma once
// The receipt and payment queries are one screen over two descriptions: the money rows of
// ys or yf by number, party, employee, document type and date, with the amount, balance and
// settled totals.
#include "dataset/Money.h"
#include "ui/MdiForm.h"

#include <QList>
#include <QString>

class QComboBox;
class QDateEdit;
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

struct MoneyQuery {
    QString flag, caption;        // the query button carries the caption too
    QString table;                // ys / yf
    DataSet *DataModule::*list;   // ADOQueryskcx / ADOQueryfkcx
    Money DataModule::*totalJr;   // kept by the list's after-open handler
    Money DataModule::*totalYr;
    QString party;                // label of the party box
    QString partyTable, partyColumn;
    QString report;
};

class MoneyQueryForm : public MdiForm {
    Q_OBJECT
public:
    MoneyQueryForm(ScreenHost &host, const MoneyQuery &query, QWidget *parent = nullptr);

    QToolButton *SpeedButton_Print;
    QFrame *Panel1;
    QLineEdit *EditLSDH;
    QDateEdit *DateTimePicker1, *DateTimePicker2;
    QPushButton *ButtonRK;
    QComboBox *ComboBoxgys, *ComboBoxMC, *ComboBoxjsr, *ComboBoxfk;
    DBNavigator *DBNavigator1;
    DBGrid *DBGrid1;
    QStatusBar *StatusBar1;

    QString panelText(int i) const;

    void FormCreate();
    void ButtonRKClick();
    void SpeedButton_PrintClick();

protected:
    void keyPressEvent(QKeyEvent *e) override;

private:
    QComboBox *makeCombo(const QString &name, const QStringList &items);
    void buildUi();

    DataModule &m_;
    const MoneyQuery &q_;
    DataSet *list_;
    QList<QLabel *> panels_;
};
