#pragma once

#include "db/employees.h"

namespace horalink {

class Connection;

// What pressing OK in the add window came to, in the order the checks are made.
enum class AddStep
{
    Added,
    NameTooLong,
    NoName,
    // A control or invisible character, a blank at either end, or a name that would reach a
    // table of the database other than its own time log; `reason` says which.
    NameRefused,
    // Not a number, or below zero; `reason` says what a wage must be.
    WageRefused,
    AlreadyListed,
    // The file would not take the employee, and nothing was written; `reason` says why.
    Failed,
};

struct AddResult
{
    AddStep step;
    QString reason;
};

// The longest name a time log's Ename field holds.
inline constexpr int LongestName = 20;

// Why a typed wage is refused, empty when it is taken: a wage is a number by the rule every
// stored wage is read by (readNumber), and no less than zero. Wherever a wage is typed, the
// same wages are refused with the same words.
QString wageRefusal(const QString &typed);

// Lists a new employee with an empty time log after the checks of the add window: a name of
// at most 20 characters, holding no control or invisible character and no blank at either
// end, not the same employee as a listed one, and a wage that wageRefusal takes. The name is
// stored in composed form, the password as its hash.
AddResult addNewEmployee(Connection &connection, NewEmployee typed);

} // namespace horalink
