#include "app/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

QTranslator *installQtTranslations(QCoreApplication &app)
{
    auto *t = new QTranslator(&app);
    if (!t->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(t)) {
        delete t;
        return nullptr;
    }
    return t;
}
