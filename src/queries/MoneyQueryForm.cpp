#include "queries/MoneyQueryForm.h"

#include "dataset/Formats.h"
#include "dbwidgets/DBGrid.h"
#include "dbwidgets/GridExport.h"
#include "dbwidgets/DBNavigator.h"
#include "reporting/ReportEngine.h"
#include "store/DataModule.h"
#include "ui/Controls.h"
#include "ui/ScreenHost.h"
#include "ui/Seams.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

MoneyQueryForm::MoneyQueryForm(ScreenHost &host, const MoneyQuery &query, QWidget *parent)
    : MdiForm(host, query.flag, parent), m_(host.data()), q_(query), list_(m_.*query.list)
{
    setObjectName(query.flag);
    setWindowTitle(query.caption);
    buildUi();
    ui::on(ButtonRK, &QPushButton::clicked, this, [this] { ButtonRKClick(); });
    ui::on(SpeedButton_Print, &QToolButton::clicked, this, [this] { SpeedButton_PrintClick(); });
    ui::guard(this, [this] { FormCreate(); });
}

QComboBox *MoneyQueryForm::makeCombo(const QString &name, const QStringList &items)
{
    return ui::makeCriterionBox(Panel1, name, items, 110);
}

void MoneyQueryForm::buildUi()
{
    SpeedButton_Print =
        ui::makeToolButton(this, QStringLiteral("SpeedButton_Print"), QStringLiteral("打印"), QStyle::SP_FileDialogDetailedView);
    auto *tools = new QHBoxLayout;
    tools->addWidget(SpeedButton_Print);
    tools->addStretch(1);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::StyledPanel);
    EditLSDH = new QLineEdit(Panel1);
    EditLSDH->setObjectName(QStringLiteral("EditLSDH"));
    EditLSDH->setMaxLength(50);
    DateTimePicker1 = new QDateEdit(Panel1);
    DateTimePicker1->setObjectName(QStringLiteral("DateTimePicker1"));
    DateTimePicker2 = new QDateEdit(Panel1);
    DateTimePicker2->setObjectName(QStringLiteral("DateTimePicker2"));
    for (QDateEdit *d : {DateTimePicker1, DateTimePicker2}) {
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("yyyy-M-d"));
        d->setMinimumWidth(110);
    }
    ButtonRK = new QPushButton(q_.caption, Panel1);
    ButtonRK->setObjectName(QStringLiteral("ButtonRK"));
    ButtonRK->setDefault(true);
    ButtonRK->setMinimumSize(96, 48);
    ComboBoxgys = makeCombo(QStringLiteral("ComboBoxgys"), {});
    ComboBoxMC = makeCombo(QStringLiteral("ComboBoxMC"), {});
    ComboBoxMC->setStyleSheet(QStringLiteral("QComboBox { color: blue; }"));
    ComboBoxjsr = makeCombo(QStringLiteral("ComboBoxjsr"), {});
    ComboBoxfk = makeCombo(QStringLiteral("ComboBoxfk"),
                           {QStringLiteral("收据"), QStringLiteral("普通发票"), QStringLiteral("增值发票")});

    auto *grid = new QGridLayout(Panel1);
    grid->setHorizontalSpacing(6);
    auto add = [&](const QString &text, QWidget *field, QLayout *fieldLayout, int row, int col) {
        auto *l = new QLabel(text, Panel1);
        l->setBuddy(field);
        grid->addWidget(l, row, col);
        if (fieldLayout)
            grid->addLayout(fieldLayout, row, col + 1);
        else
            grid->addWidget(field, row, col + 1);
        grid->setColumnStretch(col + 1, 1);
    };
    auto *dates = new QHBoxLayout;
    dates->addWidget(DateTimePicker1, 1);
    dates->addWidget(new QLabel(QStringLiteral("→"), Panel1));
    dates->addWidget(DateTimePicker2, 1);
    add(QStringLiteral("流水单号"), EditLSDH, nullptr, 0, 0);
    add(QStringLiteral("日期"), DateTimePicker1, dates, 0, 2);
    add(q_.party, ComboBoxgys, nullptr, 0, 4);
    add(QStringLiteral("银行"), ComboBoxMC, nullptr, 1, 0);
    add(QStringLiteral("经手人"), ComboBoxjsr, nullptr, 1, 2);
    add(QStringLiteral("票据"), ComboBoxfk, nullptr, 1, 4);
    grid->addWidget(ButtonRK, 0, 6, 2, 1, Qt::AlignVCenter);

    DBNavigator1 = new DBNavigator(this);
    DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
    DBGrid1 = new DBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    tools->insertWidget(tools->indexOf(SpeedButton_Print) + 1, gridexport::toolButton(DBGrid1, this));
    StatusBar1 = ui::makeStatusBar(this, {110, 300}, &panels_);

    auto *v = new QVBoxLayout(this);
    v->setContentsMargins(6, 6, 6, 0);
    v->addLayout(tools);
    v->addWidget(Panel1);
    v->addWidget(DBNavigator1);
    v->addWidget(DBGrid1, 1);
    v->addWidget(StatusBar1);
    resize(980, 600);

    DBGrid1->setDataSet(list_);
    DBNavigator1->setDataSet(list_);
    // Room for a whole party name and a date with its time.
    auto widths = [this] {
        for (int c = 0; c < DBGrid1->dataModel()->columnCount(); ++c) {
            const QString name = DBGrid1->fieldNameOfColumn(c);
            DBGrid1->setColumnWidth(c, name == QLatin1String("kh") ? 170 : name == QLatin1String("rq") ? 140 : 96);
        }
    };
    widths();
    connect(DBGrid1->dataModel(), &QAbstractItemModel::modelReset, this, widths);
}

QString MoneyQueryForm::panelText(int i) const
{
    return panels_.value(i) ? panels_[i]->text() : QString();
}

void MoneyQueryForm::FormCreate()
{
    // Every party of the table in its order, whatever filter another screen left on its data set.
    for (const QVariantList &row :
         m_.conn().rows(QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid").arg(q_.partyColumn, q_.partyTable)))
        ComboBoxgys->addItem(row.value(0).toString());
    DataSet *gy = m_.ADOTableGY;
    const int mz = gy->fieldIndex(QStringLiteral("mz"));
    for (int r = 0, n = gy->recordCount(); r < n; ++r)
        ComboBoxjsr->addItem(gy->rowValue(r, mz).toString());
    for (QComboBox *c : {ComboBoxgys, ComboBoxjsr}) {
        c->setCurrentIndex(-1);
        c->setEditText(QString());
    }
    DateTimePicker1->setDate(QDate::currentDate());
    DateTimePicker2->setDate(QDate::currentDate());
}

void MoneyQueryForm::ButtonRKClick()
{
    Money &jr = m_.*q_.totalJr;
    Money &yr = m_.*q_.totalYr;
    jr = Money();
    yr = Money();
    list_->close();
    list_->clearParams();
    QStringList sql{QStringLiteral("select * from %1 where rq<:rq").arg(q_.table)};
    Params params{{QStringLiteral("rq"), DateTimePicker2->date().addDays(1)}};
    // Same day on both pickers: everything up to the end of that day.
    if (fmt::shortDate(DateTimePicker1->date()) != fmt::shortDate(DateTimePicker2->date())) {
        sql << QStringLiteral(" and rq>:rq1");
        params.append({QStringLiteral("rq1"), DateTimePicker1->date()});
    }
    const struct {
        QString text;
        const char *fragment, *param;
        bool like;
    } criteria[] = {
        {EditLSDH->text(), " and lsdh like :lsdh1", "lsdh1", true},
        {ComboBoxgys->currentText(), " and kh=:gys1", "gys1", false},
        {ComboBoxjsr->currentText(), " and jsr=:jsr1", "jsr1", false},
        {ComboBoxfk->currentText(), " and pj=:fk1", "fk1", false},
    };
    for (const auto &c : criteria) {
        if (c.text.isEmpty())
            continue;
        sql << QString::fromLatin1(c.fragment);
        params.append({QString::fromLatin1(c.param), c.like ? u'%' + c.text + u'%' : c.text});
    }
    sql << QStringLiteral(" order by rq desc");
    list_->setSql(sql.join(u'\n'));
    for (const auto &p : params)
        list_->setParam(p.first, p.second);
    list_->open();
    // The settled figure is the amount less the balance, as the shop reads it.
    panels_[1]->setText(QStringLiteral("总金额：") + jr.toString() + QStringLiteral("   总余额：") + yr.toString() +
                        QStringLiteral("   总已结：") + (jr - yr).toString());
    panels_[0]->setText(QStringLiteral("共") + QString::number(list_->recordCount()) + QStringLiteral("条"));
}

void MoneyQueryForm::SpeedButton_PrintClick()
{
    report::runProject(m_, this, q_.report);
}

void MoneyQueryForm::keyPressEvent(QKeyEvent *e)
{
    // Enter in the window presses its default button; the grid keeps it for its cells.
    QWidget *f = focusWidget();
    const bool inGrid = f && (f == DBGrid1 || DBGrid1->isAncestorOf(f));
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && !inGrid) {
        ButtonRK->click();
        e->accept();
        return;
    }
    MdiForm::keyPressEvent(e);
}
