#pragma once
// A picker window: search by full name or initials, a click on a row chooses it and
// closes the window. The choice stays as the current record of the picker's data set,
// which the calling box is bound to.
#include "dbwidgets/DBGrid.h"
#include "dbwidgets/DBNavigator.h"

#include <QPointer>
#include <QWidget>

class QLabel;
class QLineEdit;

class DataModule;

class PickerForm : public QWidget {
    Q_OBJECT
public:
    struct Texts {
        QString objectName, caption, label, gridHint, table, nameColumn;
    };
    PickerForm(DataModule &main, DataSet *ds, const Texts &texts, QWidget *parent = nullptr);

    QLabel *Label2;
    QLineEdit *Edit1;
    DBNavigator *DBNavigator1;
    DBGrid *DBGrid1;

    void FormCreate();
    void Edit1Change();
    void DBGrid1CellClick();

protected:
    void closeEvent(QCloseEvent *e) override;

    DataModule &main_;
    QPointer<DataSet> ds_;
    Texts texts_;
};
