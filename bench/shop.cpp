#include "shop.h"

#include "db/database.h"
#include "db/sqlite.h"

namespace horalink {

std::unique_ptr<QTemporaryDir> shopFolder(int employees, int events)
{
    auto dir = std::make_unique<QTemporaryDir>();
    createFreshDatabase(dir->filePath(EmployeeMdb));
    auto file = SqliteConnection::openExisting(dir->filePath(EmployeeMdb));
    Transaction transaction(*file);
    file->exec(QStringLiteral("INSERT INTO \"Company Data\" (company, subs) VALUES ('Acme', 1)"));
    file->exec(QStringLiteral("UPDATE datalist SET epass = 'boss'"));
    Statement list(*file,
                   QStringLiteral("INSERT INTO datalist (ename, ewage) VALUES (?1, '12.5')"));
    for (int e = 0; e < employees; ++e) {
        const QString name = QStringLiteral("Employee %1").arg(e, 4, 10, QLatin1Char('0'));
        list.bind(1, name).run();
        list.reset();
        file->createTimeLog(name);
        Statement insert(*file, QStringLiteral("INSERT INTO ") + quoteIdentifier(name) +
                                    QStringLiteral(" (Ename, datetime, inoutfx, activity) "
                                                   "VALUES (?1, ?2, ?3, ?4)"));
        QDateTime when(QDate(2020, 1, 1), QTime(8, 0), Qt::UTC);
        for (int i = 0; i < events; ++i) {
            const bool in = i % 2 == 0;
            insert.bind(1, name)
                .bind(2, when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
                .bind(3, in ? QStringLiteral("Clocked In") : QStringLiteral("Clocked Out"))
                .bind(4, in ? QVariant(QStringLiteral("assembly")) : QVariant());
            insert.run();
            insert.reset();
            when = when.addSecs(in ? 8 * 3600 + 17 * 60 : 16 * 3600 - 17 * 60);
        }
    }
    transaction.commit();
    return dir;
}

} // namespace horalink
