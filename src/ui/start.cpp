#include "start.h"

#include "db/datafolder.h"
#include "db/dberror.h"
#include "ui/forms.h"
#include "ui/frmsplash.h"
#include "ui/program.h"
#include "ui/singleinstance.h"
#include "ui/unattended.h"
#include "ui/version.h"

#include <algorithm>
#include <QApplication>
#include <QDir>
#include <QPointer>
#include <QWidget>

namespace horalink {

namespace {

// A copy started on the same folder brings this one to the front instead: its logon or main
// window, with any dialog open over it in front of that, or the box the program waits for.
void comeToFront()
{
    QWidgetList windows;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->isVisible())
            windows << window;
    }
    std::stable_partition(windows.begin(), windows.end(), [](const QWidget *window) {
        return window->objectName() == QLatin1String("frmlogon") ||
               window->objectName() == QLatin1String("frmmain");
    });
    for (QWidget *window : std::as_const(windows)) {
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
        window->raise();
    }
    QWidget *front = QApplication::activeModalWidget();
    if (!front && !windows.isEmpty())
        front = windows.last();
    if (front)
        front->activateWindow();
}

// One guard for the application's life; a start after another in the same process (as in the
// tests) keeps it, or moves it to the new working folder.
SingleInstance &guard()
{
    static QPointer<SingleInstance> instance;
    if (!instance) {
        instance = new SingleInstance(qApp);
        QObject::connect(instance, &SingleInstance::anotherCopyStarted, instance, &comeToFront);
    }
    return *instance;
}

} // namespace

bool enterDataFolder()
{
    if (unattended())
        setPrompts(unattendedPrompts());
    try {
        const DataFolder folder = dataFolder();
        prepareDataFolder(folder);
        if (!QDir::setCurrent(folder.path))
            throw DbError(dberr::FileNotFound, QStringLiteral("Could not enter the folder '") +
                                                   folder.path + QStringLiteral("'."));
    } catch (const DbError &error) {
        reportAndEnd(error);
        return false;
    }
    return true;
}

void start()
{
    // Only the logon window's Exit and the first-run window end the program, never the
    // closing of some last window.
    QApplication::setQuitOnLastWindowClosed(false);
    QGuiApplication::setDesktopFileName(ApplicationId);
    if (unattended())
        setPrompts(unattendedPrompts());
    // The copy that came to the front is all the user needs to see; a box is left only when
    // no running copy could be reached.
    switch (guard().claim(QDir::currentPath())) {
    case SingleInstance::Claim::Taken:
        forms().frmsplash().show();
        return;
    case SingleInstance::Claim::RunningCopySilent:
        prompts().message(
            informationBox(QStringLiteral("Horalink is already running."), ProgramTitle));
        break;
    case SingleInstance::Claim::RunningCopyCameForward:
        break;
    }
    endProgram();
}

} // namespace horalink
