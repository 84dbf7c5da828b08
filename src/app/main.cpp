#include "Errors.h"
#include "Seams.h"
#include "Startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    return korvelRun(app);
}
