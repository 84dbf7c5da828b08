#include "store/BackupPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <limits>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#endif

namespace {

bool processRuns(qint64 pid)
{
#ifdef Q_OS_UNIX
    if (pid <= 0 || pid > std::numeric_limits<pid_t>::max())
        return false;
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
#else
    Q_UNUSED(pid);
    return true;  // cannot tell: keep the file
#endif
}

} // namespace

BackupPaths BackupPaths::standard()
{
#ifdef Q_OS_WIN
    BackupPaths p;
    p.backup_ = QStringLiteral("d:/软件数据备份");
    p.safety_ = QStringLiteral("d:/lr.bak");
    return p;
#else
    return BackupPaths(QDir::homePath());
#endif
}

BackupPaths::BackupPaths(const QString &folder)
    : backup_(QDir(folder).filePath(QStringLiteral("软件数据备份"))),
      safety_(QDir(folder).filePath(QStringLiteral("lr.bak")))
{
}

QStringList BackupPaths::removeStaleCopies(const QString &workingDir) const
{
    // copyf writes beside its destination into ".<name>.tmp-<pid>-<counter>-<nanoseconds>".
    QHash<QString, QSet<QString>> targets;  // folder -> destination names
    for (const QString &file : {QDir(workingDir).filePath(QStringLiteral("lr")), backup_, safety_}) {
        const QFileInfo info(file);
        targets[info.absolutePath()].insert(info.fileName());
    }
    static const QRegularExpression pattern(QStringLiteral("^\\.(.+)\\.tmp-(\\d{1,10})-\\d{1,20}-\\d{1,20}$"));
    QStringList removed;
    for (auto it = targets.cbegin(); it != targets.cend(); ++it) {
        const QDir dir(it.key());
        const QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
        for (const QString &name : names) {
            const QRegularExpressionMatch m = pattern.match(name);
            if (!m.hasMatch() || !it.value().contains(m.captured(1)) || processRuns(m.captured(2).toLongLong()))
                continue;
            if (QFile::remove(dir.filePath(name)))
                removed << dir.filePath(name);
        }
    }
    return removed;
}
