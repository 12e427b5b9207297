// Not a test: gives a folder the fresh Employee.mdb with a company's name in it, so that the
// program started there opens at its logon window (make test-windows shows the installed one).
#include "db/database.h"
#include "db/settings.h"

#include <cstdio>
#include <QCoreApplication>
#include <QDir>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: shopfolder FOLDER COMPANY\n");
        return 2;
    }
    try {
        const QString file = QDir(QString::fromLocal8Bit(argv[1])).filePath(horalink::EmployeeMdb);
        horalink::createFreshDatabase(file);
        horalink::storeCompany(*horalink::openEmployeeDatabase(file),
                               QString::fromLocal8Bit(argv[2]));
    } catch (const horalink::DbError &error) {
        std::fprintf(stderr, "shopfolder: %s\n", error.what());
        return 1;
    }
    return 0;
}
