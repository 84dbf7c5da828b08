#pragma once
// The deletion screen: previews and deletes old settled lines, receipts or payments by date.
#include "ui/MdiForm.h"

#include <QDate>
#include <QRadioButton>

class QLabel;
class QPushButton;
class QDateEdit;

class DBGrid;
class DataSet;

class TFormdele : public MdiForm {
    Q_OBJECT
public:
    explicit TFormdele(ScreenHost &host);

    QDateEdit *DateTimePicker1, *DateTimePicker2;
    QLabel *Label6;
    QPushButton *Button1, *Button2;
    QRadioButton *RadioButton1, *RadioButton2, *RadioButton3, *RadioButton4;
    DBGrid *DBGrid1;

    void FormCreate();
    void Button1Click();
    void Button2Click();

    // Widens each column of the grid to 8 pixels per character of its title or its
    // longest trimmed text; leaves the last row current.
    static void sizeColumns(DBGrid *grid);

private:
    // Sets the chosen kind's statement and binds the period of the pickers.
    void setStatement(bool preview);
    DataSet *ds_;
};
