#pragma once
// Table model over a data set: one row per record, one column per visible field.
#include "dataset/DataSet.h"

#include <QAbstractTableModel>
#include <QPointer>

class DataSetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DataSetModel(DataSet *ds, QObject *parent = nullptr);

    DataSet *dataSet() const { return ds_; }
    void setReadOnly(bool ro) { readOnly_ = ro; }
    // Field index behind a model column, and back.
    int fieldOfColumn(int column) const { return columns_.value(column, -1); }
    int columnOfField(int field) const { return int(columns_.indexOf(field)); }
    // Overrides the visible columns (field names in order); empty restores the field list.
    void setColumns(const QStringList &fieldNames);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

private:
    void rebuildColumns();
    void onReset();
    // Runs a read of the data set for the view; an engine error is reported once, later.
    template <typename F>
    void read(F f) const;
    QPointer<DataSet> ds_;
    QList<int> columns_;
    QStringList customColumns_;
    bool readOnly_ = false;
    mutable QString lastError_;  // reported already since the last reset
};
