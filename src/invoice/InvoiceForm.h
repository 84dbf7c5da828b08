#pragma once
// The base of the two invoice screens: it builds and names the controls they share (the
// tool bar, the lookup boxes, the number, quantity, document type, party and payment boxes,
// the product name and results grid, the lines grid with its navigator, the status bar) and
// runs what both do the same way: numbering, showing an invoice, previous and next, cancel
// and exchange, printing, Enter, and the close handler. The screens add their own panels.
#include "dataset/Money.h"
#include "invoice/InvoiceBook.h"
#include "ui/MdiForm.h"

#include <QPointer>
#include <functional>

class DBComboBox;
class DBGrid;
class DBNavigator;
class QComboBox;
class QFrame;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QToolBar;
class QToolButton;

class InvoiceForm : public MdiForm {
    Q_OBJECT
public:
    // What differs in the shared controls.
    struct Layout {
        QString flag, objectName, caption;
        QString postButtonName, postButtonCaption;
        QString partyBoxName, partyLabel;
        QString nameBoxName;
        QString linesHint;
        int statusPanels;
    };
    InvoiceForm(ScreenHost &host, const InvoiceKind &kind, Money &exchangeBalance, const Layout &layout,
                QWidget *parent = nullptr);
    ~InvoiceForm() override;

    InvoiceBook &book() { return book_; }

    // Tool bar
    QToolBar *ToolBar1;
    QToolButton *SpeedButton_Exit, *SpeedButton1, *SpeedButton_Print, *SpeedButton_Preview, *SpeedButton_Printsetup;
    // Header panel
    QFrame *Panel1;
    QGroupBox *GroupBox2;
    QLabel *Label25, *Label9, *Label1, *Label8, *Label5, *Label2, *Label23;
    QComboBox *ComboBoxBH, *ComboBoxMC, *ComboBoxPJ, *ComboBoxFK;
    QLineEdit *EditLSDH, *EditSN;
    QPushButton *ButtonXZD;
    // Product panel
    QFrame *Panel2;
    QLabel *Label12;
    QGroupBox *GroupBox1;
    DBGrid *DBGrid2;
    // Lines
    DBNavigator *DBNavigator1;
    DBGrid *DBGrid1;
    QStatusBar *StatusBar1;

    QString panelText(int i) const;
    void setPanelText(int i, const QString &text);

    // ---- handlers both screens have
    void FormCreate();
    void EditLSDHChange();
    void ButtonXZDClick();
    void ComboBoxMCEnter();
    void DBGrid2CellClick();
    void SpeedButton_ExitClick();
    void SpeedButton1Click();
    void SpeedButton_PrintClick();
    void SpeedButton_PreviewClick();
    void SpeedButton_PrintsetupClick();

protected:
    void FormActivate() override;
    void FormClose() override;
    void keyPressEvent(QKeyEvent *e) override;

    // ---- for the screens
    DataModule &dm() const { return dm_; }
    DBComboBox *partyBox() const { return partyBox_; }
    QPushButton *postButton() const { return postButton_; }
    DBComboBox *nameBox() const { return nameBox_; }
    // Where the screens put their own header and product controls.
    QGridLayout *headerGrid() const { return header_; }
    QGridLayout *productGrid() const { return product_; }
    // Connects the shared handlers; the screens call it once their controls exist.
    void wireShared();
    // Focus entering or leaving a control of this window (a drop-down box counts as one).
    virtual void controlEntered(QWidget *control);
    virtual void controlLeft(QWidget *control) { Q_UNUSED(control); }
    // The screen's own part of "增新单" and of the first numbering.
    virtual void invoiceCleared() {}
    // Opens the party picker (suppliers or customers) beside the screen.
    virtual void openPartyPicker() = 0;

    // Before a posting: a grid edit is stored first, and a line needs an invoice number.
    bool readyToPost();
    // Stores one line: prepare() runs inside the transaction and gives the line, after()
    // gets its rowid there; the status marks it ("借入", "借出", "报损"); an exchange under way
    // carries its balance onto it. Shows the invoice again afterwards. Returns the rowid.
    qint64 storeLine(const std::function<InvoiceBook::NewLine()> &prepare, const QString &status,
                     const std::function<void(qint64)> &after = {});
    // The fields of a new line that come from the shared boxes.
    InvoiceBook::NewLine lineFromBoxes() const;
    // Shows the invoice of the number in EditLSDH again.
    void openInvoice();
    // Sets EditLSDH; the text it already shows changes nothing.
    void setLsdh(const QString &number);

private:
    void onFocusChanged(QWidget *now);
    QWidget *controlOf(QWidget *w) const;
    void numberInvoice();

    DataModule &dm_;
    InvoiceBook book_;
    Money &balance_;
    DBComboBox *partyBox_;
    QPushButton *postButton_;
    DBComboBox *nameBox_;
    QGridLayout *header_, *product_;
    QList<QLabel *> panels_;
    QPointer<QWidget> lastFocus_;
    QMetaObject::Connection focusConn_;
};
