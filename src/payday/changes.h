#pragma once

#include "db/history.h"
#include "payday/findings.h"
#include "payday/period.h"

#include <QStringList>
#include <vector>

namespace horalink {

class Connection;
class CsvWriter;

inline const QString ChangesCsv = QStringLiteral("changes.csv");

// The changes of the record that concern a period, in the order they were made: those made
// within it, and those of an event stamped in it before or after the change, however long
// after the period it was changed.
std::vector<HistoryEntry> periodChanges(Connection &connection, const Period &period);

// A finding for each change that corrected or removed an event of the employee's log stamped
// in the period, before or after the change: who changed it, when, and what it held. The
// changes are those of the log alone, in the order they were made; when they were made is
// written in the form given.
QList<Finding> changeFindings(const QString &employee, const std::vector<HistoryEntry> &changes,
                              const Period &period, const StampText &stampText = storedStamp);

// A change as texts, in the order of the columns of changes.csv: when (local, then UTC),
// who, the system account, the table, the row, the kind, and the row's fields before and
// after as JSON objects.
QStringList changeFields(const HistoryEntry &change);
void writeChangesHeader(CsvWriter &changes);
void writeChange(CsvWriter &changes, const HistoryEntry &change);
// A change on one line, its fields parted by tabs.
QString changeLine(const HistoryEntry &change);

// The employee whose log or list row the change concerns; empty for a switch, the company's
// name or an export.
QString changedEmployee(const HistoryEntry &change);

// A change as a window lists it, in the order of ChangeTitles: when and every stamp of the
// row in the form given, who with the system account, whose log, the kind, and the row's
// fields before and after as "field: value" pairs. An export tells its folder instead of its
// digests.
extern const QStringList ChangeTitles;
QStringList shownChange(const HistoryEntry &change, const StampText &stampText);

} // namespace horalink
