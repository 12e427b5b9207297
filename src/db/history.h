#pragma once

#include <optional>
#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <QVariantList>
#include <vector>

namespace horalink {

class Connection;

// Why a row of the record changed, as its entry in the change history tells it.
enum class ChangeKind
{
    // A stamp's fields typed into the shown event and stored (UPDATE).
    StampCorrected,
    // A cell of the Manager's grid.
    GridEdit,
    DeletedLast,
    Cleared,
    EmployeeAdded,
    EmployeeDeleted,
    // A wage or a note in the employee list.
    EmployeeChanged,
    // That a password changed: the entry holds neither the password nor its hash.
    PasswordChanged,
    SwitchChanged,
    CompanyNamed,
    // A pay period written out: the digests of what was exported, for a later check.
    Exported,
    // A clock-in or clock-out a time clock kept while its server was away, appended when it
    // came: the entry tells the event's id, its clock and the event the log held before it.
    Delivered,
};

// The kind as the history stores it, and back; an unknown text is nothing.
QString changeKindText(ChangeKind kind);
std::optional<ChangeKind> changeKindFromText(const QString &text);

// The fields of the history's rows, in their order.
extern const QStringList HistoryFields;

// One row of a table as the history keeps it: each field by name, a password only as whether
// there is one.
struct RowImage
{
    qint64 rowid = 0;
    QJsonObject fields;
};

// The rows of a table that the condition (SQL after WHERE, values bound as ?1, ?2...) selects,
// in stored order.
std::vector<RowImage> rowImages(Connection &connection, const QString &table,
                                const QString &condition, const QVariantList &values = {});
std::optional<RowImage> rowImage(Connection &connection, const QString &table, qint64 rowid);
std::vector<RowImage> allRowImages(Connection &connection, const QString &table);
// A time log's fields as the history keeps them, from values as a statement read them.
QJsonObject fieldsOf(const QStringList &names, const QVariantList &values);

// Adds one entry to the change history, creating the history at the first change of an older
// database. Runs within the transaction of the change itself, so that both land or neither.
void recordChange(Connection &connection, ChangeKind kind, const QString &table,
                  std::optional<qint64> row, const QJsonObject &before, const QJsonObject &after);
// Records the row added last to the table, whole.
void recordAdded(Connection &connection, ChangeKind kind, const QString &table);
// Records the row as it stands now against its image from before the change, when they differ.
void recordEdit(Connection &connection, ChangeKind kind, const QString &table,
                const RowImage &before);

// Deletes the rows the condition selects and records each, whole, in the history; returns how
// many went. Without a kind nothing is recorded: a count that is rolled back afterwards.
qint64 removeRows(Connection &connection, std::optional<ChangeKind> kind, const QString &table,
                  const QString &condition, const QVariantList &values = {});

// Deletes the row added last to the table and records it, whole; false when the table is
// empty. The row is read as it goes, in the one statement that removes it.
bool removeLastRow(Connection &connection, ChangeKind kind, const QString &table);

// One entry of the change history, as stored.
struct HistoryEntry
{
    // The local wall clock, as stamps are kept; invalid when the text is none.
    QDateTime changed;
    QDateTime changedUtc;
    QString who;
    QString account;
    // The kind as stored: a foreign program may have written one the program does not know.
    QString kind;
    QString subject;
    std::optional<qint64> row;
    // The row's fields; nothing where the row was not, or is no more.
    std::optional<QJsonObject> before;
    std::optional<QJsonObject> after;
};

// Every entry of the history in the order written; none in a database without a history.
std::vector<HistoryEntry> readHistory(Connection &connection);

} // namespace horalink
