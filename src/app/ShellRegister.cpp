#include "app/Screens.h"
#include "app/TFormdl.h"
#include "ui/Seams.h"
#include "app/TAboutBox.h"
#include "app/Tmain.h"

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

// Hands the program to another user: the main window waits hidden behind a new login.
void switchUser(Tmain &main)
{
    main.ADOTabledlck->close();
    main.ADOTabledlck->open();  // the filter on the current name stays
    for (const QString &name : Tmain::roleGatedCommands())
        main.action(name)->setEnabled(true);
    main.hide();
    TFormdl *previous = main.loginDialog();
    auto *dialog = new TFormdl(main);
    main.setLoginDialog(dialog);
    if (previous)
        previous->deleteLater();
    // Modal, but the handler returns: the login goes on in the event loop.
    dialog->setModal(true);
    dialog->show();
}

} // namespace

void registerShell(Tmain &main)
{
    main.setCommandHandler(QStringLiteral("ActionBZ"), [&main] { ActionBZExecute(main); });
    main.setCommandHandler(QStringLiteral("ActionLJXX"), [&main] { TAboutBox::open(main); });
    main.setCommandHandler(QStringLiteral("ActionYHQF"), [&main] { switchUser(main); });
}
