#include "periodrows.h"

#include "payday/decimal.h"
#include "payday/pairs.h"
#include "reports/figures.h"

namespace horalink {

EmployeePeriod employeePeriod(const ListedEmployee &employee, const QList<TimeLogRow> &rows,
                              const Period &period, const QDateTime &now)
{
    EmployeePeriod out{employee.name, employee.wage, qint64(0), 0.0f, {}};
    const QList<LogPair> pairs = logPairs(rows, now);
    QHash<qsizetype, qint64> minutesOnRow;
    for (const LogPair &pair : pairs) {
        if (!pair.minutes || !countedIn(pair, rows, period))
            continue;
        *out.minutes += *pair.minutes;
        out.programMinutes = addMinutes(out.programMinutes, *pair.minutes);
        minutesOnRow.insert(pair.clockOut.value_or(pair.clockIn), *pair.minutes);
    }
    const QList<qsizetype> held = rowsOfPeriod(pairs, rows, period);
    out.events.reserve(held.size());
    for (const qsizetype row : held) {
        const auto minutes = minutesOnRow.constFind(row);
        out.events << PeriodEvent{rows[row].stamp, rows[row].status, rows[row].activity,
                                  minutes == minutesOnRow.cend() ? std::nullopt
                                                                 : std::optional(*minutes)};
    }
    return out;
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
    const auto shown =
        estimated ? Decimal::read(wagesText(*estimated), QLocale::c()) : std::nullopt;
    if (shown)
        out.programWages = shown->text(decimalMark);
    if (exact && shown)
        out.difference = (exact->forMinutes(minutes) - *shown).text(decimalMark);
    return out;
}

} // namespace horalink
