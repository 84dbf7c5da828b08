#include "app/Startup.h"

#include "dataset/EngineErrors.h"
#include "dataset/Errors.h"
#include "ui/Seams.h"
#include "app/TFormdl.h"
#include "app/Tmain.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>

std::unique_ptr<Tmain> createMain(const BackupPaths &backup, const QString &pyDir)
{
    backup.removeStaleCopies(QDir::currentPath());
    try {
        return std::make_unique<Tmain>(backup, pyDir);
    } catch (const DbError &e) {
        QString text = e.message();
        // The restore command needs a running program; say how to restore by hand.
        const engine::Fault fault = engine::faultOf(e.code());
        if (fault == engine::Fault::Damaged
            || (fault == engine::Fault::CannotOpen && !QFileInfo::exists(QStringLiteral("lr"))))
            text += QStringLiteral("\n\n最近的备份文件是“%1”：把它复制到本软件的文件夹，改名为lr，再启动本软件。")
                        .arg(QDir::toNativeSeparators(backup.backupFile()));
        ui::error(nullptr, text);
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
