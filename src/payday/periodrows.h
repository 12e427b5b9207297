#pragma once

#include "db/roster.h"
#include "db/timelogrows.h"
#include "payday/period.h"

#include <optional>
#include <QList>
#include <QString>
#include <QStringList>

namespace horalink {

// What an event's row of the export says about the shift whose minutes it carries.
enum class ShiftMark
{
    Whole,
    // Part of the shift's minutes fall in another period, which pays them.
    Split,
    // Still clocked in: counted up to now, or up to the period's end when that came first.
    Open,
};

// One employee's period as the export writes it.
struct EmployeePeriod
{
    QString name;
    QVariant wage;
    // The minutes the period pays of its pairs (see shareOf), each counted as the totals
    // count them. Nothing for an employee listed without a time log: none of his or her hours
    // are known.
    std::optional<qint64> minutes;
    // The same minutes added up in single precision, pair by pair, as the totals add them.
    float programMinutes = 0.0f;
    // The period's events in stored order, for events.csv, and beside each the minutes the
    // period pays of the pair it closes (on the clock-in of a shift still open) with the
    // shift's mark.
    QList<TimeLogRow> events;
    QList<std::optional<qint64>> pairMinutes;
    QList<ShiftMark> marks;
};

// The rows are taken over: the period's events are kept in their place.
EmployeePeriod employeePeriod(const ListedEmployee &employee, QList<TimeLogRow> rows,
                              const Period &period, const QDateTime &now);
// An employee listed without a time log.
EmployeePeriod withoutTimeLog(const ListedEmployee &employee);

// The figures of a summary row as texts, decimals written with the mark given; a figure that
// cannot be had (a wage that is no number, a missing time log) is empty.
struct SummaryFigures
{
    QString minutes;
    // Decimal hours to two places, half to even.
    QString hours;
    // Minutes × wage / 60 to the cent, half to even, figured in decimal.
    QString exactWages;
    // What the program shows for the same minutes: "Tot. Hours" and "Est. Wages".
    QString programHours;
    QString programWages;
    // The exact wages less the program's.
    QString difference;
};

SummaryFigures summaryFigures(const EmployeePeriod &employee, QChar decimalMark);

// The titles of summary.csv's columns, and one employee's row under them: whatever shows the
// period's figures takes them from here, so that they are the figures the export writes.
QStringList summaryTitles();
QStringList summaryFields(const EmployeePeriod &employee, QChar decimalMark);

} // namespace horalink
