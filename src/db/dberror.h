#pragma once

#include <exception>
#include <QByteArray>
#include <QString>

namespace horalink {

// A failure of the database engine, carried to whoever decides what the user is told:
// the engine's error number and its description.
class DbError : public std::exception
{
public:
    DbError(int number, QString description);

    int number() const { return m_number; }
    const QString &description() const { return m_description; }
    const char *what() const noexcept override { return m_what.constData(); }

private:
    int m_number;
    QString m_description;
    QByteArray m_what;
};

// Whether the engine refused to write because the file may only be read: the record can
// still be read, and what needs no change can go on.
bool refusedAsReadOnly(const DbError &error);

// Error numbers the program raises itself, beside the engine's own codes.
namespace dberr {
constexpr int OutOfMemory = 7;
constexpr int TableExists = 3010;
constexpr int NoCurrentRecord = 3021;
constexpr int RecordDeleted = 3167;
constexpr int ObjectClosed = 3420;
constexpr int CancelledByBoundDisplay = 3426;
constexpr int FileNotFound = 3024;
constexpr int FileExists = 3204;
constexpr int NotADatabase = 3343;
constexpr int BadTableName = 3125;
constexpr int ItemNotFound = 3265;
constexpr int SyntaxError = 3075;
constexpr int TableNotFound = 3078;
// A write refused because the database may only be read; the file's engine reports it under
// the same number, and under its extended numbers.
constexpr int ReadOnly = 8;
// A value a field's named check refuses; the file's engine reports it under the same number.
constexpr int CheckFailed = 275;
// The database server: not reached at the start, a connection lost during a session (the
// next action connects again), a table another time clock kept locked, and any other refusal
// of the server, with its own description.
constexpr int ServerUnreachable = 3151;
constexpr int ConnectionLost = 3152;
constexpr int Locked = 3260;
constexpr int ServerRefused = 3146;
// The server's own password check refused the account's password.
constexpr int WrongPassword = 3029;
// The account the clock signed on as may not make this change: on a shared database only the
// Manager's account may.
constexpr int NotPermitted = 3033;
} // namespace dberr

} // namespace horalink
