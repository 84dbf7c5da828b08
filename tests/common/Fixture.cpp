#include "common/Fixture.h"

#include "store/Schema.h"
#include "app/TFormdl.h"

#include <QApplication>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>

AppFixture::AppFixture()
{
    oldDir_ = QDir::currentPath();
    QDir().mkpath(backupFolder());
    schema::createDeliveredDatabase(path(QStringLiteral("lr")));
    QDir::setCurrent(dir_.path());
    // The places of the screens are kept in the user's settings: each test has its own.
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, path(QStringLiteral("settings")));
    ui::install(&seams);
}

AppFixture::~AppFixture()
{
    destroyMain();
    ui::install(nullptr);
    QDir::setCurrent(oldDir_);
}

Tmain &AppFixture::createMain()
{
    main_ = std::make_unique<Tmain>(BackupPaths(backupFolder()), QStringLiteral(PY_DIR));
    return *main_;
}

void AppFixture::destroyMain()
{
    if (!main_)
        return;
    if (TFormdl *d = main_->loginDialog())
        delete d;
    if (!main_->hasClosed())
        main_->close();
    main_.reset();
    QApplication::processEvents();
}

bool AppFixture::login(const QString &number, const QString &password)
{
    auto *dlg = new TFormdl(*main_);
    main_->setLoginDialog(dlg);
    dlg->show();
    if (!number.isEmpty())
        QTest::keyClicks(dlg->ComboBox1->lineEdit(), number);
    if (!password.isEmpty())
        QTest::keyClicks(dlg->Password, password);
    dlg->Button1->click();
    return main_->isVisible();
}

Tmain &AppFixture::start()
{
    createMain();
    if (!login())
        qFatal("administrator login failed");
    return *main_;
}

QVariant AppFixture::scalar(const QString &sql, const Params &params)
{
    return main_->conn().scalar(sql, params);
}

QList<QVariantList> AppFixture::rows(const QString &sql, const Params &params)
{
    return main_->conn().rows(sql, params);
}

void AppFixture::exec(const QString &sql, const Params &params)
{
    main_->conn().exec(sql, params);
}

void typeText(QWidget *target, const QString &text)
{
    bool latin = true;
    for (QChar c : text)
        latin = latin && c.unicode() < 0x80;
    if (latin) {
        QTest::keyClicks(target, text);
        return;
    }
    QInputMethodEvent e;
    e.setCommitString(text);
    QApplication::sendEvent(target, &e);
}

QWidget *openCell(DBGrid *g, int row, const QString &field)
{
    int col = -1;
    for (int c = 0; c < g->model()->columnCount(); ++c)
        if (g->fieldNameOfColumn(c) == field)
            col = c;
    if (col < 0)
        return nullptr;
    const QModelIndex i = g->model()->index(row, col);
    auto openEditor = [g]() -> QWidget * {
        for (QWidget *w : g->viewport()->findChildren<QWidget *>())
            if (w->isVisible() && (qobject_cast<QLineEdit *>(w) || qobject_cast<QComboBox *>(w)) &&
                !qobject_cast<QComboBox *>(w->parentWidget()))
                return w;
        return nullptr;
    };
    // A TAB from the cell before may already have opened this one.
    if (QWidget *w = openEditor(); w && g->currentIndex() == i)
        return w;
    g->setCurrentIndex(i);
    g->edit(i);
    return openEditor();
}
