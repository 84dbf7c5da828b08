#pragma once
// The stock-in invoice screen: numbering, product lookup, posting of lines, and the
// corrections of an invoice (cancel, return/exchange), navigation and printing.
#include "dbwidgets/DBControls.h"
#include "dbwidgets/DBGrid.h"
#include "dbwidgets/DBNavigator.h"
#include "ui/MdiForm.h"
#include "dataset/Money.h"

#include <QPointer>
#include <optional>

class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QToolBar;
class QToolButton;

class DataModule;
class ScreenHost;

class Trkkd : public MdiForm {
    Q_OBJECT
public:
    explicit Trkkd(ScreenHost &host, QWidget *parent = nullptr);
    ~Trkkd() override;

    // The running difference of an exchange under way: one value for the whole program,
    // back to 0 whenever the invoice number changes.
    static Money rkkdExchangeBalance;

    // Toolbar
    QToolBar *ToolBar1;
    QToolButton *SpeedButton_Exit, *SpeedButton1, *SpeedButton_Print, *SpeedButton_Preview, *SpeedButton_Printsetup;
    // Header panel
    QFrame *Panel1;
    QGroupBox *GroupBox2;
    QLabel *Label25, *Label9, *Label1, *Label8, *Label5, *Label2, *Label4, *Label23, *Label26;
    QComboBox *ComboBoxBH, *ComboBoxMC, *ComboBoxPJ, *ComboBoxFK;
    QLineEdit *EditLSDH, *EditSN;
    DBComboBox *DBComboBoxGYS, *DBComboBoxck;
    QPushButton *ButtonRK, *ButtonXZD;
    // Product panel
    QFrame *Panel2;
    QLabel *Label12, *Label7, *Label6, *Label3, *Label14;
    DBComboBox *DBComboBoxmc;
    DBEdit *DBEditcgj, *DBEditxsj, *DBEditbh;
    QPushButton *ButtonJR;
    QGroupBox *GroupBox1;
    DBGrid *DBGrid2;
    // Lines
    DBNavigator *DBNavigator1;
    DBGrid *DBGrid1;
    QStatusBar *StatusBar1;

    QString panelText(int i) const;
    void setPanelText(int i, const QString &text);

    // Handlers
    void FormCreate();
    void FormActivate() override;
    void EditLSDHChange();
    void ButtonXZDClick();
    void ComboBoxBHChange();
    void ComboBoxMCChange();
    void ComboBoxMCEnter();
    void DBComboBoxmcExit();
    void DBGrid2CellClick();
    void DataSourcePLDataChange();
    void DBComboBoxGYSEnter();
    // Posts one line; true when a line was stored.
    bool ButtonRKClick();
    void ButtonJRClick();
    void SpeedButton_ExitClick();
    void SpeedButton1Click();
    void SpeedButton_PrintClick();
    void SpeedButton_PreviewClick();
    void SpeedButton_PrintsetupClick();
    void stepInvoice(bool forward);

protected:
    void FormClose() override;
    void keyPressEvent(QKeyEvent *e) override;

private:
    struct LineInput {
        int sn = 0;
        Money cgj;
    };
    void buildUi();
    void connectHandlers();
    void onFocusChanged(QWidget *now);
    QWidget *controlOf(QWidget *w) const;
    // Text of EditLSDH; setting the text it already shows does nothing.
    void setLsdh(const QString &number);
    void openInvoice();
    std::optional<LineInput> checkInput();
    bool post(const QString &status);
    void storeLine(const LineInput &in, const QString &status);
    void endLookup();
    // Takes a saved line's quantity back out of its product's stock.
    void takeOutOfStock(const QString &bh, const QString &mc, int sn);

    DataModule &main_;
    QPointer<QWidget> lastFocus_;
    QMetaObject::Connection focusConn_;
    QLabel *panels_[3] = {};
};
