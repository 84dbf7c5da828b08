#pragma once
// The one fixed place of the backup file and the safety copy, used by backup, restore,
// the deletion command and the copy on closing.
#include <QDate>
#include <QString>

class BackupPaths {
public:
    // Windows: d:\软件数据备份 and d:\lr.bak; elsewhere the same names in the user's home folder.
    static BackupPaths standard();
    // Both files in another folder (tests).
    explicit BackupPaths(const QString &folder);

    QString backupFile() const { return backup_; }
    QString safetyCopy() const { return safety_; }

    // The day whose weekday decides the copy on closing: today, unless a test fixes one.
    QDate closingDay() const { return closingDay_.isValid() ? closingDay_ : QDate::currentDate(); }
    BackupPaths &setClosingDay(const QDate &day)
    {
        closingDay_ = day;
        return *this;
    }

    // Removes what a copy killed half-way left behind: the support library's temporary
    // files for the backup file, the safety copy and the database "lr" in workingDir, and
    // nothing else. A copy still running in another process keeps its file. Returns the
    // paths removed.
    QStringList removeStaleCopies(const QString &workingDir) const;

private:
    BackupPaths() = default;
    QString backup_;
    QString safety_;
    QDate closingDay_;
};
