#include "app/Startup.h"

#include "dataset/Errors.h"
#include "ui/Seams.h"
#include "app/TFormdl.h"
#include "app/Tmain.h"

#include <QApplication>
#include <QIcon>

std::unique_ptr<Tmain> createMain(const BackupPaths &backup, const QString &pyDir)
{
    try {
        return std::make_unique<Tmain>(backup, pyDir);
    } catch (const KorvelError &e) {
        ui::error(nullptr, e.message());
    }
    return nullptr;
}

int korvelRun(QApplication &app)
{
    QApplication::setApplicationName(QStringLiteral("Korvel商品管理系统"));
    app.setQuitOnLastWindowClosed(false);
    std::unique_ptr<Tmain> main = createMain();
    if (!main)
        return 1;
    QObject::connect(main.get(), &Tmain::closed, &app, &QApplication::quit, Qt::QueuedConnection);
    auto *login = new TFormdl(*main);
    main->setLoginDialog(login);
    login->exec();
    if (main->hasClosed())
        return 0;
    return app.exec();
}
