#include "analysis/ChartScreen.h"

#include "analysis/ChartKinds.h"
#include "analysis/DBChart.h"
#include "dataset/DataSet.h"
#include "dataset/Formats.h"
#include "store/DataModule.h"
#include "ui/ScreenHost.h"
#include "ui/Seams.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

ChartScreen::ChartScreen(ScreenHost &host, const ChartKind &kind, QWidget *parent)
    : MdiForm(host, QString::fromLatin1(kind.screen), parent), kind_(kind), m_(host.data()),
      ds_(m_.*kind.dataSet)
{
    setObjectName(QString::fromLatin1(kind.screen));
    setWindowTitle(QString::fromUtf16(kind.caption));

    DateTimePicker1 = new QDateEdit(this);
    DateTimePicker1->setObjectName(QStringLiteral("DateTimePicker1"));
    Label6 = new QLabel(QStringLiteral("→"), this);
    Label6->setObjectName(QStringLiteral("Label6"));
    DateTimePicker2 = new QDateEdit(this);
    DateTimePicker2->setObjectName(QStringLiteral("DateTimePicker2"));
    for (QDateEdit *d : {DateTimePicker1, DateTimePicker2}) {
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("yyyy-M-d"));
        d->setMinimumWidth(110);
    }
    Button1 = new QPushButton(QStringLiteral("分析"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    auto *bar = new QHBoxLayout;
    bar->addWidget(DateTimePicker1);
    bar->addWidget(Label6);
    bar->addWidget(DateTimePicker2);
    bar->addSpacing(8);
    bar->addWidget(Button1);
    if (kind.showsProfit) {
        Edit1 = new QLineEdit(this);
        Edit1->setObjectName(QStringLiteral("Edit1"));
        Edit1->setReadOnly(true);
        Edit1->setToolTip(QStringLiteral("总利润"));
        Edit1->setMinimumWidth(140);
        auto *caption = new QLabel(QStringLiteral("总利润"), this);
        caption->setBuddy(Edit1);
        bar->addSpacing(16);
        bar->addWidget(caption);
        bar->addWidget(Edit1);
    }
    bar->addStretch(1);

    DBChart1 = new DBChart(this);
    DBChart1->setObjectName(QStringLiteral("DBChart1"));
    DBChart1->setTitle(QString::fromUtf16(kind.title));

    auto *v = new QVBoxLayout(this);
    v->setContentsMargins(6, 6, 6, 6);
    v->addLayout(bar);
    v->addWidget(DBChart1, 1);
    resize(960, 620);

    ui::on(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    // The total beside the chart follows every reopening, also the command's refresh of a
    // screen already open, so it is always the total of the slices shown.
    if (Edit1)
        connect(ds_, &DataSet::opened, this, [this] { showProfit(); });
    DBChart1->setDataSet(ds_, QString::fromUtf8(kind.labelColumn), QString::fromUtf8(kind.valueColumn));
    ui::guard(this, [this] { FormCreate(); });
}

void ChartScreen::FormCreate()
{
    DateTimePicker1->setDate(QDate::currentDate());
    DateTimePicker2->setDate(QDate::currentDate());
    // The command has just reopened the data set: this is the total of what the chart shows.
    showProfit();
}

void ChartScreen::showProfit()
{
    if (Edit1)
        Edit1->setText(m_.lrTotalProfit.toString());
}

void ChartScreen::Button1Click()
{
    ds_->close();
    const QDate from = DateTimePicker1->date(), to = DateTimePicker2->date();
    ds_->clearParams();
    // The same day on both pickers means every date; otherwise both days are included.
    if (fmt::shortDate(from) != fmt::shortDate(to)) {
        ds_->setSql(QString::fromUtf8(kind_.rangedSql));
        ds_->setParam(QStringLiteral("rq1"), from);
        ds_->setParam(QStringLiteral("rq"), to.addDays(1));
    } else {
        ds_->setSql(QString::fromUtf8(kind_.allDatesSql));
    }
    ds_->open();
    showProfit();
}

void ChartScreen::FormClose()
{
    // The data set keeps the last analysis; the next opening shows it again.
}
