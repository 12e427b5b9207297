#include "db/datafolder.h"
#include "ui/qttranslations.h"
#include "ui/start.h"

#include <cstdio>
#include <cstring>
#include <QApplication>
#include <QDir>
#include <QFile>

int main(int argc, char *argv[])
{
    // For scripts and the administrator: which folder a start would use, without a window.
    if (argc == 2 && std::strcmp(argv[1], "--data-dir") == 0) {
        const QString folder = QDir::toNativeSeparators(horalink::dataFolder().path);
        std::printf("%s\n", QFile::encodeName(folder).constData());
        return 0;
    }
    QApplication app(argc, argv);
    // Before any window, whose Qt-made texts are read when it is built.
    horalink::loadQtTranslations();
    if (horalink::enterDataFolder())
        horalink::start();
    return QApplication::exec();
}
