#pragma once

#include "db/history.h"
#include "payday/digest.h"

#include <vector>

namespace horalink {

class Connection;

// What became of an employee's exported events.
enum class SinceExport
{
    Unchanged,
    // Every difference is one the history tells, or an event clocked after the export.
    ChangedInHoralink,
    // The events differ in a way the history does not tell: changed by another program, or
    // its entries removed.
    ChangedOutside,
};

// The state in words: "unchanged since the export" and the like.
QString sinceExportText(SinceExport state);

struct EmployeeSinceExport
{
    QString employee;
    SinceExport state = SinceExport::Unchanged;
    // The history's changes of the employee's log since the export, in the order made.
    std::vector<HistoryEntry> changes;
};

struct ExportComparison
{
    // Why the folder could not be compared, in words for the user; empty when it was.
    QString failure;
    ExportRecord record;
    // Whether the history still holds the export's own entry.
    bool inHistory = false;
    // In the order of the export.
    std::vector<EmployeeSinceExport> employees;
};

// Compares the events of the period an earlier export wrote into the folder with the record
// as it stands, employee by employee, from the export's digests. Reads the database and never
// changes it; a failure of the database is thrown as a DbError.
ExportComparison compareWithExport(Connection &connection, const QString &folder);

} // namespace horalink
