#include "newemployee.h"

#include "db/connection.h"
#include "reports/figures.h"

#include <QLocale>

namespace horalink {

QString wageRefusal(const QString &typed)
{
    const auto wage = readNumber(typed);
    if (wage && *wage >= 0.0)
        return {};
    return QStringLiteral("Sorry, the wage must be a number of dollars per hour, 0 or more, for "
                          "example ") +
           QLocale().toString(12.5, 'f', 2) + QLatin1Char('.');
}

AddResult addNewEmployee(Connection &connection, NewEmployee typed)
{
    typed.name = storedName(typed.name);
    if (typed.name.size() > LongestName)
        return {AddStep::NameTooLong, {}};
    if (typed.name.isEmpty())
        return {AddStep::NoName, {}};
    if (const QString refusal = nameRefusal(typed.name); !refusal.isEmpty())
        return {AddStep::NameRefused, refusal};
    if (const QString refusal = wageRefusal(typed.wage); !refusal.isEmpty())
        return {AddStep::WageRefused, refusal};
    try {
        if (addEmployee(connection, typed) == AddOutcome::NameTaken)
            return {AddStep::AlreadyListed, {}};
    } catch (const DbError &error) {
        if (error.number() == dberr::BadTableName)
            return {AddStep::NameRefused, error.description()};
        return {AddStep::Failed, error.description()};
    }
    return {AddStep::Added, {}};
}

} // namespace horalink
