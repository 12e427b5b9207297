#pragma once

#include "reports/card.h"

#include <optional>

namespace horalink {

class Connection;

// The manager's card of an employee's log up to the ending date; nothing for an empty log,
// which gets no card.
std::optional<TimeCard> managerCardOf(Connection &connection, const QString &company,
                                      const QString &employee, const QDateTime &endingDate,
                                      const QDateTime &now);

// The signed-on user's own card of the whole log; nothing for an empty log.
std::optional<TimeCard> userCardOf(Connection &connection, const QString &company,
                                   const QString &employee, const QDateTime &now);

} // namespace horalink
