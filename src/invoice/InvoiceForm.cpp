#include "invoice/InvoiceForm.h"

#include "dataset/DataSet.h"
#include "dataset/Errors.h"
#include "dbwidgets/DBControls.h"
#include "dbwidgets/DBGrid.h"
#include "dbwidgets/DBNavigator.h"
#include "reporting/ReportEngine.h"
#include "store/DataModule.h"
#include "ui/Controls.h"
#include "ui/ScreenHost.h"
#include "ui/Seams.h"

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString BalanceText = QStringLiteral("退换差额");

QComboBox *lookupBox(QWidget *parent, const QString &name)
{
    auto *b = new QComboBox(parent);
    b->setObjectName(name);
    b->setEditable(true);
    b->setInsertPolicy(QComboBox::NoInsert);
    b->lineEdit()->setMaxLength(50);
    b->setMinimumWidth(150);
    return b;
}

QComboBox *choiceBox(QWidget *parent, const QString &name, const QStringList &items)
{
    auto *b = new QComboBox(parent);
    b->setObjectName(name);
    b->addItems(items);
    b->setCurrentIndex(0);
    return b;
}

QPushButton *button(QWidget *parent, const QString &name, const QString &caption)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setMinimumWidth(90);
    return b;
}

} // namespace

InvoiceForm::InvoiceForm(ScreenHost &host, const InvoiceKind &kind, Money &exchangeBalance, const Layout &layout,
                         QWidget *parent)
    : MdiForm(host, layout.flag, parent), dm_(host.data()), book_(host.data(), kind), balance_(exchangeBalance)
{
    setObjectName(layout.objectName);
    setWindowTitle(layout.caption);

    // ---- tool bar
    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    ToolBar1->setIconSize(QSize(20, 20));
    auto tool = [this](const QString &name, const QString &hint, QStyle::StandardPixmap icon) {
        auto *b = ui::makeToolButton(ToolBar1, name, hint, icon);
        ToolBar1->addWidget(b);
        ToolBar1->addSeparator();
        return b;
    };
    SpeedButton_Exit = tool(QStringLiteral("SpeedButton_Exit"), QStringLiteral("退单"), QStyle::SP_DialogCancelButton);
    SpeedButton1 = tool(QStringLiteral("SpeedButton1"), QStringLiteral("退换"), QStyle::SP_BrowserReload);
    SpeedButton_Print = tool(QStringLiteral("SpeedButton_Print"), QStringLiteral("打印"), QStyle::SP_FileDialogDetailedView);
    SpeedButton_Preview = tool(QStringLiteral("SpeedButton_Preview"), QStringLiteral("前单"), QStyle::SP_ArrowBack);
    SpeedButton_Printsetup =
        tool(QStringLiteral("SpeedButton_Printsetup"), QStringLiteral("后单"), QStyle::SP_ArrowForward);

    // ---- header panel
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::StyledPanel);
    GroupBox2 = new QGroupBox(Panel1);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    Label25 = ui::makeLabel(GroupBox2, QStringLiteral("Label25"), QStringLiteral("编号查询"));
    ComboBoxBH = lookupBox(GroupBox2, QStringLiteral("ComboBoxBH"));
    Label9 = ui::makeLabel(GroupBox2, QStringLiteral("Label9"), QStringLiteral("名称查询"));
    ComboBoxMC = lookupBox(GroupBox2, QStringLiteral("ComboBoxMC"));
    auto *g2 = new QHBoxLayout(GroupBox2);
    g2->setContentsMargins(8, 4, 8, 4);
    g2->addWidget(Label25);
    g2->addWidget(ComboBoxBH, 1);
    g2->addSpacing(12);
    g2->addWidget(Label9);
    g2->addWidget(ComboBoxMC, 1);

    Label1 = ui::makeLabel(Panel1, QStringLiteral("Label1"), QStringLiteral("单号"));
    EditLSDH = new QLineEdit(Panel1);
    EditLSDH->setObjectName(QStringLiteral("EditLSDH"));
    EditLSDH->setToolTip(QStringLiteral("单号并不是日期，而是该单的标记，意思是今天的第几单"));
    EditLSDH->setMaxLength(50);
    Label8 = ui::makeLabel(Panel1, QStringLiteral("Label8"), QStringLiteral("数量"));
    EditSN = new QLineEdit(QStringLiteral("1"), Panel1);
    EditSN->setObjectName(QStringLiteral("EditSN"));
    EditSN->setMaxLength(10);
    Label5 = ui::makeLabel(Panel1, QStringLiteral("Label5"), QStringLiteral("票据类型"));
    ComboBoxPJ = choiceBox(Panel1, QStringLiteral("ComboBoxPJ"),
                           {QStringLiteral("收据"), QStringLiteral("普通发票"), QStringLiteral("增值发票")});
    Label2 = ui::makeLabel(Panel1, QStringLiteral("Label2"), layout.partyLabel);
    partyBox_ = new DBComboBox(Panel1);
    partyBox_->setObjectName(layout.partyBoxName);
    partyBox_->setMinimumWidth(160);
    Label23 = ui::makeLabel(Panel1, QStringLiteral("Label23"), QStringLiteral("付款情况"));
    ComboBoxFK = choiceBox(Panel1, QStringLiteral("ComboBoxFK"), {QStringLiteral("已付"), QStringLiteral("未付")});
    postButton_ = button(Panel1, layout.postButtonName, layout.postButtonCaption);
    postButton_->setDefault(true);
    ButtonXZD = button(Panel1, QStringLiteral("ButtonXZD"), QStringLiteral("增新单"));

    header_ = new QGridLayout(Panel1);
    header_->setContentsMargins(8, 4, 8, 4);
    header_->setHorizontalSpacing(8);
    header_->addWidget(GroupBox2, 0, 0, 1, 6);
    header_->addWidget(Label1, 0, 6);
    header_->addWidget(EditLSDH, 0, 7);
    header_->addWidget(Label8, 1, 0);
    header_->addWidget(EditSN, 1, 1);
    header_->addWidget(Label5, 1, 2);
    header_->addWidget(ComboBoxPJ, 1, 3);
    header_->addWidget(Label2, 1, 4);
    header_->addWidget(partyBox_, 1, 5);
    header_->addWidget(postButton_, 1, 7);
    header_->addWidget(Label23, 2, 2);
    header_->addWidget(ComboBoxFK, 2, 3);
    header_->addWidget(ButtonXZD, 2, 7);
    header_->setColumnStretch(1, 1);
    header_->setColumnStretch(3, 1);
    header_->setColumnStretch(5, 2);
    header_->setColumnStretch(7, 1);

    // ---- product panel
    Panel2 = new QFrame(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFrameShape(QFrame::StyledPanel);
    Label12 = ui::makeLabel(Panel2, QStringLiteral("Label12"), QStringLiteral("全称:"));
    nameBox_ = new DBComboBox(Panel2);
    nameBox_->setObjectName(layout.nameBoxName);
    nameBox_->setMinimumWidth(180);
    GroupBox1 = new QGroupBox(QStringLiteral("查询的结果也是库存的内容,请选择"), Panel2);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    DBGrid2 = new DBGrid(GroupBox1);
    DBGrid2->setObjectName(QStringLiteral("DBGrid2"));
    DBGrid2->setReadOnly(true);
    // The header and four results: the rest of the height goes to the invoice's lines.
    DBGrid2->setFixedHeight(DBGrid2->horizontalHeader()->sizeHint().height() +
                            4 * DBGrid2->verticalHeader()->defaultSectionSize() + 2 * DBGrid2->frameWidth());
    auto *gb1 = new QVBoxLayout(GroupBox1);
    gb1->setContentsMargins(4, 4, 4, 4);
    gb1->addWidget(DBGrid2);
    product_ = new QGridLayout;
    product_->setHorizontalSpacing(6);
    product_->addWidget(Label12, 0, 0);
    product_->addWidget(nameBox_, 0, 1, 1, 2);
    auto *p2 = new QHBoxLayout(Panel2);
    p2->setContentsMargins(8, 4, 8, 4);
    p2->addLayout(product_);
    p2->addWidget(GroupBox1, 1);
    Panel1->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    Panel2->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);

    // ---- lines
    DBNavigator1 = new DBNavigator(this);
    DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
    DBGrid1 = new DBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setToolTip(layout.linesHint);
    QList<int> widths{120, 240, 240};
    while (widths.size() < layout.statusPanels)
        widths << 120;
    StatusBar1 = ui::makeStatusBar(this, widths.mid(0, layout.statusPanels), &panels_);

    auto *v = new QVBoxLayout(this);
    v->setContentsMargins(4, 2, 4, 2);
    v->setSpacing(3);
    v->addWidget(ToolBar1);
    v->addWidget(Panel1);
    v->addWidget(Panel2);
    v->addWidget(DBNavigator1);
    v->addWidget(DBGrid1, 1);
    v->addWidget(StatusBar1);

    DataSet *pl = dm_.ADOQueryPL;
    partyBox_->setDataField(dm_.*kind.party, kind.partyNameField);
    // The box shows the party chosen in the picker; what is typed there goes into the line
    // only and never renames the supplier or customer.
    partyBox_->setDisplayOnly(true);
    nameBox_->setDataField(pl, QStringLiteral("mc"));
    DBGrid2->setDataSet(pl);
    DBGrid2->horizontalHeader()->setStretchLastSection(true);
    DBGrid1->setDataSet(&book_.lines());
    DBNavigator1->setDataSet(&book_.lines());
    DBGrid1->setMinimumHeight(120);
    setMinimumSize(760, 540);
    resize(1060, 700);
}

InvoiceForm::~InvoiceForm()
{
    // Focus moves while the children are deleted; the handlers must not see that.
    disconnect(focusConn_);
}

void InvoiceForm::wireShared()
{
    ui::on(ButtonXZD, &QPushButton::clicked, this, [this] { ButtonXZDClick(); });
    ui::on(EditLSDH, &QLineEdit::textChanged, this, [this] { EditLSDHChange(); });
    ui::on(DBGrid2, &DBGrid::cellClicked, this, [this] { DBGrid2CellClick(); });
    ui::on(SpeedButton_Exit, &QToolButton::clicked, this, [this] { SpeedButton_ExitClick(); });
    ui::on(SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
    ui::on(SpeedButton_Print, &QToolButton::clicked, this, [this] { SpeedButton_PrintClick(); });
    ui::on(SpeedButton_Preview, &QToolButton::clicked, this, [this] { SpeedButton_PreviewClick(); });
    ui::on(SpeedButton_Printsetup, &QToolButton::clicked, this, [this] { SpeedButton_PrintsetupClick(); });
    focusConn_ = connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) { onFocusChanged(now); });
}

// ---------------------------------------------------------------- focus and keys

// Enter and exit follow the focus between the controls of this window only: coming
// back from another window to the same box is neither.
void InvoiceForm::onFocusChanged(QWidget *now)
{
    if (!now || !isAncestorOf(now))
        return;
    QWidget *ctrl = controlOf(now);
    QWidget *prev = lastFocus_;
    if (ctrl == prev)
        return;
    lastFocus_ = ctrl;
    if (prev)
        ui::guard(this, [&] { controlLeft(prev); });
    ui::guard(this, [&] { controlEntered(ctrl); });
}

QWidget *InvoiceForm::controlOf(QWidget *w) const
{
    if (auto *box = qobject_cast<QComboBox *>(w->parentWidget()))
        return box;
    return w;
}

void InvoiceForm::controlEntered(QWidget *control)
{
    if (control == ComboBoxMC)
        ComboBoxMCEnter();
    else if (control == partyBox_)
        openPartyPicker();
}

void InvoiceForm::keyPressEvent(QKeyEvent *e)
{
    if (e->key() != Qt::Key_Return && e->key() != Qt::Key_Enter) {
        MdiForm::keyPressEvent(e);
        return;
    }
    // Enter anywhere on the screen presses the default button, also on a row of either
    // grid; a focused button presses itself, and a cell being edited keeps Enter to
    // confirm its text.
    QWidget *f = focusWidget();
    const auto inCell = [f](DBGrid *g) { return f && f != g && g->isAncestorOf(f); };
    if (inCell(DBGrid1) || inCell(DBGrid2)) {
        e->ignore();
        return;
    }
    if (auto *b = qobject_cast<QAbstractButton *>(f)) {
        b->click();
        return;
    }
    postButton_->click();
}

QString InvoiceForm::panelText(int i) const
{
    return panels_.value(i) ? panels_[i]->text() : QString();
}

void InvoiceForm::setPanelText(int i, const QString &text)
{
    if (QLabel *p = panels_.value(i))
        p->setText(text);
}

// ---------------------------------------------------------------- numbering and invoice

void InvoiceForm::setLsdh(const QString &number)
{
    if (EditLSDH->text() != number)
        EditLSDH->setText(number);
}

void InvoiceForm::openInvoice()
{
    // An edit typed into the lines grid is stored before the lines are read anew.
    if (!DBGrid1->postPendingEdit())
        book_.lines().cancel();
    book_.show(EditLSDH->text());
}

void InvoiceForm::numberInvoice()
{
    setLsdh(book_.openForDay(QDate::currentDate()));
}

void InvoiceForm::FormCreate()
{
    // A counter that cannot be written (a full disk, a read-only file) leaves the number
    // empty: postings are refused until the numbering works, tried again on activation.
    try {
        numberInvoice();
    } catch (const KorvelError &e) {
        ui::error(this, e.message());
    }
    partyBox_->setShownText(QString());
    invoiceCleared();
}

void InvoiceForm::FormActivate()
{
    if (!EditLSDH->text().isEmpty())
        return;
    try {
        numberInvoice();
    } catch (const KorvelError &) {
        // Still not possible; the posting says so when it is tried.
    }
}

void InvoiceForm::EditLSDHChange()
{
    openInvoice();
    balance_ = Money();
    setPanelText(2, QString());
}

void InvoiceForm::ButtonXZDClick()
{
    const QDate today = QDate::currentDate();
    if (EditLSDH->text().isEmpty()) {
        numberInvoice();
    } else {
        setLsdh(book_.current(today));
        openInvoice();
        if (book_.lines().recordCount() > 0)
            setLsdh(book_.advanceIfUsed(today));
    }
    ComboBoxBH->setFocus();
    partyBox_->setShownText(QString());
    invoiceCleared();
}

void InvoiceForm::ComboBoxMCEnter()
{
    ComboBoxBH->setEditText(QString());
}

void InvoiceForm::DBGrid2CellClick()
{
    ComboBoxMC->setEditText(dm_.ADOQueryPL->fieldByName(QStringLiteral("mc")).asString());
}

// ---------------------------------------------------------------- posting

bool InvoiceForm::readyToPost()
{
    // A remark or quantity typed into the lines grid goes in first; a refusal stops here.
    if (!DBGrid1->postPendingEdit())
        return false;
    if (EditLSDH->text().trimmed().isEmpty()) {
        ui::message(this,
                    QStringLiteral("没有单号，不能记帐。请先点“增新单”取得单号；"
                                   "取不到单号时，请检查磁盘空间和数据文件是否可以写入。"),
                    QString(), ui::Icon::Warning);
        return false;
    }
    return true;
}

InvoiceBook::NewLine InvoiceForm::lineFromBoxes() const
{
    InvoiceBook::NewLine l;
    l.lsdh = EditLSDH->text();
    l.party = partyBox_->currentText();
    l.jsr = dm_.ADOTabledlck->fieldByName(QStringLiteral("mz")).asString();
    l.pj = ComboBoxPJ->currentText();
    l.fk = ComboBoxFK->currentText();
    return l;
}

qint64 InvoiceForm::storeLine(const std::function<InvoiceBook::NewLine()> &prepare, const QString &status,
                              const std::function<void(qint64)> &after)
{
    Money balance = balance_;
    QString balanceText = panelText(2);
    qint64 rowid = -1;
    {
        Transaction tx(dm_.conn());
        rowid = book_.insertLine(prepare());
        // An exchange under way: the new line's amount goes into the difference, which is
        // written onto the new line.
        if (!balance.isZero())
            balanceText = book_.carryBalance(rowid, balance);
        if (!status.isEmpty())
            book_.mark(rowid, status);
        if (after)
            after(rowid);
        tx.commit();
    }
    balance_ = balance;
    setPanelText(2, balanceText);
    openInvoice();
    return rowid;
}

// ---------------------------------------------------------------- corrections

void InvoiceForm::SpeedButton_ExitClick()
{
    DataSet &lines = book_.lines();
    if (!DBGrid1->postPendingEdit())
        return;
    if (!lines.isActive() || lines.recordCount() == 0 || !book_.cancel(EditLSDH->text()))
        ui::message(this, QStringLiteral("该单无效"));
}

void InvoiceForm::SpeedButton1Click()
{
    DataSet &lines = book_.lines();
    if (!DBGrid1->postPendingEdit())
        return;
    std::optional<Money> amount;
    if (lines.isActive() && lines.recordCount() > 0)
        amount = book_.exchange(lines.currentKey(), EditLSDH->text());
    if (!amount) {
        ui::message(this, QStringLiteral("该单无效"));
        return;
    }
    balance_ -= *amount;
    setPanelText(2, BalanceText + balance_.toString());
}

void InvoiceForm::SpeedButton_PrintClick()
{
    report::runProject(dm_, this, book_.kind().reportFile);
}

void InvoiceForm::SpeedButton_PreviewClick()
{
    if (const auto n = book_.step(false))
        setLsdh(*n);
}

void InvoiceForm::SpeedButton_PrintsetupClick()
{
    if (const auto n = book_.step(true))
        setLsdh(*n);
}

void InvoiceForm::FormClose()
{
    disconnect(focusConn_);
    const QDate today = QDate::currentDate();
    setLsdh(book_.current(today));
    openInvoice();
    // The next opening the same day starts with a fresh number.
    book_.advanceIfUsed(today);
}
