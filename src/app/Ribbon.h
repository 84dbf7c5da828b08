#pragma once
// The ribbon at the top of the main window: an application button with its menu, seven
// tabs of groups, each group one large button for one command, and the screen tips.
#include <QHash>
#include <QIcon>
#include <QString>
#include <QWidget>
#include <functional>

class QAction;
class QMenu;
class QTabWidget;
class QToolButton;

class Ribbon : public QWidget {
    Q_OBJECT
public:
    // commands: finds a command of the main window by its name.
    explicit Ribbon(const std::function<QAction *(const QString &)> &commands, QWidget *parent = nullptr);

    QTabWidget *tabs() const { return tabs_; }
    QToolButton *applicationButton() const { return appButton_; }
    QMenu *applicationMenu() const { return appMenu_; }
    // The large button of a command (null when the ribbon has none for it).
    QToolButton *button(const QString &command) const { return buttons_.value(command); }

    // The rich screen tip: the caption as header, the body, and the help footer.
    static QString screenTip(const QString &caption, const QString &body);
    // The drawn icon of a command's button.
    static QIcon commandIcon(const QString &command);

private:
    QWidget *makeGroup(const QString &caption, QAction *action);

    QTabWidget *tabs_ = nullptr;
    QToolButton *appButton_ = nullptr;
    QMenu *appMenu_ = nullptr;
    QHash<QString, QToolButton *> buttons_;
};
