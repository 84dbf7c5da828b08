#pragma once
// The receivables and payables screens are one screen over two descriptions: the list of
// those who owe, the money rows recorded against them with their numbering, the full
// settlement of a chosen party and the detail window for a partial one.
#include "dataset/Money.h"
#include "settlement/Settlement.h"
#include "store/DocumentCounter.h"
#include "ui/MdiForm.h"

#include <QPointer>
#include <QString>

class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QToolButton;

class DBGrid;
class DBNavigator;
class DataModule;
class DataSet;
class ScreenHost;
class SettlementDetail;

// What differs between the receivables and the payables: tables, data sets, counters, words.
struct SettlementScreen {
    const settlement::Kind &kind;
    DocumentCounter::Kind counter;
    DataSet *DataModule::*list;        // those who owe: ADOQueryYS / ADOQueryYF
    DataSet *DataModule::*shown;       // money rows in the lower grid: ADOQueryys1 / ADOQueryyf1
    DataSet *DataModule::*table;       // the money table: ADOTableYS / ADOTableyf
    DataSet *DataModule::*lines;       // the line list of the detail window: ADOQueryLSDH / ADOQueryRKDH
    DataSet *DataModule::*partyTable;  // filtered to the chosen party while the screen is open, or null
    QString partyTableColumn;
    Money *balance;                    // ysBalance / yfBalance: one for the whole program
    QString flag, caption;
    QString party;                     // "客户" / "供应商": the list's column and the box's label
    QString partyHint, payCaption, report;
};

// Column widths of the line and money grids of these windows, kept when the grid is reset.
void fitColumns(DBGrid *grid);

class SettlementForm : public MdiForm {
    Q_OBJECT
public:
    SettlementForm(ScreenHost &host, const SettlementScreen &screen, QWidget *parent = nullptr);

    QToolButton *SpeedButton_Print;
    QFrame *Panel1;
    QLabel *Label1, *Label5, *Label8, *Label7, *Label2, *Label4, *Label6;
    QLineEdit *EditLSDH, *Editzyr, *Editkh, *Editjr, *Edityh;
    QComboBox *ComboBoxPJ;
    QPlainTextEdit *Memobz;
    QPushButton *ButtonCK, *ButtonXZD;
    DBNavigator *DBNavigator1;
    QGroupBox *GroupBox1;
    DBGrid *DBGrid2, *DBGrid1;
    QStatusBar *StatusBar1;

    const SettlementScreen &screen() const { return s_; }
    // The detail window opened by the last double click (null when none is open).
    SettlementDetail *lastDetail() const;

    void FormCreate();
    void EditLSDHChange();
    void ButtonXZDClick();
    void DBGrid2CellClick();
    void EditkhChange();
    void ButtonCKClick();
    void DBGrid2DblClick();
    void SpeedButton_PrintClick();

protected:
    void FormClose() override;
    // The twin's own detail window for the party.
    virtual SettlementDetail *makeDetail(const QString &party) = 0;

private:
    void buildUi();
    DataSet *ds(DataSet *DataModule::*member) const;
    void setText(QLineEdit *box, const QString &text);
    void showReceipts(const QString &condition, const QString &value);

    DataModule &m_;
    const SettlementScreen &s_;
    settlement::Service service_;
    QPointer<SettlementDetail> detail_;
};
