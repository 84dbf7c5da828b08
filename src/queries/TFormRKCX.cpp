#include "queries/TFormRKCX.h"

#include "dbwidgets/DBGrid.h"
#include "dbwidgets/DBNavigator.h"
#include "dataset/Errors.h"
#include "dataset/Formats.h"
#include "reporting/ReportEngine.h"
#include "ui/Controls.h"
#include "ui/Seams.h"
#include "store/DataModule.h"
#include "store/StockSave.h"
#include "ui/ScreenHost.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>
#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QStyle>
#include <QVBoxLayout>

namespace {
const QString Borrowed = QStringLiteral("借入");
const QString Saved = QStringLiteral("保存");
const QString Returned = QStringLiteral("归还");
} // namespace

TFormRKCX::TFormRKCX(ScreenHost &host, QWidget *parent)
    : MdiForm(host, QStringLiteral("TFormRKCX"), parent), m_(host.data()), rkcx_(m_.ADOQueryRKCX)
{
    setObjectName(QStringLiteral("TFormRKCX"));
    setWindowTitle(QStringLiteral("入库查询,按日期查询未保存的后点保存即可全部保存"));

    // ---- tool bar
    SpeedButton_Scan = makeButton(QStringLiteral("SpeedButton_Scan"), QStringLiteral("保存"), QStyle::SP_DialogSaveButton);
    SpeedButton2 = makeButton(QStringLiteral("SpeedButton2"), QStringLiteral("打印"), QStyle::SP_FileDialogDetailedView);
    SpeedButton_Preview = makeButton(QStringLiteral("SpeedButton_Preview"), QStringLiteral("前单"), QStyle::SP_ArrowLeft);
    SpeedButton_Printsetup =
        makeButton(QStringLiteral("SpeedButton_Printsetup"), QStringLiteral("后单"), QStyle::SP_ArrowRight);
    SpeedButton1 = makeButton(QStringLiteral("SpeedButton1"), QStringLiteral("归还"), QStyle::SP_BrowserReload);
    SpeedButton1->setEnabled(false);
    CheckBox1 = new QCheckBox(QStringLiteral("借入"), this);
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
    ComboBoxbc = makeCombo(QStringLiteral("ComboBoxbc"), {Borrowed, QStringLiteral("报损"), Returned, QStringLiteral("退单"),
                                                          QStringLiteral("退换"), Saved});
    ComboBoxgys = makeCombo(QStringLiteral("ComboBoxgys"), {});
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
    ButtonRK = new QPushButton(QStringLiteral("入库查询"), Panel1);
    ButtonRK->setObjectName(QStringLiteral("ButtonRK"));
    ButtonRK->setDefault(true);
    ButtonRK->setMinimumWidth(96);

    auto *grid = new QGridLayout(Panel1);
    grid->setHorizontalSpacing(6);
    auto label = [this](const QString &text, QWidget *buddy) {
        auto *l = new QLabel(text, Panel1);
        l->setBuddy(buddy);
        return l;
    };
    // Three criteria to a line, in their order; the query button beside them all.
    QWidget *fields[] = {EditLSDH, ComboBoxjsr, ComboBoxMC, ComboBoxfk, ComboBoxbc, ComboBoxgys, ComboBoxspwz, nullptr,
                         ComboBoxPJ};
    const char16_t *labels[] = {u"流水单号", u"经 手 人", u"全称", u"付款", u"保存", u"供 应 商", u"商品位置", u"日期", u"票据"};
    auto *dates = new QHBoxLayout;
    dates->addWidget(DateTimePicker1, 1);
    dates->addWidget(new QLabel(QStringLiteral("→"), Panel1));
    dates->addWidget(DateTimePicker2, 1);
    for (int i = 0; i < 9; ++i) {
        const int row = i / 3, col = (i % 3) * 2;
        grid->addWidget(label(QString::fromUtf16(labels[i]), fields[i] ? fields[i] : DateTimePicker1), row, col);
        if (fields[i])
            grid->addWidget(fields[i], row, col + 1);
        else
            grid->addLayout(dates, row, col + 1);
        grid->setColumnStretch(col + 1, 1);
    }
    ButtonRK->setMinimumHeight(48);
    grid->addWidget(ButtonRK, 0, 6, 3, 1, Qt::AlignVCenter);

    // ---- list and status
    DBNavigator1 = new DBNavigator(this);
    DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
    DBGrid1 = new DBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    for (int i = 0; i < 2; ++i) {
        panels_[i] = new QLabel(StatusBar1);
        panels_[i]->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(i));
        panels_[i]->setMinimumWidth(i == 0 ? 110 : 300);
        StatusBar1->addWidget(panels_[i], i);
    }

    auto *v = new QVBoxLayout(this);
    v->setContentsMargins(6, 6, 6, 0);
    v->addLayout(tools);
    v->addWidget(Panel1);
    v->addWidget(DBNavigator1);
    v->addWidget(DBGrid1, 1);
    v->addWidget(StatusBar1);
    resize(980, 600);

    DBGrid1->setDataSet(rkcx_);
    DBNavigator1->setDataSet(rkcx_);

    ui::on(ButtonRK, &QPushButton::clicked, this, [this] { ButtonRKClick(); });
    ui::on(EditLSDH, &QLineEdit::textChanged, this, [this] { EditLSDHChange(); });
    ui::on(CheckBox1, &QCheckBox::clicked, this, [this] { CheckBox1Click(); });
    ui::on(SpeedButton_Scan, &QToolButton::clicked, this, [this] { SpeedButton_ScanClick(); });
    ui::on(SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
    ui::on(SpeedButton_Preview, &QToolButton::clicked, this, [this] { SpeedButton_PreviewClick(); });
    ui::on(SpeedButton_Printsetup, &QToolButton::clicked, this, [this] { SpeedButton_PrintsetupClick(); });
    ui::on(SpeedButton2, &QToolButton::clicked, this, [this] { SpeedButton2Click(); });

    ui::guard(this, [this] { FormCreate(); });
}

QToolButton *TFormRKCX::makeButton(const QString &name, const QString &hint, QStyle::StandardPixmap icon)
{
    return ui::makeToolButton(this, name, hint, icon);
}

QComboBox *TFormRKCX::makeCombo(const QString &name, const QStringList &items)
{
    auto *c = new QComboBox(Panel1);
    c->setObjectName(name);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setMinimumWidth(100);
    c->addItems(items);
    // A drop-down starts empty: filling its list must not put a criterion into it.
    c->setCurrentIndex(-1);
    c->setEditText(QString());
    return c;
}

QString TFormRKCX::panelText(int i) const
{
    return i >= 0 && i < 2 ? panels_[i]->text() : QString();
}

void TFormRKCX::resetTotals()
{
    m_.rkcxTotalAmount = Money();
    m_.rkcxTotalPaid = Money();
    m_.rkcxTotalQuantity = 0;
}

void TFormRKCX::showTotals()
{
    const Money a = m_.rkcxTotalAmount, p = m_.rkcxTotalPaid;
    panels_[1]->setText(QStringLiteral("总金额：") + a.toString() + QStringLiteral("   已付：") + p.toString() +
                        QStringLiteral("   未付：") + (a - p).toString() + QStringLiteral("   总数量：") +
                        QString::number(m_.rkcxTotalQuantity));
    panels_[0]->setText(QStringLiteral("共") + QString::number(rkcx_->recordCount()) + QStringLiteral("条"));
}

void TFormRKCX::FormCreate()
{
    ComboBoxgys->clear();
    DataSet *gys = m_.ADOTableGYS;
    const int gysName = gys->fieldIndex(QStringLiteral("gysmc"));
    for (int r = 0, n = gys->recordCount(); r < n; ++r)
        ComboBoxgys->addItem(gys->rowValue(r, gysName).toString());

    DataSet *spwz = m_.ADOQueryspwz;
    spwz->close();
    spwz->open();
    ComboBoxspwz->clear();
    const int ck = spwz->fieldIndex(QStringLiteral("ck"));
    for (int r = 0, n = spwz->recordCount(); r < n; ++r)
        ComboBoxspwz->addItem(spwz->rowValue(r, ck).toString());

    DataSet *dh = m_.ADOQueryDHrk;
    dh->last();
    if (dh->recordCount() > 0)
        EditLSDH->setText(dh->fieldByName(QStringLiteral("lsdh")).asString());

    rkcx_->close();
    rkcx_->setSql(QStringLiteral("select * from rk where lsdh=:RKcx"));
    rkcx_->clearParams();
    rkcx_->setParam(QStringLiteral("RKcx"), EditLSDH->text());
    rkcx_->open();

    DataSet *gy = m_.ADOTableGY;
    const int mz = gy->fieldIndex(QStringLiteral("mz"));
    for (int r = 0, n = gy->recordCount(); r < n; ++r)
        ComboBoxjsr->addItem(gy->rowValue(r, mz).toString());

    for (QComboBox *c : {ComboBoxgys, ComboBoxspwz, ComboBoxjsr}) {
        c->setCurrentIndex(-1);
        c->setEditText(QString());
    }
    DateTimePicker1->setDate(QDate::currentDate());
    DateTimePicker2->setDate(QDate::currentDate());
}

void TFormRKCX::ButtonRKClick()
{
    resetTotals();
    SpeedButton1->setEnabled(false);
    rkcx_->close();
    rkcx_->clearParams();
    QStringList sql{QStringLiteral("select * from rk where rq<:rq")};
    Params params{{QStringLiteral("rq"), DateTimePicker2->date().addDays(1)}};
    // Same day on both pickers: everything up to the end of that day.
    if (fmt::shortDate(DateTimePicker1->date()) != fmt::shortDate(DateTimePicker2->date())) {
        sql << QStringLiteral(" and rq>:rq1");
        params.append({QStringLiteral("rq1"), DateTimePicker1->date()});
    }
    struct Criterion {
        QComboBox *box;
        const char *fragment;
        const char *param;
        bool like;
    };
    const Criterion criteria[] = {
        {ComboBoxMC, " and mc like :mc1", "mc1", true},   {ComboBoxspwz, " and ck like :ck1", "ck1", true},
        {ComboBoxbc, " and bc like :bc1", "bc1", true},   {ComboBoxPJ, " and pj like :pj1", "pj1", true},
        {ComboBoxgys, " and gys=:gys1", "gys1", false},   {ComboBoxjsr, " and jsr=:jsr1", "jsr1", false},
        {ComboBoxfk, " and fk=:fk1", "fk1", false},
    };
    for (const Criterion &c : criteria) {
        const QString text = c.box->currentText();
        if (text.isEmpty())
            continue;
        sql << QString::fromLatin1(c.fragment);
        params.append({QString::fromLatin1(c.param), c.like ? u'%' + text + u'%' : text});
    }
    sql << QStringLiteral(" order by rq desc");
    rkcx_->setSql(sql.join(u'\n'));
    for (const auto &p : params)
        rkcx_->setParam(p.first, p.second);
    rkcx_->open();
    showTotals();
}

void TFormRKCX::EditLSDHChange()
{
    resetTotals();
    SpeedButton1->setEnabled(false);
    rkcx_->close();
    rkcx_->setSql(QStringLiteral("select * from rk where lsdh=:RKcx"));
    rkcx_->clearParams();
    rkcx_->setParam(QStringLiteral("RKcx"), EditLSDH->text());
    rkcx_->open();
    showTotals();
}

void TFormRKCX::CheckBox1Click()
{
    if (!CheckBox1->isChecked())
        return;
    SpeedButton1->setEnabled(true);
    rkcx_->close();
    rkcx_->setSql(QStringLiteral("select * from rk where bc='借入'"));
    rkcx_->clearParams();
    rkcx_->open();
}

// The listed pending and borrowed lines go into stock together, or none of them.
void TFormRKCX::SpeedButton_ScanClick()
{
    try {
        stock::saveListed(m_.conn(), *rkcx_, LineKind::stockIn());
    } catch (const KorvelError &e) {
        ui::message(this, e.message(), QString(), ui::Icon::Warning);
    }
}

void TFormRKCX::SpeedButton1Click()
{
    if (!rkcx_->isActive() || rkcx_->recordCount() == 0 || rkcx_->recNo() < 0)
        return;
    // Only borrowed goods can go back; a saved line's quantity is already in stock.
    if (rkcx_->fieldByName(QStringLiteral("bc")).asString() != Borrowed) {
        ui::message(this, QStringLiteral("只有借入的商品才能归还"), QString(), ui::Icon::Warning);
        return;
    }
    try {
        Transaction tx(m_.conn());
        rkcx_->edit();
        rkcx_->setValue(QStringLiteral("lsdh"), QString());
        rkcx_->setValue(QStringLiteral("bc"), Returned);
        rkcx_->post();
        tx.commit();
    } catch (const KorvelError &) {
        rkcx_->cancel();
        throw;
    }
}

void TFormRKCX::showInvoice(int row)
{
    DataSet *dh = m_.ADOQueryDHrk;
    dh->moveTo(row);
    EditLSDH->setText(dh->fieldByName(QStringLiteral("lsdh")).asString());
}

void TFormRKCX::SpeedButton_PreviewClick()
{
    DataSet *dh = m_.ADOQueryDHrk;
    if (!dh->isActive() || dh->recordCount() == 0 || dh->recNo() <= 0)
        return;
    showInvoice(dh->recNo() - 1);
}

void TFormRKCX::SpeedButton_PrintsetupClick()
{
    DataSet *dh = m_.ADOQueryDHrk;
    if (!dh->isActive() || dh->recordCount() == 0 || dh->recNo() >= dh->recordCount() - 1)
        return;
    showInvoice(dh->recNo() + 1);
}

void TFormRKCX::SpeedButton2Click()
{
    report::runProject(m_, this, QStringLiteral("rKCX.rav"));
}

void TFormRKCX::FormClose()
{
    // The window is freed on closing; the instance flag is set again by the base.
}

void TFormRKCX::keyPressEvent(QKeyEvent *e)
{
    // Enter in the window presses its default button.
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && ButtonRK->isEnabled()) {
        ButtonRK->click();
        e->accept();
        return;
    }
    MdiForm::keyPressEvent(e);
}
