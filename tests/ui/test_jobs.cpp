// A long job holds the whole program while its progress box is up: a click on any other window
// reaches nothing, so no second job starts under it and no window it works in is unloaded. The
// clicks are real platform input, which a window blocked by a modal box never receives; a
// button's click() would bypass the blocking and prove nothing.
#include "db/connection.h"
#include "support/countingprinter.h"
#include "support/fixture.h"
#include "ui/forms.h"
#include "ui/frmmain.h"
#include "ui/frmperiod.h"
#include "ui/frmprop.h"
#include "ui/printer.h"
#include "ui/program.h"

#include <functional>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

using namespace horalink;

namespace {

enum class Job
{
    Check,
    Export,
    Backup,
    PrintAll,
    ClearAll,
};

enum class Target
{
    // Tools > E&xit, which signs the manager off and closes Pay Period.
    MainExit,
    // Pay Period's Close.
    PeriodClose,
    // A switch of the properties window, stored as soon as it is clicked.
    PropertiesSwitch,
};

} // namespace

Q_DECLARE_METATYPE(Job)
Q_DECLARE_METATYPE(Target)

namespace {

// The boxes of the fixture's script, but the program's own progress box, modal as the user
// gets it; `meanwhile` runs once, at the first step at which the box can be seen.
class RealProgress : public Prompts
{
public:
    explicit RealProgress(ScriptedPrompts &scripted) : m_scripted(scripted) {}

    Button message(const Box &box) override { return m_scripted.message(box); }
    QString input(const QString &prompt, const QString &title, const QString &preset) override
    {
        return m_scripted.input(prompt, title, preset);
    }
    QString folder(const QString &title, const QString &proposed) override
    {
        return m_scripted.folder(title, proposed);
    }
    std::unique_ptr<ProgressBox> progress(const QString &title, int total) override
    {
        return std::make_unique<Watched>(desktopPrompts()->progress(title, total), meanwhile);
    }

    std::function<void()> meanwhile;

private:
    class Watched : public ProgressBox
    {
    public:
        Watched(std::unique_ptr<ProgressBox> box, std::function<void()> &meanwhile)
            : m_box(std::move(box)), m_meanwhile(meanwhile)
        {}
        bool next(int done, const QString &step) override
        {
            const bool going = m_box->next(done, step);
            if (m_meanwhile && progressShown())
                std::exchange(m_meanwhile, {})();
            return going;
        }

    private:
        static bool progressShown()
        {
            for (QWidget *window : QApplication::topLevelWidgets()) {
                if (window->objectName() == QLatin1String("progress") && window->isVisible())
                    return true;
            }
            return false;
        }

        std::unique_ptr<ProgressBox> m_box;
        std::function<void()> &m_meanwhile;
    };

    ScriptedPrompts &m_scripted;
};

// A left click as the window system delivers it, at a point of a widget.
void platformClick(QWidget *widget, QPoint point)
{
    QWidget *window = widget->window();
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, widget->mapTo(window, point));
    QCoreApplication::processEvents();
}

void platformClick(QWidget *widget)
{
    platformClick(widget, widget->rect().center());
}

void clickExit(frmmain &main)
{
    platformClick(child<QMenuBar>(main, "menuBar"),
                  child<QMenuBar>(main, "menuBar")
                      ->actionGeometry(child<QMenu>(main, "usermenu")->menuAction())
                      .center());
    // Only a window that heard the first click has its menu open.
    if (QApplication::activePopupWidget() == child<QMenu>(main, "usermenu"))
        platformClick(child<QMenu>(main, "usermenu"),
                      child<QMenu>(main, "usermenu")
                          ->actionGeometry(child<QAction>(main, "exitmain"))
                          .center());
}

void clickTarget(Target target)
{
    switch (target) {
    case Target::MainExit:
        clickExit(forms().frmmain());
        break;
    case Target::PeriodClose:
        platformClick(child<QPushButton>(forms().frmperiod(), "Close"));
        break;
    case Target::PropertiesSwitch:
        platformClick(child<QCheckBox>(forms().frmprop(), "edits"));
        break;
    }
}

const QStringList Employees = {QStringLiteral("Ann"), QStringLiteral("Bob")};

// The manager signed on, Ann and Bob listed, each with a shift; Pay Period and the properties
// open beside the main window. For a backup, the file is made larger than one step of it.
void managerWithWindowsOpen(Fixture &f, Job job)
{
    f.company();
    for (const QString &name : Employees)
        f.employee(name);
    f.setPassword(QStringLiteral("Manager"), QStringLiteral("boss"));
    for (const QString &name : Employees) {
        f.event(name, QStringLiteral("2026-02-25 08:00:00"), QStringLiteral("Clocked In"));
        f.event(name, QStringLiteral("2026-02-25 16:00:00"), QStringLiteral("Clocked Out"));
    }
    // The server's backup takes a step for each table.
    if (job == Job::Backup && !onServer()) {
        f.file().exec(QStringLiteral("CREATE TABLE ballast (filler TEXT)"));
        for (int row = 0; row < 40; ++row)
            f.file().exec(
                QStringLiteral("INSERT INTO ballast VALUES (printf('%.*c', 100000, 'x'))"));
    }
    f.startProgram();
    f.signOn(QStringLiteral("Manager"), QStringLiteral("boss"));
    f.click(QStringLiteral("Command2"));
    f.click(QStringLiteral("PayPeriod"));
    f.processEvents();
    f.takeBoxes();
}

void startJob(Fixture &f, Job job, const QString &folder)
{
    frmperiod &period = forms().frmperiod();
    switch (job) {
    case Job::Check:
        child<QPushButton>(period, "Check")->click();
        break;
    case Job::Export:
        f.prompts.folders = {folder};
        child<QPushButton>(period, "Export")->click();
        break;
    case Job::Backup:
        f.prompts.folders = {folder};
        child<QPushButton>(period, "BackUp")->click();
        break;
    case Job::PrintAll:
        f.prompts.answers = {Button::Yes, Button::Yes};
        f.click(QStringLiteral("Command3"));
        break;
    case Job::ClearAll:
        f.prompts.answers = {Button::Yes, Button::Yes};
        f.prompts.typed = {QStringLiteral("3/2/2026")};
        f.click(QStringLiteral("Command4"));
        break;
    }
    f.processEvents();
}

void verifyJobDone(Fixture &f, Job job, const CountingPrinter &printer)
{
    const QList<Box> boxes = f.takeBoxes();
    switch (job) {
    case Job::Check:
        QVERIFY(child<QTableWidget>(forms().frmperiod(), "findings")->rowCount() > 0);
        break;
    case Job::Export:
    case Job::Backup:
        QVERIFY(!boxes.isEmpty());
        QCOMPARE(boxes.last().icon, Icon::Information);
        break;
    case Job::PrintAll:
        QCOMPARE(printer.documents, 2);
        break;
    case Job::ClearAll:
        for (const QString &name : Employees)
            QVERIFY(f.log(name).isEmpty());
        break;
    }
}

} // namespace

class JobsTest : public QObject
{
    Q_OBJECT

private slots:
    void otherWindowsWaitForARunningJob_data();
    void otherWindowsWaitForARunningJob();
    void aWindowUnloadedUnderAHandlerOutlivesTheHandler();
};

void JobsTest::otherWindowsWaitForARunningJob_data()
{
    QTest::addColumn<Job>("job");
    QTest::addColumn<Target>("target");
    const std::pair<const char *, Job> jobs[] = {{"check", Job::Check},
                                                 {"export", Job::Export},
                                                 {"backup", Job::Backup},
                                                 {"print all", Job::PrintAll},
                                                 {"clear all", Job::ClearAll}};
    const std::pair<const char *, Target> targets[] = {{"main window's Exit", Target::MainExit},
                                                       {"Pay Period's Close", Target::PeriodClose},
                                                       {"a switch", Target::PropertiesSwitch}};
    for (const auto &[jobName, job] : jobs) {
        for (const auto &[targetName, target] : targets)
            QTest::addRow("%s, %s", jobName, targetName) << job << target;
    }
}

void JobsTest::otherWindowsWaitForARunningJob()
{
    QFETCH(Job, job);
    QFETCH(Target, target);
    Fixture f;
    const Replacement printing(setPrinter, std::make_unique<CountingPrinter>());
    managerWithWindowsOpen(f, job);
    // Real progress boxes, the fixture's script behind them.
    const Replacement real(setPrompts, std::make_unique<RealProgress>(f.prompts));
    bool clicked = false;
    real->meanwhile = [&] {
        clickTarget(target);
        clicked = true;
    };
    const QTemporaryDir folder;
    startJob(f, job, folder.path());

    QVERIFY(clicked);
    QCOMPARE(QApplication::activePopupWidget(), nullptr);
    QCOMPARE(f.main().session().employee, QStringLiteral("Manager"));
    QVERIFY(f.main().isVisible());
    QVERIFY(forms().isLoaded<frmperiod>());
    QVERIFY(forms().frmperiod().isVisible());
    QVERIFY(!child<QCheckBox>(forms().frmprop(), "edits")->isChecked());
    QVERIFY(!child<QLineEdit>(f.main(), "lgndatetime")->isReadOnly());
    verifyJobDone(f, job, *printing);
}

void JobsTest::aWindowUnloadedUnderAHandlerOutlivesTheHandler()
{
    Fixture f;
    f.startProgram();
    QPointer<frmperiod> period = &forms().frmperiod();
    guarded([&] {
        forms().unload(*period);
        // What a box does while it is up: the events that came in, deletions among them.
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(period);
        QVERIFY(!period->isVisible());
        QVERIFY(!forms().isLoaded<frmperiod>());
    });
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!period);
}

QTEST_MAIN(JobsTest)
#include "test_jobs.moc"
