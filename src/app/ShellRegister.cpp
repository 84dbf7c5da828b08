#include "Screens.h"
#include "Seams.h"
#include "TAboutBox.h"
#include "Tmain.h"

#include <QFile>
#include <QFileInfo>

namespace {

// Help: the user picks the document; confirming or cancelling both go on with the
// name the dialog holds.
void ActionBZExecute(Tmain &main)
{
    const QString name =
        ui::seams().openFileName(&main, QStringLiteral("使用说明.doc"), QStringLiteral("使用说明 (*.doc)"));
    const QFileInfo file(name);
    QFile probe(file.absoluteFilePath());
    if (name.isEmpty() || !file.isFile() || !probe.open(QIODevice::ReadOnly)) {
        ui::message(&main, QStringLiteral("请选择WORD文档!"));
        return;
    }
    probe.close();
    // A readable document that still does not open means no viewer can be started.
    if (!ui::seams().openDocument(file.absoluteFilePath())) {
        ui::error(&main, QStringLiteral("没有安装OFFICE2003"));
        return;
    }
    main.showMinimized();
}

} // namespace

void registerShell(Tmain &main)
{
    main.onActionBZ = [&main] { ActionBZExecute(main); };
    main.onActionLJXX = [&main] { TAboutBox::open(main); };
}
