// A name typed for a new employee becomes a table name. Creating, filling and dropping a table
// of any name either works on exactly that table or is refused; nothing else in the file is
// ever touched.
#include "db/database.h"
#include "db/sqlite.h"

#include <cstdlib>

using namespace horalink;

namespace {

QString tables(Connection &connection)
{
    Statement list(connection,
                   QStringLiteral("SELECT group_concat(name, '|') FROM (SELECT name FROM "
                                  "sqlite_master ORDER BY name)"));
    return list.step() ? list.value(0).toString() : QString();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString name = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    auto connection = SqliteConnection::createNew(QStringLiteral(":memory:"));
    connection->exec(QStringLiteral("CREATE TABLE datalist (ename TEXT); "
                                    "INSERT INTO datalist VALUES ('Manager')"));
    const QString before = tables(*connection);
    try {
        connection->createTimeLog(name);
    } catch (const DbError &) {
        if (tables(*connection) != before)
            std::abort();
        return 0;
    }
    {
        // Scoped: a statement still standing on a row keeps the table from being dropped.
        Statement created(*connection, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE "
                                                      "type = 'table' AND name = ?1"));
        created.bind(1, name);
        if (!created.step() || created.integer(0) != 1)
            std::abort();
        Statement insert(*connection, QStringLiteral("INSERT INTO ") + quoteIdentifier(name) +
                                          QStringLiteral(" (Ename, inoutfx) VALUES (?1, ?2)"));
        insert.bind(1, QStringLiteral("x")).bind(2, QStringLiteral("Clocked In")).run();
    }
    Statement(*connection, QStringLiteral("DROP TABLE ") + quoteIdentifier(name)).run();
    if (tables(*connection) != before)
        std::abort();
    Statement kept(*connection, QStringLiteral("SELECT count(*) FROM datalist"));
    if (!kept.step() || kept.integer(0) != 1)
        std::abort();
    return 0;
}
