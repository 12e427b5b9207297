#pragma once

#include <optional>
#include <QString>

namespace horalink {

class Connection;

enum class Switch
{
    Edits,
    Money,
    Subs
};

// The three program-wide switches, as stored in the one row of "Company Data".
struct Switches
{
    // "Disable Employee Edits": the shown event's date and time cannot be typed into.
    bool edits = false;
    // "Disable Employee Wages Display": the estimated wages are hidden.
    bool money = false;
    // "Turn off all Login Descriptions": no task prompt at clock-in.
    bool subs = false;

    bool operator==(const Switches &) const = default;
    void set(Switch which, bool on)
    {
        (which == Switch::Edits ? edits : which == Switch::Money ? money : subs) = on;
    }
};

// The switches of the first row of "Company Data"; a switch is on only when it holds exactly
// 1, and all are off while there is no row. A missing column fails as the engine reports an
// unknown field.
Switches readSwitches(Connection &connection);
// Stores one switch, 1 for on and 0 for off, in the first row of "Company Data".
void storeSwitch(Connection &connection, Switch which, bool on);

// The company's name from the first row of "Company Data"; nothing while there is no row, as
// in a fresh file.
std::optional<QString> readCompany(Connection &connection);
// Adds the one row of "Company Data", with the name exactly as typed and the switches left
// unset.
void storeCompany(Connection &connection, const QString &name);

} // namespace horalink
