#include "app/TFormdl.h"

#include "dbwidgets/DBControls.h"
#include "dataset/Formats.h"
#include "ui/Seams.h"
#include "app/Tmain.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QCloseEvent>
#include <QScreen>
#include <QGridLayout>
#include <QVBoxLayout>

TFormdl::TFormdl(Tmain &main, QWidget *parent) : QDialog(parent), main_(main)
{
    setObjectName(QStringLiteral("Formdl"));
    setWindowTitle(QStringLiteral("请选择工号登录"));
    setModal(true);

    Label4 = new QLabel(this);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setToolTip(QStringLiteral("系统日期即是电脑时间有错请修改，如果开机后时间又错了请换电池"));
    Label7 = new QLabel(QStringLiteral("首次使用,请先按“F1”看说明"), this);
    Label7->setObjectName(QStringLiteral("Label7"));
    Label1 = new QLabel(QStringLiteral("选择工号"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->setToolTip(QStringLiteral("请输入工号"));
    ComboBox1->lineEdit()->setMaxLength(30);
    Label2 = new QLabel(QStringLiteral("要登录人员"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    DBText1 = new DBText(this);
    DBText1->setObjectName(QStringLiteral("DBText1"));
    DBText1->setDataField(main.ADOTabledlck, QStringLiteral("mz"));
    Label3 = new QLabel(QStringLiteral("密码"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Password = new QLineEdit(this);
    Password->setObjectName(QStringLiteral("Password"));
    Password->setEchoMode(QLineEdit::Password);
    Button1 = new QPushButton(QStringLiteral("登录"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button1->setAutoDefault(true);
    Label5 = new QLabel(QStringLiteral("管理员:admin    密码:空"), this);
    Label5->setObjectName(QStringLiteral("Label5"));
    Label6 = new QLabel(QStringLiteral("登录人员在\"职员档案\"处管理"), this);
    Label6->setObjectName(QStringLiteral("Label6"));

    QFont big = Label4->font();
    big.setPointSize(big.pointSize() + 1);
    Label4->setFont(big);
    Label4->setStyleSheet(QStringLiteral("color: #b00000"));
    Label7->setStyleSheet(QStringLiteral("color: #0040a0"));
    Label5->setStyleSheet(QStringLiteral("color: #606060"));
    Label6->setStyleSheet(QStringLiteral("color: #606060"));

    auto *grid = new QGridLayout;
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(ComboBox1, 0, 1);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(DBText1, 1, 1);
    grid->addWidget(Label3, 2, 0);
    grid->addWidget(Password, 2, 1);
    grid->setColumnStretch(1, 1);
    auto *v = new QVBoxLayout(this);
    v->addWidget(Label4);
    v->addWidget(Label7);
    v->addSpacing(6);
    v->addLayout(grid);
    v->addWidget(Button1, 0, Qt::AlignRight);
    v->addSpacing(6);
    v->addWidget(Label5);
    v->addWidget(Label6);
    resize(340, 260);

    ui::on(ComboBox1->lineEdit(), &QLineEdit::textEdited, this, [this] { ComboBox1Change(); });
    ui::on(ComboBox1, &QComboBox::activated, this, [this] { ComboBox1Change(); });
    ui::on(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    ComboBox1->setFocus();
    FormPaint();
}

void TFormdl::ComboBox1Change()
{
    // The typed number is a value of the filter, never part of its text.
    main_.ADOTabledlck->setFilter({{"gybh", FilterCondition::Eq, ComboBox1->currentText()}});
    main_.ADOTabledlck->setFiltered(true);
    main_.ADOTabledlck->first();
    Password->clear();
    if (main_.ADOTabledlck->recordCount() == 1)
        Password->setFocus();
}

void TFormdl::Button1Click()
{
    DataSet *dl = main_.ADOTabledlck;
    const bool found = dl->isActive() && dl->recordCount() > 0;
    main_.setPanelText(0, found ? dl->fieldByName("mz").asString() : QString());
    main_.setPanelText(1, found ? dl->fieldByName("sx").asString() : QString());
    // A number that matches no account never logs in, whatever the password box holds.
    const QString stored = found ? dl->fieldByName("qggybh").asString() : QString();
    if (!found || Password->text() != stored) {
        ui::message(this, QStringLiteral("密码错误"), QStringLiteral("出错"), ui::Icon::Warning);
        ComboBox1->setFocus();
        return;
    }
    loggedIn_ = true;
    // Without a window manager a maximise request is ignored; the full work area is the next best.
    if (QScreen *screen = main_.screen())
        main_.resize(screen->availableGeometry().size());
    main_.showMaximized();
    main_.FormShow();
    hide();
}

void TFormdl::FormPaint()
{
    const QString text = QStringLiteral("系统日期是") + fmt::shortDate(QDate::currentDate()) + QStringLiteral("有错请改正");
    if (Label4->text() != text)
        Label4->setText(text);
}

void TFormdl::paintEvent(QPaintEvent *e)
{
    FormPaint();
    QDialog::paintEvent(e);
}

void TFormdl::showEvent(QShowEvent *e)
{
    FormPaint();
    QDialog::showEvent(e);
    ComboBox1->setFocus();
}

void TFormdl::FormClose()
{
    main_.close();
}

void TFormdl::closeEvent(QCloseEvent *e)
{
    ui::guard(this, [this] { FormClose(); });
    e->accept();
    QDialog::done(QDialog::Rejected);
}

void TFormdl::reject()
{
    // Escape does not end the program; the close box does.
}
