// Starts the program as usual and ends it the moment the logon window is shown: the start-up
// time of the benchmark, measured from outside the process.
#include "ui/start.h"

#include <QApplication>
#include <QEvent>

namespace {

class LogonShown : public QObject
{
protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && watched->objectName() == QLatin1String("frmlogon"))
            // Queued: the window may be shown before the event loop runs.
            QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
        return false;
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    LogonShown probe;
    app.installEventFilter(&probe);
    horalink::start();
    return QApplication::exec();
}
