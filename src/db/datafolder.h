#pragma once

#include <QString>

namespace horalink {

// The folder the program keeps Employee.mdb in and runs in: the one HORALINK_DATA names, which
// several accounts of a group may share, or else the user's own, in the user's data location
// (~/.local/share/horalink, %LOCALAPPDATA%\Horalink).
inline constexpr char SharedFolderVariable[] = "HORALINK_DATA";

struct DataFolder
{
    QString path;
    // The user's own folder, which no other account may enter; a shared folder keeps the
    // permissions its administrator gave it.
    bool usersOwn = false;
};

DataFolder dataFolder();

// Makes the folder when it is missing and, unless a server holds the database, gives it the
// fresh Employee.mdb when it has none; an existing one, or anything else of that name, is never
// replaced. The user's own folder and file are made the user's alone. Throws DbError.
void prepareDataFolder(const DataFolder &folder);

} // namespace horalink
