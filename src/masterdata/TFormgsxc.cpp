#include "masterdata/TFormgsxc.h"

#include "ui/Seams.h"
#include "store/DataModule.h"
#include "ui/ScreenHost.h"

#include <QLabel>
#include <QPushButton>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QMdiSubWindow>
#include <QPropertyAnimation>
#include <QVBoxLayout>

namespace {
// The document words appended to the company name for the titles in kr.
const char16_t *const titleWords[][2] = {
    {u"rk", u"入库单据"}, {u"ck", u"出库单据"}, {u"kc", u"库存单据"}, {u"ys", u"收款单据"}, {u"yf", u"付款单据"},
};
constexpr int titleWordLength = 4;
} // namespace

TFormgsxc::TFormgsxc(ScreenHost &host, QWidget *parent) : MdiForm(host, QStringLiteral("TFormgsxc"), parent)
{
    setObjectName("Formgsxc");
    setWindowTitle(QStringLiteral("公司信息,也是打印内容"));

    struct Row {
        QLabel *&label;
        DBEdit *&edit;
        int number;
        const char *field;
        const char16_t *caption;
        const char16_t *hint;
    };
    // In tab order.
    const Row rows[] = {
        {Label1, DBEdit1, 1, "d", u"公司名称：", u""},
        {Label2, DBEdit2, 2, "m", u"联系人：", u""},
        {Label3, DBEdit3, 3, "h", u"电话：", u"所有的号码都可以写多个号码"},
        {Label5, DBEdit5, 5, "o", u"手   机：", u""},
        {Label6, DBEdit6, 6, "n", u"传真：", u"可以写多个号码"},
        {Label7, DBEdit7, 7, "k", u"帐号 1：", u"例如：建行：6222.....（王某）"},
        {Label8, DBEdit8, 8, "l", u"帐号 2：", u""},
        {Label4, DBEdit4, 4, "i", u"地址：", u"最大255个字"},
        {Label9, DBEdit9, 9, "j", u"备注：", u"最大255个字"},
    };

    DataModule &main = data();
    DataSet *ds = main.ADOTablegsxcpy;
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);
    QWidget *previous = nullptr;
    int line = 0;
    for (const Row &r : rows) {
        r.label = new QLabel(QString::fromUtf16(r.caption), this);
        r.label->setObjectName(QStringLiteral("Label%1").arg(r.number));
        r.label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        r.edit = new DBEdit(this);
        r.edit->setObjectName(QStringLiteral("DBEdit%1").arg(r.number));
        r.edit->setDataField(ds, QString::fromLatin1(r.field));
        r.edit->setToolTip(QString::fromUtf16(r.hint));
        r.edit->setMinimumWidth(360);
        r.label->setBuddy(r.edit);
        grid->addWidget(r.label, line, 0);
        grid->addWidget(r.edit, line, 1);
        if (previous)
            setTabOrder(previous, r.edit);
        previous = r.edit;
        ++line;
    }

    // A title is the name plus a four-character word and must fit its kr column, so the
    // name is held to what leaves room for the word.
    const FieldDef *title = main.conn().catalog().find(QStringLiteral("kr"), QStringLiteral("rk"));
    if (title && title->size > titleWordLength && DBEdit1->maxLength() > title->size - titleWordLength)
        DBEdit1->setMaxLength(title->size - titleWordLength);

    Button1 = new QPushButton(QStringLiteral("保存"), this);
    Button1->setObjectName("Button1");
    Button1->setMinimumWidth(96);
    setTabOrder(previous, Button1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    auto *v = new QVBoxLayout(this);
    v->setContentsMargins(16, 16, 16, 12);
    v->addLayout(grid);
    v->addStretch(1);
    v->addLayout(buttons);
    resize(sizeHint());

    ui::on(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
}

void TFormgsxc::FormCreate()
{
    // Grows the window's frame from its centre outwards.
    QWidget *frame = qobject_cast<QMdiSubWindow *>(parentWidget()) ? parentWidget() : this;
    const QRect end = frame->geometry();
    const QRect start(end.center(), QSize(1, 1));
    animation_ = new QPropertyAnimation(frame, "geometry", this);
    animation_->setDuration(AnimationMs);
    animation_->setStartValue(start);
    animation_->setEndValue(end);
    animation_->setEasingCurve(QEasingCurve::OutCubic);
    frame->setGeometry(start);
    animation_->start();
}

void TFormgsxc::FormClose()
{
    // Only "保存" stores; what was typed and not saved must not linger in the shared
    // data set, where the printouts would show it.
    if (data().ADOTablegsxcpy->isEditing())
        data().ADOTablegsxcpy->cancel();
}

void TFormgsxc::Button1Click()
{
    DataModule &m = data();
    const QString name = DBEdit1->text();
    DataSet *kr = m.ADOTableKR;
    const FieldDef &rk = kr->fieldDef(kr->fieldIndex(QStringLiteral("rk")));
    if (rk.size > 0 && name.size() + titleWordLength > rk.size) {
        ui::message(this, QStringLiteral("公司名称太长，最多%1个字").arg(rk.size - titleWordLength));
        return;
    }

    // Company row and titles are stored together or not at all.
    Transaction tx(m.conn());
    DataSet *ds = m.ADOTablegsxcpy;
    ds->edit();
    ds->post();
    kr->edit();
    for (const auto &w : titleWords)
        kr->setValue(QString::fromUtf16(w[0]), name + QString::fromUtf16(w[1]));
    kr->post();
    tx.commit();
    ui::message(this, QStringLiteral("保存成功"));
}
