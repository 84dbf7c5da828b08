// Writes a fresh delivered database: korvel-newdb PATH
#include "dataset/Errors.h"
#include "store/Schema.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QTextStream err(stderr);
    if (args.size() != 2) {
        err << "用法：korvel-newdb 数据库文件\n";
        return 2;
    }
    try {
        schema::createDeliveredDatabase(args.at(1));
    } catch (const KorvelError &e) {
        err << e.message() << '\n';
        return 1;
    }
    return 0;
}
