#pragma once

namespace horalink {

// Prepares the data folder (the one shared through HORALINK_DATA, or the user's own) and makes
// it the working folder, in which the program finds Employee.mdb. False when that failed, which
// has been told, and the program ends.
bool enterDataFolder();

// The start procedure: shows the splash, from which everything else follows on window events.
void start();

} // namespace horalink
