// Writes a fresh Employee.mdb at the path given: what a new installation starts from.
#include "db/database.h"

#include <cstdio>
#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: makefreshdb PATH\n");
        return 2;
    }
    try {
        horalink::createFreshDatabase(QString::fromLocal8Bit(argv[1]));
    } catch (const horalink::DbError &error) {
        std::fprintf(stderr, "makefreshdb: %s\n", error.what());
        return 1;
    }
    return 0;
}
