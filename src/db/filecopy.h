#pragma once

#include <functional>
#include <QString>
#include <QStringList>

namespace horalink {

class Connection;
class SqliteConnection;

// Told after each step of a copy, and while it waits for another copy of the program to let
// go of the file: the pages copied so far of all pages (tables, from a server). The copy
// ends, leaving nothing behind, when it returns false.
using CopyProgress = std::function<bool(int copied, int total)>;

// What a copy of a database into a file came to; only a whole copy leaves a file.
struct FileCopy
{
    enum class Result
    {
        Whole,
        Cancelled,
        // Another program held the file locked for a minute.
        StayedLocked,
        // The copy failed its integrity check, for these reasons.
        Damaged,
    };
    Result result = Result::Whole;
    QStringList problems = {};
};

// Copies the database behind the connection, as it stood at one moment, into a new file of
// this name. A file is copied page by page, in steps that let other copies of the program
// write in between, and checked; a server's database is written from one snapshot, table by
// table. The copy takes its name only when it is whole and on the disk, and nothing at the
// name, a link least of all, is ever replaced or written through. A failure of a database or
// of the disk is thrown as a DbError, and leaves no file.
FileCopy copyDatabaseToFile(Connection &connection, const QString &fileName,
                            const CopyProgress &progress = {});

// Writes a new database file of this name, as a NewFile: `write` fills it through a connection
// of its own, closed before the file takes its name, and the file takes it only when `write`
// returns true; otherwise nothing is left. A file that cannot be made or named is a DbError.
bool writeDatabaseFile(const QString &fileName,
                       const std::function<bool(SqliteConnection &copy)> &write);

} // namespace horalink
