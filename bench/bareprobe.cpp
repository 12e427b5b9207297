// The floor of the start-up benchmark: a bare Qt program that shows one window and ends.
#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace {

class Shown : public QObject
{
protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            // Queued: the window may be shown before the event loop runs.
            QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
        return false;
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    Shown probe;
    window.installEventFilter(&probe);
    window.show();
    return QApplication::exec();
}
