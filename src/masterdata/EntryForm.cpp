#include "masterdata/EntryForm.h"

#include "dbwidgets/DBControls.h"
#include "masterdata/GridColumns.h"

#include <QVBoxLayout>

EntryForm::EntryForm(ScreenHost &host, const QString &flagName, DataSet *ds, const QString &nameField,
                     const QString &caption, QWidget *parent)
    : MdiForm(host, flagName, parent)
{
    dbwidgets::setNameField(ds, nameField);
    setWindowTitle(caption);
    DBNavigator1 = new DBNavigator(this);
    DBNavigator1->setObjectName("DBNavigator1");
    DBGrid1 = new DBGrid(this);
    DBGrid1->setObjectName("DBGrid1");

    auto *v = new QVBoxLayout(this);
    v->setContentsMargins(6, 6, 6, 6);
    v->addWidget(DBNavigator1, 0, Qt::AlignLeft);
    v->addWidget(DBGrid1, 1);
    resize(sizeHint());

    DBNavigator1->setDataSet(ds);
    DBGrid1->setDataSet(ds);
    masterdata::keepColumnsFitted(DBGrid1);
}

void EntryForm::fitColumns()
{
    masterdata::fitColumns(DBGrid1);
}
