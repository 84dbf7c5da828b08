#include "dbwidgets/DBGrid.h"

#include "ui/Seams.h"

#include <QComboBox>
#include <QHeaderView>
#include <QStyledItemDelegate>

// Opens a drop-down for fields with a pick list, a line edit elsewhere.
class PickListDelegate : public QStyledItemDelegate {
public:
    explicit PickListDelegate(DBGrid *grid) : QStyledItemDelegate(grid), grid_(grid) {}

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QWidget *w = nullptr;
        const QStringList items = grid_->pickList(grid_->fieldNameOfColumn(index.column()));
        if (!items.isEmpty()) {
            auto *box = new QComboBox(parent);
            box->setEditable(true);
            box->addItems(items);
            w = box;
        } else {
            w = QStyledItemDelegate::createEditor(parent, option, index);
        }
        grid_->openEditor_ = w;
        return w;
    }

    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        if (auto *box = qobject_cast<QComboBox *>(editor)) {
            box->setCurrentText(index.data(Qt::EditRole).toString());
            return;
        }
        QStyledItemDelegate::setEditorData(editor, index);
    }

    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        if (auto *box = qobject_cast<QComboBox *>(editor)) {
            model->setData(index, box->currentText(), Qt::EditRole);
            return;
        }
        QStyledItemDelegate::setModelData(editor, model, index);
    }

private:
    DBGrid *grid_;
};

DBGrid::DBGrid(QWidget *parent) : QTableView(parent)
{
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setItemDelegate(new PickListDelegate(this));
    verticalHeader()->setDefaultSectionSize(22);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex &i) {
        if (i.isValid())
            emit cellClicked(i.row(), i.column());
    });
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &i) {
        if (i.isValid())
            emit cellDoubleClicked(i.row(), i.column());
    });
}

DBGrid::~DBGrid()
{
    if (ds_)
        ds_->removeEditor(this);
}

void DBGrid::setDataSet(DataSet *ds)
{
    if (ds_) {
        ds_->removeEditor(this);
        disconnect(ds_, nullptr, this, nullptr);
    }
    ds_ = ds;
    auto *old = model_;
    model_ = new DataSetModel(ds, this);
    model_->setReadOnly(readOnly_);
    setModel(model_);
    delete old;
    ds->addEditor(this);
    connect(ds, &DataSet::currentChanged, this, [this] { syncFromDataSet(); });
    connect(ds, &DataSet::rowsReset, this, [this] { syncFromDataSet(); });
    syncFromDataSet();
}

void DBGrid::setReadOnly(bool ro)
{
    readOnly_ = ro;
    if (model_)
        model_->setReadOnly(ro);
    setEditTriggers(ro ? QAbstractItemView::NoEditTriggers
                       : QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                             QAbstractItemView::AnyKeyPressed);
}

void DBGrid::setPickList(const QString &field, const QStringList &items)
{
    pickLists_.insert(field.toLower(), items);
}

void DBGrid::setColumns(const QStringList &fieldNames)
{
    if (model_)
        model_->setColumns(fieldNames);
}

QString DBGrid::fieldNameOfColumn(int column) const
{
    if (!model_ || !ds_)
        return {};
    const int f = model_->fieldOfColumn(column);
    return f >= 0 ? ds_->fieldDef(f).name : QString();
}

void DBGrid::clickCell(int row, int column)
{
    const QModelIndex i = model_ ? model_->index(row, column) : QModelIndex();
    if (!i.isValid())
        return;
    setCurrentIndex(i);
    emit clicked(i);
}

void DBGrid::syncFromDataSet()
{
    if (!ds_ || !model_ || syncing_)
        return;
    syncing_ = true;
    int row = -1;
    ui::guard(nullptr, [&] { row = ds_->isActive() ? ds_->recNo() : -1; });
    const int col = currentIndex().isValid() ? currentIndex().column() : 0;
    if (row >= 0 && row < model_->rowCount() && model_->columnCount() > 0) {
        const QModelIndex i = model_->index(row, std::min(col, model_->columnCount() - 1));
        setCurrentIndex(i);
        scrollTo(i);
    }
    syncing_ = false;
}

void DBGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (syncing_ || !ds_ || !current.isValid())
        return;
    if (previous.isValid() && previous.row() == current.row())
        return;
    syncing_ = true;
    ui::guard(this, [&] { ds_->moveTo(current.row()); });
    syncing_ = false;
    // A refused move (a pending edit that does not post) keeps the grid on the record.
    if (ds_->isActive() && ds_->recNo() != current.row())
        syncFromDataSet();
}

void DBGrid::commitPending()
{
    if (openEditor_ && openEditor_->isVisible()) {
        QWidget *e = openEditor_;
        openEditor_ = nullptr;
        commitData(e);
        closeEditor(e, QAbstractItemDelegate::NoHint);
    }
}

void DBGrid::discardPending()
{
    if (openEditor_ && openEditor_->isVisible()) {
        QWidget *e = openEditor_;
        openEditor_ = nullptr;
        closeEditor(e, QAbstractItemDelegate::RevertModelCache);
    }
}
