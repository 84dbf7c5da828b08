#include "settlement/SettlementDetail.h"

#include "dataset/Formats.h"
#include "dbwidgets/DBGrid.h"
#include "dbwidgets/DBNavigator.h"
#include "settlement/SettlementForm.h"
#include "store/DataModule.h"
#include "ui/Controls.h"
#include "ui/Seams.h"

#include <QCalendarWidget>
#include <QCloseEvent>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace {

// Which detail window's filter a shared data set carries: several windows may be open, and
// only the last one to filter a data set may switch its filter off again.
QHash<DataSet *, QPointer<SettlementDetail>> &filterOwners()
{
    static QHash<DataSet *, QPointer<SettlementDetail>> owners;
    return owners;
}

} // namespace

SettlementDetail::SettlementDetail(DataModule &main, const SettlementScreen &screen, const Words &words,
                                   const QString &party, QWidget *parent)
    : QWidget(parent, Qt::Window), m_(main), s_(screen), w_(words), party_(party), service_(main.conn(), screen.kind),
      lines_(main.*screen.lines), table_(main.*screen.table)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(words.objectName);
    setWindowTitle(words.caption);
    buildUi();

    ui::on(DateTimePicker2, &QDateEdit::dateChanged, this, [this] { DateTimePicker2Change(); });
    ui::on(ButtonRK, &QPushButton::clicked, this, [this] { ButtonRKClick(); });
    DateTimePicker2->calendarWidget()->installEventFilter(this);
    // Another screen that puts its own statement into the line list takes it over: a date
    // filter of this window must never reach its lines.
    connect(lines_, &DataSet::closed, this, [this] {
        linesOurs_ = false;
        dropOwnFilter(lines_);
    });

    ui::guard(this, [this] { FormCreate(); });
}

SettlementDetail::~SettlementDetail()
{
    for (auto it = filterOwners().begin(); it != filterOwners().end();)
        it = (it.value() == this || !it.value()) ? filterOwners().erase(it) : std::next(it);
}

void SettlementDetail::buildUi()
{
    DateTimePicker2 = new QDateEdit(this);
    DateTimePicker2->setObjectName(QStringLiteral("DateTimePicker2"));
    DateTimePicker2->setCalendarPopup(true);
    DateTimePicker2->setDisplayFormat(QStringLiteral("yyyy-M-d"));
    DateTimePicker2->setToolTip(QStringLiteral("选择日期使未付金额不大于未结金额，可以进行部分结算"));
    DateTimePicker2->setMinimumWidth(120);
    Label1 = ui::makeLabel(this, QStringLiteral("Label1"), QStringLiteral("根据日期未付"));
    Editzjr = new QLineEdit(this);
    Editzjr->setObjectName(QStringLiteral("Editzjr"));
    Label8 = ui::makeLabel(this, QStringLiteral("Label8"), w_.balanceLabel);
    Editzyr = new QLineEdit(this);
    Editzyr->setObjectName(QStringLiteral("Editzyr"));
    Editzyr->setReadOnly(true);
    Editzyr->setStyleSheet(QStringLiteral("QLineEdit { color: red; }"));
    Label2 = ui::makeLabel(this, QStringLiteral("Label2"), QStringLiteral("客户"));
    Editkh = new QLineEdit(this);
    Editkh->setObjectName(QStringLiteral("Editkh"));
    // The window belongs to one party: what it settles never follows a typed name.
    Editkh->setReadOnly(true);
    ButtonRK = new QPushButton(QStringLiteral("部分结算"), this);
    ButtonRK->setObjectName(QStringLiteral("ButtonRK"));
    ButtonRK->setDefault(true);
    ButtonRK->setMinimumWidth(96);

    auto *top = new QHBoxLayout;
    top->setSpacing(8);
    top->addWidget(DateTimePicker2);
    for (auto [l, e] : {std::pair{Label1, Editzjr}, std::pair{Label8, Editzyr}, std::pair{Label2, Editkh}}) {
        top->addSpacing(6);
        top->addWidget(l);
        top->addWidget(e, 1);
    }
    top->addSpacing(6);
    top->addWidget(ButtonRK);

    DBNavigator1 = new DBNavigator(this);
    DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
    DBGrid1 = new DBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid2 = new DBGrid(this);
    DBGrid2->setObjectName(QStringLiteral("DBGrid2"));
    StatusBar1 = ui::makeStatusBar(this, {120, 120, 120, 120});

    auto *v = new QVBoxLayout(this);
    v->setContentsMargins(6, 6, 6, 0);
    v->setSpacing(4);
    v->addLayout(top);
    v->addWidget(DBNavigator1);
    v->addWidget(DBGrid1, 3);
    v->addWidget(DBGrid2, 2);
    v->addWidget(StatusBar1);

    DBGrid1->setDataSet(lines_);
    DBNavigator1->setDataSet(lines_);
    DBGrid2->setDataSet(table_);
    fitColumns(DBGrid1);
    fitColumns(DBGrid2);
    resize(1180, 600);
}

void SettlementDetail::setOwnFilter(DataSet *ds, const QList<FilterCondition> &conditions)
{
    filterOwners()[ds] = this;
    ds->setFilter(conditions);
    ds->setFiltered(true);
}

void SettlementDetail::dropOwnFilter(DataSet *ds)
{
    const auto it = filterOwners().constFind(ds);
    if (it == filterOwners().constEnd() || it.value() != this)
        return;
    filterOwners().remove(ds);
    ds->setFiltered(false);
}

void SettlementDetail::FormCreate()
{
    {
        const QSignalBlocker quiet(DateTimePicker2);
        DateTimePicker2->setDate(QDate::currentDate());
    }
    setOwnFilter(table_, {{QStringLiteral("kh"), FilterCondition::Eq, party_}});
    Editkh->setText(party_);
    // Until a day is picked the lines up to today are the ones to settle.
    DateTimePicker2Change();
}

void SettlementDetail::DateTimePicker2DropDown()
{
    *w_.partialSum = Money();
}

// Each pick shows what the party owes up to that day, as stored now: the list on display
// only follows it, and what "部分结算" settles is read again when it is pressed.
void SettlementDetail::DateTimePicker2Change()
{
    const QDate day = DateTimePicker2->date();
    if (linesOurs_)
        setOwnFilter(lines_, {{QStringLiteral("rq"), FilterCondition::Lt, fmt::wallClock(day.addDays(1))}});
    showFigures();
}

void SettlementDetail::showFigures()
{
    *w_.partialSum = service_.owedUpTo(party_, DateTimePicker2->date());
    Editzjr->setText(w_.partialSum->toString());
    Editzyr->setText(service_.balance(party_).toString());
}

void SettlementDetail::ButtonRKClick()
{
    const settlement::Service::Partial r = service_.settleUpTo(party_, DateTimePicker2->date());
    if (!r.enough)
        ui::message(this, QStringLiteral("余额不足"));
    DataSet *list = m_.*s_.list;
    list->close();
    list->open();
    table_->close();
    table_->open();
    showFigures();
}

void SettlementDetail::closeEvent(QCloseEvent *e)
{
    // No filter of this window outlives it: the invoice screens share the line list.
    ui::guard(this, [this] {
        dropOwnFilter(lines_);
        dropOwnFilter(table_);
    });
    e->accept();
}

void SettlementDetail::keyPressEvent(QKeyEvent *e)
{
    // Enter in the window presses its default button; the grids keep it for their cells.
    const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    QWidget *f = focusWidget();
    const bool inGrid = f && (DBGrid1->isAncestorOf(f) || DBGrid2->isAncestorOf(f) || f == DBGrid1 || f == DBGrid2);
    if (enter && !inGrid) {
        ButtonRK->click();
        e->accept();
        return;
    }
    QWidget::keyPressEvent(e);
}

bool SettlementDetail::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == DateTimePicker2->calendarWidget() && e->type() == QEvent::Show)
        ui::guard(this, [this] { DateTimePicker2DropDown(); });
    return QWidget::eventFilter(watched, e);
}
