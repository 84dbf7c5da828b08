#include "stockout/Tckkd.h"

#include "dataset/DataSet.h"
#include "dataset/Errors.h"
#include "dataset/Formats.h"
#include "dbwidgets/DBControls.h"
#include "dbwidgets/DBGrid.h"
#include "dbwidgets/DBNavigator.h"
#include "masterdata/TFormKH.h"
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
#include <QStatusBar>
#include <QStringListModel>

Money Tckkd::ckkdExchangeBalance;

namespace {

const QString Lent = QStringLiteral("借出");
const QString WrittenOff = QStringLiteral("报损");
const QString Retail = QStringLiteral("零售");

const InvoiceForm::Layout StockOutLayout{
    QStringLiteral("Tckkd"),
    QStringLiteral("ckkd"),
    QStringLiteral("出库开单"),
    QStringLiteral("ButtonCK"),
    QStringLiteral("出库"),
    QStringLiteral("DBComboBoxKH"),
    QStringLiteral("客户"),
    QStringLiteral("DBComboBoxMC"),
    QStringLiteral("在此不能修改名称与编号，有错可删除，再出。在此输入备注"),
    4,
};

QPushButton *button(QWidget *parent, const QString &name, const QString &caption)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setMinimumWidth(90);
    return b;
}

} // namespace

Tckkd::Tckkd(ScreenHost &host, QWidget *parent)
    : InvoiceForm(host, InvoiceKind::stockOut(), ckkdExchangeBalance, StockOutLayout, parent)
{
    DBComboBoxKH = partyBox();
    ButtonCK = postButton();
    DBComboBoxMC = nameBox();
    ComboBoxMC->setToolTip(QStringLiteral("支持全称与首拼查询"));
    DBComboBoxKH->setToolTip(QStringLiteral("不填客户为零售，将不计算最近的销售价"));
    DBNavigator1->setToolTip(QStringLiteral("控制条"));
    StatusBar1->setToolTip(QStringLiteral("注意：总金额只计算可见的记录，记录过多时请以打印的总金额为准"));

    // ---- header: lending out and writing off
    Button1 = button(Panel1, QStringLiteral("Button1"), QStringLiteral("借出"));
    Button2 = button(Panel1, QStringLiteral("Button2"), QStringLiteral("报损"));
    headerGrid()->addWidget(Button1, 1, 8);
    headerGrid()->addWidget(Button2, 2, 8);

    // ---- product: price with the recent prices, available stock, discount, amount
    Label7 = ui::makeLabel(Panel2, QStringLiteral("Label7"), QStringLiteral("销售价:"));
    DBComboBoxXSJ = new DBComboBox(Panel2);
    DBComboBoxXSJ->setObjectName(QStringLiteral("DBComboBoxXSJ"));
    DBComboBoxXSJ->setToolTip(QStringLiteral("下拉列表的第一个为最近出给该客户的价格"));
    DBComboBoxXSJ->setCompleter(nullptr);
    Label6 = ui::makeLabel(Panel2, QStringLiteral("Label6"), QStringLiteral("实际库存:"));
    Edit2 = new QLineEdit(Panel2);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setReadOnly(true);
    Edit2->setStyleSheet(QStringLiteral("color: red;"));
    Label11 = ui::makeLabel(Panel2, QStringLiteral("Label11"), QStringLiteral("折扣:"));
    ComboBoxzk = new QComboBox(Panel2);
    ComboBoxzk->setObjectName(QStringLiteral("ComboBoxzk"));
    ComboBoxzk->setEditable(true);
    ComboBoxzk->setInsertPolicy(QComboBox::NoInsert);
    ComboBoxzk->addItems({QStringLiteral("9.5"), QStringLiteral("9"), QStringLiteral("8.5"), QStringLiteral("8"),
                          QStringLiteral("7.5"), QStringLiteral("7"), QStringLiteral("6.5"), QStringLiteral("6"),
                          QStringLiteral("5.5"), QStringLiteral("5"), QStringLiteral("0")});
    ComboBoxzk->setCurrentIndex(-1);
    ComboBoxzk->setEditText(QString());
    // A discount or a price is exactly what is typed: "9" must not become "9.5" by itself.
    ComboBoxzk->setCompleter(nullptr);
    Label3 = ui::makeLabel(Panel2, QStringLiteral("Label3"), QStringLiteral("实收:"));
    Edit3 = new QLineEdit(Panel2);
    Edit3->setObjectName(QStringLiteral("Edit3"));
    Edit3->setToolTip(QStringLiteral("单条金额进行修改"));
    Edit3->setMaxLength(20);
    QGridLayout *form = productGrid();
    form->addWidget(Label7, 1, 0);
    form->addWidget(DBComboBoxXSJ, 1, 1, 1, 2);
    form->addWidget(Label6, 2, 0);
    form->addWidget(Edit2, 2, 1, 1, 2);
    form->addWidget(Label11, 3, 0);
    form->addWidget(ComboBoxzk, 3, 1, 1, 2);
    form->addWidget(Label3, 4, 0);
    form->addWidget(Edit3, 4, 1, 1, 2);
    form->setRowStretch(5, 1);

    DataSet *pl = dm().ADOQueryPL;
    DBComboBoxXSJ->setDataField(pl, QStringLiteral("xsj"));

    wireShared();
    ui::on(ButtonCK, &QPushButton::clicked, this, [this] { ButtonCKClick(); });
    ui::on(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    ui::on(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    ui::on(Edit3, &QLineEdit::textChanged, this, [this] { Edit3Change(); });
    // The lookups run for the user's typing or choosing only, not for text set from code.
    ui::on(ComboBoxBH->lineEdit(), &QLineEdit::textEdited, this, [this] { ComboBoxBHChange(); });
    ui::on(ComboBoxBH, &QComboBox::activated, this, [this] { ComboBoxBHChange(); });
    ui::on(ComboBoxMC->lineEdit(), &QLineEdit::textEdited, this, [this] { ComboBoxMCChange(); });
    ui::on(ComboBoxMC, &QComboBox::activated, this, [this] { ComboBoxMCChange(); });
    ui::on(pl, &DataSet::dataChanged, this, [this] { DataSourcePLDataChange(); });
    ui::on(&book().lines(), &DataSet::dataChanged, this, [this] { DataSourceCKDataChange(); });
    ui::guard(this, [this] { FormCreate(); });
}

void Tckkd::FormCreate()
{
    // The number list is not moved here: "前单"/"后单" start where it was left.
    InvoiceForm::FormCreate();
    DataSourceCKDataChange();
}

void Tckkd::invoiceCleared()
{
    ComboBoxzk->setEditText(QString());
}

// ---------------------------------------------------------------- lookup

void Tckkd::ComboBoxBHChange()
{
    const QString text = ComboBoxBH->currentText();
    if (text.isEmpty())
        return;
    DataSet *pl = dm().ADOQueryPL;
    pl->setSql(QStringLiteral("select * from pl where bh=:BH"));
    pl->setParam(QStringLiteral("BH"), text);
    pl->open();
}

void Tckkd::ComboBoxMCChange()
{
    const QString text = ComboBoxMC->currentText();
    if (text.isEmpty())
        return;
    // By the initials or the full name; nothing found starts no new product.
    DataSet *pl = dm().ADOQueryPL;
    pl->setSql(QStringLiteral("select * from pl where  cj like :MC or mc like :MC1 "));
    const QString like = QStringLiteral("%") + text + QStringLiteral("%");
    pl->setParam(QStringLiteral("MC"), like);
    pl->setParam(QStringLiteral("MC1"), like);
    pl->open();
}

void Tckkd::DBComboBoxKHEnter()
{
    auto *picker = new TFormKH(dm(), this);
    picker->show();
    picker->raise();
    picker->activateWindow();
}

qint64 Tckkd::pendingQuantity(const QString &bh, const QString &mc)
{
    // Lines posted and not yet saved have promised their quantity already.
    const QVariant v =
        bh.isEmpty()
            ? dm().conn().scalar(QStringLiteral("SELECT sum(sn) FROM ck WHERE bc IS NULL AND mc=:mc"), {{"mc", mc}})
            : dm().conn().scalar(QStringLiteral("SELECT sum(sn) FROM ck WHERE bc IS NULL AND bh=:bh"), {{"bh", bh}});
    return v.toLongLong();
}

void Tckkd::DataSourcePLDataChange()
{
    DataSet *pl = dm().ADOQueryPL;
    if (!pl->isActive() || pl->recordCount() == 0 || pl->state() == DataSet::State::Insert) {
        Edit2->clear();
        return;
    }
    const QString bh = pl->fieldByName(QStringLiteral("bh")).asString();
    const QString mc = pl->fieldByName(QStringLiteral("mc")).asString();
    const qint64 stock = pl->fieldByName(QStringLiteral("sn")).asInteger();
    Edit2->setText(QString::number(stock - pendingQuantity(bh, mc)));

    // The prices last charged to this customer for the product, newest first.
    const QString customer = DBComboBoxKH->currentText();
    if (customer.isEmpty())
        return;  // retail: the list keeps what it held
    DataSet *jg = dm().ADOQueryjg;
    jg->setSql(QStringLiteral("select xsj from ck where kh=:kh1  and mc=:mc5 order by id desc LIMIT 10"));
    jg->setParam(QStringLiteral("kh1"), customer);
    jg->setParam(QStringLiteral("mc5"), mc);
    jg->open();
    QStringList prices;
    for (int r = 0, n = jg->recordCount(); r < n; ++r)
        prices << jg->displayText(r, 0);
    const QString shown = DBComboBoxXSJ->currentText();
    auto *model = qobject_cast<QStringListModel *>(DBComboBoxXSJ->model());
    if (!model) {
        model = new QStringListModel(DBComboBoxXSJ);
        DBComboBoxXSJ->setModel(model);
    }
    model->setStringList(prices);
    DBComboBoxXSJ->setCurrentIndex(-1);
    DBComboBoxXSJ->setShownText(shown);
}

void Tckkd::DataSourceCKDataChange()
{
    // The invoice's totals, exact: every line once, the line being edited as it is typed.
    DataSet &lines = book().lines();
    Money amount;
    qint64 quantity = 0;
    if (lines.isActive()) {
        try {
            const QVariantList r =
                lines.aggregate({{QStringLiteral("sum(sn*xsj)"), FieldType::Money}, {QStringLiteral("sum(sn)"), FieldType::Integer}});
            amount = fmt::toMoney(r.value(0));
            quantity = r.value(1).toLongLong();
            if (lines.isEditing()) {
                if (lines.state() == DataSet::State::Edit) {
                    const QList<QVariantList> stored = dm().conn().rows(
                        QStringLiteral("SELECT sn, sn*xsj FROM ck WHERE rowid=:r"), {{"r", lines.currentKey()}});
                    if (!stored.isEmpty()) {
                        quantity -= stored[0].value(0).toLongLong();
                        amount -= Money::fromRaw(stored[0].value(1).toLongLong());
                    }
                }
                quantity += lines.fieldByName(QStringLiteral("sn")).asInteger();
                amount += lines.fieldByName(QStringLiteral("zjr")).asMoney();
            }
        } catch (const InputError &) {
            // An amount beyond the range shows as what the stored lines give.
        }
    }
    dm().lsdhTotalAmount = amount;
    dm().lsdhTotalQuantity = quantity;
    setPanelText(1, QStringLiteral("总金额：") + dm().lsdhTotalAmount.toString() + QStringLiteral("   总数量：") +
                        QString::number(dm().lsdhTotalQuantity));
    dm().lsdhTotalAmount = Money();
    dm().lsdhTotalQuantity = 0;
    setPanelText(0, QStringLiteral("共%1条").arg(lines.isActive() ? lines.recordCount() : 0));
}

// ---------------------------------------------------------------- posting

bool Tckkd::ButtonCKClick()
{
    return post(QString());
}

void Tckkd::Button1Click()
{
    post(Lent);
}

void Tckkd::Button2Click()
{
    if (!ui::confirmYes(this, QStringLiteral("确定要报损吗?")))
        return;
    if (post(WrittenOff))
        ui::message(this, QStringLiteral("报损成功!"));
}

bool Tckkd::post(const QString &status)
{
    if (!readyToPost())
        return false;
    DataSet *pl = dm().ADOQueryPL;
    if (!pl->isActive() || pl->recordCount() == 0 || pl->state() == DataSet::State::Insert) {
        ui::message(this, QStringLiteral("无产品,请先入库!"));
        clearLookup();
        return false;
    }
    if (DBComboBoxKH->currentText().isEmpty() && ComboBoxFK->currentText() == QStringLiteral("未付")) {
        ui::message(this, QStringLiteral("请选择客户或选择已付"));
        clearLookup();
        return false;
    }
    const std::optional<LineInput> in = checkInput();
    if (!in)
        return false;  // the lookup stays so that the value can be corrected
    const bool writeOff = status == WrittenOff;
    const qint64 product = pl->currentKey();
    storeLine(
        [&] {
            InvoiceBook::NewLine l = lineFromBoxes();
            if (l.party.isEmpty())
                l.party = Retail;
            l.ck = pl->fieldByName(QStringLiteral("ck")).asString();
            l.bh = pl->fieldByName(QStringLiteral("bh")).asString();
            l.sn = in->sn;
            l.mc = DBComboBoxMC->currentText();
            l.price = in->price;
            // A write-off stores the product with what was changed in its boxes.
            if (writeOff) {
                pl->updateRecord();
                if (pl->isEditing())
                    pl->post();
            }
            return l;
        },
        status,
        [&](qint64) {
            // The quantity leaves the stock as it is stored now, not as it was looked up.
            if (writeOff)
                dm().conn().exec(QStringLiteral("UPDATE pl SET sn=coalesce(sn,0)-:q WHERE rowid=:p"),
                                 {{"q", in->sn}, {"p", product}});
        });
    if (writeOff) {
        dm().conn().announceWrite(QStringLiteral("pl"));
        pl->refresh();
    }
    clearLookup();
    return true;
}

// Quantity, price, discount and the amounts they make are checked before anything is stored.
std::optional<Tckkd::LineInput> Tckkd::checkInput()
{
    LineInput in;
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
    QWidget *wrong = DBComboBoxXSJ;
    try {
        in.price = Money::parseEntry(DBComboBoxXSJ->currentText(), QStringLiteral("销售价"));
        wrong = ComboBoxzk;
        const std::optional<Money> discount = Money::parseEntry(ComboBoxzk->currentText(), QStringLiteral("折扣"));
        if (discount && (*discount < Money() || *discount > Money::fromUnits(10)))
            throw InputError(QStringLiteral("折扣必须是0到10之间的数，例如9.5表示九五折"));
        if (in.price && discount)
            in.price = in.price->scaled(*discount, 10);
        // The line's amount, the invoice's total and the exchange difference must stay
        // in the money range.
        wrong = EditSN;
        const Money amount = in.price.value_or(Money()) * in.sn;
        DataSet &lines = book().lines();
        if (lines.isActive())
            (void)(amount + fmt::toMoney(lines.aggregate({{QStringLiteral("sum(sn*xsj)"), FieldType::Money}}).value(0)));
        if (!ckkdExchangeBalance.isZero())
            (void)(ckkdExchangeBalance + amount);
    } catch (const InputError &e) {
        ui::message(this, e.message(), QString(), ui::Icon::Warning);
        wrong->setFocus();
        if (auto *edit = qobject_cast<QLineEdit *>(wrong))
            edit->selectAll();
        return std::nullopt;
    }
    return in;
}

// Every posting, also a refused one, ends the lookup in use; the product stays current.
void Tckkd::clearLookup()
{
    if (!ComboBoxBH->currentText().isEmpty()) {
        ComboBoxBH->setEditText(QString());
        ComboBoxMC->setEditText(QString());
        ComboBoxBH->setFocus();
    } else {
        ComboBoxMC->setEditText(QString());
        ComboBoxMC->setFocus();
    }
}

// ---------------------------------------------------------------- the typed amount

void Tckkd::Edit3Change()
{
    DataSet &lines = book().lines();
    if (!lines.isActive() || lines.recordCount() == 0 || lines.recNo() < 0)
        return;
    Edit3->setStyleSheet(QString());
    Edit3->setToolTip(QStringLiteral("单条金额进行修改"));
    const QString text = Edit3->text().trimmed();
    if (text.isEmpty()) {
        lines.checkBrowseMode();
        return;
    }
    std::optional<Money> amount;
    try {
        amount = Money::parseEntry(text, QStringLiteral("实收"));
    } catch (const InputError &e) {
        // Said at the box while typing goes on; nothing is changed.
        Edit3->setStyleSheet(QStringLiteral("color: red;"));
        Edit3->setToolTip(e.message());
        return;
    }
    const int sn = lines.fieldByName(QStringLiteral("sn")).asInteger();
    if (sn == 0)
        return;  // a returned line: no price gives an amount
    lines.edit();
    lines.setValue(QStringLiteral("xsj"), QVariant::fromValue(amount->dividedBy(sn)));
    lines.post();
}
