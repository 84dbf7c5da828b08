#include "stockin/Trkkd.h"

#include "store/DocumentCounter.h"
#include "dataset/Errors.h"
#include "dataset/Formats.h"
#include "reporting/ReportEngine.h"
#include "ui/Controls.h"
#include "ui/Seams.h"
#include "masterdata/Tformgys.h"
#include "store/DataModule.h"
#include "ui/ScreenHost.h"

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRegularExpression>
#include <QStringListModel>
#include <QStyle>
#include <QVBoxLayout>

Money Trkkd::rkkdExchangeBalance;

namespace {

const QString kInvoiceSql = QStringLiteral("select * from rk where lsdh=:RKdh");
const QString kSaved = QStringLiteral("保存");
const QString kReturned = QStringLiteral("退换");
const QString kBalanceText = QStringLiteral("退换差额");

QLabel *label(const QString &name, const QString &text, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

QComboBox *lookupBox(const QString &name, const QString &hint, QWidget *parent)
{
    auto *b = new QComboBox(parent);
    b->setObjectName(name);
    b->setEditable(true);
    b->setInsertPolicy(QComboBox::NoInsert);
    b->lineEdit()->setMaxLength(50);
    b->setToolTip(hint);
    b->setMinimumWidth(150);
    return b;
}

} // namespace

Trkkd::Trkkd(ScreenHost &host, QWidget *parent) : MdiForm(host, QStringLiteral("Trkkd"), parent), main_(host.data())
{
    setObjectName(QStringLiteral("rkkd"));
    setWindowTitle(QStringLiteral("入库开单--编号和名称是用来区分不同产品,如果没有编号,名称要取好,不然很容易库存重复"));
    buildUi();
    connectHandlers();
    ui::guard(this, [this] { FormCreate(); });
}

Trkkd::~Trkkd()
{
    // Focus moves while the children are deleted; the handlers must not see that.
    disconnect(focusConn_);
}

// ---------------------------------------------------------------- layout

void Trkkd::buildUi()
{
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
    GroupBox2->setToolTip(QStringLiteral("内容删除，另一个开启"));
    Label25 = label(QStringLiteral("Label25"), QStringLiteral("编号查询"), GroupBox2);
    Label25->setToolTip(QStringLiteral("唯一的不重复"));
    ComboBoxBH = lookupBox(QStringLiteral("ComboBoxBH"), QStringLiteral("入库时输入是必要的和确保正确不支持首拼查询"),
                           GroupBox2);
    Label9 = label(QStringLiteral("Label9"), QStringLiteral("名称查询"), GroupBox2);
    Label9->setToolTip(QStringLiteral("唯一的不重复"));
    ComboBoxMC = lookupBox(QStringLiteral("ComboBoxMC"), QStringLiteral("查不到产品自动转新产品入库"), GroupBox2);
    auto *g2 = new QHBoxLayout(GroupBox2);
    g2->setContentsMargins(8, 4, 8, 4);
    g2->addWidget(Label25);
    g2->addWidget(ComboBoxBH, 1);
    g2->addSpacing(12);
    g2->addWidget(Label9);
    g2->addWidget(ComboBoxMC, 1);

    Label1 = label(QStringLiteral("Label1"), QStringLiteral("单号"), Panel1);
    EditLSDH = new QLineEdit(Panel1);
    EditLSDH->setObjectName(QStringLiteral("EditLSDH"));
    EditLSDH->setToolTip(QStringLiteral("单号并不是日期，而是该单的标记，意思是今天的第几单"));
    EditLSDH->setMaxLength(50);
    Label8 = label(QStringLiteral("Label8"), QStringLiteral("数量"), Panel1);
    EditSN = new QLineEdit(QStringLiteral("1"), Panel1);
    EditSN->setObjectName(QStringLiteral("EditSN"));
    EditSN->setMaxLength(10);
    Label5 = label(QStringLiteral("Label5"), QStringLiteral("票据类型"), Panel1);
    ComboBoxPJ = new QComboBox(Panel1);
    ComboBoxPJ->setObjectName(QStringLiteral("ComboBoxPJ"));
    ComboBoxPJ->addItems({QStringLiteral("收据"), QStringLiteral("普通发票"), QStringLiteral("增值发票")});
    ComboBoxPJ->setCurrentIndex(0);
    Label2 = label(QStringLiteral("Label2"), QStringLiteral("供应商"), Panel1);
    DBComboBoxGYS = new DBComboBox(Panel1);
    DBComboBoxGYS->setObjectName(QStringLiteral("DBComboBoxGYS"));
    DBComboBoxGYS->setMinimumWidth(160);
    Label4 = label(QStringLiteral("Label4"), QStringLiteral("商品位置"), Panel1);
    DBComboBoxck = new DBComboBox(Panel1);
    DBComboBoxck->setObjectName(QStringLiteral("DBComboBoxck"));
    DBComboBoxck->setToolTip(QStringLiteral("可以随便填写，不再只是仓库几"));
    DBComboBoxck->setMinimumWidth(120);
    Label23 = label(QStringLiteral("Label23"), QStringLiteral("付款情况"), Panel1);
    ComboBoxFK = new QComboBox(Panel1);
    ComboBoxFK->setObjectName(QStringLiteral("ComboBoxFK"));
    ComboBoxFK->addItems({QStringLiteral("已付"), QStringLiteral("未付")});
    ComboBoxFK->setCurrentIndex(0);
    ButtonRK = new QPushButton(QStringLiteral("入库"), Panel1);
    ButtonRK->setObjectName(QStringLiteral("ButtonRK"));
    ButtonRK->setDefault(true);
    ButtonRK->setMinimumWidth(90);
    ButtonXZD = new QPushButton(QStringLiteral("增新单"), Panel1);
    ButtonXZD->setObjectName(QStringLiteral("ButtonXZD"));
    ButtonXZD->setMinimumWidth(90);
    Label26 = label(QStringLiteral("Label26"), QStringLiteral("仓库床架"), Panel1);
    Label26->hide();

    auto *p1 = new QGridLayout(Panel1);
    p1->setContentsMargins(8, 4, 8, 4);
    p1->setHorizontalSpacing(8);
    p1->addWidget(GroupBox2, 0, 0, 1, 6);
    p1->addWidget(Label1, 0, 6);
    p1->addWidget(EditLSDH, 0, 7);
    p1->addWidget(Label8, 1, 0);
    p1->addWidget(EditSN, 1, 1);
    p1->addWidget(Label5, 1, 2);
    p1->addWidget(ComboBoxPJ, 1, 3);
    p1->addWidget(Label2, 1, 4);
    p1->addWidget(DBComboBoxGYS, 1, 5);
    p1->addWidget(ButtonRK, 1, 7);
    p1->addWidget(Label4, 2, 0);
    p1->addWidget(DBComboBoxck, 2, 1);
    p1->addWidget(Label23, 2, 2);
    p1->addWidget(ComboBoxFK, 2, 3);
    p1->addWidget(ButtonXZD, 2, 7);
    p1->setColumnStretch(1, 1);
    p1->setColumnStretch(3, 1);
    p1->setColumnStretch(5, 2);
    p1->setColumnStretch(7, 1);

    // ---- product panel
    Panel2 = new QFrame(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFrameShape(QFrame::StyledPanel);
    Label12 = label(QStringLiteral("Label12"), QStringLiteral("全称:"), Panel2);
    DBComboBoxmc = new DBComboBox(Panel2);
    DBComboBoxmc->setObjectName(QStringLiteral("DBComboBoxmc"));
    DBComboBoxmc->setToolTip(QStringLiteral("没有提示新入，即为名称修改"));
    DBComboBoxmc->setMinimumWidth(180);
    Label7 = label(QStringLiteral("Label7"), QStringLiteral("采购价:"), Panel2);
    DBEditcgj = new DBEdit(Panel2);
    DBEditcgj->setObjectName(QStringLiteral("DBEditcgj"));
    Label6 = label(QStringLiteral("Label6"), QStringLiteral("销售价:"), Panel2);
    DBEditxsj = new DBEdit(Panel2);
    DBEditxsj->setObjectName(QStringLiteral("DBEditxsj"));
    DBEditbh = new DBEdit(Panel2);
    DBEditbh->setObjectName(QStringLiteral("DBEditbh"));
    DBEditbh->hide();
    Label3 = label(QStringLiteral("Label3"), QString(), Panel2);
    Label3->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));
    Label3->setMinimumWidth(40);
    Label14 = label(QStringLiteral("Label14"), QString(), Panel2);
    ButtonJR = new QPushButton(QStringLiteral("借入"), Panel2);
    ButtonJR->setObjectName(QStringLiteral("ButtonJR"));
    GroupBox1 = new QGroupBox(QStringLiteral("查询的结果也是库存的内容,请选择"), Panel2);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    DBGrid2 = new DBGrid(GroupBox1);
    DBGrid2->setObjectName(QStringLiteral("DBGrid2"));
    DBGrid2->setToolTip(QStringLiteral("查询没有记录时系统自动认为是新品入库,旁边会显示\"新入\""));
    DBGrid2->setReadOnly(true);
    // The header and four results: the rest of the height goes to the invoice's lines.
    DBGrid2->setFixedHeight(DBGrid2->horizontalHeader()->sizeHint().height() +
                            4 * DBGrid2->verticalHeader()->defaultSectionSize() + 2 * DBGrid2->frameWidth());
    auto *gb1 = new QVBoxLayout(GroupBox1);
    gb1->setContentsMargins(4, 4, 4, 4);
    gb1->addWidget(DBGrid2);

    auto *form = new QGridLayout;
    form->setHorizontalSpacing(6);
    form->addWidget(Label12, 0, 0);
    form->addWidget(DBComboBoxmc, 0, 1, 1, 2);
    form->addWidget(Label7, 1, 0);
    form->addWidget(DBEditcgj, 1, 1, 1, 2);
    form->addWidget(Label6, 2, 0);
    form->addWidget(DBEditxsj, 2, 1, 1, 2);
    form->addWidget(Label3, 3, 0);
    form->addWidget(Label14, 3, 1);
    form->addWidget(ButtonJR, 3, 2);
    form->setRowStretch(4, 1);
    auto *p2 = new QHBoxLayout(Panel2);
    p2->setContentsMargins(8, 4, 8, 4);
    p2->addLayout(form);
    p2->addWidget(GroupBox1, 1);
    Panel1->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    Panel2->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);

    // ---- lines
    DBNavigator1 = new DBNavigator(this);
    DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
    DBGrid1 = new DBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setToolTip(QStringLiteral("在此不能修改名称与编号，有错可删除，再入。总金额在打印单上,在此输入备注"));

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    const int widths[3] = {120, 120, 240};
    for (int i = 0; i < 3; ++i) {
        panels_[i] = new QLabel(StatusBar1);
        panels_[i]->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(i));
        panels_[i]->setMinimumWidth(widths[i]);
        StatusBar1->addWidget(panels_[i], i == 2 ? 1 : 0);
    }

    auto *v = new QVBoxLayout(this);
    v->setContentsMargins(4, 2, 4, 2);
    v->setSpacing(3);
    v->addWidget(ToolBar1);
    v->addWidget(Panel1);
    v->addWidget(Panel2);
    v->addWidget(DBNavigator1);
    v->addWidget(DBGrid1, 1);
    v->addWidget(StatusBar1);

    DataSet *pl = main_.ADOQueryPL;
    DBComboBoxGYS->setDataField(main_.ADOQueryGYS, QStringLiteral("gysmc"));
    // The box shows the supplier chosen in the picker; what is typed there goes into the
    // line only and never renames the supplier.
    DBComboBoxGYS->setDisplayOnly(true);
    DBComboBoxck->setDataField(pl, QStringLiteral("ck"));
    DBComboBoxmc->setDataField(pl, QStringLiteral("mc"));
    DBEditcgj->setDataField(pl, QStringLiteral("cgj"));
    DBEditxsj->setDataField(pl, QStringLiteral("xsj"));
    DBEditbh->setDataField(pl, QStringLiteral("bh"));
    DBGrid2->setDataSet(pl);
    DBGrid1->setDataSet(main_.ADOQueryRKDH);
    DBNavigator1->setDataSet(main_.ADOQueryRKDH);
    DBGrid2->horizontalHeader()->setStretchLastSection(true);

    DBGrid1->setMinimumHeight(120);
    setMinimumSize(760, 540);
    resize(1060, 700);
}

void Trkkd::connectHandlers()
{
    ui::on(ButtonRK, &QPushButton::clicked, this, [this] { ButtonRKClick(); });
    ui::on(ButtonJR, &QPushButton::clicked, this, [this] { ButtonJRClick(); });
    ui::on(ButtonXZD, &QPushButton::clicked, this, [this] { ButtonXZDClick(); });
    ui::on(EditLSDH, &QLineEdit::textChanged, this, [this] { EditLSDHChange(); });
    // The lookups run for the user's typing or choosing only, not for text set from code.
    ui::on(ComboBoxBH->lineEdit(), &QLineEdit::textEdited, this, [this] { ComboBoxBHChange(); });
    ui::on(ComboBoxBH, &QComboBox::activated, this, [this] { ComboBoxBHChange(); });
    ui::on(ComboBoxMC->lineEdit(), &QLineEdit::textEdited, this, [this] { ComboBoxMCChange(); });
    ui::on(ComboBoxMC, &QComboBox::activated, this, [this] { ComboBoxMCChange(); });
    ui::on(DBGrid2, &DBGrid::cellClicked, this, [this] { DBGrid2CellClick(); });
    ui::on(main_.ADOQueryPL, &DataSet::dataChanged, this, [this] { DataSourcePLDataChange(); });
    ui::on(SpeedButton_Exit, &QToolButton::clicked, this, [this] { SpeedButton_ExitClick(); });
    ui::on(SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
    ui::on(SpeedButton_Print, &QToolButton::clicked, this, [this] { SpeedButton_PrintClick(); });
    ui::on(SpeedButton_Preview, &QToolButton::clicked, this, [this] { SpeedButton_PreviewClick(); });
    ui::on(SpeedButton_Printsetup, &QToolButton::clicked, this, [this] { SpeedButton_PrintsetupClick(); });
    focusConn_ = connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) { onFocusChanged(now); });
}

// Enter and exit follow the focus between the controls of this window only: coming
// back from another window to the same box is neither.
void Trkkd::onFocusChanged(QWidget *now)
{
    if (!now || !isAncestorOf(now))
        return;
    QWidget *ctrl = controlOf(now);
    QWidget *prev = lastFocus_;
    if (ctrl == prev)
        return;
    lastFocus_ = ctrl;
    if (prev == DBComboBoxmc)
        ui::guard(this, [this] { DBComboBoxmcExit(); });
    if (ctrl == ComboBoxMC)
        ui::guard(this, [this] { ComboBoxMCEnter(); });
    else if (ctrl == DBComboBoxGYS)
        ui::guard(this, [this] { DBComboBoxGYSEnter(); });
}

QWidget *Trkkd::controlOf(QWidget *w) const
{
    if (auto *box = qobject_cast<QComboBox *>(w->parentWidget()))
        return box;
    return w;
}

QString Trkkd::panelText(int i) const
{
    return panels_[i]->text();
}

void Trkkd::setPanelText(int i, const QString &text)
{
    panels_[i]->setText(text);
}

void Trkkd::keyPressEvent(QKeyEvent *e)
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
    ButtonRK->click();
}

// ---------------------------------------------------------------- numbering and invoice

void Trkkd::setLsdh(const QString &number)
{
    if (EditLSDH->text() != number)
        EditLSDH->setText(number);
}

void Trkkd::openInvoice()
{
    DataSet *rk = main_.ADOQueryRKDH;
    // An edit typed into the lines grid is stored before the lines are read anew.
    if (!DBGrid1->postPendingEdit())
        rk->cancel();
    rk->close();
    rk->setSql(kInvoiceSql);
    rk->setParam(QStringLiteral("RKdh"), EditLSDH->text());
    rk->open();
}

void Trkkd::FormCreate()
{
    DocumentCounter counter(*main_.ADOTableKR, DocumentCounter::StockIn);
    setLsdh(counter.openForDay(QDate::currentDate()));
    DataSet *dh = main_.ADOQueryDHrk;
    if (!dh->isActive())
        dh->open();
    dh->last();
    DBComboBoxGYS->setShownText(QString());
}

void Trkkd::FormActivate()
{
    // Refilling a list must not change what the box shows for the record.
    auto fill = [](DBComboBox *box, const QStringList &items) {
        const QString shown = box->currentText();
        auto *model = qobject_cast<QStringListModel *>(box->model());
        if (!model) {
            model = new QStringListModel(box);
            box->setModel(model);
        }
        model->setStringList(items);
        box->setCurrentIndex(-1);
        box->setShownText(shown);
    };
    // Every product name in the table's order: one statement instead of walking the
    // table row by row, which would make each posting wait on the whole product list.
    DataSet *pll = main_.ADOTablePLL;
    pll->close();
    pll->openDeferred();
    QStringList names;
    for (const QVariantList &row : main_.conn().rows(QStringLiteral("SELECT mc FROM pl ORDER BY rowid")))
        names << row.value(0).toString();
    fill(DBComboBoxmc, names);

    DataSet *spwz = main_.ADOQueryspwz;
    spwz->close();
    spwz->open();
    const int col = spwz->fieldIndex(QStringLiteral("ck"));
    QStringList places;
    for (int r = 0, n = spwz->recordCount(); r < n; ++r)
        places << spwz->rowValue(r, col).toString();
    fill(DBComboBoxck, places);
}

void Trkkd::EditLSDHChange()
{
    openInvoice();
    rkkdExchangeBalance = Money();
    setPanelText(2, QString());
}

void Trkkd::ButtonXZDClick()
{
    DocumentCounter counter(*main_.ADOTableKR, DocumentCounter::StockIn);
    const QDate today = QDate::currentDate();
    setLsdh(counter.current(today));
    openInvoice();
    if (main_.ADOQueryRKDH->recordCount() > 0)
        setLsdh(counter.advanceIfUsed(today));
    ComboBoxBH->setFocus();
    DBComboBoxGYS->setShownText(QString());
}

// ---------------------------------------------------------------- lookup

void Trkkd::ComboBoxBHChange()
{
    const QString text = ComboBoxBH->currentText();
    if (text.isEmpty()) {
        ComboBoxMC->setEnabled(true);
        return;
    }
    DataSet *pl = main_.ADOQueryPL;
    pl->setSql(QStringLiteral("select * from pl where bh=:BH"));
    pl->setParam(QStringLiteral("BH"), text);
    pl->open();
    ComboBoxMC->setEnabled(false);
    // Nothing found: the product boxes edit a new product from the first keystroke on.
    if (pl->recordCount() == 0)
        pl->edit();
}

void Trkkd::ComboBoxMCChange()
{
    const QString text = ComboBoxMC->currentText();
    if (text.isEmpty()) {
        ComboBoxBH->setEnabled(true);
        return;
    }
    DataSet *pl = main_.ADOQueryPL;
    pl->setSql(QStringLiteral("select * from pl where mc like :MC"));
    pl->setParam(QStringLiteral("MC"), QStringLiteral("%") + text + QStringLiteral("%"));
    pl->open();
    ComboBoxBH->setEnabled(false);
    if (pl->recordCount() == 0) {
        pl->edit();  // starts the new product
        pl->setValue(QStringLiteral("mc"), text);
    }
}

void Trkkd::ComboBoxMCEnter()
{
    ComboBoxBH->setEditText(QString());
}

void Trkkd::DBComboBoxmcExit()
{
    const QString bh = ComboBoxBH->currentText();
    if (bh.isEmpty() && ComboBoxMC->currentText().isEmpty())
        return;
    // Only a product entered as new under a number lookup takes the number searched;
    // a stored product keeps its own.
    DataSet *pl = main_.ADOQueryPL;
    if (bh.isEmpty() || !pl->isActive())
        return;
    if (pl->state() != DataSet::State::Insert && pl->recordCount() > 0)
        return;
    pl->edit();
    pl->setValue(QStringLiteral("bh"), bh);
}

void Trkkd::DBGrid2CellClick()
{
    ComboBoxMC->setEditText(main_.ADOQueryPL->fieldByName(QStringLiteral("mc")).asString());
}

void Trkkd::DataSourcePLDataChange()
{
    Label3->setText(main_.ADOQueryPL->recordCount() == 0 || main_.ADOQueryPL->state() == DataSet::State::Insert
                        ? QStringLiteral("新入")
                        : QString());
}

void Trkkd::DBComboBoxGYSEnter()
{
    auto *picker = new Tformgys(main_, this);
    picker->show();
    picker->raise();
    picker->activateWindow();
}

// ---------------------------------------------------------------- posting

bool Trkkd::ButtonRKClick()
{
    return post(QString());
}

void Trkkd::ButtonJRClick()
{
    post(QStringLiteral("借入"));
}

bool Trkkd::post(const QString &status)
{
    // A remark or quantity typed into the lines grid goes in first; a refusal stops here.
    if (!DBGrid1->postPendingEdit())
        return false;
    bool stored = false;
    if (ComboBoxBH->currentText().isEmpty() && ComboBoxMC->currentText().isEmpty()) {
        ui::message(this, QStringLiteral("请先查询"));
    } else if (DBComboBoxGYS->currentText().isEmpty() && ComboBoxFK->currentText() == QStringLiteral("未付")) {
        ui::message(this, QStringLiteral("请选择供应商或选择已付"));
    } else {
        const std::optional<LineInput> in = checkInput();
        if (!in)
            return false;  // the lookup stays so that the value can be corrected
        storeLine(*in, status);
        stored = true;
    }
    endLookup();
    return stored;
}

// Name, quantity, prices and the amounts they make are checked before anything is stored.
std::optional<Trkkd::LineInput> Trkkd::checkInput()
{
    LineInput in;
    if (DBComboBoxmc->currentText().trimmed().isEmpty()) {
        ui::message(this, QStringLiteral("请输入产品的全称，没有全称的产品不能入库"), QString(), ui::Icon::Warning);
        DBComboBoxmc->setFocus();
        return std::nullopt;
    }
    static const QRegularExpression whole(QStringLiteral("^[+-]?\\d{1,6}$"));
    const QString sn = EditSN->text().trimmed();
    const int n = whole.match(sn).hasMatch() ? sn.toInt() : 100000;
    if (n < -32768 || n > 32767) {
        ui::message(this, QStringLiteral("数量必须是-32768到32767之间的整数"), QString(), ui::Icon::Warning);
        EditSN->setFocus();
        EditSN->selectAll();
        return std::nullopt;
    }
    in.sn = n;
    // The prices as the boxes take them: at most 4 decimals, within the entry limit.
    DataSet *pl = main_.ADOQueryPL;
    for (DBEdit *box : {DBEditcgj, DBEditxsj}) {
        try {
            const QVariant v = dbwidgets::parseEntry(pl->fieldDef(pl->fieldIndex(box->fieldName())), box->text());
            if (box == DBEditcgj && v.isValid())
                in.cgj = v.value<Money>();
        } catch (const InputError &e) {
            ui::message(this, e.message(), QString(), ui::Icon::Warning);
            box->setFocus();
            box->selectAll();
            return std::nullopt;
        }
    }
    // The line's amount, the invoice's total and the exchange difference must stay in
    // the money range; they are computed here, before anything is stored.
    try {
        const Money amount = in.cgj * in.sn;
        DataSet *rkdh = main_.ADOQueryRKDH;
        Money invoiceTotal = amount;
        if (rkdh->isActive())
            invoiceTotal += fmt::toMoney(rkdh->aggregate({{QStringLiteral("sum(sn*cgj)"), FieldType::Money}}).value(0));
        Money balance = rkkdExchangeBalance;
        if (!balance.isZero())
            balance += amount;
    } catch (const InputError &e) {
        ui::message(this, e.message(), QString(), ui::Icon::Warning);
        EditSN->setFocus();
        EditSN->selectAll();
        return std::nullopt;
    }
    return in;
}

void Trkkd::storeLine(const LineInput &in, const QString &status)
{
    DataSet *pl = main_.ADOQueryPL;
    DataSet *line = main_.ADOTableRK;
    DataSet *rkdh = main_.ADOQueryRKDH;
    Money balance = rkkdExchangeBalance;
    QString balanceText = panelText(2);
    try {
        Transaction tx(main_.conn());
        // The product as its boxes hold it; a new one when the lookup found none.
        pl->edit();
        const QString bh = ComboBoxBH->currentText();
        if (!bh.isEmpty() && pl->state() == DataSet::State::Insert)
            pl->setValue(QStringLiteral("bh"), bh);
        pl->post();

        if (!line->isActive())
            line->openDeferred();
        line->insert();
        line->setValue(QStringLiteral("lsdh"), EditLSDH->text());
        line->setValue(QStringLiteral("gys"), DBComboBoxGYS->currentText());
        line->setValue(QStringLiteral("jsr"), main_.ADOTabledlck->fieldByName(QStringLiteral("mz")).asString());
        line->setValue(QStringLiteral("ck"), DBComboBoxck->currentText());
        line->setValue(QStringLiteral("pj"), ComboBoxPJ->currentText());
        line->setValue(QStringLiteral("fk"), ComboBoxFK->currentText());
        line->setValue(QStringLiteral("bh"), pl->fieldByName(QStringLiteral("bh")).asString());
        line->setValue(QStringLiteral("sn"), in.sn);
        line->setValue(QStringLiteral("mc"), DBComboBoxmc->currentText());
        line->setValue(QStringLiteral("cgj"), QVariant::fromValue(in.cgj));
        line->setValue(QStringLiteral("rq"), QDateTime::currentDateTime());
        line->post();

        openInvoice();
        // An exchange under way: the new line's amount goes into the difference, and
        // the difference is written onto the new line.
        if (!balance.isZero()) {
            rkdh->last();
            balance += rkdh->fieldByName(QStringLiteral("zjr")).asMoney();
            balanceText = kBalanceText + balance.toString();
            rkdh->edit();
            rkdh->setValue(QStringLiteral("lb"), rkdh->fieldByName(QStringLiteral("lb")).asString() + balanceText);
            rkdh->post();
        }
        if (!status.isEmpty()) {
            rkdh->last();
            rkdh->edit();
            rkdh->setValue(QStringLiteral("bc"), status);
            rkdh->post();
        }
        tx.commit();
    } catch (const KorvelError &) {
        if (line->isEditing())
            line->cancel();
        if (rkdh->isEditing())
            rkdh->cancel();
        throw;
    }
    rkkdExchangeBalance = balance;
    setPanelText(2, balanceText);

    const QString bh = ComboBoxBH->currentText();
    if (!bh.isEmpty()) {
        pl->setSql(QStringLiteral("select * from pl where bh=:BH"));
        pl->setParam(QStringLiteral("BH"), bh);
        pl->open();
    }
}

// Every press of "入库" or "借入" ends the lookup in use.
void Trkkd::endLookup()
{
    const bool byNumber = !ComboBoxBH->currentText().isEmpty();
    ComboBoxBH->setEnabled(true);
    ComboBoxMC->setEnabled(true);
    if (byNumber) {
        ComboBoxBH->setEditText(QString());
        ComboBoxBH->setFocus();
    } else {
        ComboBoxMC->setEditText(QString());
        ComboBoxMC->setFocus();
    }
    setPanelText(0, QStringLiteral("共%1条").arg(main_.ADOQueryRKDH->recordCount()));
    FormActivate();
}

// ---------------------------------------------------------------- corrections

void Trkkd::takeOutOfStock(const QString &bh, const QString &mc, int sn)
{
    DataSet *td = main_.ADOTabletd;
    if (bh.isEmpty())
        td->setFilter({{QStringLiteral("mc"), FilterCondition::Eq, mc}});
    else
        td->setFilter({{QStringLiteral("bh"), FilterCondition::Eq, bh}});
    td->setFiltered(true);
    td->first();
    if (td->recordCount() == 0)
        return;  // a product no longer on file changes no stock
    td->edit();
    td->setValue(QStringLiteral("sn"), qlonglong(td->fieldByName(QStringLiteral("sn")).asInteger()) - sn);
    td->post();
}

void Trkkd::SpeedButton_ExitClick()
{
    DataSet *td = main_.ADOTabletd;
    td->close();
    td->open();
    DataSet *rk = main_.ADOQueryRKDH;
    if (!rk->isActive() || rk->recordCount() == 0) {
        ui::message(this, QStringLiteral("该单无效"));
        return;
    }
    rk->checkBrowseMode();
    try {
        Transaction tx(main_.conn());
        // Only lines that reached the stock are taken out of it again.
        const int bc = rk->fieldIndex(QStringLiteral("bc")), bh = rk->fieldIndex(QStringLiteral("bh")),
                  mc = rk->fieldIndex(QStringLiteral("mc")), sn = rk->fieldIndex(QStringLiteral("sn"));
        const int n = rk->recordCount();
        for (int r = 0; r < n; ++r)
            if (rk->rowValue(r, bc).toString() == kSaved)
                takeOutOfStock(rk->rowValue(r, bh).toString(), rk->rowValue(r, mc).toString(),
                               rk->rowValue(r, sn).toInt());
        rk->setSql(QStringLiteral("update rk set lsdh='',bc='退单',fk='已付' where lsdh=:RKdh"));
        rk->setParam(QStringLiteral("RKdh"), EditLSDH->text());
        rk->execSql();
        tx.commit();
    } catch (const KorvelError &) {
        if (td->isEditing())
            td->cancel();
        openInvoice();  // shows the invoice as it is still stored
        throw;
    }
}

void Trkkd::SpeedButton1Click()
{
    DataSet *td = main_.ADOTabletd;
    td->close();
    td->open();
    DataSet *rk = main_.ADOQueryRKDH;
    if (!rk->isActive() || rk->recordCount() == 0) {
        ui::message(this, QStringLiteral("该单无效"));
        return;
    }
    rk->checkBrowseMode();
    const QString bc = rk->fieldByName(QStringLiteral("bc")).asString();
    if (bc == kReturned) {
        ui::message(this, QStringLiteral("该单无效"));
        return;
    }
    const Money amount = rk->fieldByName(QStringLiteral("zjr")).asMoney();
    try {
        Transaction tx(main_.conn());
        if (bc == kSaved)
            takeOutOfStock(rk->fieldByName(QStringLiteral("bh")).asString(),
                           rk->fieldByName(QStringLiteral("mc")).asString(),
                           rk->fieldByName(QStringLiteral("sn")).asInteger());
        rk->edit();
        rk->setValue(QStringLiteral("lb"), QStringLiteral("-") + amount.toString());
        rk->setValue(QStringLiteral("sn"), 0);
        rk->setValue(QStringLiteral("fk"), QStringLiteral("已付"));
        rk->setValue(QStringLiteral("bc"), kReturned);
        rk->post();
        tx.commit();
    } catch (const KorvelError &) {
        if (td->isEditing())
            td->cancel();
        if (rk->isEditing())
            rk->cancel();
        throw;
    }
    rkkdExchangeBalance -= amount;
    setPanelText(2, kBalanceText + rkkdExchangeBalance.toString());
}

void Trkkd::SpeedButton_PrintClick()
{
    report::runProject(main_, this, QStringLiteral("rK.rav"));
}

void Trkkd::SpeedButton_PreviewClick()
{
    stepInvoice(false);
}

void Trkkd::SpeedButton_PrintsetupClick()
{
    stepInvoice(true);
}

// Moves through the invoice numbers, staying on the first or last one at the ends.
void Trkkd::stepInvoice(bool forward)
{
    DataSet *dh = main_.ADOQueryDHrk;
    if (!dh->isActive())
        dh->open();
    if (dh->recordCount() == 0)
        return;
    if (forward)
        dh->next();
    else
        dh->prior();
    setLsdh(dh->field(0).asString());
}

void Trkkd::FormClose()
{
    disconnect(focusConn_);
    DocumentCounter counter(*main_.ADOTableKR, DocumentCounter::StockIn);
    const QDate today = QDate::currentDate();
    setLsdh(counter.current(today));
    openInvoice();
    // The next opening the same day starts with a fresh number.
    counter.advanceIfUsed(today);
}
