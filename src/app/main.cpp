#include "app/Startup.h"
#include "app/Translations.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    installQtTranslations(app);
    return korvelRun(app);
}
