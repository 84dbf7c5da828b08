#pragma once
// The stock-in invoice screen: the shared invoice screen with the stock-in lookup (a
// product not found is entered as new), the product's purchase and sales prices, and
// posting that stores the product with its line.
#include "dataset/Money.h"
#include "invoice/InvoiceForm.h"

#include <optional>

class DBComboBox;
class DBEdit;

class Trkkd : public InvoiceForm {
    Q_OBJECT
public:
    explicit Trkkd(ScreenHost &host, QWidget *parent = nullptr);

    // The running difference of an exchange under way: one value for the whole program,
    // back to 0 whenever the invoice number changes.
    static Money rkkdExchangeBalance;

    // Header panel: the shared controls (InvoiceForm) and these
    QLabel *Label4, *Label26;
    DBComboBox *DBComboBoxGYS, *DBComboBoxck;
    QPushButton *ButtonRK;
    // Product panel
    QLabel *Label7, *Label6, *Label3, *Label14;
    DBComboBox *DBComboBoxmc;
    DBEdit *DBEditcgj, *DBEditxsj, *DBEditbh;
    QPushButton *ButtonJR;

    // Handlers
    void FormCreate();
    void FormActivate() override;
    void ComboBoxBHChange();
    void ComboBoxMCChange();
    void DBComboBoxmcExit();
    void DataSourcePLDataChange();
    void DBComboBoxGYSEnter();
    // Posts one line; true when a line was stored.
    bool ButtonRKClick();
    void ButtonJRClick();

protected:
    void controlLeft(QWidget *control) override;
    void openPartyPicker() override { DBComboBoxGYSEnter(); }

private:
    struct LineInput {
        int sn = 0;
        Money cgj;
    };
    std::optional<LineInput> checkInput();
    bool post(const QString &status);
    void endLookup(bool productChanged);
    void fillLists();
};
