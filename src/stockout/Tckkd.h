#pragma once
// The stock-out invoice screen: the shared invoice screen with the stock-out lookup (by
// number, full name or initials), the stock really available, the customer's recent
// prices, a discount, the typed amount of a line, lending out and writing off.
#include "dataset/Money.h"
#include "invoice/InvoiceForm.h"

#include <optional>

class DBComboBox;

class Tckkd : public InvoiceForm {
    Q_OBJECT
public:
    explicit Tckkd(ScreenHost &host, QWidget *parent = nullptr);

    // The running difference of an exchange under way: one value for the whole program,
    // back to 0 whenever the invoice number changes.
    static Money ckkdExchangeBalance;

    // Header panel: the shared controls (InvoiceForm) and these
    DBComboBox *DBComboBoxKH;
    QPushButton *ButtonCK, *Button1, *Button2;
    // Product panel
    QLabel *Label7, *Label6, *Label11, *Label3;
    DBComboBox *DBComboBoxMC, *DBComboBoxXSJ;
    QLineEdit *Edit2, *Edit3;
    QComboBox *ComboBoxzk;

    // Handlers
    void FormCreate();
    void ComboBoxBHChange();
    void ComboBoxMCChange();
    void DBComboBoxKHEnter();
    void DataSourcePLDataChange();
    void DataSourceCKDataChange();
    // Posts one line; true when a line was stored.
    bool ButtonCKClick();
    void Button1Click();
    void Button2Click();
    void Edit3Change();

protected:
    void invoiceCleared() override;
    void openPartyPicker() override { DBComboBoxKHEnter(); }

private:
    struct LineInput {
        int sn = 0;
        std::optional<Money> price;
    };
    std::optional<LineInput> checkInput();
    // One posting: "" (出库), "借出" or "报损"; true when a line was stored.
    bool post(const QString &status);
    void clearLookup();
    // The pending stock-out quantity of a product (by number, or by name without one).
    qint64 pendingQuantity(const QString &bh, const QString &mc);
};
