#pragma once
// What a work screen and a feature area see of the window that hosts them: a place for
// child windows, the instance flags, the commands, and the data module. The main window
// implements it; the screens never see the main window's class.
#include <QSize>
#include <QString>
#include <functional>

class BackupPaths;
class DataModule;
class DataSet;
class QAction;
class QWidget;

class ScreenHost {
public:
    // How a command opens its screen.
    enum class OpenPattern { RefreshThenOnce, Once, OnceSilently };
    using ScreenFactory = std::function<QWidget *(ScreenHost &)>;

    virtual ~ScreenHost() = default;

    virtual DataModule &data() = 0;
    // The window that parents messages and top-level windows of the screens.
    virtual QWidget *hostWindow() = 0;
    // Adds a widget as a child window, visible at once.
    virtual QWidget *addChild(QWidget *w) = 0;
    // Size of the area the child windows share.
    virtual QSize workArea() const = 0;
    // Closes every child window (their close handlers run).
    virtual void closeAllScreens() = 0;
    // Ends the program the way closing the main window does.
    virtual void closeHost() = 0;

    // Instance flags: true means the screen may be opened.
    virtual bool instanceFlag(const QString &screen) const = 0;
    virtual void setInstanceFlag(const QString &screen, bool value) = 0;

    // Commands of the command table, by name.
    virtual QAction *action(const QString &name) const = 0;
    // Wires a screen to its command: one line per screen.
    virtual void registerScreen(const QString &command, OpenPattern pattern, const QString &flag, DataSet *refresh,
                                ScreenFactory factory) = 0;
    // A command that opens no screen.
    virtual void setCommandHandler(const QString &command, std::function<void()> handler) = 0;

    virtual const BackupPaths &backupPaths() const = 0;
};
