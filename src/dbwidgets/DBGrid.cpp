#include "dbwidgets/DBGrid.h"

#include "dbwidgets/DBControls.h"
#include "dbwidgets/GridExport.h"
#include "ui/MdiForm.h"
#include "ui/Seams.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QStyledItemDelegate>

namespace {
// Rows read to size the columns: the first screenful and a little more.
constexpr int RowsMeasured = 50;
}

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
        QString text;
        if (auto *box = qobject_cast<QComboBox *>(editor)) {
            text = box->currentText();
        } else if (auto *line = qobject_cast<QLineEdit *>(editor)) {
            text = line->text();
        } else {
            QStyledItemDelegate::setModelData(editor, model, index);
            return;
        }
        // The rules and messages of the boxes; a refused text leaves the field as it was.
        DataSet *ds = grid_->dataSet();
        const int field = grid_->dataModel() ? grid_->dataModel()->fieldOfColumn(index.column()) : -1;
        if (ds && field >= 0) {
            bool ok = false;
            ui::guard(grid_->window(), [&] {
                dbwidgets::parseEntry(ds->fieldDef(field), text);
                ok = true;
            });
            if (!ok)
                return;
        }
        model->setData(index, text, Qt::EditRole);
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
    connect(qApp, &QApplication::focusChanged, this, &DBGrid::onFocusChanged);
    // Every list can leave the program as a spreadsheet: the grid's own menu offers it.
    exportAction_ = new QAction(QStringLiteral("导出到Excel..."), this);
    exportAction_->setObjectName(QStringLiteral("ActionExportExcel"));
    addAction(exportAction_);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    ui::on(exportAction_, &QAction::triggered, this, [this] { gridexport::exportGrid(this); });
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
    connect(model_, &QAbstractItemModel::modelReset, this, &DBGrid::fitColumnsToContents);
    fitColumnsToContents();
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
    const int row = current.row();
    syncing_ = true;
    ui::guard(this, [&] {
        // Leaving a new row without its name drops it (the rows after it stay where they are).
        dbwidgets::dropUnnamedRecord(ds_);
        ds_->moveTo(row);
    });
    syncing_ = false;
    // A refused move (a pending edit that does not post) keeps the grid on the record.
    if (ds_->isActive() && (!currentIndex().isValid() || ds_->recNo() != currentIndex().row()))
        syncFromDataSet();
}

void DBGrid::showEvent(QShowEvent *e)
{
    QTableView::showEvent(e);
    if (closingWired_)
        return;
    for (QWidget *p = parentWidget(); p; p = p->parentWidget()) {
        if (auto *form = qobject_cast<MdiForm *>(p)) {
            connect(form, &MdiForm::closing, this, &DBGrid::onScreenClosing);
            closingWired_ = true;
            return;
        }
    }
}

bool DBGrid::postPendingEdit()
{
    if (!ds_ || !ds_->isActive())
        return true;
    bool ok = false;
    ui::guard(window(), [&] {
        dbwidgets::storePending(ds_);
        ok = true;
    });
    return ok && !(ds_ && ds_->isEditing());
}

// An edit typed into the grid is stored once the focus goes to another control of the
// same window (another window, a message box or a drop-down list is no leaving).
void DBGrid::onFocusChanged(QWidget *old, QWidget *now)
{
    if (readOnly_ || !ds_ || !ds_->isEditing() || !old || !now)
        return;
    const bool wasHere = old == this || isAncestorOf(old);
    const bool isHere = now == this || isAncestorOf(now);
    if (wasHere && !isHere && now->window() == window())
        postPendingEdit();
}

// The screen closes: what was typed is stored; what cannot be is dropped, as the shared
// data set must not stay in editing after its screen is gone.
void DBGrid::onScreenClosing()
{
    if (readOnly_ || !ds_ || !ds_->isEditing())
        return;
    if (!postPendingEdit() && ds_ && ds_->isEditing())
        ds_->cancel();
}

void DBGrid::fitColumnsToContents()
{
    if (!model_)
        return;
    horizontalHeader()->setResizeContentsPrecision(RowsMeasured);
    resizeColumnsToContents();
    for (int c = 0; c < model_->columnCount(); ++c)
        if (columnWidth(c) > MaxColumnWidth)
            setColumnWidth(c, MaxColumnWidth);
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
