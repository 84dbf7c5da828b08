#include "masterdata/PickerForm.h"

#include "dbwidgets/DBControls.h"
#include "masterdata/GridColumns.h"
#include "ui/Seams.h"
#include "store/DataModule.h"

#include <QLabel>
#include <QLineEdit>
#include <QCloseEvent>
#include <QVBoxLayout>

PickerForm::PickerForm(DataModule &main, DataSet *ds, const Texts &texts, QWidget *parent)
    : QWidget(parent, Qt::Window), main_(main), ds_(ds), texts_(texts)
{
    setObjectName(texts.objectName);
    setWindowTitle(texts.caption);
    setAttribute(Qt::WA_DeleteOnClose);

    Label2 = new QLabel(texts.label, this);
    Label2->setObjectName("Label2");
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName("Edit1");
    Edit1->setToolTip(QStringLiteral("支持全称与首拼查询"));
    Edit1->setMaxLength(50);
    Label2->setBuddy(Edit1);
    DBNavigator1 = new DBNavigator(this);
    DBNavigator1->setObjectName("DBNavigator1");
    DBGrid1 = new DBGrid(this);
    DBGrid1->setObjectName("DBGrid1");
    DBGrid1->setToolTip(texts.gridHint);

    auto *top = new QHBoxLayout;
    top->addWidget(Label2);
    top->addWidget(Edit1, 1);
    top->addSpacing(12);
    top->addWidget(DBNavigator1);
    auto *v = new QVBoxLayout(this);
    v->setContentsMargins(6, 6, 6, 6);
    v->addLayout(top);
    v->addWidget(DBGrid1, 1);
    // Wide enough for the long caption and the first columns, short enough to sit beside
    // the invoice screen that opened it.
    resize(900, 380);

    // A row added with "+" and left without a name is dropped, never stored.
    dbwidgets::setNameField(ds_, texts.nameColumn);
    ui::guard(this, [this] { FormCreate(); });
    DBGrid1->setDataSet(ds_);
    DBNavigator1->setDataSet(ds_);
    masterdata::hideInitials(DBGrid1);
    masterdata::keepColumnsFitted(DBGrid1);
    ui::on(Edit1, &QLineEdit::textChanged, this, [this] { Edit1Change(); });
    ui::on(DBGrid1, &DBGrid::cellClicked, this, [this] { DBGrid1CellClick(); });
}

void PickerForm::FormCreate()
{
    // A row left in editing by an earlier picker is stored before the list is read anew.
    dbwidgets::storePending(ds_);
    ds_->setSql("select * from " + texts_.table);
    ds_->open();
}

void PickerForm::Edit1Change()
{
    const QString text = Edit1->text();
    if (text.isEmpty())
        return;  // the list keeps its last contents
    dbwidgets::storePending(ds_);
    ds_->setSql(QStringLiteral("select * from %1 where %2 like :MC or gjdq like :MC1").arg(texts_.table, texts_.nameColumn));
    ds_->setParam("MC", "%" + text + "%");
    ds_->setParam("MC1", "%" + text + "%");
    ds_->open();
    if (ds_->recordCount() == 0)
        ui::message(this, QStringLiteral("请在\"基本资料\"菜单下增加数据"));
}

void PickerForm::DBGrid1CellClick()
{
    // The clicked row is already current, so the calling box shows its name. A row just
    // added here is stored first: it is the choice (dropped if it has no name).
    if (!DBGrid1->postPendingEdit())
        return;
    close();
}

void PickerForm::closeEvent(QCloseEvent *e)
{
    // Closed by its frame with a row half added: store it, or keep the window open so
    // the user can correct or cancel it.
    const bool stored = !ds_ || !ds_->isEditing() || DBGrid1->postPendingEdit();
    if (stored)
        e->accept();
    else
        e->ignore();
}
