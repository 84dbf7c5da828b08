#pragma once
// An entry screen: a navigator and a grid over one shared table data set; rows are
// added, changed and deleted in the grid itself. A row typed but not yet posted is
// stored when the focus leaves the grid or the screen closes.
#include "dbwidgets/DBGrid.h"
#include "dbwidgets/DBNavigator.h"
#include "ui/MdiForm.h"
#include "ui/ScreenHost.h"

class EntryForm : public MdiForm {
    Q_OBJECT
public:
    // nameField: the column a row needs to be stored; a new row without it is dropped.
    EntryForm(ScreenHost &host, const QString &flagName, DataSet *ds, const QString &nameField, const QString &caption,
              QWidget *parent = nullptr);

    DBNavigator *DBNavigator1;
    DBGrid *DBGrid1;

    // The frame of a child window takes its size from here.
    QSize sizeHint() const override { return {980, 460}; }

protected:
    // Sizes the columns once the grid shows its final column list.
    void fitColumns();
};
