#include "export.h"

#include "db/connection.h"
#include "db/datetimetext.h"
#include "db/employees.h"
#include "db/roster.h"
#include "payday/changes.h"
#include "payday/csv.h"
#include "payday/digest.h"
#include "payday/periodrows.h"

#include <optional>
#include <QDir>
#include <QJsonDocument>

namespace horalink {

namespace {

void writeLine(CsvWriter &csv, const QStringList &fields)
{
    for (const QString &field : fields)
        csv.field(field);
    csv.endLine();
}

void writeEventsHeader(CsvWriter &events)
{
    for (const char *title : {"Name", "Date and Time", "Status", "Activity", "Minutes", "Shift"})
        events.field(QString::fromLatin1(title));
    events.endLine();
}

// 'YYYY-MM-DDTHH:MM:SS' into `out`, which holds 19 characters. Stamps are held as UTC with
// years of four digits; the date is worked out from the days since the epoch, since an export
// writes one for every event.
QByteArrayView isoText(const QDateTime &stamp, char *out)
{
    if (!stamp.isValid())
        return {};
    const qint64 seconds = stamp.toSecsSinceEpoch();
    const qint64 days = seconds / 86400 - (seconds % 86400 < 0);
    const qint64 time = seconds - days * 86400;
    const CivilDate date = civilDate(days);
    const auto put = [out](int at, int value, int digits) {
        for (int i = at + digits - 1; i >= at; --i, value /= 10)
            out[i] = char('0' + value % 10);
    };
    put(0, date.year, 4);
    put(5, date.month, 2);
    put(8, date.day, 2);
    put(11, int(time / 3600), 2);
    put(14, int(time / 60 % 60), 2);
    put(17, int(time % 60), 2);
    out[4] = out[7] = '-';
    out[10] = 'T';
    out[13] = out[16] = ':';
    return QByteArrayView(out, 19);
}

QByteArrayView markText(ShiftMark mark)
{
    switch (mark) {
    case ShiftMark::Whole:
        break;
    case ShiftMark::Split:
        return "split";
    case ShiftMark::Open:
        return "open";
    }
    return {};
}

void writeEvents(CsvWriter &events, const EmployeePeriod &employee)
{
    const QByteArray name = events.encoded(employee.name);
    char iso[19];
    for (qsizetype at = 0; at < employee.events.size(); ++at) {
        const TimeLogRow &event = employee.events[at];
        events.encodedField(name)
            .encodedField(isoText(event.stamp, iso))
            .field(event.status.toString())
            .field(event.activity.toString());
        const std::optional<qint64> &minutes = employee.pairMinutes[at];
        events.encodedField(minutes ? QByteArray::number(*minutes) : QByteArray());
        events.encodedField(markText(employee.marks[at]));
        events.endLine();
    }
}

WriteOutcome failed(const QString &why)
{
    return {WriteOutcome::Result::Failed, {}, why};
}

// Writes the employee's rows and tells what they were, for the digests.
ExportedEmployee writeEmployee(Connection &connection, const ListedEmployee &listed,
                               const Period &period, const QDateTime &now, CsvWriter &summary,
                               CsvWriter &events)
{
    const bool logged = hasTimeLog(connection, listed.name);
    // Taken before the rows are read: a row a clock adds meanwhile comes after it.
    const qint64 lastRow = logged ? lastRowId(connection, listed.name) : 0;
    const EmployeePeriod employee =
        logged ? employeePeriod(listed, readTimeLogRows(connection, listed.name), period, now)
               : withoutTimeLog(listed);
    writeLine(summary, summaryFields(employee, summary.format().decimalMark));
    writeEvents(events, employee);
    return {employee.name,
            lastRow,
            eventsDigest(employee),
            figuresDigest(employee),
            logged ? storedLogDigest(connection, listed.name, lastRow) : QString(),
            employee.marks.contains(ShiftMark::Open)};
}

// The files of an export, each written as a NewFile, the tables through their writers.
struct ExportFiles
{
    ExportFiles(const QString &folder, NewFile::Existing existing, const CsvFormat &format)
        : summaryFile(QDir(folder).filePath(SummaryCsv), existing),
          eventsFile(QDir(folder).filePath(EventsCsv), existing),
          changesFile(QDir(folder).filePath(ChangesCsv), existing),
          digests(QDir(folder).filePath(DigestsFile), existing), summary(summaryFile, format),
          events(eventsFile, format), changes(changesFile, format)
    {}

    // Why a file would not open, or nothing.
    std::optional<QString> open()
    {
        for (NewFile *file : {&summaryFile, &eventsFile, &changesFile, &digests}) {
            if (!file->open(QIODevice::WriteOnly))
                return file->errorString();
        }
        return std::nullopt;
    }

    // Every file is whole on the disk before any takes its name; why one is not, or nothing.
    std::optional<QString> finish()
    {
        for (auto [writer, file] : {std::pair{&summary, &summaryFile},
                                    {&events, &eventsFile},
                                    {&changes, &changesFile}}) {
            if (!writer->flush() || !file->finish())
                return file->errorString();
        }
        if (!digests.finish())
            return digests.errorString();
        return std::nullopt;
    }

    NewFile summaryFile;
    NewFile eventsFile;
    NewFile changesFile;
    NewFile digests;
    CsvWriter summary;
    CsvWriter events;
    CsvWriter changes;
};

void writeChanges(CsvWriter &changes, const std::vector<HistoryEntry> &entries)
{
    writeChangesHeader(changes);
    for (const HistoryEntry &change : entries)
        writeChange(changes, change);
}

// The summary's and the events' rows, employee by employee in list order, each recorded for
// the digests; false when the user cancelled.
bool writeEmployees(Connection &connection, ExportRecord &record, const Progress &progress,
                    CsvWriter &summary, CsvWriter &events)
{
    writeLine(summary, summaryTitles());
    writeEventsHeader(events);
    const QList<ListedEmployee> employees = listedEmployees(connection);
    for (qsizetype done = 0; done < employees.size(); ++done) {
        record.employees << writeEmployee(connection, employees[done], record.period,
                                          record.exported, summary, events);
        if (progress && !progress(int(done + 1), int(employees.size()), employees[done].name))
            return false;
    }
    return true;
}

// The files take their names within the transaction that records the export, so that the
// history names no export whose files were not written.
WriteOutcome commitRecorded(Connection &connection, const QString &folder,
                            const ExportRecord &record, const QList<NewFile *> &files)
{
    std::optional<Transaction> recorded;
    try {
        recorded.emplace(connection);
        recordChange(connection, ChangeKind::Exported, QDir(folder).absolutePath(), std::nullopt,
                     {}, recordJson(record));
    } catch (const DbError &error) {
        if (!refusedAsReadOnly(error))
            throw;
        return failed(QStringLiteral("Nothing was exported: ") + connection.location() +
                      QStringLiteral(" may only be read, and an export is kept in its change "
                                     "history (") +
                      error.description() + QStringLiteral(")."));
    }
    QStringList names;
    for (NewFile *file : files) {
        if (!file->commit())
            return failed(file->errorString());
        names.prepend(file->fileName());
    }
    recorded->commit();
    return {WriteOutcome::Result::Written, names, {}};
}

} // namespace

QStringList earlierExport(const QString &folder)
{
    QStringList found;
    for (const QString &name : {SummaryCsv, EventsCsv}) {
        if (entryAt(QDir(folder).filePath(name)) == Entry::RegularFile)
            found << name;
    }
    return found;
}

WriteOutcome exportPeriod(Connection &connection, const Period &period, const QDateTime &now,
                          const QString &folder, const QLocale &locale, const Progress &progress,
                          NewFile::Existing existing)
{
    if (!QDir().mkpath(folder))
        return failed(QStringLiteral("Could not make the folder ") +
                      QDir::toNativeSeparators(folder) + QLatin1Char('.'));
    // Nothing in the folder changes before every file is complete: unfinished files are
    // discarded with their NewFile.
    ExportFiles files(folder, existing, CsvFormat::of(locale));
    if (const auto failure = files.open())
        return failed(*failure);
    writeChanges(files.changes, periodChanges(connection, period));
    ExportRecord record{period, now, {}};
    if (!writeEmployees(connection, record, progress, files.summary, files.events))
        return {WriteOutcome::Result::Cancelled, {}, {}};
    files.digests.write(QJsonDocument(recordJson(record)).toJson());
    if (const auto failure = files.finish())
        return failed(*failure);
    return commitRecorded(
        connection, folder, record,
        {&files.digests, &files.changesFile, &files.eventsFile, &files.summaryFile});
}

} // namespace horalink
