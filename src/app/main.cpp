#include "dataset/Errors.h"
#include "ui/Seams.h"
#include "app/Startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    return korvelRun(app);
}
