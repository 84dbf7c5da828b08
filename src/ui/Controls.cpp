#include "ui/Controls.h"

#include <QComboBox>
#include <QLabel>
#include <QStatusBar>

namespace ui {

QToolButton *makeToolButton(QWidget *parent, const QString &name, const QString &hint, QStyle::StandardPixmap icon)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(name);
    b->setToolTip(hint);
    b->setText(hint);
    b->setIcon(parent->style()->standardIcon(icon));
    b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    b->setAutoRaise(true);
    return b;
}

QComboBox *makeCriterionBox(QWidget *parent, const QString &name, const QStringList &items, int minimumWidth)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(name);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setMinimumWidth(minimumWidth);
    c->addItems(items);
    c->setCurrentIndex(-1);
    c->setEditText(QString());
    return c;
}

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &text)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

QStatusBar *makeStatusBar(QWidget *parent, const QList<int> &panelWidths, QList<QLabel *> *panels)
{
    auto *bar = new QStatusBar(parent);
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(false);
    for (int i = 0; i < panelWidths.size(); ++i) {
        QLabel *p = makeLabel(bar, QStringLiteral("StatusBar1Panel%1").arg(i), QString());
        p->setMinimumWidth(panelWidths[i]);
        bar->addWidget(p, i == panelWidths.size() - 1 ? 1 : 0);
        if (panels)
            panels->append(p);
    }
    return bar;
}

} // namespace ui
