// horalink-tool: the pay-day export, the exceptions check, the check against an earlier export,
// the change history and the backup, without windows, on the data the program uses (or
// Employee.mdb in the current folder); and the moves of a whole employee database between the
// file and a server.
#include "clock/clock.h"
#include "db/database.h"
#include "db/datafolder.h"
#include "db/datetimetext.h"
#include "db/newfile.h"
#include "db/postgres.h"
#include "db/sqlite.h"
#include "db/transfer.h"
#include "payday/backup.h"
#include "payday/changes.h"
#include "payday/check.h"
#include "payday/export.h"
#include "payday/exportcheck.h"

#include <algorithm>
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

struct Form;

// Carries out a command typed in its form, given the words after its name; a DbError it meets
// is told by its caller.
using Handler = int (*)(const Form &form, const QStringList &words,
                        const QCommandLineParser &parser);

// One command as it is typed: the words after its name, the options it needs and the one it
// may take; and what carries it out.
struct Form
{
    QString name;
    QStringList words;
    QStringList needs;
    QString mayTake;
    Handler handler;
};

const QList<Form> &forms();

bool takes(const Form &form, const QString &option)
{
    return form.needs.contains(option) || form.mayTake == option;
}

const QStringList Options = {"from", "to", "out", "replace", "against", "clocks", "manager"};

// What an option's value stands for in the usage; nothing for an option without one.
QString valueNameOf(const QString &option)
{
    if (option == QLatin1String("replace"))
        return {};
    if (option == QLatin1String("clocks") || option == QLatin1String("manager"))
        return QStringLiteral("ROLE");
    return option == QLatin1String("out") || option == QLatin1String("against")
               ? QStringLiteral("FOLDER")
               : QStringLiteral("DATE");
}

QString optionText(const QString &option)
{
    const QString value = valueNameOf(option);
    return QStringLiteral("--") + option + (value.isEmpty() ? value : QLatin1Char(' ') + value);
}

QString usageLine(const Form &form)
{
    QString line = QStringLiteral("horalink-tool ") + form.name;
    for (const QString &option : form.needs)
        line += QLatin1Char(' ') + optionText(option);
    if (!form.mayTake.isEmpty())
        line += QStringLiteral(" [") + optionText(form.mayTake) + QLatin1Char(']');
    for (const QString &word : form.words)
        line += QLatin1Char(' ') + word;
    return line;
}

const char *const Explanation = R"(
export, check, history and backup work on the database that the environment
variable HORALINK_DATABASE names, else on Employee.mdb in the current folder
when there is one, else on Employee.mdb in the program's data folder, which
"horalink --data-dir" prints; they tell on standard error which one, and only
read it, but for export, which keeps its digests in the change history.
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
  roles    grants the time clocks' account (--clocks) and the Manager's
           (--manager) what each may do in the database URL, as init and
           migrate do; the account the tool connects as keeps the tables.
           Both accounts must exist: the Manager's password is the password
           the server keeps for the Manager's account
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

QString usage()
{
    QString text = QStringLiteral("Usage:\n");
    for (const Form &form : forms())
        text += QStringLiteral("  ") + usageLine(form) + QLatin1Char('\n');
    return text + QLatin1String(Explanation);
}

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

// What is wrong, in one line, then how the command is typed (or that there are commands).
int badUsage(const Form *form, const QString &why)
{
    QStringList names;
    for (const Form &each : forms())
        names << each.name;
    names.removeDuplicates();
    err() << "horalink-tool: " << why << "\nUsage: "
          << (form ? usageLine(*form)
                   : QStringLiteral("horalink-tool ") + names.join(QLatin1Char('|')) +
                         QStringLiteral(" ...; horalink-tool --help tells more"))
          << Qt::endl;
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

// What is wrong with the words typed after the command's name; nothing when all is right.
QString mistakeIn(const Form &form, const QCommandLineParser &parser)
{
    const QStringList words = parser.positionalArguments().mid(1);
    if (words.size() < form.words.size())
        return form.name + QStringLiteral(" needs ") +
               form.words.mid(words.size()).join(QStringLiteral(" and ")) + QLatin1Char('.');
    if (words.size() > form.words.size())
        return form.name + QStringLiteral(" does not take \"") + words[form.words.size()] +
               QStringLiteral("\".");
    QStringList missing;
    QStringList unwanted;
    for (const QString &option : Options) {
        if (form.needs.contains(option) && !parser.isSet(option))
            missing << optionText(option);
        else if (!form.needs.contains(option) && form.mayTake != option && parser.isSet(option))
            unwanted << QStringLiteral("--") + option;
    }
    if (!missing.isEmpty())
        return form.name + QStringLiteral(" needs ") + missing.join(QStringLiteral(" and ")) +
               QLatin1Char('.');
    if (!unwanted.isEmpty())
        return form.name + QStringLiteral(" does not take ") +
               unwanted.join(QStringLiteral(" and ")) + QLatin1Char('.');
    return {};
}

// Reads --from and --to; nothing, with the reason told, when they do not make a period.
std::optional<Period> periodOf(const Form &form, const QCommandLineParser &parser)
{
    Period period;
    for (const auto &[option, stamp] : {std::pair{"from", &period.from}, {"to", &period.to}}) {
        const QString text = parser.value(QString::fromLatin1(option));
        const auto read = readDateTime(text);
        if (!read) {
            badUsage(&form,
                     QStringLiteral("--%1 \"%2\" is not a date.").arg(QLatin1String(option), text));
            return std::nullopt;
        }
        *stamp = *read;
    }
    if (!period.holdsAMinute()) {
        badUsage(&form, QStringLiteral("the period from --from to --to holds no minute."));
        return std::nullopt;
    }
    return period;
}

ServerRoles rolesOf(const QCommandLineParser &parser, const PgConnection &server)
{
    return {parser.value(QStringLiteral("clocks")), parser.value(QStringLiteral("manager")),
            server.account()};
}

int exportInto(Connection &file, const Period &period, const QString &folder, bool replace,
               const QDateTime &now)
{
    const QStringList earlier = earlierExport(folder);
    if (!replace && !earlier.isEmpty())
        return failure(QDir::toNativeSeparators(folder) + QStringLiteral(" holds ") +
                       earlier.join(QStringLiteral(" and ")) +
                       QStringLiteral(" of an earlier export; --replace replaces them."));
    return written(exportPeriod(file, period, now, folder, QLocale(), {},
                                replace ? NewFile::Existing::RegularFileReplaced
                                        : NewFile::Existing::Refused));
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
        out() << oneLine(employee.employee) << '\t' << sinceExportText(employee.state) << '\n';
        for (const HistoryEntry &change : employee.changes)
            out() << '\t' << changeLine(change) << '\n';
        changed = changed || employee.state != SinceExport::Unchanged;
    }
    return changed ? ExceptionsFound : Done;
}

// Where export, check, history and backup find the data, as the program does: the server that
// HORALINK_DATABASE names; else Employee.mdb in the working folder, where scripts and cron lines
// cd to; else the program's data folder. Anything at the name in the working folder counts, so
// that a damaged file there is told rather than passed over. Nothing, told, when neither folder
// holds the file.
struct Source
{
    QString file;
    QString why;
};

std::optional<Source> sourceOfData()
{
    if (!serverConnectionString().isEmpty())
        return Source{EmployeeMdb, QString::fromLatin1(ServerVariable)};
    if (entryAt(EmployeeMdb) != Entry::None)
        return Source{QDir::current().absoluteFilePath(EmployeeMdb),
                      QStringLiteral("the working folder")};
    const DataFolder folder = dataFolder();
    const QString file = QDir(folder.path).filePath(EmployeeMdb);
    if (entryAt(file) == Entry::None) {
        failure(QStringLiteral("found no Employee.mdb, neither in the working folder ") +
                QDir::toNativeSeparators(QDir::currentPath()) +
                QStringLiteral(" nor in the data folder ") + QDir::toNativeSeparators(folder.path) +
                QStringLiteral("; run the tool where Employee.mdb is, or name the data by ") +
                QString::fromLatin1(SharedFolderVariable) + QStringLiteral(" or ") +
                QString::fromLatin1(ServerVariable) + QLatin1Char('.'));
        return std::nullopt;
    }
    return Source{file, folder.usersOwn ? QStringLiteral("the data folder")
                                        : QString::fromLatin1(SharedFolderVariable)};
}

// Opens the data and says, in one line on standard error, which it is and why.
Connection &openData(const Source &source)
{
    Connection &data = openDatabase(source.file);
    const bool server = !serverConnectionString().isEmpty();
    err() << "horalink-tool: using " << (server ? QStringLiteral("the database ") : QString())
          << data.location() << " (" << source.why << ')' << Qt::endl;
    return data;
}

// Carries out a command on the data the program uses, as the tool's own author.
template <typename Work> int onData(Work work)
{
    const std::optional<Source> source = sourceOfData();
    if (!source)
        return Trouble;
    Connection &data = openData(*source);
    data.setAuthor(QStringLiteral("horalink-tool"));
    return work(data, horalink::clock().now());
}

// The same for a command over the period of --from and --to, which is read first.
template <typename Work> int inPeriod(const Form &form, const QCommandLineParser &parser, Work work)
{
    const std::optional<Period> period = periodOf(form, parser);
    if (!period)
        return Trouble;
    return onData([&](Connection &data, const QDateTime &now) { return work(data, *period, now); });
}

int exportCommand(const Form &form, const QStringList &, const QCommandLineParser &parser)
{
    const QString folder = parser.value(QStringLiteral("out"));
    const bool replace = parser.isSet(QStringLiteral("replace"));
    return inPeriod(form, parser,
                    [&](Connection &data, const Period &period, const QDateTime &now) {
                        return exportInto(data, period, folder, replace, now);
                    });
}

int checkCommand(const Form &form, const QStringList &, const QCommandLineParser &parser)
{
    return inPeriod(form, parser, [](Connection &data, const Period &period, const QDateTime &now) {
        const CheckOutcome checked = checkPeriod(data, period, now);
        for (const Finding &finding : checked.findings)
            out() << findingLine(finding) << '\n';
        if (checked.findings.isEmpty())
            out() << NoExceptions << '\n';
        return checked.findings.isEmpty() ? Done : ExceptionsFound;
    });
}

int checkAgainstCommand(const Form &, const QStringList &, const QCommandLineParser &parser)
{
    const QString folder = parser.value(QStringLiteral("against"));
    return onData([&](Connection &data, const QDateTime &) { return checkAgainst(data, folder); });
}

int historyCommand(const Form &form, const QStringList &, const QCommandLineParser &parser)
{
    return inPeriod(form, parser, [](Connection &data, const Period &period, const QDateTime &) {
        for (const HistoryEntry &change : periodChanges(data, period))
            out() << changeLine(change) << '\n';
        return Done;
    });
}

int backupCommand(const Form &, const QStringList &words, const QCommandLineParser &)
{
    return onData([&](Connection &data, const QDateTime &now) {
        return written(backupDatabase(data, words[0], now));
    });
}

// The moves of a whole database between the file and a server; a line tells what was done.
int initCommand(const Form &, const QStringList &words, const QCommandLineParser &parser)
{
    const auto server = PgConnection::open(words[0]);
    initServerDatabase(*server, rolesOf(parser, *server));
    out() << "Created a fresh employee database in " << server->location() << '\n';
    return Done;
}

int migrateCommand(const Form &, const QStringList &words, const QCommandLineParser &parser)
{
    const auto file = SqliteConnection::openExisting(words[0]);
    const auto server = PgConnection::open(words[1]);
    copyFileToServer(*file, *server, rolesOf(parser, *server));
    out() << "Copied " << QDir::toNativeSeparators(words[0]) << " into " << server->location()
          << '\n';
    return Done;
}

int rolesCommand(const Form &, const QStringList &words, const QCommandLineParser &parser)
{
    const auto server = PgConnection::open(words[0]);
    Transaction transaction(*server);
    grantRoles(*server, rolesOf(parser, *server));
    transaction.commit();
    out() << "Granted the accounts of " << server->location() << '\n';
    return Done;
}

int dumpCommand(const Form &, const QStringList &words, const QCommandLineParser &)
{
    const auto server = PgConnection::open(words[0]);
    copyServerToFile(*server, words[1]);
    out() << "Wrote " << server->location() << " into " << QDir::toNativeSeparators(words[1])
          << '\n';
    return Done;
}

// Every command, in the order the usage lists them.
const QList<Form> &forms()
{
    static const QList<Form> all = {
        {"export", {}, {"from", "to", "out"}, "replace", &exportCommand},
        {"check", {}, {"from", "to"}, {}, &checkCommand},
        {"check", {}, {"against"}, {}, &checkAgainstCommand},
        {"history", {}, {"from", "to"}, {}, &historyCommand},
        {"backup", {"FOLDER"}, {}, {}, &backupCommand},
        {"init", {"URL"}, {"clocks", "manager"}, {}, &initCommand},
        {"migrate", {"Employee.mdb", "URL"}, {"clocks", "manager"}, {}, &migrateCommand},
        {"roles", {"URL"}, {"clocks", "manager"}, {}, &rolesCommand},
        {"dump", {"URL", "Employee.mdb"}, {}, {}, &dumpCommand}};
    return all;
}

// The form of the command that takes every option given, else its first: check is typed with
// a period or against an earlier export.
const Form *formOf(const QString &name, const QCommandLineParser &parser)
{
    const Form *first = nullptr;
    for (const Form &form : forms()) {
        if (form.name != name)
            continue;
        if (!first)
            first = &form;
        if (std::all_of(Options.begin(), Options.end(), [&](const QString &option) {
                return !parser.isSet(option) || takes(form, option);
            }))
            return &form;
    }
    return first;
}

int carryOut(const Form &form, const QCommandLineParser &parser)
{
    try {
        return form.handler(form, parser.positionalArguments().mid(1), parser);
    } catch (const DbError &error) {
        return failure(error.description());
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    for (const QString &option : Options)
        parser.addOption({option, QString(), valueNameOf(option)});
    parser.addOption({{QStringLiteral("h"), QStringLiteral("help")}, QString()});
    const bool parsed = parser.parse(QCoreApplication::arguments());
    const QString name = parser.positionalArguments().value(0);
    const Form *form = formOf(name, parser);
    if (!parsed)
        return badUsage(form, parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        out() << usage();
        return Done;
    }
    if (!form)
        return badUsage(nullptr, name.isEmpty() ? QStringLiteral("which command?")
                                                : QStringLiteral("no command \"") + name +
                                                      QStringLiteral("\"."));
    const QString mistake = mistakeIn(*form, parser);
    return mistake.isEmpty() ? carryOut(*form, parser) : badUsage(form, mistake);
}
