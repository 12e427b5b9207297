#include "periodrows.h"

#include "payday/pairs.h"
#include "reports/decimal.h"
#include "reports/figures.h"

namespace horalink {

namespace {

// What the period pays of each pair, on the row that carries it, with the shift's mark.
void payPairs(const QList<LogPair> &pairs, const QList<TimeLogRow> &rows, const Period &period,
              EmployeePeriod &out)
{
    out.pairMinutes.resize(rows.size());
    out.marks.fill(ShiftMark::Whole, rows.size());
    for (const LogPair &pair : pairs) {
        const auto share = shareOf(pair, rows, period);
        if (!pair.minutes || !share)
            continue;
        *out.minutes += share->minutes;
        out.programMinutes = addMinutes(out.programMinutes, share->minutes);
        const qsizetype row = pair.clockOut.value_or(pair.clockIn);
        out.pairMinutes[row] = share->minutes;
        if (pair.openShift)
            out.marks[row] = ShiftMark::Open;
        else if (share->split)
            out.marks[row] = ShiftMark::Split;
    }
}

// The period's rows come in stored order, so they close up to the front in place.
void keepRows(const QList<qsizetype> &kept, EmployeePeriod &out)
{
    qsizetype to = 0;
    for (const qsizetype row : kept) {
        if (row != to) {
            out.events[to] = std::move(out.events[row]);
            out.pairMinutes[to] = out.pairMinutes[row];
            out.marks[to] = out.marks[row];
        }
        ++to;
    }
    out.events.resize(to);
    out.pairMinutes.resize(to);
    out.marks.resize(to);
}

} // namespace

EmployeePeriod employeePeriod(const ListedEmployee &employee, QList<TimeLogRow> rows,
                              const Period &period, const QDateTime &now)
{
    EmployeePeriod out{employee.name, employee.wage, qint64(0), 0.0f, {}, {}, {}};
    const QList<LogPair> pairs = logPairs(rows, now);
    payPairs(pairs, rows, period, out);
    const QList<qsizetype> kept = rowsOfPeriod(pairs, rows, period);
    out.events = std::move(rows);
    keepRows(kept, out);
    return out;
}

EmployeePeriod withoutTimeLog(const ListedEmployee &employee)
{
    return {employee.name, employee.wage, std::nullopt, 0.0f, {}, {}, {}};
}

SummaryFigures summaryFigures(const EmployeePeriod &employee, QChar decimalMark)
{
    SummaryFigures out;
    if (!employee.minutes)
        return out;
    const qint64 minutes = *employee.minutes;
    out.minutes = QString::number(minutes);
    out.hours = Decimal(1).forMinutes(minutes).text(decimalMark);
    const QString hours = hoursText(employee.programMinutes);
    out.programHours = hours.trimmed().replace(QLatin1Char('.'), decimalMark);

    const QString wage = employee.wage.toString();
    const auto exact = Decimal::read(wage);
    if (exact)
        out.exactWages = exact->forMinutes(minutes).text(decimalMark);
    const auto estimated = estimatedWages(wage, hours);
    const auto shown = estimated ? Decimal::read(wagesText(*estimated)) : std::nullopt;
    if (shown)
        out.programWages = shown->text(decimalMark);
    if (exact && shown)
        out.difference = (exact->forMinutes(minutes) - *shown).text(decimalMark);
    return out;
}

QStringList summaryTitles()
{
    return {QStringLiteral("Name"),        QStringLiteral("Wage"),
            QStringLiteral("Minutes"),     QStringLiteral("Hours"),
            QStringLiteral("Exact Wages"), QStringLiteral("Tot. Hours"),
            QStringLiteral("Est. Wages"),  QStringLiteral("Difference")};
}

QStringList summaryFields(const EmployeePeriod &employee, QChar decimalMark)
{
    const SummaryFigures figures = summaryFigures(employee, decimalMark);
    return {employee.name,      employee.wage.toString(), figures.minutes,      figures.hours,
            figures.exactWages, figures.programHours,     figures.programWages, figures.difference};
}

} // namespace horalink
