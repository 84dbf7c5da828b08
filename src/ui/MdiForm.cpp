#include "ui/MdiForm.h"

#include "ui/ScreenHost.h"
#include "ui/Seams.h"

#include <QCloseEvent>
#include <QMdiSubWindow>

MdiForm::MdiForm(ScreenHost &host, const QString &flagName, QWidget *parent)
    : QWidget(parent), host_(host), flag_(flagName)
{
    setAttribute(Qt::WA_DeleteOnClose);
}

DataModule &MdiForm::data() const
{
    return host_.data();
}

void MdiForm::closeEvent(QCloseEvent *e)
{
    ui::guard(this, [this] { FormClose(); });
    if (!flag_.isEmpty())
        host_.setInstanceFlag(flag_, true);
    e->accept();
}

void MdiForm::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    if (activationWired_)
        return;
    if (auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget())) {
        activationWired_ = true;
        connect(sub, &QMdiSubWindow::windowStateChanged, this, [this](Qt::WindowStates before, Qt::WindowStates now) {
            if ((now & Qt::WindowActive) && !(before & Qt::WindowActive))
                ui::guard(this, [this] { FormActivate(); });
        });
        if (sub->isActiveWindow() && sub->windowState() & Qt::WindowActive)
            ui::guard(this, [this] { FormActivate(); });
    }
}
