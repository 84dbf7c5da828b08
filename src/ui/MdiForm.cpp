#include "ui/MdiForm.h"

#include "ui/ScreenHost.h"
#include "ui/Seams.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QMdiSubWindow>
#include <QSettings>

namespace {

QSettings settings()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Korvel"), QStringLiteral("korvel"));
}

// Moves and shrinks r so that it lies inside area (top-left corner at 0,0).
QRect inside(QRect r, const QSize &area)
{
    r.setSize(r.size().boundedTo(area));
    r.moveLeft(std::clamp(r.left(), 0, area.width() - r.width()));
    r.moveTop(std::clamp(r.top(), 0, area.height() - r.height()));
    return r;
}

} // namespace

MdiForm::MdiForm(ScreenHost &host, const QString &flagName, QWidget *parent)
    : QWidget(parent), host_(host), flag_(flagName)
{
    setAttribute(Qt::WA_DeleteOnClose);
}

DataModule &MdiForm::data() const
{
    return host_.data();
}

QString MdiForm::placementKey(const QString &screen)
{
    return QStringLiteral("screens/%1/geometry").arg(screen);
}

void MdiForm::placeInHost(const QSize &area)
{
    auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget());
    if (!sub || area.width() < 200 || area.height() < 200 || sub->isMaximized())
        return;
    // Only a screen that is open once at a time has one place to come back to.
    const QRect saved = flag_.isEmpty() ? QRect() : settings().value(placementKey(objectName())).toRect();
    // A place too small to use (left in the middle of an opening animation) is no place.
    if (saved.isValid() && saved.width() >= sub->minimumSizeHint().width() &&
        saved.height() >= sub->minimumSizeHint().height()) {
        sub->setGeometry(inside(saved, area));
        return;
    }
    // A list is read from the window's height: give it all the room there is.
    if (findChild<QAbstractItemView *>())
        sub->setGeometry(QRect(QPoint(0, 0), area.expandedTo(sub->minimumSizeHint()).boundedTo(area)));
    else
        sub->setGeometry(inside(sub->geometry(), area));
}

void MdiForm::savePlacement()
{
    auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget());
    if (!sub || flag_.isEmpty() || objectName().isEmpty())
        return;
    // Only the place the user gave a normal window; maximised or minimised it has none.
    if (sub->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen))
        return;
    if (sub->width() < sub->minimumSizeHint().width() || sub->height() < sub->minimumSizeHint().height())
        return;
    settings().setValue(placementKey(objectName()), sub->geometry());
}

void MdiForm::closeEvent(QCloseEvent *e)
{
    emit closing();
    savePlacement();
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
