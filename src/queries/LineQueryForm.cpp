#include "queries/LineQueryForm.h"

#include "dataset/DataSet.h"
#include "dataset/Errors.h"
#include "dataset/Formats.h"
#include "dbwidgets/DBGrid.h"
#include "dbwidgets/GridExport.h"
#include "dbwidgets/DBNavigator.h"
#include "queries/LineQueryKind.h"
#include "reporting/ReportEngine.h"
#include "store/DataModule.h"
#include "store/StockSave.h"
#include "ui/Controls.h"
#include "ui/ScreenHost.h"
#include "ui/Seams.h"

#include <QCheckBox>
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

namespace {
const QString Returned = QStringLiteral("归还");
} // namespace

LineQueryForm::LineQueryForm(ScreenHost &host, const LineQueryKind &kind, QWidget *parent)
    : MdiForm(host, kind.screen, parent), kind_(kind), m_(host.data()), list_(m_.*kind.list),
      numbers_(m_.*kind.numbers)
{
    setObjectName(kind.screen);
    setWindowTitle(kind.caption);

    // ---- tool bar
    SpeedButton_Scan = makeButton(QStringLiteral("SpeedButton_Scan"), QStringLiteral("保存"), QStyle::SP_DialogSaveButton);
    SpeedButton2 = makeButton(QStringLiteral("SpeedButton2"), QStringLiteral("打印"), QStyle::SP_FileDialogDetailedView);
    SpeedButton_Preview = makeButton(QStringLiteral("SpeedButton_Preview"), QStringLiteral("前单"), QStyle::SP_ArrowLeft);
    SpeedButton_Printsetup =
        makeButton(QStringLiteral("SpeedButton_Printsetup"), QStringLiteral("后单"), QStyle::SP_ArrowRight);
    SpeedButton1 = makeButton(QStringLiteral("SpeedButton1"), QStringLiteral("归还"), QStyle::SP_BrowserReload);
    SpeedButton1->setEnabled(false);
    CheckBox1 = new QCheckBox(kind.lines.lentStatus, this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    auto *tools = new QHBoxLayout;
    tools->setSpacing(4);
    for (QToolButton *b : {SpeedButton_Scan, SpeedButton2, SpeedButton_Preview, SpeedButton_Printsetup, SpeedButton1})
        tools->addWidget(b);
    tools->addSpacing(12);
    tools->addWidget(CheckBox1);
    tools->addStretch(1);

    // ---- criteria
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::StyledPanel);
    EditLSDH = new QLineEdit(Panel1);
    EditLSDH->setObjectName(QStringLiteral("EditLSDH"));
    EditLSDH->setToolTip(QStringLiteral("善用复制粘贴方法代替输入"));
    EditLSDH->setMaxLength(50);
    ComboBoxjsr = makeCombo(QStringLiteral("ComboBoxjsr"), {});
    ComboBoxMC = makeCombo(QStringLiteral("ComboBoxMC"), {});
    ComboBoxMC->setToolTip(QStringLiteral("善用复制粘贴方法代替输入"));
    ComboBoxMC->setStyleSheet(QStringLiteral("QComboBox { color: blue; }"));
    ComboBoxfk = makeCombo(QStringLiteral("ComboBoxfk"), {QStringLiteral("已付"), QStringLiteral("未付")});
    ComboBoxbc = makeCombo(QStringLiteral("ComboBoxbc"), kind.statusItems());
    partyBox_ = makeCombo(kind.partyBox, {});
    ComboBoxspwz = makeCombo(QStringLiteral("ComboBoxspwz"), {});
    DateTimePicker1 = new QDateEdit(Panel1);
    DateTimePicker1->setObjectName(QStringLiteral("DateTimePicker1"));
    DateTimePicker2 = new QDateEdit(Panel1);
    DateTimePicker2->setObjectName(QStringLiteral("DateTimePicker2"));
    for (QDateEdit *d : {DateTimePicker1, DateTimePicker2}) {
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("yyyy-M-d"));
        d->setMinimumWidth(110);
    }
    ComboBoxPJ = makeCombo(QStringLiteral("ComboBoxPJ"),
                           {QStringLiteral("收据"), QStringLiteral("普通发票"), QStringLiteral("增值发票")});
    queryButton_ = new QPushButton(kind.queryCaption, Panel1);
    queryButton_->setObjectName(kind.queryButton);
    queryButton_->setDefault(true);
    queryButton_->setMinimumWidth(96);

    auto *grid = new QGridLayout(Panel1);
    grid->setHorizontalSpacing(6);
    auto label = [this](const QString &text, QWidget *buddy) {
        auto *l = new QLabel(text, Panel1);
        l->setBuddy(buddy);
        return l;
    };
    // Three criteria to a line, in their order; the query button beside them all.
    QWidget *fields[] = {EditLSDH,  ComboBoxjsr,  ComboBoxMC, ComboBoxfk, ComboBoxbc,
                         partyBox_, ComboBoxspwz, nullptr,    ComboBoxPJ};
    const QString labels[] = {QStringLiteral("流水单号"), QStringLiteral("经 手 人"), QStringLiteral("全称"),
                              QStringLiteral("付款"),     QStringLiteral("保存"),     kind.partyLabel,
                              QStringLiteral("商品位置"), QStringLiteral("日期"),     QStringLiteral("票据")};
    auto *dates = new QHBoxLayout;
    dates->addWidget(DateTimePicker1, 1);
    dates->addWidget(new QLabel(QStringLiteral("→"), Panel1));
    dates->addWidget(DateTimePicker2, 1);
    for (int i = 0; i < 9; ++i) {
        const int row = i / 3, col = (i % 3) * 2;
        grid->addWidget(label(labels[i], fields[i] ? fields[i] : DateTimePicker1), row, col);
        if (fields[i])
            grid->addWidget(fields[i], row, col + 1);
        else
            grid->addLayout(dates, row, col + 1);
        grid->setColumnStretch(col + 1, 1);
    }
    queryButton_->setMinimumHeight(48);
    grid->addWidget(queryButton_, 0, 6, 3, 1, Qt::AlignVCenter);

    // ---- list and status
    DBNavigator1 = new DBNavigator(this);
    DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
    DBGrid1 = new DBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    tools->insertWidget(tools->indexOf(SpeedButton2) + 1, gridexport::toolButton(DBGrid1, this));
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

    ui::on(queryButton_, &QPushButton::clicked, this, [this] { runQuery(); });
    ui::on(EditLSDH, &QLineEdit::textChanged, this, [this] { EditLSDHChange(); });
    ui::on(CheckBox1, &QCheckBox::clicked, this, [this] { CheckBox1Click(); });
    ui::on(SpeedButton_Scan, &QToolButton::clicked, this, [this] { SpeedButton_ScanClick(); });
    ui::on(SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
    ui::on(SpeedButton_Preview, &QToolButton::clicked, this, [this] { SpeedButton_PreviewClick(); });
    ui::on(SpeedButton_Printsetup, &QToolButton::clicked, this, [this] { SpeedButton_PrintsetupClick(); });
    ui::on(SpeedButton2, &QToolButton::clicked, this, [this] { SpeedButton2Click(); });

    ui::guard(this, [this] { FormCreate(); });
}

QToolButton *LineQueryForm::makeButton(const QString &name, const QString &hint, QStyle::StandardPixmap icon)
{
    return ui::makeToolButton(this, name, hint, icon);
}

QComboBox *LineQueryForm::makeCombo(const QString &name, const QStringList &items)
{
    return ui::makeCriterionBox(Panel1, name, items, 100);
}

// The list of a drop-down from one column of every row of a data set, in its order.
void LineQueryForm::fill(QComboBox *box, DataSet *source, const QString &field)
{
    box->clear();
    const int col = source->fieldIndex(field);
    for (int r = 0, n = source->recordCount(); r < n; ++r)
        box->addItem(source->rowValue(r, col).toString());
}

QString LineQueryForm::panelText(int i) const
{
    return panels_.value(i) ? panels_[i]->text() : QString();
}

void LineQueryForm::resetTotals()
{
    m_.*kind_.totalAmount = Money();
    m_.*kind_.totalPaid = Money();
    m_.*kind_.totalQuantity = 0;
}

void LineQueryForm::showTotals()
{
    const Money a = m_.*kind_.totalAmount, p = m_.*kind_.totalPaid;
    panels_[1]->setText(QStringLiteral("总金额：") + a.toString() + QStringLiteral("   已付：") + p.toString() +
                        QStringLiteral("   未付：") + (a - p).toString() + QStringLiteral("   总数量：") +
                        QString::number(m_.*kind_.totalQuantity));
    panels_[0]->setText(QStringLiteral("共") + QString::number(list_->recordCount()) + QStringLiteral("条"));
}

// The list is shared with other screens: it gets this screen's statement, and a filter
// another screen left on it does not hide lines of this statement.
void LineQueryForm::reopenList(const QString &sql, const Params &params)
{
    list_->close();
    list_->setFiltered(false);
    list_->setSql(sql);
    list_->clearParams();
    for (const auto &[name, value] : params)
        list_->setParam(name, value);
    list_->open();
}

void LineQueryForm::listInvoice()
{
    reopenList(kind_.invoiceSql, {{kind_.invoiceParam, EditLSDH->text()}});
}

void LineQueryForm::FormCreate()
{
    DataSet *spwz = m_.ADOQueryspwz;
    spwz->close();
    spwz->open();
    fill(ComboBoxspwz, spwz, QStringLiteral("ck"));
    fill(partyBox_, m_.*kind_.parties, kind_.partyNameField);
    fill(ComboBoxjsr, m_.ADOTableGY, QStringLiteral("mz"));

    // The newest invoice: putting its number into the box lists it with its sums.
    numbers_->last();
    if (numbers_->recordCount() > 0)
        EditLSDH->setText(numbers_->fieldByName(QStringLiteral("lsdh")).asString());
    if (kind_.relistShownNumber)
        listInvoice();

    for (QComboBox *c : {partyBox_, ComboBoxspwz, ComboBoxjsr}) {
        c->setCurrentIndex(-1);
        c->setEditText(QString());
    }
    DateTimePicker1->setDate(QDate::currentDate());
    DateTimePicker2->setDate(QDate::currentDate());
}

void LineQueryForm::runQuery()
{
    resetTotals();
    SpeedButton1->setEnabled(false);
    QStringList sql{kind_.firstLine};
    Params params{{QStringLiteral("rq"), DateTimePicker2->date().addDays(1)}};
    // Same day on both pickers: everything up to the end of that day.
    if (fmt::shortDate(DateTimePicker1->date()) != fmt::shortDate(DateTimePicker2->date())) {
        sql << QStringLiteral(" and rq>:rq1");
        params.append({QStringLiteral("rq1"), DateTimePicker1->date()});
    }
    struct Criterion {
        QComboBox *box;
        QString fragment;
        QString param;
        bool like;
    };
    const Criterion criteria[] = {
        {ComboBoxMC, QStringLiteral(" and mc like :mc1"), QStringLiteral("mc1"), true},
        {ComboBoxspwz, QStringLiteral(" and ck like :ck1"), QStringLiteral("ck1"), true},
        {ComboBoxbc, QStringLiteral(" and bc like :bc1"), QStringLiteral("bc1"), true},
        {ComboBoxPJ, QStringLiteral(" and pj like :pj1"), QStringLiteral("pj1"), true},
        {partyBox_, kind_.partyFragment, kind_.partyParam, false},
        {ComboBoxjsr, QStringLiteral(" and jsr=:jsr1"), QStringLiteral("jsr1"), false},
        {ComboBoxfk, QStringLiteral(" and fk=:fk1"), QStringLiteral("fk1"), false},
    };
    for (const Criterion &c : criteria) {
        const QString text = c.box->currentText();
        if (text.isEmpty())
            continue;
        sql << c.fragment;
        params.append({c.param, c.like ? u'%' + text + u'%' : text});
    }
    sql << QStringLiteral(" order by rq desc");
    reopenList(sql.join(u'\n'), params);
    showTotals();
}

void LineQueryForm::EditLSDHChange()
{
    resetTotals();
    SpeedButton1->setEnabled(false);
    listInvoice();
    showTotals();
}

void LineQueryForm::CheckBox1Click()
{
    if (!CheckBox1->isChecked())
        return;
    SpeedButton1->setEnabled(true);
    reopenList(kind_.lentSql, {});
}

// The listed pending and lent lines go into stock together, or none of them.
void LineQueryForm::SpeedButton_ScanClick()
{
    try {
        stock::saveListed(m_.conn(), *list_, kind_.lines);
    } catch (const KorvelError &e) {
        ui::message(this, e.message(), QString(), ui::Icon::Warning);
    }
}

void LineQueryForm::SpeedButton1Click()
{
    if (!list_->isActive() || list_->recordCount() == 0 || list_->recNo() < 0)
        return;
    // Only lent goods can come back; a saved line's quantity has already moved the stock.
    // The line's stored status decides, not the copy the list read earlier.
    const QString &lent = kind_.lines.lentStatus;
    const qint64 line = list_->currentKey();
    const QString stored = m_.conn()
                               .scalar(QStringLiteral("SELECT bc FROM %1 WHERE rowid=:r").arg(kind_.lines.table),
                                       {{QStringLiteral("r"), line}})
                               .toString();
    if (stored != lent) {
        ui::message(this, QStringLiteral("只有") + lent + QStringLiteral("的商品才能归还"), QString(), ui::Icon::Warning);
        return;
    }
    // A refusal rolls back and leaves the row as stored, not half edited.
    Transaction tx(m_.conn());
    list_->edit();
    list_->setValue(QStringLiteral("lsdh"), QString());
    list_->setValue(QStringLiteral("bc"), Returned);
    list_->post();
    tx.commit();
}

void LineQueryForm::showInvoice(int row)
{
    numbers_->moveTo(row);
    EditLSDH->setText(numbers_->fieldByName(QStringLiteral("lsdh")).asString());
}

void LineQueryForm::SpeedButton_PreviewClick()
{
    if (!numbers_->isActive() || numbers_->recordCount() == 0 || numbers_->recNo() <= 0)
        return;
    showInvoice(numbers_->recNo() - 1);
}

void LineQueryForm::SpeedButton_PrintsetupClick()
{
    if (!numbers_->isActive() || numbers_->recordCount() == 0 || numbers_->recNo() >= numbers_->recordCount() - 1)
        return;
    showInvoice(numbers_->recNo() + 1);
}

void LineQueryForm::SpeedButton2Click()
{
    report::runProject(m_, this, kind_.report);
}

void LineQueryForm::FormClose()
{
    // The window is freed on closing; the instance flag is set again by the base.
}

void LineQueryForm::keyPressEvent(QKeyEvent *e)
{
    // Enter in the window presses its default button.
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && queryButton_->isEnabled()) {
        queryButton_->click();
        e->accept();
        return;
    }
    MdiForm::keyPressEvent(e);
}
