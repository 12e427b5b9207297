#include "ui/start.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    horalink::start();
    return QApplication::exec();
}
