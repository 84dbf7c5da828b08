#include "dbwidgets/DataSetModel.h"

#include "dataset/Errors.h"
#include "ui/Seams.h"

#include <QApplication>

DataSetModel::DataSetModel(DataSet *ds, QObject *parent) : QAbstractTableModel(parent), ds_(ds)
{
    rebuildColumns();
    connect(ds, &DataSet::rowsReset, this, &DataSetModel::onReset);
    connect(ds, &DataSet::rowChanged, this, [this](int row) {
        if (row >= 0 && row < rowCount() && !columns_.isEmpty())
            emit dataChanged(index(row, 0), index(row, int(columns_.size()) - 1));
    });
}

void DataSetModel::setColumns(const QStringList &fieldNames)
{
    beginResetModel();
    customColumns_ = fieldNames;
    rebuildColumns();
    endResetModel();
}

void DataSetModel::rebuildColumns()
{
    columns_.clear();
    if (!ds_)
        return;
    if (!customColumns_.isEmpty()) {
        for (const QString &n : customColumns_) {
            const int i = ds_->fieldIndex(n);
            if (i >= 0)
                columns_.append(i);
        }
        return;
    }
    for (int i = 0; i < ds_->fieldCount(); ++i)
        if (ds_->fieldDef(i).visible)
            columns_.append(i);
}

template <typename F>
void DataSetModel::read(F f) const
{
    try {
        f();
    } catch (const KorvelError &e) {
        // Views ask for data while they paint and lay out: never open a box there, and
        // say it once, not for every cell.
        if (e.message() != lastError_) {
            lastError_ = e.message();
            ui::errorLater(e.message());
        }
    }
}

void DataSetModel::onReset()
{
    lastError_.clear();
    beginResetModel();
    rebuildColumns();
    endResetModel();
}

int DataSetModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !ds_ || !ds_->isActive())
        return 0;
    int n = 0;
    read([&] { n = ds_->recordCount(); });
    return n;
}

int DataSetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant DataSetModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !ds_ || index.row() >= rowCount() || index.column() >= columns_.size())
        return {};
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    QString text;
    read([&] { text = ds_->displayText(index.row(), columns_.at(index.column())); });
    return text;
}

QVariant DataSetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || !ds_)
        return {};
    if (orientation == Qt::Vertical)
        return {};
    if (section < 0 || section >= columns_.size())
        return {};
    return ds_->fieldDef(columns_.at(section)).displayLabel();
}

Qt::ItemFlags DataSetModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (!readOnly_ && ds_ && ds_->canModify()) {
        const FieldDef &d = ds_->fieldDef(columns_.at(index.column()));
        if (!d.readOnly && !d.calculated && d.type != FieldType::Blob)
            f |= Qt::ItemIsEditable;
    }
    return f;
}

bool DataSetModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !ds_)
        return false;
    bool ok = false;
    ui::guard(QApplication::activeWindow(), [&] {
        if (ds_->recNo() != index.row())
            ds_->moveTo(index.row());
        const int field = columns_.at(index.column());
        // Writing the same text again would still count as an edit; leave the record alone.
        if (ds_->displayText(index.row(), field) == value.toString() && !ds_->isEditing())
            return;
        ds_->setText(field, value.toString());
        ok = true;
    });
    return ok;
}
