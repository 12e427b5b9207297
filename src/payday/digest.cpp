#include "digest.h"

#include "db/datetimetext.h"
#include "db/dberror.h"
#include "db/timelogrows.h"

#include <QJsonArray>
#include <sodium.h>
#include <string>

namespace horalink {

namespace {

// Each field goes in with a mark for nothing and its length, so that no two lists of fields
// give the same bytes. The bytes are handed to the hash in large pieces: a log is hashed
// field by field, and the hash gives the same digest however its input is cut.
class Digest
{
public:
    Digest()
    {
        if (sodium_init() < 0)
            throw DbError(dberr::OutOfMemory,
                          QStringLiteral("The digest library could not start."));
        crypto_generichash_init(&m_state, nullptr, 0, crypto_generichash_BYTES);
        m_pending.reserve(FlushAt + 4096);
    }

    Digest &add(const QVariant &field)
    {
        return addStored(field.isNull() ? QByteArrayView()
                                        : QByteArrayView(field.toString().toUtf8()));
    }

    // A text as stored; a null view is nothing.
    Digest &addStored(QByteArrayView field)
    {
        m_pending.push_back(field.isNull() ? '\0' : '\1');
        addNumber(field.size());
        m_pending.append(field.data(), std::size_t(field.size()));
        if (m_pending.size() >= FlushAt)
            flush();
        return *this;
    }

    Digest &addNumber(qint64 number)
    {
        for (int i = 0; i < 8; ++i)
            m_pending.push_back(static_cast<char>(quint64(number) >> (8 * i)));
        return *this;
    }

    QString hex()
    {
        flush();
        unsigned char out[crypto_generichash_BYTES];
        crypto_generichash_final(&m_state, out, sizeof out);
        return QString::fromLatin1(
            QByteArray(reinterpret_cast<const char *>(out), sizeof out).toHex());
    }

private:
    static constexpr std::size_t FlushAt = 64 * 1024;

    void flush()
    {
        crypto_generichash_update(
            &m_state, reinterpret_cast<const unsigned char *>(m_pending.data()), m_pending.size());
        m_pending.clear();
    }

    crypto_generichash_state m_state;
    std::string m_pending;
};

QVariant stampField(const QDateTime &stamp)
{
    return stamp.isValid() ? QVariant(storedStamp(stamp)) : QVariant();
}

const QString From = QStringLiteral("from");
const QString To = QStringLiteral("to");
const QString Exported = QStringLiteral("exported");
const QString Employees = QStringLiteral("employees");
const QString Name = QStringLiteral("name");
const QString LastRow = QStringLiteral("last row");
const QString Events = QStringLiteral("events");
const QString Figures = QStringLiteral("figures");
const QString Log = QStringLiteral("log");
const QString OpenShift = QStringLiteral("open shift");

} // namespace

QString eventsDigest(const EmployeePeriod &employee)
{
    Digest digest;
    digest.add(employee.name);
    for (qsizetype at = 0; at < employee.events.size(); ++at) {
        const TimeLogRow &event = employee.events[at];
        const std::optional<qint64> &minutes = employee.pairMinutes[at];
        digest.add(stampField(event.stamp))
            .add(event.status)
            .add(event.activity)
            .add(minutes ? QVariant(*minutes) : QVariant())
            .add(int(employee.marks[at]));
    }
    return digest.hex();
}

QString figuresDigest(const EmployeePeriod &employee)
{
    const SummaryFigures figures = summaryFigures(employee, QLatin1Char('.'));
    Digest digest;
    digest.add(employee.name).add(employee.wage);
    for (const QString &figure : {figures.minutes, figures.hours, figures.exactWages,
                                  figures.programHours, figures.programWages, figures.difference})
        digest.add(figure);
    return digest.hex();
}

QString storedLogDigest(Connection &connection, const QString &name, qint64 lastRow)
{
    Digest digest;
    digest.add(QVariant(name));
    visitStoredRows(connection, name, 0, lastRow, [&digest](const StoredRow &row) {
        digest.addNumber(row.rowid);
        for (QByteArrayView field : row.fields)
            digest.addStored(field);
    });
    return digest.hex();
}

QJsonObject recordJson(const ExportRecord &record)
{
    QJsonArray employees;
    for (const ExportedEmployee &employee : record.employees)
        employees.append(QJsonObject{{Name, employee.name},
                                     {LastRow, employee.lastRow},
                                     {Events, employee.events},
                                     {Figures, employee.figures},
                                     {Log, employee.log},
                                     {OpenShift, employee.openShift}});
    // The moment to the millisecond: an open shift counts up to it.
    return {{From, storedStamp(record.period.from)},
            {To, storedStamp(record.period.to)},
            {Exported, record.exported.toString(Qt::ISODateWithMs)},
            {Employees, employees}};
}

std::optional<ExportRecord> recordFromJson(const QJsonObject &json)
{
    ExportRecord record{{parseStoredStamp(json.value(From).toString()),
                         parseStoredStamp(json.value(To).toString())},
                        QDateTime::fromString(json.value(Exported).toString(), Qt::ISODateWithMs),
                        {}};
    if (!record.period.holdsAMinute() || !record.exported.isValid() ||
        !json.value(Employees).isArray())
        return std::nullopt;
    for (const QJsonValue &value : json.value(Employees).toArray()) {
        const QJsonObject employee = value.toObject();
        record.employees << ExportedEmployee{
            employee.value(Name).toString(),   qint64(employee.value(LastRow).toDouble()),
            employee.value(Events).toString(), employee.value(Figures).toString(),
            employee.value(Log).toString(),    employee.value(OpenShift).toBool()};
    }
    return record;
}

} // namespace horalink
