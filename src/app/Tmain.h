#pragma once
// The main window: owner of the connection, every shared data set, the running totals,
// the instance flags, the support library and every command.
#include "store/BackupPaths.h"
#include "dataset/Connection.h"
#include "store/DataModule.h"
#include "store/PyLibrary.h"

#include <QAction>
#include <QHash>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QPointer>
#include <functional>
#include <memory>

#include "app/TFormdl.h"
#include "ui/ScreenHost.h"
class Ribbon;

class Tmain : public QMainWindow, public DataModule, public ScreenHost {
    Q_OBJECT
public:
    // Opens "lr" in the current directory (DbError with the engine's message when it
    // cannot), opens the data sets marked for start, loads the support library and
    // sets every instance flag. pyDir: where to look for the library first.
    explicit Tmain(const BackupPaths &backup = BackupPaths::standard(), const QString &pyDir = QString());
    ~Tmain() override;

    const PyLibrary &py() const { return *pyLibrary(); }
    QMdiArea *mdiArea() const { return mdi_; }
    Ribbon *ribbon() const { return ribbon_; }

    // Status bar panels 0 (name) and 1 (role).
    QString panelText(int i) const;
    void setPanelText(int i, const QString &text);

    // ---- the host of the screens
    DataModule &data() override { return *this; }
    QWidget *hostWindow() override { return this; }
    QWidget *addChild(QWidget *w) override;
    QSize workArea() const override;
    void closeAllScreens() override;
    void closeHost() override { close(); }
    const BackupPaths &backupPaths() const override { return backup_; }

    // ---- instance flags: true means the screen may be opened
    static const QStringList &flagNames();
    bool instanceFlag(const QString &screen) const override { return flags_.value(screen, true); }
    void setInstanceFlag(const QString &screen, bool value) override { flags_[screen] = value; }

    // ---- commands
    QAction *action(const QString &name) const override { return actions_.value(name); }
    QList<QAction *> commandActions() const;
    static const QStringList &roleGatedCommands();
    void registerScreen(const QString &command, OpenPattern pattern, const QString &flag, DataSet *refresh,
                        ScreenFactory factory) override;
    void setCommandHandler(const QString &command, std::function<void()> handler) override;
    // The screen created by the last run of a command (null if none is open).
    QWidget *lastOpened(const QString &command) const { return opened_.value(command); }

    // ---- login and life cycle
    TFormdl *loginDialog() const { return login_; }
    void setLoginDialog(TFormdl *d) { login_ = d; }
    // Runs after each successful login: current account and role gating.
    void FormShow();
    // Day-of-week test of the copy on closing (true on Fridays under the yyyy-M-d format).
    static bool copyOnCloseDay(const QDate &today);
    bool hasClosed() const { return closed_; }

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent *e) override;
    // The command table's shortcuts win over a widget's own (Ctrl+A in a text box).
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    // Whether a child window of the screen with this instance flag exists.
    bool screenOpen(const QString &flag) const;
    void createActions();
    void runCommand(const QString &name);
    void FormClose();
    void updateWindowCommands();
    void tileSubWindows(Qt::Orientation stacking);

    BackupPaths backup_;
    QMdiArea *mdi_ = nullptr;
    QLabel *panels_[2] = {};
    Ribbon *ribbon_ = nullptr;
    QHash<QString, bool> flags_;
    QHash<QString, QAction *> actions_;
    QStringList commandOrder_;
    struct ScreenEntry {
        OpenPattern pattern;
        QString flag;
        DataSet *refresh;
        ScreenFactory factory;
    };
    QHash<QString, ScreenEntry> screens_;
    QHash<QString, std::function<void()>> handlers_;
    QHash<QString, QPointer<QWidget>> opened_;
    QPointer<TFormdl> login_;
    bool closed_ = false;
};
