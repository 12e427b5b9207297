#include "export.h"

#include "db/employees.h"
#include "payday/csv.h"
#include "payday/periodrows.h"
#include "payday/roster.h"

#include <QDir>
#include <QSaveFile>

namespace horalink {

namespace {

void writeSummaryHeader(CsvWriter &summary)
{
    for (const char *title : {"Name", "Wage", "Minutes", "Hours", "Exact Wages", "Tot. Hours",
                              "Est. Wages", "Difference"})
        summary.field(QString::fromLatin1(title));
    summary.endLine();
}

void writeSummaryRow(CsvWriter &summary, const EmployeePeriod &employee)
{
    const SummaryFigures figures = summaryFigures(employee, summary.format().decimalMark);
    summary.field(employee.name).field(employee.wage.toString());
    for (const QString &figure : {figures.minutes, figures.hours, figures.exactWages,
                                  figures.programHours, figures.programWages, figures.difference})
        summary.field(figure);
    summary.endLine();
}

void writeEventsHeader(CsvWriter &events)
{
    for (const char *title : {"Name", "Date and Time", "Status", "Activity", "Minutes"})
        events.field(QString::fromLatin1(title));
    events.endLine();
}

QString isoText(const QDateTime &stamp)
{
    return stamp.isValid() ? stamp.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss")) : QString();
}

void writeEvents(CsvWriter &events, const EmployeePeriod &employee)
{
    const QByteArray name = events.encoded(employee.name);
    for (const PeriodEvent &event : employee.events) {
        events.encodedField(name)
            .field(isoText(event.stamp))
            .field(event.status.toString())
            .field(event.activity.toString())
            .field(event.pairMinutes ? QString::number(*event.pairMinutes) : QString());
        events.endLine();
    }
}

WriteOutcome failed(const QSaveFile &file)
{
    return {WriteOutcome::Result::Failed,
            {},
            QStringLiteral("Could not write %1: %2")
                .arg(QDir::toNativeSeparators(file.fileName()), file.errorString())};
}

EmployeePeriod periodOf(Connection &connection, const ListedEmployee &employee,
                        const Period &period, const QDateTime &now)
{
    if (!hasTimeLog(connection, employee.name))
        return {employee.name, employee.wage, std::nullopt, 0.0f, {}};
    return employeePeriod(employee, readTimeLogRows(connection, employee.name), period, now);
}

} // namespace

WriteOutcome exportPeriod(Connection &connection, const Period &period, const QDateTime &now,
                          const QString &folder, const QLocale &locale, const Progress &progress)
{
    // Nothing in the folder changes before every file is complete: unfinished files are
    // discarded with their QSaveFile.
    QSaveFile summaryFile(QDir(folder).filePath(SummaryCsv));
    QSaveFile eventsFile(QDir(folder).filePath(EventsCsv));
    for (QSaveFile *file : {&summaryFile, &eventsFile}) {
        if (!file->open(QIODevice::WriteOnly))
            return failed(*file);
    }
    const CsvFormat format = CsvFormat::of(locale);
    CsvWriter summary(summaryFile, format);
    CsvWriter events(eventsFile, format);
    writeSummaryHeader(summary);
    writeEventsHeader(events);

    const QList<ListedEmployee> employees = listedEmployees(connection);
    for (qsizetype done = 0; done < employees.size(); ++done) {
        const EmployeePeriod employee = periodOf(connection, employees[done], period, now);
        writeSummaryRow(summary, employee);
        writeEvents(events, employee);
        if (progress && !progress(int(done + 1), int(employees.size()), employee.name))
            return {WriteOutcome::Result::Cancelled, {}, {}};
    }
    summary.flush();
    events.flush();
    for (QSaveFile *file : {&eventsFile, &summaryFile}) {
        if (!file->commit())
            return failed(*file);
    }
    return {WriteOutcome::Result::Written, {summaryFile.fileName(), eventsFile.fileName()}, {}};
}

} // namespace horalink
