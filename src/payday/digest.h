#pragma once

#include "payday/period.h"
#include "payday/periodrows.h"

#include <optional>
#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>

namespace horalink {

class Connection;

inline const QString DigestsFile = QStringLiteral("digests.json");

// What an export wrote of one employee, as digests that a later check compares with the
// record as it stands.
struct ExportedEmployee
{
    QString name;
    // The last row of the log when it was read: rows after it were added later.
    qint64 lastRow = 0;
    // Of the period's events as events.csv holds them, and of the summary row's figures.
    QString events;
    QString figures;
    // Of the log's rows up to the last, exactly as stored: when it is the same, so are the
    // period's events, and the check needs no figuring. Empty in a record that has none.
    QString log;
    // Whether a shift of the period was still open: a clock-out added since changes its
    // figures.
    bool openShift = false;
};

// Everything an export recorded: in the digests file beside its CSV files and in the history.
struct ExportRecord
{
    Period period;
    // The moment the open shifts were counted up to.
    QDateTime exported;
    QList<ExportedEmployee> employees;
};

// The digests of one employee's period as the export writes it, hex-encoded: the same events
// and figures give the same texts on every machine and either back end.
QString eventsDigest(const EmployeePeriod &employee);
QString figuresDigest(const EmployeePeriod &employee);
QString storedLogDigest(Connection &connection, const QString &name, qint64 lastRow);

QJsonObject recordJson(const ExportRecord &record);
// Nothing when the object is no export record.
std::optional<ExportRecord> recordFromJson(const QJsonObject &json);

} // namespace horalink
