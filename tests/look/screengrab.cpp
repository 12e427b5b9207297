// Not a test: keeps what the screen shows as a PNG file, where no other tool for it is at hand
// (Wine's own screen, on which make test-windows shows the installed program).
#include <cstdio>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: screengrab FILE.png\n");
        return 2;
    }
    const QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(0);
    if (screen.isNull() || !screen.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "screengrab: the screen could not be kept in %s\n", argv[1]);
        return 1;
    }
    return 0;
}
