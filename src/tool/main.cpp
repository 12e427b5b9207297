// horalink-tool: the pay-day export, the exceptions check and the backup, without windows,
// on Employee.mdb in the current folder.
#include "clock/clock.h"
#include "db/database.h"
#include "db/datetimetext.h"
#include "payday/backup.h"
#include "payday/check.h"
#include "payday/export.h"

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
  horalink-tool export --from DATE --to DATE --out FOLDER
  horalink-tool check --from DATE --to DATE
  horalink-tool backup FOLDER

Works on Employee.mdb in the current folder, which it only reads.
  export  writes summary.csv and events.csv of the period into FOLDER
  check   prints one line per exception in the period: the employee, the
          event's date and time, and what is wrong, parted by tabs
  backup  copies Employee.mdb to "Employee <yyyy-MM-dd HHmmss>.mdb" in FOLDER

The period runs from --from up to, not including, --to; a date without a time
means the start of that day. Dates are written in the system's short date form
or as YYYY-MM-DD, either with a time of day if wanted.

Exit status: 0 done (check: no exceptions), 1 check found exceptions,
2 bad usage or failure.
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
    if (minuteNumber(period.from) >= minuteNumber(period.to)) {
        badUsage(QStringLiteral("the period from --from to --to holds no minute."));
        return std::nullopt;
    }
    return period;
}

int run(Connection &file, const Command &command)
{
    const QDateTime now = horalink::clock().now();
    if (command.name == QLatin1String("backup"))
        return written(backupDatabase(file, command.folder, now));
    if (command.name == QLatin1String("export"))
        return written(exportPeriod(file, *command.period, now, command.folder, QLocale()));
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
                       {{QStringLiteral("h"), QStringLiteral("help")}, QString()}});
    if (!parser.parse(QCoreApplication::arguments()))
        return badUsage(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        out() << Usage;
        return Done;
    }

    const QStringList words = parser.positionalArguments();
    const QString name = words.value(0);
    const bool dated = name == QLatin1String("export") || name == QLatin1String("check");
    const bool wantsOut = name == QLatin1String("export");
    if (!dated && name != QLatin1String("backup"))
        return badUsage(name.isEmpty() ? QStringLiteral("which command?")
                                       : QStringLiteral("no command \"%1\".").arg(name));
    if (words.size() != (dated ? 1 : 2) || parser.isSet(QStringLiteral("from")) != dated ||
        parser.isSet(QStringLiteral("to")) != dated ||
        parser.isSet(QStringLiteral("out")) != wantsOut)
        return badUsage(QStringLiteral("%1 does not take these arguments.").arg(name));

    Command command{name, std::nullopt, dated ? parser.value(QStringLiteral("out")) : words[1]};
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
