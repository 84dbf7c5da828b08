#pragma once
// Grid over a data set: the grid's current row is the data set's current record,
// editing a cell edits the field.
#include "dataset/DataSet.h"
#include "dbwidgets/DataSetModel.h"

#include <QPointer>
#include <QTableView>

class QAction;

class DBGrid : public QTableView, public DataEditor {
    Q_OBJECT
public:
    explicit DBGrid(QWidget *parent = nullptr);
    ~DBGrid() override;

    void setDataSet(DataSet *ds);
    DataSet *dataSet() const { return ds_; }
    DataSetModel *dataModel() const { return model_; }
    void setReadOnly(bool ro);
    bool isReadOnly() const { return readOnly_; }
    // A cell offering a fixed pick list (like the role column of the employee grid).
    void setPickList(const QString &field, const QStringList &items);
    QStringList pickList(const QString &field) const { return pickLists_.value(field.toLower()); }
    // Visible columns in this order instead of the field list's.
    void setColumns(const QStringList &fieldNames);
    // Field name of a model column.
    QString fieldNameOfColumn(int column) const;
    // Clicks a data cell the way a user does (used by tests and keyboard handlers alike).
    void clickCell(int row, int column);

    // The context menu's "导出到Excel...": the listed rows to a spreadsheet file.
    QAction *exportAction() const { return exportAction_; }

    void commitPending() override;
    void discardPending() override;
    // Writes an open cell edit and posts the record (a new one without its name is
    // dropped instead); a refusal is shown and leaves the record in editing. True when
    // nothing is left pending.
    bool postPendingEdit();
    // Sizes every column to its title and the rows on show, at most MaxColumnWidth.
    void fitColumnsToContents();
    static constexpr int MaxColumnWidth = 360;

signals:
    void cellClicked(int row, int column);
    void cellDoubleClicked(int row, int column);

protected:
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void showEvent(QShowEvent *e) override;

private:
    void syncFromDataSet();
    void onFocusChanged(QWidget *old, QWidget *now);
    void onScreenClosing();
    QPointer<DataSet> ds_;
    DataSetModel *model_ = nullptr;
    bool syncing_ = false;
    bool readOnly_ = false;
    QHash<QString, QStringList> pickLists_;
    friend class PickListDelegate;
    QPointer<QWidget> openEditor_;
    bool closingWired_ = false;
    QAction *exportAction_ = nullptr;
};
