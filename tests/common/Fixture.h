#pragma once
// A working folder with a fresh delivered database, the recording seams, and the real
// main window created in it. Tests drive the windows by object name and read the
// database with SQL.
#include "dataset/Connection.h"
#include "dbwidgets/DBControls.h"
#include "dbwidgets/DBGrid.h"
#include "dbwidgets/DBNavigator.h"
#include "ui/Seams.h"
#include "app/Tmain.h"
#include "dbwidgets/DBGrid.h"

#include <QDir>
#include <QTemporaryDir>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>
#include <memory>

class AppFixture {
public:
    // Makes the folder and the database; createMain() makes the main window.
    AppFixture();
    ~AppFixture();
    AppFixture(const AppFixture &) = delete;
    AppFixture &operator=(const AppFixture &) = delete;

    Tmain &createMain();
    Tmain &main() { return *main_; }
    bool hasMain() const { return main_ != nullptr; }
    // Closes and deletes the main window (its close handler runs).
    void destroyMain();

    // Logs in through the real login dialog; true when the main window is shown.
    bool login(const QString &number = QStringLiteral("admin"), const QString &password = QString());
    // Creates main and logs in as the administrator.
    Tmain &start();

    QString dir() const { return dir_.path(); }
    QString path(const QString &name) const { return QDir(dir_.path()).filePath(name); }
    QString backupFolder() const { return path(QStringLiteral("backup")); }

    // SQL on the program's own connection.
    QVariant scalar(const QString &sql, const Params &params = {});
    QList<QVariantList> rows(const QString &sql, const Params &params = {});
    void exec(const QString &sql, const Params &params = {});

    ui::RecordingSeams seams;

private:
    QTemporaryDir dir_;
    QString oldDir_;
    std::unique_ptr<Tmain> main_;
};

// Types text the way a person does: Latin text as key strokes, Chinese as an input
// method commits it.
void typeText(QWidget *target, const QString &text);

// Opens the editor of a grid cell as a double click does; null when there is none.
QWidget *openCell(DBGrid *g, int row, const QString &field);

// Finds a child by object name, failing the test when it is missing.
template <typename T>
T *child(QObject *parent, const QString &name)
{
    T *c = parent->findChild<T *>(name);
    if (!c)
        qWarning("missing child %s", qPrintable(name));
    return c;
}
