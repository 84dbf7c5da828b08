#include "queries/TFormPL.h"

#include "dbwidgets/DBGrid.h"
#include "dbwidgets/GridExport.h"
#include "dbwidgets/DBNavigator.h"
#include "masterdata/GridColumns.h"
#include "reporting/ReportEngine.h"
#include "store/DataModule.h"
#include "ui/Controls.h"
#include "ui/ScreenHost.h"
#include "ui/Seams.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QStringListModel>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

TFormPL::TFormPL(ScreenHost &host, QWidget *parent)
    : MdiForm(host, QStringLiteral("TFormPL"), parent), m_(host.data()), plcx_(m_.ADOQueryPLCX)
{
    setObjectName(QStringLiteral("TFormPL"));
    setWindowTitle(QStringLiteral("库存查询,可以对现有的产品做输入,没有用编号请不填写编号,有填数量必须填销售价，"
                                  "不然金额不能计算错误"));

    SpeedButton_Print =
        ui::makeToolButton(this, QStringLiteral("SpeedButton_Print"), QStringLiteral("打印"), QStyle::SP_FileDialogDetailedView);
    auto *tools = new QHBoxLayout;
    tools->addWidget(SpeedButton_Print);
    tools->addStretch(1);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::StyledPanel);
    ComboBoxCK = makeCombo(QStringLiteral("ComboBoxCK"));
    ComboBoxbh = makeCombo(QStringLiteral("ComboBoxbh"));
    ComboBoxbh->addItem(QString());
    ComboBoxbh->setCurrentIndex(-1);
    ComboBoxMC = makeCombo(QStringLiteral("ComboBoxMC"));
    ComboBoxMC->setStyleSheet(QStringLiteral("QComboBox { color: blue; }"));
    Edit2 = new QLineEdit(Panel1);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setMaximumWidth(110);
    CheckBox1 = new QCheckBox(QStringLiteral("不显示0以下的库存"), Panel1);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    ButtonRK = new QPushButton(QStringLiteral("查询"), Panel1);
    ButtonRK->setObjectName(QStringLiteral("ButtonRK"));
    ButtonRK->setDefault(true);
    ButtonRK->setMinimumWidth(80);

    auto *criteria = new QHBoxLayout(Panel1);
    criteria->setSpacing(6);
    const struct {
        const char16_t *label;
        QWidget *field;
        int stretch;
    } fields[] = {{u"商品位置", ComboBoxCK, 2}, {u"编号:", ComboBoxbh, 2}, {u"名称", ComboBoxMC, 3}, {u"销售价", Edit2, 1}};
    for (const auto &f : fields) {
        auto *l = new QLabel(QString::fromUtf16(f.label), Panel1);
        l->setBuddy(f.field);
        criteria->addWidget(l);
        criteria->addWidget(f.field, f.stretch);
        criteria->addSpacing(6);
    }
    criteria->addWidget(CheckBox1);
    criteria->addSpacing(6);
    criteria->addWidget(ButtonRK);

    DBNavigator1 = new DBNavigator(this);
    DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
    DBGrid1 = new DBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    tools->insertWidget(tools->indexOf(SpeedButton_Print) + 1, gridexport::toolButton(DBGrid1, this));
    StatusBar1 = ui::makeStatusBar(this, {110, 110, 110, 110}, &panels_);

    auto *v = new QVBoxLayout(this);
    v->setContentsMargins(6, 6, 6, 0);
    v->addLayout(tools);
    v->addWidget(Panel1);
    v->addWidget(DBNavigator1);
    v->addWidget(DBGrid1, 1);
    v->addWidget(StatusBar1);
    resize(900, 560);

    // No creation handler: the grid shows whatever the stock list holds.
    DBGrid1->setDataSet(plcx_);
    DBNavigator1->setDataSet(plcx_);
    masterdata::keepColumnsFitted(DBGrid1);
    // The list is read by the products' full names: room for a long one.
    auto widenName = [this] {
        const int c = DBGrid1->dataModel()->columnOfField(plcx_->fieldIndex(QStringLiteral("mc")));
        if (c >= 0)
            DBGrid1->setColumnWidth(c, std::max(DBGrid1->columnWidth(c), fontMetrics().horizontalAdvance(QChar(0x4E2D)) * 16));
    };
    widenName();
    connect(DBGrid1->dataModel(), &QAbstractItemModel::modelReset, this, widenName);

    ui::on(ButtonRK, &QPushButton::clicked, this, [this] { ButtonRKClick(); });
    ui::on(SpeedButton_Print, &QToolButton::clicked, this, [this] { SpeedButton_PrintClick(); });
}

QComboBox *TFormPL::makeCombo(const QString &name)
{
    return ui::makeCriterionBox(Panel1, name, {}, 90);
}

QString TFormPL::panelText(int i) const
{
    return panels_.value(i) ? panels_[i]->text() : QString();
}

void TFormPL::FormActivate()
{
    // One entry per product row in table order, as the table last read them; what the
    // box shows stays.
    QStringList locations;
    DataSet *pll = m_.ADOTablePLL;
    if (pll->isActive()) {
        DataSet::NotifyScope scope(*pll);
        const int ck = pll->fieldIndex(QStringLiteral("ck"));
        const int n = pll->recordCount();
        locations.reserve(n);
        for (int r = 0; r < n; ++r)
            locations << pll->rowValue(r, ck).toString();
        pll->last();  // where a walk over the rows ends
    }
    const QString shown = ComboBoxCK->currentText();
    auto *model = qobject_cast<QStringListModel *>(ComboBoxCK->model());
    if (!model) {
        model = new QStringListModel(ComboBoxCK);
        ComboBoxCK->setModel(model);
    }
    model->setStringList(locations);
    ComboBoxCK->setCurrentIndex(-1);
    ComboBoxCK->setEditText(shown);
}

void TFormPL::ButtonRKClick()
{
    // A sale price that is not a number is refused before the list is touched.
    std::optional<Money> price;
    const QString priceText = Edit2->text();
    if (!priceText.isEmpty()) {
        price = Money::parse(priceText);
        if (!price) {
            ui::message(this, QStringLiteral("销售价“%1”不是有效的数字，请输入例如 12 或 12.5").arg(priceText), QString(),
                        ui::Icon::Warning);
            Edit2->setFocus();
            Edit2->selectAll();
            return;
        }
    }
    // An edit typed into the grid is stored before the list is replaced, never dropped.
    plcx_->checkBrowseMode();
    QStringList sql{QStringLiteral("select * from pl where 1=1")};
    Params params;
    if (const QString t = ComboBoxCK->currentText(); !t.isEmpty()) {
        sql << QStringLiteral("and ck=:ck1");
        params.append({QStringLiteral("ck1"), t});
    }
    if (const QString t = ComboBoxMC->currentText(); !t.isEmpty()) {
        sql << QStringLiteral("and mc like :mc1");
        params.append({QStringLiteral("mc1"), u'%' + t + u'%'});
    }
    if (const QString t = ComboBoxbh->currentText(); !t.isEmpty()) {
        sql << QStringLiteral("and bh like :bh1");
        params.append({QStringLiteral("bh1"), u'%' + t + u'%'});
    }
    if (CheckBox1->isChecked())
        sql << QStringLiteral("and sn>0");
    if (price) {
        sql << QStringLiteral("and XSJ=:XS1");
        params.append({QStringLiteral("XS1"), QVariant::fromValue(*price)});
    }
    sql << QStringLiteral("order by sn");
    plcx_->setSql(sql.join(u'\n'));
    plcx_->clearParams();
    for (const auto &p : params)
        plcx_->setParam(p.first, p.second);
    plcx_->open();
    panels_[0]->setText(QStringLiteral("共") + QString::number(plcx_->recordCount()) + QStringLiteral("条"));
}

void TFormPL::SpeedButton_PrintClick()
{
    report::runProject(m_, this, QStringLiteral("pl.rav"));
}

void TFormPL::FormClose()
{
    // The list keeps its last statement; the next opening runs it again.
}

void TFormPL::keyPressEvent(QKeyEvent *e)
{
    // Enter in the window presses its default button.
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        ButtonRK->click();
        e->accept();
        return;
    }
    MdiForm::keyPressEvent(e);
}
