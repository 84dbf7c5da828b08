#include "Screens.h"

#include "Errors.h"
#include "Schema.h"
#include "Seams.h"
#include "TFormdele.h"
#include "TFormdl.h"
#include "TFormmmxg.h"
#include "Tmain.h"

#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QSaveFile>

namespace {

// Clears the password of the employee selected in the employee list.
void clearPassword(Tmain &main)
{
    if (main.instanceFlag(QStringLiteral("Tgy")))
        main.action(QStringLiteral("ActionZYDA"))->trigger();
    DataSet *gy = main.ADOTableGY;
    if (!gy->isActive())
        gy->open();
    if (gy->recordCount() == 0) {
        // Editing an empty list would start a new employee instead.
        ui::message(&main, QStringLiteral("没有职员，无法清除密码"));
        return;
    }
    if (!ui::confirmYes(&main, QStringLiteral("对") + gy->fieldByName("mz").asString() + QStringLiteral("进行密码清除吗?")))
        return;
    gy->edit();
    try {
        gy->setValue("qggybh", QString(QLatin1String("")));
        gy->post();
    } catch (...) {
        gy->cancel();
        throw;
    }
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

// Copies the database to the backup file; false after telling the user why not.
bool backupDatabase(Tmain &main)
{
    QString error;
    if (main.py().copy(QStringLiteral("lr"), main.backupPaths().backupFile(), &error))
        return true;
    ui::message(&main, QStringLiteral("数据备份失败，备份文件没有更新。\n") + error, QString(), ui::Icon::Warning);
    return false;
}

// Why the file cannot serve as this program's database, or an empty text if it can.
QString unusableBackup(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return QStringLiteral("找不到备份文件“%1”，数据没有恢复。").arg(path);
    try {
        Connection c;
        schema::open(c, path);
        if (c.scalar(QStringLiteral("select count(*) from kr")).toLongLong() < 1)
            return QStringLiteral("备份文件“%1”不完整，数据没有恢复。").arg(path);
        c.scalar(QStringLiteral("select count(*) from gy"));
    } catch (const KorvelError &e) {
        return QStringLiteral("备份文件“%1”不是本系统的数据文件，数据没有恢复。\n").arg(path) + e.message();
    }
    return {};
}

void restoreDatabase(Tmain &main)
{
    if (!ui::confirmYes(&main, QStringLiteral("确定要恢复数据吗?恢复成功后重启软件!")))
        return;
    const QString backup = main.backupPaths().backupFile();
    const QString reason = unusableBackup(backup);
    if (!reason.isEmpty()) {
        ui::message(&main, reason, QString(), ui::Icon::Warning);
        return;
    }
    // Screens close while their data sets can still read; then nothing holds the file.
    main.mdiArea()->closeAllSubWindows();
    main.conn().close();
    QString error;
    if (!main.py().copy(backup, QStringLiteral("lr"), &error))
        ui::message(&main,
                    QStringLiteral("数据恢复失败，原数据文件没有改变。软件将关闭，请重新启动。\n") + error,
                    QString(), ui::Icon::Warning);
    main.close();
}

// The backup file again, then a safety copy of it that is either complete or not there.
void copyBeforeDeletion(Tmain &main)
{
    if (!backupDatabase(main))
        return;
    const BackupPaths &paths = main.backupPaths();
    QFile in(paths.backupFile());
    QSaveFile out(paths.safetyCopy());
    QString error;
    if (!in.open(QIODevice::ReadOnly)) {
        error = in.errorString();
    } else if (!out.open(QIODevice::WriteOnly)) {
        error = out.errorString();
    } else {
        QByteArray chunk;
        while (error.isEmpty() && !(chunk = in.read(1 << 20)).isEmpty())
            if (out.write(chunk) != chunk.size())
                error = out.errorString();
        if (error.isEmpty() && in.error() != QFileDevice::NoError)
            error = in.errorString();
        if (error.isEmpty() && !out.commit())
            error = out.errorString();
    }
    if (!error.isEmpty())
        ui::message(&main, QStringLiteral("安全备份“%1”失败：").arg(paths.safetyCopy()) + error, QString(),
                    ui::Icon::Warning);
}

} // namespace

void registerMaintenance(Tmain &main)
{
    main.onActionQCMM = [&main] { clearPassword(main); };
    main.onActionMMXG = [&main] { new TFormmmxg(main); };
    main.onActionYHQF = [&main] { switchUser(main); };
    main.onActionSJBF = [&main] { backupDatabase(main); };
    main.onActionSJFF = [&main] { restoreDatabase(main); };
    main.registerScreen(QStringLiteral("ActionSJSC"), Tmain::OpenPattern::OnceSilently, QStringLiteral("TFormdele"),
                        nullptr, [](Tmain &m) -> QWidget * {
                            QWidget *w = m.addChild(new TFormdele(m));
                            // Room for the preview's rows, within the main window's work area.
                            if (QWidget *frame = w->parentWidget()) {
                                const QSize area = m.mdiArea()->viewport()->size();
                                frame->resize(std::min(area.width() - 8, 960), std::min(area.height() - 8, 560));
                            }
                            return w;
                        });
    main.onActionSJSC = [&main] { copyBeforeDeletion(main); };
}
