#include "maintenance/TFormmmxg.h"

#include "dbwidgets/DBControls.h"
#include "ui/Seams.h"
#include "store/DataModule.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {
QLabel *label(const QString &name, const QString &text, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

QLineEdit *passwordBox(const QString &name, QWidget *parent)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setEchoMode(QLineEdit::Password);
    return e;
}
} // namespace

TFormmmxg::TFormmmxg(DataModule &main, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), main_(main)
{
    setObjectName(QStringLiteral("Formmmxg"));
    setWindowTitle(QStringLiteral("修改所登录的密码"));
    setAttribute(Qt::WA_DeleteOnClose);

    Label1 = label(QStringLiteral("Label1"), QStringLiteral("感谢"), this);
    DBText1 = new DBText(this);
    DBText1->setObjectName(QStringLiteral("DBText1"));
    DBText1->setDataField(main.ADOTabledlck, QStringLiteral("mz"));
    Label3 = label(QStringLiteral("Label3"), QStringLiteral("使用本系统!"), this);
    Label4 = label(QStringLiteral("Label4"), QStringLiteral("现在可以对您的密码进修"), this);
    Label5 = label(QStringLiteral("Label5"), QStringLiteral("原始密码"), this);
    Edit1 = passwordBox(QStringLiteral("Edit1"), this);
    Edit1->setToolTip(QStringLiteral("密码为空时，不填，直接输入新密码"));
    Label6 = label(QStringLiteral("Label6"), QStringLiteral("新密码"), this);
    Edit2 = passwordBox(QStringLiteral("Edit2"), this);
    Label7 = label(QStringLiteral("Label7"), QStringLiteral("再次输入"), this);
    Edit3 = passwordBox(QStringLiteral("Edit3"), this);
    Button1 = new QPushButton(QStringLiteral("修改"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button1->setAutoDefault(true);

    QFont strong = DBText1->font();
    strong.setBold(true);
    DBText1->setFont(strong);
    DBText1->setStyleSheet(QStringLiteral("color: #0040a0"));

    auto *greeting = new QHBoxLayout;
    greeting->addWidget(Label1);
    greeting->addWidget(DBText1);
    greeting->addWidget(Label3);
    greeting->addStretch(1);

    auto *grid = new QGridLayout;
    grid->addWidget(Label5, 0, 0);
    grid->addWidget(Edit1, 0, 1);
    grid->addWidget(Label6, 1, 0);
    grid->addWidget(Edit2, 1, 1);
    grid->addWidget(Label7, 2, 0);
    grid->addWidget(Edit3, 2, 1);
    grid->setColumnStretch(1, 1);

    auto *v = new QVBoxLayout(this);
    v->addLayout(greeting);
    v->addWidget(Label4);
    v->addSpacing(6);
    v->addLayout(grid);
    v->addWidget(Button1, 0, Qt::AlignRight);
    resize(320, 210);

    ui::on(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    // Enter in any box presses "修改", as in a dialog.
    for (QLineEdit *e : {Edit1, Edit2, Edit3})
        ui::on(e, &QLineEdit::returnPressed, this, [this] { Button1Click(); });
    show();
    Edit1->setFocus();
}

void TFormmmxg::Button1Click()
{
    DataSet *dl = main_.ADOTabledlck;
    // Another screen may have changed the password since the account was read.
    dl->invalidateCache();
    if (!dl->isActive() || dl->recordCount() == 0) {
        // Without a current account editing would start a new employee row.
        ui::message(this, QStringLiteral("找不到当前登录人员，请重新登录后再修改密码"));
        return;
    }
    if (Edit1->text() != dl->fieldByName("qggybh").asString()) {
        ui::message(this, Label5->text() + QStringLiteral("错误"));
        return;
    }
    if (Edit2->text() != Edit3->text()) {
        ui::message(this, Label6->text() + QStringLiteral("错误"));
        return;
    }
    const int limit = dl->fieldByName("qggybh").def().size;
    if (limit > 0 && Edit2->text().size() > limit) {
        ui::message(this, QStringLiteral("新密码不能超过%1个字符").arg(limit));
        return;
    }
    {
        // A refusal rolls back and leaves the account as stored.
        Transaction tx(main_.conn());
        dl->edit();
        dl->setValue("qggybh", Edit2->text());
        dl->post();
        tx.commit();
    }
    ui::message(this, QStringLiteral("修改密码成功"));
}
