#include "newemployee.h"

#include "db/connection.h"
#include "reports/figures.h"

namespace horalink {

AddResult addNewEmployee(Connection &connection, NewEmployee typed)
{
    typed.name = storedName(typed.name);
    if (typed.name.size() > LongestName)
        return {AddStep::NameTooLong, {}};
    if (typed.name.isEmpty())
        return {AddStep::NoName, {}};
    if (const QString refusal = nameRefusal(typed.name); !refusal.isEmpty())
        return {AddStep::NameRefused, refusal};
    if (!readNumber(typed.wage))
        return {AddStep::WageNotANumber, {}};
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
