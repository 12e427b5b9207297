// What each action of a clock on the server costs when the server is a network away: the
// actions are driven through the windows, on the server a log of 10,000 events, through a
// proxy that holds every chunk 0, 10 or 50 ms each way. Each is timed and counted in round
// trips, beside a bare libpq round trip through the same proxy. Needs HORALINK_BENCH_SERVER
// naming a server by its socket folder (host=/...); run with `make bench`.
#include "db/database.h"
#include "db/dberror.h"
#include "db/employees.h"
#include "db/postgres.h"
#include "db/roster.h"
#include "delayproxy.h"
#include "support/children.h"
#include "support/countingprompts.h"
#include "ui/clicklabel.h"
#include "ui/forms.h"
#include "ui/frmlogon.h"
#include "ui/frmmain.h"
#include "ui/prompts.h"
#include "world.h"

#include <benchmark/benchmark.h>
#include <libpq-fe.h>
#include <map>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <QAbstractItemDelegate>
#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <stdexcept>
#include <sys/socket.h>

using namespace horalink;
using namespace horalink::bench;

namespace {

constexpr int Events = 10000;
constexpr int Delays[] = {0, 10, 50};
const QString ManagerPassword = QStringLiteral("boss");

// How often each action runs at each delay: enough to be steady, few at the long delays.
int iterationsAt(int delay)
{
    return delay == 0 ? 10 : delay == 10 ? 5 : 3;
}

// A bare round trip at no delay is too short to time in a few rounds.
int floorIterationsAt(int delay)
{
    return delay == 0 ? 1000 : delay == 10 ? 20 : 5;
}

QString quotedValue(const char *value)
{
    QString quoted = QString::fromUtf8(value);
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    quoted.replace(QLatin1Char('\''), QStringLiteral("\\'"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

// The server HORALINK_BENCH_SERVER names: its socket, and the rest of the connection string.
struct Server
{
    std::string socket;
    QString keywords;

    // The same database as reached through a TCP port of 127.0.0.1.
    QString through(int port) const
    {
        return QStringLiteral("host=127.0.0.1 port=") + QString::number(port) + keywords;
    }
};

Server benchSocket()
{
    char *error = nullptr;
    PQconninfoOption *options = PQconninfoParse(benchServer().toUtf8().constData(), &error);
    if (!options) {
        const std::string why = error ? error : "out of memory";
        PQfreemem(error);
        throw std::runtime_error("HORALINK_BENCH_SERVER cannot be read: " + why);
    }
    Server server;
    std::string folder;
    std::string port = "5432";
    for (const PQconninfoOption *option = options; option->keyword; ++option) {
        if (!option->val)
            continue;
        const std::string keyword = option->keyword;
        if (keyword == "host")
            folder = option->val;
        else if (keyword == "port")
            port = option->val;
        else if (keyword != "hostaddr")
            server.keywords += QLatin1Char(' ') + QString::fromUtf8(option->keyword) +
                               QLatin1Char('=') + quotedValue(option->val);
    }
    PQconninfoFree(options);
    if (folder.empty() || folder.front() != '/')
        throw std::runtime_error("HORALINK_BENCH_SERVER names no socket folder (host=/...)");
    server.socket = folder + "/.s.PGSQL." + port;
    return server;
}

// The proxy, and behind it the server's database as the program sees it, with the Manager's
// password set.
struct Rig
{
    explicit Rig(const Server &server)
        : proxy(server.socket), world(Events, true, server.through(proxy.port()))
    {
        storePassword(*PgConnection::open(world.connectionString()), ManagerName, ManagerPassword);
    }

    DelayProxy proxy;
    World world;
};

std::unique_ptr<Rig> &theRig()
{
    static std::unique_ptr<Rig> rig;
    return rig;
}

// Made at the first benchmark; none, and the benchmark failed, when it could not be.
Rig *rigAt(benchmark::State &state, int delay)
{
    auto &rig = theRig();
    try {
        if (!rig)
            rig = std::make_unique<Rig>(benchSocket());
    } catch (const DbError &error) {
        state.SkipWithError(qPrintable(error.description()));
        return nullptr;
    } catch (const std::runtime_error &error) {
        state.SkipWithError(error.what());
        return nullptr;
    }
    rig->proxy.setDelay(std::chrono::milliseconds(delay));
    return rig.get();
}

CountingPrompts &boxes()
{
    return static_cast<CountingPrompts &>(prompts());
}

// Times and counts only the action, round by round: what prepares or undoes it runs between
// pause() and resume(). A first round runs untimed and uncounted, so that what a session
// prepares once, at its first use of a statement, is not spread over the rounds. A box shown
// or a proxy that stopped fails the benchmark: the action was not what it should have been.
class Measured
{
public:
    Measured(benchmark::State &state, Rig &rig)
        : m_state(state), m_proxy(rig.proxy), m_boxes(boxes().shown)
    {}

    // The state's loop, after the first round, counting from the start of its first round to
    // the end of its last.
    bool running()
    {
        switch (m_stage) {
        case Stage::Before:
            m_stage = Stage::FirstRound;
            return true;
        case Stage::FirstRound:
            m_stage = Stage::Counted;
            m_proxy.reset();
            m_from = m_proxy.roundTrips();
            break;
        case Stage::Counted:
            break;
        }
        if (m_state.KeepRunning())
            return true;
        m_trips += m_proxy.roundTrips() - m_from;
        return false;
    }

    void pause()
    {
        if (m_stage != Stage::Counted)
            return;
        m_trips += m_proxy.roundTrips() - m_from;
        m_state.PauseTiming();
    }
    void resume()
    {
        if (m_stage != Stage::Counted)
            return;
        m_state.ResumeTiming();
        m_from = m_proxy.roundTrips();
    }

    void finish()
    {
        m_state.counters["trips"] =
            benchmark::Counter(double(m_trips), benchmark::Counter::kAvgIterations);
        if (const std::string failure = m_proxy.failure(); !failure.empty())
            m_state.SkipWithError(failure.c_str());
        else if (boxes().shown != m_boxes)
            m_state.SkipWithError("a box was shown (told on standard error)");
    }

private:
    benchmark::State &m_state;
    DelayProxy &m_proxy;
    int m_boxes;
    enum class Stage
    {
        Before,
        FirstRound,
        Counted,
    } m_stage = Stage::Before;
    long long m_from = 0;
    long long m_trips = 0;
};

frmmain &mainWindow()
{
    return forms().frmmain();
}

void click(ClickLabel *label)
{
    const QPointF centre = QRectF(label->rect()).center();
    const QPointF global = label->mapToGlobal(centre);
    QMouseEvent press(QEvent::MouseButtonPress, centre, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, centre, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(label, &press);
    QCoreApplication::sendEvent(label, &release);
}

// Signs the employee on through the logon window, as the next user at the computer does,
// unless the main window acts for that user already.
bool signedOn(benchmark::State &state, const QString &name, const QString &password = {})
{
    const bool mainShown = forms().isLoaded<frmmain>() && mainWindow().isVisible();
    if (mainShown && mainWindow().session().employee == name)
        return true;
    if (mainShown)
        child<QAction>(mainWindow(), "exitmain")->trigger();
    frmlogon &logon = forms().frmlogon();
    child<QComboBox>(logon, "namechoice")->setEditText(name);
    child<QPushButton>(logon, "Command1")->click();
    if (!password.isEmpty()) {
        child<QLineEdit>(logon, "txtpass")->setText(password);
        child<QPushButton>(logon, "Command3")->click();
    }
    if (!forms().isLoaded<frmmain>() || mainWindow().session().employee != name) {
        state.SkipWithError(qPrintable(name + QStringLiteral(" could not sign on")));
        return false;
    }
    return true;
}

// The Manager, signed on with the password, with Ann shown in the Management tab.
bool managingAnn(benchmark::State &state)
{
    if (!signedOn(state, ManagerName, ManagerPassword))
        return false;
    if (!mainWindow().session().manages()) {
        state.SkipWithError("the Manager signed on without the management functions");
        return false;
    }
    mainWindow().showEmployee(Employee);
    if (mainWindow().shownEmployee() != Employee) {
        state.SkipWithError("the Management tab does not show Ann");
        return false;
    }
    return true;
}

void StartUp(benchmark::State &, Rig &, Measured &measured)
{
    while (measured.running()) {
        measured.pause();
        forms().unloadAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        closeDatabases();
        measured.resume();
        forms().frmlogon().show();
    }
}

void SignOn(benchmark::State &state, Rig &, Measured &measured)
{
    if (forms().isLoaded<frmmain>() && mainWindow().isVisible())
        child<QAction>(mainWindow(), "exitmain")->trigger();
    frmlogon &logon = forms().frmlogon();
    while (measured.running()) {
        child<QComboBox>(logon, "namechoice")->setEditText(Employee);
        child<QPushButton>(logon, "Command1")->click();
        measured.pause();
        child<QAction>(mainWindow(), "exitmain")->trigger();
        measured.resume();
    }
}

void ClockIn(benchmark::State &state, Rig &rig, Measured &measured)
{
    if (!signedOn(state, Employee))
        return;
    while (measured.running()) {
        child<QPushButton>(mainWindow(), "clockin")->click();
        measured.pause();
        rig.world.trimTo(Events);
        measured.resume();
    }
}

void ClockOut(benchmark::State &state, Rig &rig, Measured &measured)
{
    if (!signedOn(state, Employee))
        return;
    while (measured.running()) {
        measured.pause();
        child<QPushButton>(mainWindow(), "clockin")->click();
        measured.resume();
        child<QPushButton>(mainWindow(), "clockout")->click();
        measured.pause();
        rig.world.trimTo(Events);
        measured.resume();
    }
}

void Update(benchmark::State &state, Rig &, Measured &measured)
{
    if (!signedOn(state, Employee))
        return;
    while (measured.running())
        click(child<ClickLabel>(mainWindow(), "Label11"));
}

// Takes back a clock-in, as after a mistaken one.
void DeleteLast(benchmark::State &state, Rig &, Measured &measured)
{
    if (!signedOn(state, Employee))
        return;
    while (measured.running()) {
        measured.pause();
        child<QPushButton>(mainWindow(), "clockin")->click();
        measured.resume();
        child<QAction>(mainWindow(), "dltlast")->trigger();
    }
}

void GridRead(benchmark::State &state, Rig &, Measured &measured)
{
    if (!managingAnn(state))
        return;
    frmmain &main = mainWindow();
    if (!child<QFrame>(main, "Picture3")->isHidden())
        click(child<ClickLabel>(main, "Label8"));
    while (measured.running()) {
        click(child<ClickLabel>(main, "Label8"));
        measured.pause();
        const bool read = !child<QFrame>(main, "Picture3")->isHidden() &&
                          child<QTableView>(main, "DBGrid1")->model()->rowCount() > 0;
        click(child<ClickLabel>(main, "Label8"));
        measured.resume();
        if (!read) {
            state.SkipWithError("the grid showed no events");
            break;
        }
    }
}

// Ann's first task retyped in the grid and committed with Enter, as the manager does.
void GridEdit(benchmark::State &state, Rig &, Measured &measured)
{
    if (!managingAnn(state))
        return;
    frmmain &main = mainWindow();
    if (child<QFrame>(main, "Picture3")->isHidden())
        click(child<ClickLabel>(main, "Label8"));
    QAbstractItemModel *model = child<QTableView>(main, "DBGrid1")->model();
    int task = -1;
    for (int column = 0; column < model->columnCount(); ++column) {
        if (model->headerData(column, Qt::Horizontal)
                .toString()
                .compare(QLatin1String("activity"), Qt::CaseInsensitive) == 0)
            task = column;
    }
    if (task < 0 || model->rowCount() == 0) {
        state.SkipWithError("the grid shows no task of Ann's");
        return;
    }
    const QModelIndex cell = model->index(0, task);
    bool other = false;
    while (measured.running()) {
        other = !other;
        const QString typed = other ? QStringLiteral("inventory") : QStringLiteral("assembly");
        child<QTableView>(main, "DBGrid1")->edit(cell);
        auto *editor =
            qobject_cast<QLineEdit *>(child<QTableView>(main, "DBGrid1")->indexWidget(cell));
        if (!editor) {
            state.SkipWithError("the grid opened no editor for the task");
            break;
        }
        editor->setText(typed);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(editor, &enter);
        // The delegate commits what Enter typed once the event loop runs.
        QCoreApplication::sendPostedEvents(
            child<QTableView>(main, "DBGrid1")->itemDelegateForIndex(cell), QEvent::MetaCall);
        measured.pause();
        const bool stored = model->data(cell, Qt::DisplayRole).toString() == typed;
        // The editor that closed goes, as it would once the event loop ran.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        measured.resume();
        if (!stored) {
            state.SkipWithError("the grid did not take the edit");
            break;
        }
    }
}

void HoursAndWages(benchmark::State &state, Rig &, Measured &measured)
{
    if (!managingAnn(state))
        return;
    while (measured.running())
        child<QPushButton>(mainWindow(), "Command1")->click();
    if (child<QLabel>(mainWindow(), "manehours")->text().isEmpty())
        state.SkipWithError("Get Hrs/$ showed no hours");
}

// One bare libpq round trip through the proxy, in a session of its own.
void Floor(benchmark::State &state, Rig &rig, Measured &measured)
{
    PGconn *conn = PQconnectdb(rig.world.programConnectionString().toUtf8().constData());
    int noDelay = 0;
    socklen_t length = sizeof noDelay;
    if (PQstatus(conn) != CONNECTION_OK) {
        state.SkipWithError(PQerrorMessage(conn));
    } else if (getsockopt(PQsocket(conn), IPPROTO_TCP, TCP_NODELAY, &noDelay, &length) != 0 ||
               !noDelay) {
        state.SkipWithError("libpq's socket to the proxy sends with Nagle's delay");
    } else {
        while (measured.running()) {
            PGresult *one = PQexec(conn, "SELECT 1");
            const bool answered = PQresultStatus(one) == PGRES_TUPLES_OK;
            PQclear(one);
            if (!answered) {
                state.SkipWithError(PQerrorMessage(conn));
                break;
            }
        }
    }
    PQfinish(conn);
}

using Action = void (*)(benchmark::State &, Rig &, Measured &);

struct Named
{
    const char *name;
    Action run;
};

// In the order of a day at the clock; the table below the results keeps it.
const Named Actions[] = {
    {"StartUp", &StartUp},   {"SignOn", &SignOn},     {"ClockIn", &ClockIn},
    {"ClockOut", &ClockOut}, {"Update", &Update},     {"DeleteLast", &DeleteLast},
    {"GridRead", &GridRead}, {"GridEdit", &GridEdit}, {"HoursAndWages", &HoursAndWages}};

std::string benchmarkName(const char *action, int delay)
{
    return std::string(action) + '/' + std::to_string(delay) + "ms";
}

void registerBenchmarks()
{
    for (const int delay : Delays) {
        const auto add = [delay](const char *name, Action run, int iterations) {
            benchmark::RegisterBenchmark(benchmarkName(name, delay).c_str(),
                                         [delay, run](benchmark::State &state) {
                                             Rig *rig = rigAt(state, delay);
                                             if (!rig)
                                                 return;
                                             Measured measured(state, *rig);
                                             run(state, *rig, measured);
                                             measured.finish();
                                         })
                ->Iterations(iterations)
                ->Unit(benchmark::kMillisecond);
        };
        add("Floor", &Floor, floorIterationsAt(delay));
        for (const Named &action : Actions)
            add(action.name, action.run, iterationsAt(delay));
    }
}

// Prints, after the usual table, each action's time and round trips at every delay, and how
// its time compares with its round trips at the floor's cost plus its time at no delay.
class TripsReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.error_occurred)
                continue;
            const auto trips = run.counters.find("trips");
            m_figures[run.run_name.function_name] = {
                run.GetAdjustedRealTime(), trips == run.counters.end() ? 0 : trips->second.value};
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\n%d events on the server through a proxy holding every chunk 0, 10 or 50 "
                    "ms each way;\nratio = time / (round trips x bare round trip + time at 0 "
                    "ms):\n",
                    Events);
        std::printf("  %-14s", "");
        for (const int delay : Delays)
            std::printf(" | %5s %9s %7s", "", (std::to_string(delay) + " ms").c_str(), "");
        std::printf("\n  %-14s", "action");
        for (int i = 0; i < int(std::size(Delays)); ++i)
            std::printf(" | %5s %9s %7s", "trips", "ms", "ratio");
        std::printf("\n");
        printRow("Floor", "bare SELECT 1", false);
        for (const Named &action : Actions)
            printRow(action.name, action.name, true);
    }

private:
    struct Figures
    {
        double time = 0;
        double trips = 0;
    };

    void printRow(const char *name, const char *shown, bool withRatio)
    {
        std::printf("  %-14s", shown);
        const auto atNoDelay = m_figures.find(benchmarkName(name, 0));
        for (const int delay : Delays) {
            const auto figures = m_figures.find(benchmarkName(name, delay));
            const auto floor = m_figures.find(benchmarkName("Floor", delay));
            if (figures == m_figures.end()) {
                std::printf(" | %5s %9s %7s", "-", "-", "-");
                continue;
            }
            std::printf(" | %5.1f %9.2f", figures->second.trips, figures->second.time);
            if (withRatio && floor != m_figures.end() && atNoDelay != m_figures.end())
                std::printf(" %6.2fx",
                            figures->second.time / (figures->second.trips * floor->second.time +
                                                    atNoDelay->second.time));
            else
                std::printf(" %7s", "-");
        }
        std::printf("\n");
    }

    std::map<std::string, Figures> m_figures;
};

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    setPrompts(std::make_unique<CountingPrompts>());
    if (benchServer().isEmpty()) {
        std::fprintf(stderr, "HORALINK_BENCH_SERVER names no server: no round trips to count\n");
        return 0;
    }
    registerBenchmarks();
    benchmark::Initialize(&argc, argv);
    TripsReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    theRig().reset();
    if (boxes().shown)
        std::printf("Boxes shown during the run: %d\n", boxes().shown);
    benchmark::Shutdown();
    return 0;
}
