#include "dbwidgets/DBNavigator.h"

#include "dbwidgets/DBControls.h"
#include "ui/Seams.h"

#include <QHBoxLayout>

DBNavigator::DBNavigator(QWidget *parent) : QWidget(parent)
{
    static const char *const names[Count] = {"nbFirst", "nbPrior", "nbNext",  "nbLast",   "nbInsert",
                                             "nbDelete", "nbEdit", "nbPost", "nbCancel", "nbRefresh"};
    static const char16_t *const glyphs[Count] = {u"|◀", u"◀", u"▶", u"▶|", u"+", u"−", u"▲", u"✓", u"✕", u"↻"};
    static const char16_t *const hints[Count] = {u"首条", u"上一条", u"下一条", u"尾条", u"新增",
                                                 u"删除", u"编辑", u"确认", u"取消", u"刷新"};
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    for (int i = 0; i < Count; ++i) {
        auto *b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(names[i]));
        b->setText(QString::fromUtf16(glyphs[i]));
        b->setToolTip(QString::fromUtf16(hints[i]));
        b->setMinimumWidth(28);
        buttons_[i] = b;
        layout->addWidget(b);
        connect(b, &QToolButton::clicked, this, [this, i] { click(Button(i)); });
    }
    layout->addStretch();
    updateButtons();
}

void DBNavigator::setDataSet(DataSet *ds)
{
    if (ds_)
        disconnect(ds_, nullptr, this, nullptr);
    ds_ = ds;
    if (ds) {
        connect(ds, &DataSet::dataChanged, this, &DBNavigator::updateButtons);
        connect(ds, &DataSet::stateChanged, this, &DBNavigator::updateButtons);
    }
    updateButtons();
}

void DBNavigator::click(Button b)
{
    if (!ds_)
        return;
    // One click must not lose a record: ask first, as a data navigator does.
    if (b == Delete && ds_->isActive() && ds_->recordCount() > 0 &&
        !ui::ask(window(), QStringLiteral("删除这条记录吗?")))
        return;
    ui::guard(window(), [&] {
        // A new record left without its name goes, whatever was pressed; posting,
        // cancelling or deleting it is then done.
        if (dbwidgets::dropUnnamedRecord(ds_) && (b == Post || b == Cancel || b == Delete))
            return;
        switch (b) {
        case First: ds_->first(); break;
        case Prior: ds_->prior(); break;
        case Next: ds_->next(); break;
        case Last: ds_->last(); break;
        case Insert: ds_->insert(); break;
        case Delete: ds_->remove(); break;
        case Edit: ds_->edit(); break;
        case Post: ds_->post(); break;
        case Cancel: ds_->cancel(); break;
        case Refresh: ds_->refresh(); break;
        case Count: break;
        }
    });
    updateButtons();
}

void DBNavigator::updateButtons()
{
    const bool active = ds_ && ds_->isActive();
    const bool editing = active && ds_->isEditing();
    const bool modifiable = active && ds_->canModify();
    for (int i = 0; i < Count; ++i)
        buttons_[i]->setEnabled(active);
    if (!active)
        return;
    buttons_[Insert]->setEnabled(modifiable);
    buttons_[Delete]->setEnabled(modifiable);
    buttons_[Edit]->setEnabled(modifiable && !editing);
    buttons_[Post]->setEnabled(editing);
    buttons_[Cancel]->setEnabled(editing);
}
