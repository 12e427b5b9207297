#include "periodrows.h"

#include "payday/pairs.h"
#include "reports/decimal.h"
#include "reports/figures.h"

namespace horalink {

EmployeePeriod employeePeriod(const ListedEmployee &employee, QList<TimeLogRow> rows,
                              const Period &period, const QDateTime &now)
{
    EmployeePeriod out{employee.name, employee.wage, qint64(0), 0.0f, {}, {}, {}};
    const QList<LogPair> pairs = logPairs(rows, now);
    QList<std::optional<qint64>> minutesOnRow(rows.size());
    QList<ShiftMark> marks(rows.size(), ShiftMark::Whole);
    for (const LogPair &pair : pairs) {
        const auto share = shareOf(pair, rows, period);
        if (!pair.minutes || !share)
            continue;
        *out.minutes += share->minutes;
        out.programMinutes = addMinutes(out.programMinutes, share->minutes);
        const qsizetype row = pair.clockOut.value_or(pair.clockIn);
        minutesOnRow[row] = share->minutes;
        if (pair.openShift)
            marks[row] = ShiftMark::Open;
        else if (share->split)
            marks[row] = ShiftMark::Split;
    }
    // The period's rows come in stored order, so they close up to the front in place.
    qsizetype kept = 0;
    for (const qsizetype row : rowsOfPeriod(pairs, rows, period)) {
        if (row != kept) {
            rows[kept] = std::move(rows[row]);
            minutesOnRow[kept] = minutesOnRow[row];
            marks[kept] = marks[row];
        }
        ++kept;
    }
    rows.resize(kept);
    minutesOnRow.resize(kept);
    marks.resize(kept);
    out.events = std::move(rows);
    out.pairMinutes = std::move(minutesOnRow);
    out.marks = std::move(marks);
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
