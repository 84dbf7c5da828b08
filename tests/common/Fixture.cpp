#include "common/Fixture.h"

#include "store/Schema.h"
#include "app/TFormdl.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

AppFixture::AppFixture()
{
    oldDir_ = QDir::currentPath();
    QDir().mkpath(backupFolder());
    schema::createDeliveredDatabase(path(QStringLiteral("lr")));
    QDir::setCurrent(dir_.path());
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
