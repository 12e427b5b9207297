// horalink-tool: the pay-day export, the exceptions check and the backup, without windows,
// on Employee.mdb in the current folder or the server HORALINK_DATABASE names; and the moves
// of a whole employee database between the file and a server.
#include "clock/clock.h"
#include "db/database.h"
#include "db/datetimetext.h"
#include "db/postgres.h"
#include "db/sqlite.h"
#include "db/transfer.h"
#include "payday/backup.h"
#include "payday/changes.h"
#include "payday/check.h"
#include "payday/export.h"
#include "payday/exportcheck.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

using namespace horalink;

namespace {

// Exit statuses, as grep has them: cron mails a run that ends in anything but 0.
constexpr int Done = 0;
constexpr int ExceptionsFound = 1;
constexpr int Trouble = 2;

const char *const Usage = R"(Usage:
  horalink-tool export --from DATE --to DATE --out FOLDER [--replace]
  horalink-tool check --from DATE --to DATE
  horalink-tool check --against FOLDER
  horalink-tool history --from DATE --to DATE
  horalink-tool backup FOLDER
  horalink-tool init URL
  horalink-tool migrate Employee.mdb URL
  horalink-tool dump URL Employee.mdb

export, check, history and backup work on Employee.mdb in the current folder, or on the
database that the environment variable HORALINK_DATABASE names; they only read,
but for export, which keeps its digests in the change history.
  export   writes summary.csv, events.csv, changes.csv and digests.json of the
           period into FOLDER, made if need be; with --replace, the files of an
           earlier export there are replaced, which otherwise stops the export
  check    prints one line per exception in the period: the employee, the
           event's date and time, and what is wrong, parted by tabs
           With --against, compares the events the export in FOLDER wrote with
           the record as it stands: one line per employee, unchanged, changed
           in Horalink or changed outside Horalink, and under it each change
           the history tells since the export, as history prints it
  history  prints one line per change of the record that concerns the period:
           when (local, then UTC), who, the system account, the table, the
           row, the change, and the row before and after, parted by tabs
  backup   copies the data to "Employee <yyyy-MM-dd HHmmss>.mdb" in FOLDER
  init     creates the tables of a fresh employee database in the empty
           database URL: Manager without a password, and no company yet
  migrate  copies the file whole into the empty database URL, in one step
  dump     writes the database URL, as it stands at one moment, into a new file

URL is a libpq connection string, such as postgresql://clock@server/horalink
or service=horalink. Apart from an earlier export with --replace, an existing
file is never replaced, and a file is never written through a link.

The period runs from --from up to, not including, --to; a date without a time
means the start of that day. Dates are written in the system's short date form
or as YYYY-MM-DD, either with a time of day if wanted.

Exit status: 0 done (check: no exceptions, or nothing changed since the
export), 1 check found exceptions or changes, 2 bad usage or failure.
)";

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

int badUsage(const QString &why)
{
    err() << "horalink-tool: " << why << "\n\n" << Usage;
    return Trouble;
}

int failure(const QString &why)
{
    err() << "horalink-tool: " << why << Qt::endl;
    return Trouble;
}

int written(const WriteOutcome &outcome)
{
    if (outcome.result != WriteOutcome::Result::Written)
        return failure(outcome.failure);
    for (const QString &file : outcome.files)
        out() << QDir::toNativeSeparators(file) << '\n';
    return Done;
}

struct Command
{
    QString name;
    std::optional<Period> period;
    QString folder;
    bool replace = false;
    // check --against: the folder is an earlier export's.
    bool against = false;
};

// Reads --from and --to; nothing, with the reason told, when they do not make a period.
std::optional<Period> periodOf(const QCommandLineParser &parser)
{
    Period period;
    for (const auto &[option, stamp] : {std::pair{"from", &period.from}, {"to", &period.to}}) {
        const QString text = parser.value(QString::fromLatin1(option));
        const auto read = readDateTime(text);
        if (!read) {
            badUsage(QStringLiteral("--%1 \"%2\" is not a date.").arg(QLatin1String(option), text));
            return std::nullopt;
        }
        *stamp = *read;
    }
    if (!period.holdsAMinute()) {
        badUsage(QStringLiteral("the period from --from to --to holds no minute."));
        return std::nullopt;
    }
    return period;
}

// The moves of a whole database between the file and a server; a line tells what was done.
int move(const QStringList &words)
{
    const QString &name = words[0];
    if (name == QLatin1String("init")) {
        const auto server = PgConnection::open(words[1]);
        initServerDatabase(*server);
        out() << "Created a fresh employee database in " << server->location() << '\n';
    } else if (name == QLatin1String("migrate")) {
        const auto file = SqliteConnection::openExisting(words[1]);
        const auto server = PgConnection::open(words[2]);
        copyFileToServer(*file, *server);
        out() << "Copied " << QDir::toNativeSeparators(words[1]) << " into " << server->location()
              << '\n';
    } else {
        const auto server = PgConnection::open(words[1]);
        copyServerToFile(*server, words[2]);
        out() << "Wrote " << server->location() << " into " << QDir::toNativeSeparators(words[2])
              << '\n';
    }
    return Done;
}

int exportInto(Connection &file, const Command &command, const QDateTime &now)
{
    const QStringList earlier = earlierExport(command.folder);
    if (!command.replace && !earlier.isEmpty())
        return failure(QDir::toNativeSeparators(command.folder) + QStringLiteral(" holds ") +
                       earlier.join(QStringLiteral(" and ")) +
                       QStringLiteral(" of an earlier export; --replace replaces them."));
    return written(exportPeriod(file, *command.period, now, command.folder, QLocale(), {},
                                command.replace ? NewFile::Existing::RegularFileReplaced
                                                : NewFile::Existing::Refused));
}

QString sinceText(SinceExport state)
{
    switch (state) {
    case SinceExport::Unchanged:
        return QStringLiteral("unchanged since the export");
    case SinceExport::ChangedInHoralink:
        return QStringLiteral("changed in Horalink since the export");
    case SinceExport::ChangedOutside:
        return QStringLiteral("changed outside Horalink");
    }
    return {};
}

int checkAgainst(Connection &file, const QString &folder)
{
    const ExportComparison compared = compareWithExport(file, folder);
    if (!compared.failure.isEmpty())
        return failure(compared.failure);
    bool changed = !compared.inHistory;
    if (!compared.inHistory)
        out() << "The change history holds no entry of this export.\n";
    for (const EmployeeSinceExport &employee : compared.employees) {
        out() << oneLine(employee.employee) << '\t' << sinceText(employee.state) << '\n';
        for (const HistoryEntry &change : employee.changes)
            out() << '\t' << changeLine(change) << '\n';
        changed = changed || employee.state != SinceExport::Unchanged;
    }
    return changed ? ExceptionsFound : Done;
}

int run(Connection &file, const Command &command)
{
    file.setAuthor(QStringLiteral("horalink-tool"));
    const QDateTime now = horalink::clock().now();
    if (command.name == QLatin1String("backup"))
        return written(backupDatabase(file, command.folder, now));
    if (command.name == QLatin1String("export"))
        return exportInto(file, command, now);
    if (command.against)
        return checkAgainst(file, command.folder);
    if (command.name == QLatin1String("history")) {
        for (const HistoryEntry &change : periodChanges(file, *command.period))
            out() << changeLine(change) << '\n';
        return Done;
    }
    const CheckOutcome checked = checkPeriod(file, *command.period, now);
    for (const Finding &finding : checked.findings)
        out() << findingLine(finding) << '\n';
    if (checked.findings.isEmpty())
        out() << NoExceptions << '\n';
    return checked.findings.isEmpty() ? Done : ExceptionsFound;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOptions({{QStringLiteral("from"), QString(), QStringLiteral("DATE")},
                       {QStringLiteral("to"), QString(), QStringLiteral("DATE")},
                       {QStringLiteral("out"), QString(), QStringLiteral("FOLDER")},
                       {QStringLiteral("replace"), QString()},
                       {QStringLiteral("against"), QString(), QStringLiteral("FOLDER")},
                       {{QStringLiteral("h"), QStringLiteral("help")}, QString()}});
    if (!parser.parse(QCoreApplication::arguments()))
        return badUsage(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        out() << Usage;
        return Done;
    }

    const QStringList words = parser.positionalArguments();
    const QString name = words.value(0);
    const bool against = parser.isSet(QStringLiteral("against"));
    const bool dated = name == QLatin1String("export") ||
                       (name == QLatin1String("check") && !against) ||
                       name == QLatin1String("history");
    const bool wantsOut = name == QLatin1String("export");
    const bool moving = name == QLatin1String("init") || name == QLatin1String("migrate") ||
                        name == QLatin1String("dump");
    if (!dated && !moving && name != QLatin1String("backup") && name != QLatin1String("check"))
        return badUsage(name.isEmpty() ? QStringLiteral("which command?")
                                       : QStringLiteral("no command \"%1\".").arg(name));
    const int wordsTaken = dated || against                                                     ? 1
                           : (name == QLatin1String("backup") || name == QLatin1String("init")) ? 2
                                                                                                : 3;
    if (words.size() != wordsTaken || parser.isSet(QStringLiteral("from")) != dated ||
        parser.isSet(QStringLiteral("to")) != dated ||
        parser.isSet(QStringLiteral("out")) != wantsOut ||
        (parser.isSet(QStringLiteral("replace")) && !wantsOut) ||
        (against && name != QLatin1String("check")))
        return badUsage(QStringLiteral("%1 does not take these arguments.").arg(name));

    if (moving) {
        try {
            return move(words);
        } catch (const DbError &error) {
            return failure(error.description());
        }
    }

    Command command{name, std::nullopt,
                    against ? parser.value(QStringLiteral("against"))
                    : dated ? parser.value(QStringLiteral("out"))
                            : words[1],
                    parser.isSet(QStringLiteral("replace")), against};
    if (dated) {
        command.period = periodOf(parser);
        if (!command.period)
            return Trouble;
    }
    try {
        return run(openDatabase(EmployeeMdb), command);
    } catch (const DbError &error) {
        return failure(error.description());
    }
}
