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

// Error numbers the program raises itself, beside the engine's own codes.
namespace dberr {
constexpr int OutOfMemory = 7;
constexpr int TableExists = 3010;
constexpr int NoCurrentRecord = 3021;
constexpr int RecordDeleted = 3167;
constexpr int ObjectClosed = 3420;
constexpr int CancelledByBoundDisplay = 3426;
constexpr int FileNotFound = 3024;
constexpr int NotADatabase = 3343;
constexpr int BadTableName = 3125;
constexpr int ItemNotFound = 3265;
constexpr int SyntaxError = 3075;
constexpr int TableNotFound = 3078;
} // namespace dberr

} // namespace horalink
