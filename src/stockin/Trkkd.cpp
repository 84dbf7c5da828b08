#include "stockin/Trkkd.h"

#include "dataset/DataSet.h"
#include "dataset/Errors.h"
#include "dataset/Formats.h"
#include "dbwidgets/DBControls.h"
#include "dbwidgets/DBGrid.h"
#include "masterdata/Tformgys.h"
#include "store/DataModule.h"
#include "ui/Controls.h"
#include "ui/Seams.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStringListModel>

Money Trkkd::rkkdExchangeBalance;

namespace {

const InvoiceForm::Layout StockInLayout{
    QStringLiteral("Trkkd"),
    QStringLiteral("rkkd"),
    QStringLiteral("入库开单--编号和名称是用来区分不同产品,如果没有编号,名称要取好,不然很容易库存重复"),
    QStringLiteral("ButtonRK"),
    QStringLiteral("入库"),
    QStringLiteral("DBComboBoxGYS"),
    QStringLiteral("供应商"),
    QStringLiteral("DBComboBoxmc"),
    QStringLiteral("在此不能修改名称与编号，有错可删除，再入。总金额在打印单上,在此输入备注"),
    3,
};

// Refilling a list must not change what the box shows for the record.
void fill(DBComboBox *box, const QStringList &items)
{
    const QString shown = box->currentText();
    auto *model = qobject_cast<QStringListModel *>(box->model());
    if (!model) {
        model = new QStringListModel(box);
        box->setModel(model);
    }
    model->setStringList(items);
    box->setCurrentIndex(-1);
    box->setShownText(shown);
}

} // namespace

Trkkd::Trkkd(ScreenHost &host, QWidget *parent)
    : InvoiceForm(host, InvoiceKind::stockIn(), rkkdExchangeBalance, StockInLayout, parent)
{
    DBComboBoxGYS = partyBox();
    ButtonRK = postButton();
    DBComboBoxmc = nameBox();
    GroupBox2->setToolTip(QStringLiteral("内容删除，另一个开启"));
    Label25->setToolTip(QStringLiteral("唯一的不重复"));
    Label9->setToolTip(QStringLiteral("唯一的不重复"));
    ComboBoxBH->setToolTip(QStringLiteral("入库时输入是必要的和确保正确不支持首拼查询"));
    ComboBoxMC->setToolTip(QStringLiteral("查不到产品自动转新产品入库"));
    DBComboBoxmc->setToolTip(QStringLiteral("没有提示新入，即为名称修改"));
    DBGrid2->setToolTip(QStringLiteral("查询没有记录时系统自动认为是新品入库,旁边会显示\"新入\""));

    // ---- header: the location
    Label4 = ui::makeLabel(Panel1, QStringLiteral("Label4"), QStringLiteral("商品位置"));
    DBComboBoxck = new DBComboBox(Panel1);
    DBComboBoxck->setObjectName(QStringLiteral("DBComboBoxck"));
    DBComboBoxck->setToolTip(QStringLiteral("可以随便填写，不再只是仓库几"));
    DBComboBoxck->setMinimumWidth(120);
    Label26 = ui::makeLabel(Panel1, QStringLiteral("Label26"), QStringLiteral("仓库床架"));
    Label26->hide();
    headerGrid()->addWidget(Label4, 2, 0);
    headerGrid()->addWidget(DBComboBoxck, 2, 1);

    // ---- product: the prices, "新入", borrowing in
    Label7 = ui::makeLabel(Panel2, QStringLiteral("Label7"), QStringLiteral("采购价:"));
    DBEditcgj = new DBEdit(Panel2);
    DBEditcgj->setObjectName(QStringLiteral("DBEditcgj"));
    Label6 = ui::makeLabel(Panel2, QStringLiteral("Label6"), QStringLiteral("销售价:"));
    DBEditxsj = new DBEdit(Panel2);
    DBEditxsj->setObjectName(QStringLiteral("DBEditxsj"));
    DBEditbh = new DBEdit(Panel2);
    DBEditbh->setObjectName(QStringLiteral("DBEditbh"));
    DBEditbh->hide();
    Label3 = ui::makeLabel(Panel2, QStringLiteral("Label3"), QString());
    Label3->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));
    Label3->setMinimumWidth(40);
    Label14 = ui::makeLabel(Panel2, QStringLiteral("Label14"), QString());
    ButtonJR = new QPushButton(QStringLiteral("借入"), Panel2);
    ButtonJR->setObjectName(QStringLiteral("ButtonJR"));
    QGridLayout *form = productGrid();
    form->addWidget(Label7, 1, 0);
    form->addWidget(DBEditcgj, 1, 1, 1, 2);
    form->addWidget(Label6, 2, 0);
    form->addWidget(DBEditxsj, 2, 1, 1, 2);
    form->addWidget(Label3, 3, 0);
    form->addWidget(Label14, 3, 1);
    form->addWidget(ButtonJR, 3, 2);
    form->setRowStretch(4, 1);

    DataSet *pl = dm().ADOQueryPL;
    DBComboBoxck->setDataField(pl, QStringLiteral("ck"));
    DBEditcgj->setDataField(pl, QStringLiteral("cgj"));
    DBEditxsj->setDataField(pl, QStringLiteral("xsj"));
    DBEditbh->setDataField(pl, QStringLiteral("bh"));

    wireShared();
    ui::on(ButtonRK, &QPushButton::clicked, this, [this] { ButtonRKClick(); });
    ui::on(ButtonJR, &QPushButton::clicked, this, [this] { ButtonJRClick(); });
    // The lookups run for the user's typing or choosing only, not for text set from code.
    ui::on(ComboBoxBH->lineEdit(), &QLineEdit::textEdited, this, [this] { ComboBoxBHChange(); });
    ui::on(ComboBoxBH, &QComboBox::activated, this, [this] { ComboBoxBHChange(); });
    ui::on(ComboBoxMC->lineEdit(), &QLineEdit::textEdited, this, [this] { ComboBoxMCChange(); });
    ui::on(ComboBoxMC, &QComboBox::activated, this, [this] { ComboBoxMCChange(); });
    ui::on(pl, &DataSet::dataChanged, this, [this] { DataSourcePLDataChange(); });
    ui::guard(this, [this] { FormCreate(); });
}

void Trkkd::controlLeft(QWidget *control)
{
    if (control == DBComboBoxmc)
        DBComboBoxmcExit();
}

// ---------------------------------------------------------------- opening and lists

void Trkkd::FormCreate()
{
    InvoiceForm::FormCreate();
    DataSet *dh = dm().ADOQueryDHrk;
    if (!dh->isActive())
        dh->open();
    dh->last();
}

void Trkkd::FormActivate()
{
    InvoiceForm::FormActivate();
    fillLists();
}

// Every product name in the table's order, and the locations.
void Trkkd::fillLists()
{
    DataSet *pll = dm().ADOTablePLL;
    pll->close();
    pll->openDeferred();
    QStringList names;
    for (const QVariantList &row : dm().conn().rows(QStringLiteral("SELECT mc FROM pl ORDER BY rowid")))
        names << row.value(0).toString();
    fill(DBComboBoxmc, names);

    DataSet *spwz = dm().ADOQueryspwz;
    spwz->close();
    spwz->open();
    const int col = spwz->fieldIndex(QStringLiteral("ck"));
    QStringList places;
    for (int r = 0, n = spwz->recordCount(); r < n; ++r)
        places << spwz->rowValue(r, col).toString();
    fill(DBComboBoxck, places);
}

// ---------------------------------------------------------------- lookup

void Trkkd::ComboBoxBHChange()
{
    const QString text = ComboBoxBH->currentText();
    if (text.isEmpty()) {
        ComboBoxMC->setEnabled(true);
        return;
    }
    DataSet *pl = dm().ADOQueryPL;
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
    DataSet *pl = dm().ADOQueryPL;
    pl->setSql(QStringLiteral("select * from pl where mc like :MC"));
    pl->setParam(QStringLiteral("MC"), QStringLiteral("%") + text + QStringLiteral("%"));
    pl->open();
    ComboBoxBH->setEnabled(false);
    if (pl->recordCount() == 0) {
        pl->edit();  // starts the new product
        pl->setValue(QStringLiteral("mc"), text);
    }
}

void Trkkd::DBComboBoxmcExit()
{
    const QString bh = ComboBoxBH->currentText();
    if (bh.isEmpty() && ComboBoxMC->currentText().isEmpty())
        return;
    // Only a product entered as new under a number lookup takes the number searched;
    // a stored product keeps its own.
    DataSet *pl = dm().ADOQueryPL;
    if (bh.isEmpty() || !pl->isActive())
        return;
    if (pl->state() != DataSet::State::Insert && pl->recordCount() > 0)
        return;
    pl->edit();
    pl->setValue(QStringLiteral("bh"), bh);
}

void Trkkd::DataSourcePLDataChange()
{
    DataSet *pl = dm().ADOQueryPL;
    Label3->setText(pl->recordCount() == 0 || pl->state() == DataSet::State::Insert ? QStringLiteral("新入")
                                                                                      : QString());
}

void Trkkd::DBComboBoxGYSEnter()
{
    auto *picker = new Tformgys(dm(), this);
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
    if (!readyToPost())
        return false;
    bool stored = false, productChanged = false;
    if (ComboBoxBH->currentText().isEmpty() && ComboBoxMC->currentText().isEmpty()) {
        ui::message(this, QStringLiteral("请先查询"));
    } else if (DBComboBoxGYS->currentText().isEmpty() && ComboBoxFK->currentText() == QStringLiteral("未付")) {
        ui::message(this, QStringLiteral("请选择供应商或选择已付"));
    } else {
        const std::optional<LineInput> in = checkInput();
        if (!in)
            return false;  // the lookup stays so that the value can be corrected
        DataSet *pl = dm().ADOQueryPL;
        const QString bh = ComboBoxBH->currentText();
        storeLine(
            [&] {
                // The product as its boxes hold it, stored with its line; a new one when the
                // lookup found none.
                pl->edit();
                pl->updateRecord();
                if (!bh.isEmpty() && pl->state() == DataSet::State::Insert)
                    pl->setValue(QStringLiteral("bh"), bh);
                productChanged = pl->state() == DataSet::State::Insert || pl->isModified();
                pl->post();
                InvoiceBook::NewLine l = lineFromBoxes();
                l.ck = DBComboBoxck->currentText();
                l.bh = pl->fieldByName(QStringLiteral("bh")).asString();
                l.sn = in->sn;
                l.mc = DBComboBoxmc->currentText();
                l.price = in->cgj;
                return l;
            },
            status);
        stored = true;
        if (!bh.isEmpty()) {
            pl->setSql(QStringLiteral("select * from pl where bh=:BH"));
            pl->setParam(QStringLiteral("BH"), bh);
            pl->open();
        }
    }
    endLookup(productChanged);
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
    DataSet *pl = dm().ADOQueryPL;
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
        DataSet &lines = book().lines();
        Money invoiceTotal = amount;
        if (lines.isActive())
            invoiceTotal += fmt::toMoney(lines.aggregate({{QStringLiteral("sum(sn*cgj)"), FieldType::Money}}).value(0));
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

// Every press of "入库" or "借入" ends the lookup in use.
void Trkkd::endLookup(bool productChanged)
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
    setPanelText(0, QStringLiteral("共%1条").arg(book().lines().recordCount()));
    // The lists change only with the products: a posting that stored a new or changed
    // product shows it there, any other does not read 20,000 names again.
    if (productChanged)
        fillLists();
}
