#include "ReportEngine.h"

#include "Seams.h"

#include <QFileInfo>

namespace report {

void runProject(Tmain &, QWidget *parent, const QString &file)
{
    const QFileInfo info(file);
    if (!info.exists()) {
        ui::message(parent, QStringLiteral("The following reporting project does not exist:\n\"%1\"").arg(info.absoluteFilePath()));
        return;
    }
}

} // namespace report
