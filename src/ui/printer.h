#pragma once

#include "reports/lineprinter.h"

#include <memory>

namespace horalink {

// The printer every time card goes to: the system's default printer, so that tests can keep
// what would have come out of it.
LinePrinter &printer();
// Replaces the printer in use; returns the one it replaced.
std::unique_ptr<LinePrinter> setPrinter(std::unique_ptr<LinePrinter> replacement);

} // namespace horalink
