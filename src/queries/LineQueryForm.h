#pragma once
// The line query over one kind of stock line (stock-in or stock-out): criteria and a date
// range, the list with its sums, one invoice by its number, the lent lines, saving the
// listed lines into stock, giving lent goods back, previous and next invoice, printing.
// The two screens differ only in their LineQueryKind.
#include "dataset/Connection.h"
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
struct LineQueryKind;

class LineQueryForm : public MdiForm {
    Q_OBJECT
public:
    LineQueryForm(ScreenHost &host, const LineQueryKind &kind, QWidget *parent = nullptr);

    const LineQueryKind &kind() const { return kind_; }

    QToolButton *SpeedButton_Scan, *SpeedButton2, *SpeedButton_Preview, *SpeedButton_Printsetup, *SpeedButton1;
    QCheckBox *CheckBox1;
    QFrame *Panel1;
    QLineEdit *EditLSDH;
    QComboBox *ComboBoxjsr, *ComboBoxMC, *ComboBoxfk, *ComboBoxbc, *ComboBoxspwz, *ComboBoxPJ;
    QDateEdit *DateTimePicker1, *DateTimePicker2;
    DBNavigator *DBNavigator1;
    DBGrid *DBGrid1;
    QStatusBar *StatusBar1;

    QString panelText(int i) const;

    void FormCreate();
    void EditLSDHChange();
    void CheckBox1Click();
    void SpeedButton_ScanClick();
    void SpeedButton1Click();
    void SpeedButton_PreviewClick();
    void SpeedButton_PrintsetupClick();
    void SpeedButton2Click();

protected:
    // The query of the criteria and the date range (the query button of each screen).
    void runQuery();
    void FormClose() override;
    void keyPressEvent(QKeyEvent *e) override;

    // The controls each screen names its own way.
    QComboBox *partyBox_;
    QPushButton *queryButton_;

private:
    QToolButton *makeButton(const QString &name, const QString &hint, QStyle::StandardPixmap icon);
    QComboBox *makeCombo(const QString &name, const QStringList &items);
    void fill(QComboBox *box, DataSet *source, const QString &field);
    void reopenList(const QString &sql, const Params &params);
    void listInvoice();
    void resetTotals();
    void showTotals();
    void showInvoice(int row);

    const LineQueryKind &kind_;
    DataModule &m_;
    DataSet *list_;
    DataSet *numbers_;
    QList<QLabel *> panels_;
};
