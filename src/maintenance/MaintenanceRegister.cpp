#include "maintenance/MaintenanceRegister.h"

#include "dataset/Errors.h"
#include "store/Schema.h"
#include "ui/Seams.h"
#include "maintenance/TFormdele.h"
#include "maintenance/TFormmmxg.h"
#include "store/BackupPaths.h"
#include "store/DataModule.h"
#include "store/PyLibrary.h"
#include "ui/ScreenHost.h"

#include <QFile>
#include <QFileInfo>
#include <QAction>
#include <QSaveFile>

namespace {

// Clears the password of the employee selected in the employee list.
void clearPassword(ScreenHost &host)
{
    if (host.instanceFlag(QStringLiteral("Tgy")))
        host.action(QStringLiteral("ActionZYDA"))->trigger();
    QWidget *main = host.hostWindow();
    DataSet *gy = host.data().ADOTableGY;
    if (!gy->isActive())
        gy->open();
    if (gy->recordCount() == 0) {
        // Editing an empty list would start a new employee instead.
        ui::message(main, QStringLiteral("没有职员，无法清除密码"));
        return;
    }
    if (!ui::confirmYes(main, QStringLiteral("对") + gy->fieldByName("mz").asString() + QStringLiteral("进行密码清除吗?")))
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

// Copies the database to the backup file; false after telling the user why not.
bool backupDatabase(ScreenHost &host)
{
    QString error;
    if (host.data().pyLibrary()->copy(QStringLiteral("lr"), host.backupPaths().backupFile(), &error))
        return true;
    ui::message(host.hostWindow(), QStringLiteral("数据备份失败，备份文件没有更新。\n") + error, QString(), ui::Icon::Warning);
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

void restoreDatabase(ScreenHost &host)
{
    QWidget *main = host.hostWindow();
    if (!ui::confirmYes(main, QStringLiteral("确定要恢复数据吗?恢复成功后重启软件!")))
        return;
    const QString backup = host.backupPaths().backupFile();
    const QString reason = unusableBackup(backup);
    if (!reason.isEmpty()) {
        ui::message(main, reason, QString(), ui::Icon::Warning);
        return;
    }
    // Screens close while their data sets can still read; then nothing holds the file.
    host.closeAllScreens();
    host.data().conn().close();
    QString error;
    if (!host.data().pyLibrary()->copy(backup, QStringLiteral("lr"), &error))
        ui::message(main,
                    QStringLiteral("数据恢复失败，原数据文件没有改变。软件将关闭，请重新启动。\n") + error,
                    QString(), ui::Icon::Warning);
    host.closeHost();
}

// The backup file again, then a safety copy of it that is either complete or not there.
void copyBeforeDeletion(ScreenHost &host)
{
    if (!backupDatabase(host))
        return;
    const BackupPaths &paths = host.backupPaths();
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
        ui::message(host.hostWindow(), QStringLiteral("安全备份“%1”失败：").arg(paths.safetyCopy()) + error, QString(),
                    ui::Icon::Warning);
}

} // namespace

void registerMaintenance(ScreenHost &host)
{
    host.setCommandHandler(QStringLiteral("ActionQCMM"), [&host] { clearPassword(host); });
    host.setCommandHandler(QStringLiteral("ActionMMXG"),
                           [&host] { new TFormmmxg(host.data(), host.hostWindow()); });
    host.setCommandHandler(QStringLiteral("ActionSJBF"), [&host] { backupDatabase(host); });
    host.setCommandHandler(QStringLiteral("ActionSJFF"), [&host] { restoreDatabase(host); });
    host.registerScreen(QStringLiteral("ActionSJSC"), ScreenHost::OpenPattern::OnceSilently,
                        QStringLiteral("TFormdele"), nullptr, [](ScreenHost &h) -> QWidget * {
                            QWidget *w = h.addChild(new TFormdele(h));
                            // Room for the preview's rows, within the main window's work area.
                            if (QWidget *frame = w->parentWidget()) {
                                const QSize area = h.workArea();
                                frame->resize(std::min(area.width() - 8, 960), std::min(area.height() - 8, 560));
                            }
                            return w;
                        });
    host.setCommandHandler(QStringLiteral("ActionSJSC"), [&host] { copyBeforeDeletion(host); });
}
