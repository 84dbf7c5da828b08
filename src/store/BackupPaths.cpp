#include "store/BackupPaths.h"

#include <QDir>

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
