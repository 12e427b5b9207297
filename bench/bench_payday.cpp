// Pay day in a shop of 200 employees with 10,000 events each: the export, the check and the
// check against an earlier export, against a bare read of every log by SQLite alone.
#include "db/database.h"
#include "db/sqlite.h"
#include "payday/check.h"
#include "payday/export.h"
#include "payday/exportcheck.h"
#include "shop.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

using namespace horalink;

namespace {

constexpr int Employees = 200;
constexpr int Events = 10000;

struct Shop
{
    std::unique_ptr<QTemporaryDir> folder = shopFolder(Employees, Events);
    std::unique_ptr<SqliteConnection> file =
        SqliteConnection::openExisting(folder->filePath(EmployeeMdb));
    QTemporaryDir out;
};

Shop &shop()
{
    static Shop shop;
    return shop;
}

// The whole history, every event in it, up to a `now` after the last.
const Period Everything{QDateTime(QDate(2019, 1, 1), QTime(0, 0), Qt::UTC),
                        QDateTime(QDate(2040, 1, 1), QTime(0, 0), Qt::UTC)};
const Period Fortnight{QDateTime(QDate(2026, 3, 2), QTime(0, 0), Qt::UTC),
                       QDateTime(QDate(2026, 3, 16), QTime(0, 0), Qt::UTC)};
const QDateTime Now(QDate(2040, 1, 1), QTime(0, 0), Qt::UTC);

// What the export and the check read of every log: the list, then each log's stamps,
// statuses and tasks in stored order.
void PaydayFloor(benchmark::State &state)
{
    sqlite3 *db = shop().file->handle();
    std::vector<sqlite3_stmt *> logs;
    for (int e = 0; e < Employees; ++e) {
        const QByteArray sql = "SELECT \"datetime\", \"inoutfx\", \"activity\" FROM \"Employee " +
                               QByteArray::number(e).rightJustified(4, '0') + "\" ORDER BY rowid";
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(db, sql.constData(), -1, &stmt, nullptr);
        logs.push_back(stmt);
    }
    for (auto _ : state) {
        size_t bytes = 0;
        for (sqlite3_stmt *stmt : logs) {
            while (sqlite3_step(stmt) == SQLITE_ROW) {
                for (int column = 0; column < 3; ++column) {
                    benchmark::DoNotOptimize(sqlite3_column_text(stmt, column));
                    bytes += size_t(sqlite3_column_bytes(stmt, column));
                }
            }
            sqlite3_reset(stmt);
        }
        benchmark::DoNotOptimize(bytes);
    }
    for (sqlite3_stmt *stmt : logs)
        sqlite3_finalize(stmt);
}

void exportOf(benchmark::State &state, const Period &period)
{
    for (auto _ : state) {
        // Each run replaces the export of the run before.
        const WriteOutcome outcome =
            exportPeriod(*shop().file, period, Now, shop().out.path(), QLocale::c(), {},
                         NewFile::Existing::RegularFileReplaced);
        if (outcome.result != WriteOutcome::Result::Written)
            state.SkipWithError("the export failed");
    }
}

void PaydayExport(benchmark::State &state)
{
    exportOf(state, Everything);
}

void PaydayExportFortnight(benchmark::State &state)
{
    exportOf(state, Fortnight);
}

void PaydayCheck(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(checkPeriod(*shop().file, Everything, Now));
}

// Against an export of every event, made once before.
void PaydayCheckAgainst(benchmark::State &state)
{
    QTemporaryDir exported;
    if (exportPeriod(*shop().file, Everything, Now, exported.path(), QLocale::c()).result !=
        WriteOutcome::Result::Written) {
        state.SkipWithError("the export failed");
        return;
    }
    for (auto _ : state) {
        const ExportComparison compared = compareWithExport(*shop().file, exported.path());
        if (!compared.failure.isEmpty() || compared.employees.size() < std::size_t(Employees))
            state.SkipWithError("the check against the export failed");
    }
}

} // namespace

BENCHMARK(PaydayFloor)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(PaydayExport)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(PaydayExportFortnight)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(PaydayCheck)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(PaydayCheckAgainst)->Unit(benchmark::kMillisecond)->Iterations(3);
