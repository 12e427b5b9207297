#include "connection.h"

namespace horalink {

Transaction::Transaction(Connection &connection, const QString &lockedTable, Writes writes)
    : m_connection(connection)
{
    m_connection.begin(lockedTable, writes);
}

Transaction::~Transaction()
{
    if (m_open)
        m_connection.rollback();
}

void Transaction::commit()
{
    m_connection.commit();
    m_open = false;
}

QString quoteIdentifier(const QString &name)
{
    // An engine may make a table of no name but not drop it again.
    if (name.isEmpty())
        throw DbError(dberr::BadTableName, QStringLiteral("A table or field needs a name."));
    if (name.contains(QChar(0)))
        throw DbError(dberr::BadTableName, QStringLiteral("'") + QString(name).remove(QChar(0)) +
                                               QStringLiteral("' is not a valid name."));
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QLatin1String("\"\"")) +
           QLatin1Char('"');
}

QString Connection::quotedTable(const QString &name) const
{
    return quoteIdentifier(schema()) + QLatin1Char('.') + quoteIdentifier(name);
}

QString quotedList(const QStringList &names)
{
    QStringList quoted;
    for (const QString &name : names)
        quoted << quoteIdentifier(name);
    return quoted.join(QLatin1String(", "));
}

bool foldedAlike(const QString &first, const QString &second)
{
    if (first.size() != second.size())
        return false;
    const auto lower = [](char16_t c) {
        return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
    };
    for (qsizetype i = 0; i < first.size(); ++i) {
        if (lower(first[i].unicode()) != lower(second[i].unicode()))
            return false;
    }
    return true;
}

} // namespace horalink
