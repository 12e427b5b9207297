// Speed of the time clock against bare SQLite on the same log: the totals, a clock-in, a
// clock-out and a sign-on, on logs of 10,000 and 1,000,000 events, the clock-in and clock-out
// also against a bare durable append of one event with the stamps read back; a corrected stamp,
// with its entry in the change history, against a bare UPDATE of the same row; and, where
// HORALINK_BENCH_SERVER names a PostgreSQL database, the totals, a clock-in and a sign-on on
// the server against bare libpq reading the same stamps. Run with `make bench`.
#include "db/cursor.h"
#include "db/database.h"
#include "support/children.h"
#include "support/countingprompts.h"
#include "support/replacement.h"
#include "ui/forms.h"
#include "ui/frmlogon.h"
#include "ui/frmmain.h"
#include "ui/prompts.h"
#include "world.h"

#include <benchmark/benchmark.h>
#include <libpq-fe.h>
#include <map>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <sqlite3.h>

using namespace horalink;
using namespace horalink::bench;

namespace {

std::map<int, std::unique_ptr<World>> &worlds()
{
    static std::map<int, std::unique_ptr<World>> all;
    return all;
}

// One world at a time: the file's of this size, or the server's (a negative size).
World &world(int events)
{
    auto &all = worlds();
    if (!all.count(events)) {
        all.clear();
        all[events] = std::make_unique<World>(std::abs(events), events < 0);
    }
    return *all[events];
}

void Floor(benchmark::State &state)
{
    World &w = world(int(state.range(0)));
    sqlite3 *db = nullptr;
    sqlite3_open_v2(w.path().toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(db, "SELECT \"datetime\" FROM \"Ann\" ORDER BY rowid", -1, &stmt, nullptr);
    for (auto _ : state) {
        size_t bytes = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            benchmark::DoNotOptimize(sqlite3_column_text(stmt, 0));
            bytes += size_t(sqlite3_column_bytes(stmt, 0));
        }
        sqlite3_reset(stmt);
        benchmark::DoNotOptimize(bytes);
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
}

// The value a setting has on the program's own connection to the file.
QByteArray programSetting(const char *pragma)
{
    Statement setting(openDatabase(EmployeeMdb), QStringLiteral("PRAGMA ") + QLatin1String(pragma));
    return setting.step() ? setting.value(0).toString().toUtf8() : QByteArray();
}

// Whether the statement ran as a floor's must; the benchmark is skipped, told why, when not.
bool ran(benchmark::State &state, sqlite3 *db, const char *sql)
{
    const bool done = sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    if (!done)
        state.SkipWithError(sqlite3_errmsg(db));
    return done;
}

bool stepped(benchmark::State &state, sqlite3 *db, sqlite3_stmt *stmt, int expected)
{
    const int rc = sqlite3_step(stmt);
    if (rc != expected)
        state.SkipWithError(sqlite3_errmsg(db));
    sqlite3_reset(stmt);
    return rc == expected;
}

// Opens the world's file on a connection of its own that writes as durably as the program's:
// the same journal and the same waits for the disk.
sqlite3 *openAsTheProgramWrites(benchmark::State &state, World &w)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(w.path().toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) !=
        SQLITE_OK)
        state.SkipWithError(sqlite3_errmsg(db));
    for (const char *pragma : {"journal_mode", "synchronous"})
        ran(state, db,
            ("PRAGMA " + QByteArray(pragma) + " = " + programSetting(pragma)).constData());
    return db;
}

// The least a clock-in or a clock-out costs: in a transaction of its own that keeps other
// writers out, the last status read and one event appended, committed to the disk; then every
// stamp of the log read back, as the totals shown after it need.
void AppendFloor(benchmark::State &state)
{
    const auto events = state.range(0);
    World &w = world(int(events));
    sqlite3 *db = openAsTheProgramWrites(state, w);
    sqlite3_stmt *last = nullptr;
    sqlite3_stmt *append = nullptr;
    sqlite3_stmt *stamps = nullptr;
    sqlite3_prepare_v2(db, "SELECT \"inoutfx\" FROM \"main\".\"Ann\" ORDER BY rowid DESC LIMIT 1",
                       -1, &last, nullptr);
    sqlite3_prepare_v2(db,
                       "INSERT INTO \"main\".\"Ann\" (\"Ename\", \"datetime\", \"inoutfx\", "
                       "\"activity\") VALUES ('Ann', '2047-05-19 16:00:00', 'Clocked In', ' ')",
                       -1, &append, nullptr);
    sqlite3_prepare_v2(db, "SELECT \"datetime\" FROM \"main\".\"Ann\" ORDER BY rowid", -1, &stamps,
                       nullptr);
    for (auto _ : state) {
        if (!ran(state, db, "BEGIN IMMEDIATE") || !stepped(state, db, last, SQLITE_ROW) ||
            !stepped(state, db, append, SQLITE_DONE) || !ran(state, db, "COMMIT"))
            break;
        size_t bytes = 0;
        while (sqlite3_step(stamps) == SQLITE_ROW) {
            benchmark::DoNotOptimize(sqlite3_column_text(stamps, 0));
            bytes += size_t(sqlite3_column_bytes(stamps, 0));
        }
        sqlite3_reset(stamps);
        benchmark::DoNotOptimize(bytes);
        state.PauseTiming();
        w.trimTo(events);
        state.ResumeTiming();
    }
    for (sqlite3_stmt *stmt : {last, append, stamps})
        sqlite3_finalize(stmt);
    sqlite3_close(db);
}

void Totals(benchmark::State &state)
{
    World &w = world(int(state.range(0)));
    for (auto _ : state)
        w.main().fxngettotal();
}

void ClockIn(benchmark::State &state)
{
    const auto events = state.range(0);
    World &w = world(int(events));
    for (auto _ : state) {
        w.main().fxnclockin(QString());
        state.PauseTiming();
        w.trimTo(events);
        state.ResumeTiming();
    }
}

void ClockOut(benchmark::State &state)
{
    const auto events = state.range(0);
    World &w = world(int(events));
    for (auto _ : state) {
        state.PauseTiming();
        w.main().fxnclockin(QString());
        state.ResumeTiming();
        w.main().fxnclockout();
        state.PauseTiming();
        w.trimTo(events);
        state.ResumeTiming();
    }
}

void SignOn(benchmark::State &state)
{
    World &w = world(int(state.range(0)));
    frmlogon &logon = forms().frmlogon();
    for (auto _ : state) {
        child<QComboBox>(logon, "namechoice")->setEditText(Employee);
        child<QPushButton>(logon, "Command1")->click();
        state.PauseTiming();
        w.main().hide();
        state.ResumeTiming();
    }
}

// Bare libpq reading every stamp of the log through one prepared statement, in its own
// session on the same server.
void ServerFloor(benchmark::State &state)
{
    World &w = world(-int(state.range(0)));
    PGconn *conn = PQconnectdb(w.connectionString().toUtf8().constData());
    PQclear(
        PQprepare(conn, "stamps", "SELECT \"datetime\" FROM \"Ann\" ORDER BY rowid", 0, nullptr));
    for (auto _ : state) {
        PGresult *rows = PQexecPrepared(conn, "stamps", 0, nullptr, nullptr, nullptr, 0);
        size_t bytes = 0;
        for (int row = 0; row < PQntuples(rows); ++row) {
            benchmark::DoNotOptimize(PQgetvalue(rows, row, 0));
            bytes += size_t(PQgetlength(rows, row, 0));
        }
        PQclear(rows);
        benchmark::DoNotOptimize(bytes);
    }
    PQfinish(conn);
}

void ServerTotals(benchmark::State &state)
{
    World &w = world(-int(state.range(0)));
    for (auto _ : state)
        w.main().fxngettotal();
}

void ServerClockIn(benchmark::State &state)
{
    const auto events = state.range(0);
    World &w = world(-int(events));
    for (auto _ : state) {
        w.main().fxnclockin(QString());
        state.PauseTiming();
        w.trimTo(events);
        state.ResumeTiming();
    }
}

void ServerSignOn(benchmark::State &state)
{
    World &w = world(-int(state.range(0)));
    frmlogon &logon = forms().frmlogon();
    for (auto _ : state) {
        child<QComboBox>(logon, "namechoice")->setEditText(Employee);
        child<QPushButton>(logon, "Command1")->click();
        state.PauseTiming();
        w.main().hide();
        state.ResumeTiming();
    }
}

// The stamp of the log's last event corrected as the browser stores it, and back the next
// time, so that every round changes the row.
void CorrectStamp(benchmark::State &state)
{
    world(int(state.range(0)));
    Cursor cursor;
    cursor.setRecordSource(Employee);
    cursor.refresh();
    cursor.moveLast();
    bool early = false;
    for (auto _ : state) {
        early = !early;
        cursor.writeTyped(
            {{QStringLiteral("datetime"), early ? QStringLiteral("2047-05-19 16:00:00")
                                                : QStringLiteral("2047-05-19 16:01:00")}});
    }
}

// The least any correction costs: one UPDATE of the row in a transaction of its own, on a
// connection of its own.
void CorrectFloor(benchmark::State &state)
{
    World &w = world(int(state.range(0)));
    sqlite3 *db = nullptr;
    sqlite3_open_v2(w.path().toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_stmt *update = nullptr;
    sqlite3_prepare_v2(db,
                       "UPDATE \"main\".\"Ann\" SET \"datetime\" = ?1 WHERE rowid = "
                       "(SELECT max(rowid) FROM \"main\".\"Ann\")",
                       -1, &update, nullptr);
    bool early = false;
    for (auto _ : state) {
        early = !early;
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_bind_text(update, 1, early ? "2047-05-19 16:00:00" : "2047-05-19 16:01:00", -1,
                          SQLITE_STATIC);
        if (sqlite3_step(update) != SQLITE_DONE)
            state.SkipWithError(sqlite3_errmsg(db));
        sqlite3_reset(update);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    }
    sqlite3_finalize(update);
    sqlite3_close(db);
}

#define HORALINK_BENCH(name)                                                                       \
    BENCHMARK(name)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond)

HORALINK_BENCH(Floor);
HORALINK_BENCH(Totals);
HORALINK_BENCH(AppendFloor);
HORALINK_BENCH(ClockIn);
HORALINK_BENCH(ClockOut);
HORALINK_BENCH(SignOn);
BENCHMARK(CorrectFloor)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(CorrectStamp)->Arg(10000)->Unit(benchmark::kMillisecond);

void serverBenchmarks()
{
    if (benchServer().isEmpty())
        return;
    for (const auto &[name, run] : {std::pair{"ServerFloor", &ServerFloor},
                                    {"ServerTotals", &ServerTotals},
                                    {"ServerClockIn", &ServerClockIn},
                                    {"ServerSignOn", &ServerSignOn}})
        benchmark::RegisterBenchmark(name, run)->Arg(10000)->Unit(benchmark::kMillisecond);
}

// Prints, after the usual table, each measurement as a multiple of the floor of its log size.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs)
            m_times[run.benchmark_name()] = run.GetAdjustedRealTime();
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        if (const double bare = m_times["BareWindow/iterations:10"]; bare > 0)
            std::printf("\nStart-up with 1,000 employees: %.2fx a bare Qt window\n",
                        m_times["StartUp/iterations:10"] / bare);
        for (const char *size : {"10000", "1000000"}) {
            const double floor = m_times[std::string("Floor/") + size];
            if (floor <= 0)
                continue;
            std::printf(
                "\n%s events, as multiples of the floor (bare SQLite reading the stamps):\n", size);
            for (const char *name : {"Totals", "ClockIn", "ClockOut", "SignOn"})
                std::printf("  %-9s %6.2fx\n", name,
                            m_times[std::string(name) + "/" + size] / floor);
        }
        for (const char *size : {"10000", "1000000"}) {
            const double floor = m_times[std::string("AppendFloor/") + size];
            if (floor <= 0)
                continue;
            std::printf("\n%s events, as multiples of the fair floor (bare SQLite appending one "
                        "event as durably and reading the stamps back; goal 1.5x):\n",
                        size);
            for (const char *name : {"ClockIn", "ClockOut"})
                std::printf("  %-9s %6.2fx\n", name,
                            m_times[std::string(name) + "/" + size] / floor);
        }
        if (const double floor = m_times["CorrectFloor/10000"]; floor > 0)
            std::printf("\nA corrected stamp with its history entry, 10000 events: %.2fx a bare "
                        "UPDATE of the row\n",
                        m_times["CorrectStamp/10000"] / floor);
        if (const double floor = m_times["ServerFloor/10000"]; floor > 0) {
            std::printf("\n10000 events on the server, as multiples of the floor (bare libpq "
                        "reading the stamps):\n");
            for (const char *name : {"ServerTotals", "ServerClockIn", "ServerSignOn"})
                std::printf("  %-13s %6.2fx\n", name,
                            m_times[std::string(name) + "/10000"] / floor);
        }
        if (const double floor = m_times["PaydayFloor/iterations:3"]; floor > 0) {
            std::printf("\nPay day, 200 employees of 10,000 events, as multiples of the floor "
                        "(bare SQLite reading every log):\n");
            for (const char *name :
                 {"PaydayExport", "PaydayExportFortnight", "PaydayCheck", "PaydayCheckAgainst"}) {
                if (const double time = m_times[std::string(name) + "/iterations:3"]; time > 0)
                    std::printf("  %-21s %6.2fx\n", name, time / floor);
            }
        }
        QFile status(QStringLiteral("/proc/self/status"));
        if (status.open(QIODevice::ReadOnly)) {
            for (const QByteArray &line : status.readAll().split('\n')) {
                if (line.startsWith("VmHWM"))
                    std::printf("\nPeak memory: %s\n", line.mid(6).trimmed().constData());
            }
        }
    }

private:
    std::map<std::string, double> m_times;
};

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const Replacement counted(setPrompts, std::make_unique<CountingPrompts>());
    serverBenchmarks();
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    worlds().clear();
    if (counted->shown)
        std::printf("Boxes shown during the run: %d\n", counted->shown);
    benchmark::Shutdown();
    return 0;
}
