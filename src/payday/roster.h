#pragma once

#include <QList>
#include <QString>
#include <QVariant>

namespace horalink {

class Connection;

struct ListedEmployee
{
    QString name;
    // `ewage` as stored: the text the manager typed, or Null.
    QVariant wage;
};

// The employee list in stored order, each name once with the first row that lists it: a name
// listed twice has one time log. A row without a name has no log and is passed over.
QList<ListedEmployee> listedEmployees(Connection &connection);

} // namespace horalink
