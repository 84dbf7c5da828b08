#include "maintenance/TFormdele.h"

#include "dbwidgets/DBGrid.h"
#include "ui/Seams.h"
#include "store/DataModule.h"
#include "ui/ScreenHost.h"

#include <QLabel>
#include <QPushButton>
#include <QDateEdit>
#include <QButtonGroup>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {
QDateEdit *picker(const QString &name, QWidget *parent)
{
    auto *p = new QDateEdit(parent);
    p->setObjectName(name);
    p->setCalendarPopup(true);
    p->setDisplayFormat(QStringLiteral("yyyy-M-d"));
    p->setMinimumWidth(120);
    return p;
}

QRadioButton *radio(const QString &name, const QString &text, QWidget *parent)
{
    auto *r = new QRadioButton(text, parent);
    r->setObjectName(name);
    return r;
}
} // namespace

TFormdele::TFormdele(ScreenHost &host) : MdiForm(host, QStringLiteral("TFormdele")), ds_(host.data().ADOQuerydele)
{
    setObjectName(QStringLiteral("Formdele"));
    setWindowTitle(QStringLiteral("Formdele"));

    DateTimePicker1 = picker(QStringLiteral("DateTimePicker1"), this);
    Label6 = new QLabel(QStringLiteral("→"), this);
    Label6->setObjectName(QStringLiteral("Label6"));
    DateTimePicker2 = picker(QStringLiteral("DateTimePicker2"), this);
    Button1 = new QPushButton(QStringLiteral("删除预览"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2 = new QPushButton(QStringLiteral("删除"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setEnabled(false);
    RadioButton1 = radio(QStringLiteral("RadioButton1"), QStringLiteral("出库数据"), this);
    RadioButton2 = radio(QStringLiteral("RadioButton2"), QStringLiteral("入库数据"), this);
    RadioButton3 = radio(QStringLiteral("RadioButton3"), QStringLiteral("收款数据"), this);
    RadioButton4 = radio(QStringLiteral("RadioButton4"), QStringLiteral("付款数据"), this);
    RadioButton1->setChecked(true);
    auto *kinds = new QButtonGroup(this);
    for (QRadioButton *r : {RadioButton1, RadioButton2, RadioButton3, RadioButton4})
        kinds->addButton(r);
    DBGrid1 = new DBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    // A preview of what will be deleted, not a place to edit it.
    DBGrid1->setReadOnly(true);

    auto *top = new QHBoxLayout;
    top->addWidget(DateTimePicker1);
    top->addWidget(Label6);
    top->addWidget(DateTimePicker2);
    top->addSpacing(12);
    top->addWidget(Button1);
    top->addWidget(Button2);
    top->addSpacing(12);
    for (QRadioButton *r : {RadioButton1, RadioButton2, RadioButton3, RadioButton4})
        top->addWidget(r);
    top->addStretch(1);
    auto *v = new QVBoxLayout(this);
    v->addLayout(top);
    v->addWidget(DBGrid1, 1);
    resize(860, 460);

    ui::guard(this, [this] { FormCreate(); });
    DBGrid1->setDataSet(ds_);
    ui::on(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    ui::on(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
}

void TFormdele::FormCreate()
{
    DateTimePicker1->setDate(QDate::currentDate());
    DateTimePicker2->setDate(QDate::currentDate());
}

void TFormdele::setStatement(bool preview)
{
    // Stock lines go only once paid; receipts and payments whatever their open balance.
    QString sql;
    if (RadioButton1->isChecked())
        sql = preview ? QStringLiteral("select * from Ck where  fk='已付'  and rq<:rq ")
                      : QStringLiteral("delete  from Ck where fk='已付'  and rq<:rq ");
    else if (RadioButton2->isChecked())
        sql = preview ? QStringLiteral("select * from rk where fk='已付'  and rq<:rq ")
                      : QStringLiteral("delete from rk where fk='已付'  and rq<:rq ");
    else if (RadioButton3->isChecked())
        sql = preview ? QStringLiteral("select * from ys where rq<:rq ") : QStringLiteral("delete from ys where rq<:rq ");
    else
        sql = preview ? QStringLiteral("select * from yf where rq<:rq ") : QStringLiteral("delete from yf where rq<:rq ");

    // rq< the day after the end day takes the whole end day; with two different days,
    // rq> the start day leaves out exactly its midnight.
    const QDate from = DateTimePicker1->date();
    const QDate to = DateTimePicker2->date();
    const bool lowerBound = from != to;
    if (lowerBound)
        sql += QStringLiteral(" and rq>:rq1 ");
    ds_->setSql(sql);
    ds_->clearParams();
    ds_->setParam(QStringLiteral("rq"), to.addDays(1));
    if (lowerBound)
        ds_->setParam(QStringLiteral("rq1"), from);
}

void TFormdele::Button1Click()
{
    setStatement(true);
    ds_->open();
    sizeColumns(DBGrid1);
    Button2->setEnabled(ds_->recordCount() > 0);
}

void TFormdele::Button2Click()
{
    setStatement(false);
    {
        // All the selected rows go, or none of them.
        Transaction tx(data().conn());
        ds_->execSql();
        tx.commit();
    }
    FormCreate();
    Button2->setEnabled(false);
}

void TFormdele::sizeColumns(DBGrid *grid)
{
    DataSet *ds = grid->dataSet();
    if (!ds || !ds->isActive() || !grid->model())
        return;
    // Grid column i shows the data set's column i.
    const int columns = std::min(grid->model()->columnCount(), ds->fieldCount());
    QList<int> chars(columns);
    for (int i = 0; i < columns; ++i)
        chars[i] = int(grid->model()->headerData(i, Qt::Horizontal).toString().size());
    // Reads the rows without moving through them, so the grid is not redrawn per row.
    const int rows = ds->recordCount();
    for (int r = 0; r < rows; ++r)
        for (int i = 0; i < columns; ++i)
            chars[i] = std::max(chars[i], int(ds->displayText(r, i).trimmed().size()));
    for (int i = 0; i < columns; ++i)
        grid->setColumnWidth(i, 8 * chars[i]);
    ds->last();
}
