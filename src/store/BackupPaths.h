#pragma once
// The one fixed place of the backup file and the safety copy, used by backup, restore,
// the deletion command and the copy on closing.
#include <QString>

class BackupPaths {
public:
    // Windows: d:\软件数据备份 and d:\lr.bak; elsewhere the same names in the user's home folder.
    static BackupPaths standard();
    // Both files in another folder (tests).
    explicit BackupPaths(const QString &folder);

    QString backupFile() const { return backup_; }
    QString safetyCopy() const { return safety_; }

private:
    BackupPaths() = default;
    QString backup_;
    QString safety_;
};
