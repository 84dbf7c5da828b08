#include "maintenance/MaintenanceRegister.h"

#include "dataset/EngineErrors.h"
#include "dataset/Errors.h"
#include "store/Schema.h"
#include "ui/Seams.h"
#include "maintenance/TFormdele.h"
#include "maintenance/TFormmmxg.h"
#include "store/BackupPaths.h"
#include "store/DataModule.h"
#include "store/PyLibrary.h"
#include "ui/ScreenHost.h"

#include <QFileInfo>
#include <QAction>

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
    // A refusal rolls back and leaves the employee as stored.
    Transaction tx(host.data().conn());
    gy->edit();
    gy->setValue("qggybh", QString(QLatin1String("")));
    gy->post();
    tx.commit();
}

// Tells why a copy was not made, with what the check found; always false.
bool refuse(ScreenHost &host, const QString &what, const QString &found)
{
    ui::message(host.hostWindow(), what + QStringLiteral("\n详细信息：") + found, QString(), ui::Icon::Warning);
    return false;
}

// The backup file as a checked, complete candidate for restore, or an empty text if it is one.
QString unusableBackup(const QString &path, Connection &c)
{
    if (!QFileInfo(path).isFile())
        return QStringLiteral("找不到备份文件“%1”，数据没有恢复。").arg(path);
    try {
        // A backup in the former page format is checked as it is; lr is converted on opening.
        schema::open(c, path, Connection::LegacyPages::ReadAsIs);
        if (c.scalar(QStringLiteral("select count(*) from kr")).toLongLong() < 1)
            return QStringLiteral("备份文件“%1”不完整，数据没有恢复。").arg(path);
    } catch (const DbError &e) {
        return QStringLiteral("备份文件“%1”不是本系统的数据文件，或者已经损坏，数据没有恢复。\n详细信息：").arg(path)
               + engine::detailOf(e);
    }
    return {};
}

void restoreDatabase(ScreenHost &host)
{
    QWidget *main = host.hostWindow();
    if (!ui::confirmYes(main, QStringLiteral("确定要恢复数据吗?恢复成功后重启软件!")))
        return;
    const QString backup = host.backupPaths().backupFile();
    Connection candidate;
    const QString reason = unusableBackup(backup, candidate);
    if (!reason.isEmpty()) {
        ui::message(main, reason, QString(), ui::Icon::Warning);
        return;
    }
    // Every page and every table of the candidate, before anything is replaced.
    const schema::SoundFile checked(candidate, schema::Check::Full);
    if (!checked.isSound()) {
        refuse(host, QStringLiteral("备份文件“%1”已经损坏，数据没有恢复，原数据文件没有改变。").arg(backup),
               checked.problem());
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

// The backup file again, then a safety copy of it.
void copyBeforeDeletion(ScreenHost &host)
{
    if (!backupDatabase(host))
        return;
    const BackupPaths &paths = host.backupPaths();
    QString error;
    if (!host.data().pyLibrary()->copy(paths.backupFile(), paths.safetyCopy(), &error))
        ui::message(host.hostWindow(), QStringLiteral("安全备份“%1”失败：").arg(paths.safetyCopy()) + error, QString(),
                    ui::Icon::Warning);
}

} // namespace

bool backupDatabase(ScreenHost &host)
{
    Connection &c = host.data().conn();
    if (c.inTransaction()) {
        // A byte copy taken now could hold half of the change.
        ui::message(host.hostWindow(), QStringLiteral("有一项保存还没有结束，现在不能备份，原来的备份文件没有改变。"),
                    QString(), ui::Icon::Warning);
        return false;
    }
    QString problem, error;
    {
        // While it lives no other program can write lr, so the copy is the file checked. (The
        // copy closes its own handle of lr at the end, which on POSIX releases that hold
        // early; by then every byte is read.) It goes before any message is shown.
        const schema::SoundFile source(c, schema::Check::Quick);
        if (!source.isSound())
            problem = source.problem();
        else if (host.data().pyLibrary()->copy(QStringLiteral("lr"), host.backupPaths().backupFile(), &error))
            return true;
    }
    if (!problem.isEmpty())
        return refuse(host,
                      QStringLiteral("数据文件lr有错误，没有备份，原来的备份文件没有改变。\n"
                                     "请不要再录入数据，用“数据恢复”恢复备份，或请技术人员检查数据文件。"),
                      problem);
    ui::message(host.hostWindow(), QStringLiteral("数据备份失败，备份文件没有更新。\n") + error, QString(), ui::Icon::Warning);
    return false;
}

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
