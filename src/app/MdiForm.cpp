#include "MdiForm.h"

#include "Seams.h"
#include "Tmain.h"

#include <QCloseEvent>

MdiForm::MdiForm(Tmain &main, const QString &flagName, QWidget *parent)
    : QWidget(parent), main_(main), flag_(flagName)
{
    setAttribute(Qt::WA_DeleteOnClose);
}

void MdiForm::closeEvent(QCloseEvent *e)
{
    ui::guard(this, [this] { FormClose(); });
    if (!flag_.isEmpty())
        main_.setInstanceFlag(flag_, true);
    e->accept();
}
