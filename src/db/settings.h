#pragma once

#include <optional>
#include <QString>

namespace horalink {

class Connection;

enum class Switch
{
    Edits,
    Money,
    Subs,
    Signoff
};

// The program-wide switches, as stored in the one row of "Company Data".
struct Switches
{
    // "Disable Employee Edits": the shown event's date and time cannot be typed into.
    bool edits = false;
    // "Disable Employee Wages Display": the estimated wages are hidden.
    bool money = false;
    // "Turn off all Login Descriptions": no task prompt at clock-in.
    bool subs = false;
    // "Sign off after 2 minutes without input": a user who walks away from the shared
    // computer is signed off, so that the next one cannot clock or edit in their name.
    bool signoff = false;

    bool operator==(const Switches &) const = default;
    void set(Switch which, bool on);
};

// What every clock of the company shares: the name the About page and the cards show, and
// the switches.
struct Settings
{
    std::optional<QString> company;
    Switches switches;
};

// The switches of the first row of "Company Data"; a switch is on only when it holds exactly
// 1, and all are off while there is no row. A missing column of the first three fails as the
// engine reports an unknown field; "signoff", which older files and servers lack, reads as off.
Switches readSwitches(Connection &connection);
// Stores one switch, 1 for on and 0 for off, in the first row of "Company Data". A table
// without the "signoff" column gets it when that switch is first stored.
void storeSwitch(Connection &connection, Switch which, bool on);

// The company's name from the first row of "Company Data"; nothing while there is no row, as
// in a fresh file.
std::optional<QString> readCompany(Connection &connection);
// Adds the one row of "Company Data", with the name exactly as typed and the switches left
// unset.
void storeCompany(Connection &connection, const QString &name);

} // namespace horalink
