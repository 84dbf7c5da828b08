#include "settlement/SettlementForm.h"

#include "dataset/Formats.h"
#include "dbwidgets/DBGrid.h"
#include "dbwidgets/DBNavigator.h"
#include "reporting/ReportEngine.h"
#include "settlement/SettlementDetail.h"
#include "store/DataModule.h"
#include "ui/Controls.h"
#include "ui/ScreenHost.h"
#include "ui/Seams.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHash>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QLineEdit *edit(const QString &name, QWidget *parent)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setMaxLength(50);
    return e;
}

// An amount as typed: a decimal number with at most four decimals, the precision of the
// stored amounts (more would be rounded away without the user knowing).
std::optional<Money> typedAmount(const QString &text)
{
    const QString t = text.trimmed();
    const qsizetype point = t.indexOf(u'.');
    if (point >= 0 && t.size() - point - 1 > 4)
        return std::nullopt;
    return Money::parse(t);
}

} // namespace

void fitColumns(DBGrid *grid)
{
    static const QHash<QString, int> widths = {
        {"lsdh", 110}, {"kh", 150}, {"gys", 150}, {"jsr", 80}, {"ck", 80},  {"pj", 72},  {"fk", 50},
        {"bh", 100},   {"mc", 150}, {"sn", 50},   {"xsj", 76}, {"cgj", 76}, {"zjr", 84}, {"lb", 100},
        {"rq", 140},   {"bc", 50},  {"yh", 90},   {"jr", 84},  {"yr", 84},  {"yj", 84},  {"bz", 160}};
    auto apply = [grid] {
        for (int c = 0; c < grid->dataModel()->columnCount(); ++c)
            grid->setColumnWidth(c, widths.value(grid->fieldNameOfColumn(c).toLower(), 90));
    };
    apply();
    QObject::connect(grid->dataModel(), &QAbstractItemModel::modelReset, grid, apply);
}

SettlementForm::SettlementForm(ScreenHost &host, const SettlementScreen &screen, QWidget *parent)
    : MdiForm(host, screen.flag, parent), m_(host.data()), s_(screen), service_(m_.conn(), screen.kind)
{
    setObjectName(screen.flag);
    setWindowTitle(screen.caption);
    buildUi();

    ui::on(SpeedButton_Print, &QToolButton::clicked, this, [this] { SpeedButton_PrintClick(); });
    ui::on(EditLSDH, &QLineEdit::textChanged, this, [this] { EditLSDHChange(); });
    ui::on(Editkh, &QLineEdit::textChanged, this, [this] { EditkhChange(); });
    ui::on(ButtonCK, &QPushButton::clicked, this, [this] { ButtonCKClick(); });
    ui::on(ButtonXZD, &QPushButton::clicked, this, [this] { ButtonXZDClick(); });
    ui::on(DBGrid2, &DBGrid::cellClicked, this, [this] { DBGrid2CellClick(); });
    ui::on(DBGrid2, &DBGrid::cellDoubleClicked, this, [this] { DBGrid2DblClick(); });

    ui::guard(this, [this] { FormCreate(); });
}

void SettlementForm::buildUi()
{
    SpeedButton_Print =
        ui::makeToolButton(this, QStringLiteral("SpeedButton_Print"), QStringLiteral("打印"), QStyle::SP_FileDialogDetailedView);
    auto *tools = new QHBoxLayout;
    tools->addWidget(SpeedButton_Print);
    tools->addStretch(1);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::StyledPanel);
    Panel1->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    Label1 = ui::makeLabel(Panel1, QStringLiteral("Label1"), QStringLiteral("流水单号"));
    EditLSDH = edit(QStringLiteral("EditLSDH"), Panel1);
    Label5 = ui::makeLabel(Panel1, QStringLiteral("Label5"), QStringLiteral("票据类型"));
    ComboBoxPJ = new QComboBox(Panel1);
    ComboBoxPJ->setObjectName(QStringLiteral("ComboBoxPJ"));
    ComboBoxPJ->setEditable(true);
    ComboBoxPJ->setInsertPolicy(QComboBox::NoInsert);
    ComboBoxPJ->addItems({QStringLiteral("收据"), QStringLiteral("普通发票"), QStringLiteral("增值发票")});
    ComboBoxPJ->setCurrentIndex(0);
    ComboBoxPJ->lineEdit()->setMaxLength(50);
    Label8 = ui::makeLabel(Panel1, QStringLiteral("Label8"), QStringLiteral("已收"));
    Editzyr = edit(QStringLiteral("Editzyr"), Panel1);
    Editzyr->setReadOnly(true);
    Editzyr->setStyleSheet(QStringLiteral("QLineEdit { color: red; }"));
    Label7 = ui::makeLabel(Panel1, QStringLiteral("Label7"), QStringLiteral("备注"));
    Memobz = new QPlainTextEdit(Panel1);
    Memobz->setObjectName(QStringLiteral("Memobz"));
    Memobz->setTabChangesFocus(true);
    Memobz->setFixedHeight(48);
    ButtonCK = new QPushButton(s_.payCaption, Panel1);
    ButtonCK->setObjectName(QStringLiteral("ButtonCK"));
    ButtonCK->setToolTip(QStringLiteral("请新增单号"));
    ButtonCK->setMinimumWidth(90);
    ButtonXZD = new QPushButton(QStringLiteral("增新单"), Panel1);
    ButtonXZD->setObjectName(QStringLiteral("ButtonXZD"));
    ButtonXZD->setMinimumWidth(90);
    Label2 = ui::makeLabel(Panel1, QStringLiteral("Label2"), s_.party);
    Editkh = edit(QStringLiteral("Editkh"), Panel1);
    Editkh->setToolTip(s_.partyHint);
    Label4 = ui::makeLabel(Panel1, QStringLiteral("Label4"), QStringLiteral("金额"));
    Editjr = edit(QStringLiteral("Editjr"), Panel1);
    Label6 = ui::makeLabel(Panel1, QStringLiteral("Label6"), QStringLiteral("银行名称"));
    Edityh = edit(QStringLiteral("Edityh"), Panel1);

    auto *grid = new QGridLayout(Panel1);
    grid->setContentsMargins(8, 6, 8, 6);
    grid->setHorizontalSpacing(8);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(EditLSDH, 0, 1);
    grid->addWidget(Label5, 0, 2);
    grid->addWidget(ComboBoxPJ, 0, 3);
    grid->addWidget(Label8, 0, 4);
    grid->addWidget(Editzyr, 0, 5);
    grid->addWidget(ButtonCK, 0, 6);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(Editkh, 1, 1);
    grid->addWidget(Label4, 1, 2);
    grid->addWidget(Editjr, 1, 3);
    grid->addWidget(Label6, 1, 4);
    grid->addWidget(Edityh, 1, 5);
    grid->addWidget(ButtonXZD, 1, 6);
    grid->addWidget(Label7, 2, 0, Qt::AlignTop);
    grid->addWidget(Memobz, 2, 1, 1, 5);
    for (int c : {1, 3, 5})
        grid->setColumnStretch(c, 1);

    DBNavigator1 = new DBNavigator(this);
    DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));

    GroupBox1 = new QGroupBox(QStringLiteral("要收的客户"));
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setToolTip(QStringLiteral("可上下左右进行选择"));
    DBGrid2 = new DBGrid(GroupBox1);
    DBGrid2->setObjectName(QStringLiteral("DBGrid2"));
    DBGrid2->setToolTip(QStringLiteral("可上下左右进行选择"));
    DBGrid2->setReadOnly(true);
    auto *g1 = new QVBoxLayout(GroupBox1);
    g1->setContentsMargins(4, 4, 4, 4);
    g1->addWidget(DBGrid2);
    DBGrid1 = new DBGrid;
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    auto *split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(GroupBox1);
    split->addWidget(DBGrid1);
    split->setStretchFactor(1, 1);
    split->setSizes({380, 700});

    StatusBar1 = ui::makeStatusBar(this, {120, 120, 120, 120});

    auto *v = new QVBoxLayout(this);
    v->setContentsMargins(6, 4, 6, 0);
    v->setSpacing(4);
    v->addLayout(tools);
    v->addWidget(Panel1);
    v->addWidget(DBNavigator1);
    v->addWidget(split, 1);
    v->addWidget(StatusBar1);

    DBGrid2->setDataSet(ds(s_.list));
    DBGrid2->horizontalHeader()->setStretchLastSection(true);
    // The whole name of the party, the amount beside it.
    auto widths = [this] { DBGrid2->setColumnWidth(0, 210); };
    widths();
    connect(DBGrid2->dataModel(), &QAbstractItemModel::modelReset, this, widths);
    DBGrid1->setDataSet(ds(s_.shown));
    fitColumns(DBGrid1);
    DBNavigator1->setDataSet(ds(s_.shown));
    resize(1060, 640);
}

DataSet *SettlementForm::ds(DataSet *DataModule::*member) const
{
    return m_.*member;
}

SettlementDetail *SettlementForm::lastDetail() const
{
    return detail_;
}

// Setting a box to the text it already shows does nothing, its change handler included.
void SettlementForm::setText(QLineEdit *box, const QString &text)
{
    if (box->text() != text)
        box->setText(text);
}

void SettlementForm::showReceipts(const QString &condition, const QString &value)
{
    DataSet *shown = ds(s_.shown);
    shown->close();
    shown->setSql(QStringLiteral("select * from %1 where %2").arg(s_.kind.moneyTable, condition));
    shown->clearParams();
    shown->setParam(QStringLiteral("lsdh"), value);
    shown->open();
}

void SettlementForm::FormCreate()
{
    DocumentCounter counter(*m_.ADOTableKR, s_.counter);
    setText(EditLSDH, counter.openForDay(QDate::currentDate()));
}

void SettlementForm::EditLSDHChange()
{
    showReceipts(QStringLiteral("lsdh=:lsdh"), EditLSDH->text());
}

void SettlementForm::ButtonXZDClick()
{
    DocumentCounter counter(*m_.ADOTableKR, s_.counter);
    const QDate today = QDate::currentDate();
    const QString number = counter.current(today);
    if (EditLSDH->text() != number)
        EditLSDH->setText(number);
    else
        EditLSDHChange();
    // A number is used up only once rows carry it.
    setText(EditLSDH, counter.advanceIfUsed(today));
}

// Choosing a party: its balance, the full settlement when the money matches, and what is
// still to be collected, all for the party chosen, whatever row the list shows afterwards.
void SettlementForm::DBGrid2CellClick()
{
    DataSet *list = ds(s_.list);
    if (!list->isActive() || list->recNo() < 0)
        return;
    setText(Editkh, list->fieldByName(s_.party).asString());
    const QString party = Editkh->text();
    Editjr->setText((service_.owed(party).value_or(Money()) - *s_.balance).toString());
    if (s_.partyTable) {
        DataSet *parties = ds(s_.partyTable);
        parties->setFilter({{s_.partyTableColumn, FilterCondition::Eq, party}});
        parties->setFiltered(true);
    }
}

void SettlementForm::EditkhChange()
{
    const QString party = Editkh->text();
    *s_.balance = Money();
    showReceipts(QStringLiteral("yr>0 and kh=:lsdh"), party);
    *s_.balance = service_.balance(party);
    Editzyr->setText(s_.balance->toString());
    if (!service_.settleInFull(party))
        return;
    // Settled: the party leaves the list, its rows below show what was applied.
    DataSet *list = ds(s_.list);
    list->close();
    list->open();
    *s_.balance = service_.balance(party);
    Editzyr->setText(s_.balance->toString());
}

void SettlementForm::ButtonCKClick()
{
    const std::optional<Money> amount = typedAmount(Editjr->text());
    if (!amount) {
        ui::message(this, QStringLiteral("金额必须是数字，最多四位小数"), QString(), ui::Icon::Warning);
        return;
    }
    DataSet *table = ds(s_.table);
    {
        Transaction tx(m_.conn());
        if (!table->isActive())
            table->openDeferred();
        table->insert();
        table->setValue(QStringLiteral("lsdh"), EditLSDH->text());
        table->setValue(QStringLiteral("kh"), Editkh->text());
        table->setValue(QStringLiteral("jsr"), m_.ADOTabledlck->fieldByName(QStringLiteral("mz")).asString());
        table->setValue(QStringLiteral("pj"), ComboBoxPJ->currentText());
        table->setValue(QStringLiteral("yh"), Edityh->text());
        table->setValue(QStringLiteral("jr"), QVariant::fromValue(*amount));
        table->setValue(QStringLiteral("yr"), QVariant::fromValue(*amount));
        table->setValue(QStringLiteral("rq"), fmt::now());
        table->setValue(QStringLiteral("bz"), Memobz->toPlainText());
        table->post();
        tx.commit();
    }
    setText(Editkh, QString());
    showReceipts(QStringLiteral("yr>0 and lsdh=:lsdh"), EditLSDH->text());
}

void SettlementForm::DBGrid2DblClick()
{
    // The click before has chosen the party; the window works on that party only.
    const QString party = Editkh->text();
    DataSet *lines = ds(s_.lines);
    lines->close();
    lines->setSql(QStringLiteral("select * from %1 where fk='未付' and %2=:kh  and bc='保存'")
                      .arg(s_.kind.lines.table, s_.kind.lines.partyColumn));
    lines->clearParams();
    lines->setParam(QStringLiteral("kh"), party);
    lines->open();
    detail_ = makeDetail(party);
    detail_->show();
}

void SettlementForm::SpeedButton_PrintClick()
{
    report::runProject(m_, this, s_.report);
}

void SettlementForm::FormClose()
{
    if (s_.partyTable)
        ds(s_.partyTable)->setFiltered(false);
}
