#pragma once

namespace horalink {

// The start procedure: shows the splash, from which everything else follows on window events.
void start();

} // namespace horalink
