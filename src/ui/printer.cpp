#include "printer.h"

#include "clock/seam.h"
#include "ui/systemprinter.h"

namespace horalink {

namespace {

std::unique_ptr<LinePrinter> systemPrinter()
{
    return std::make_unique<SystemPrinter>();
}

using PrinterSeam = Seam<LinePrinter, &systemPrinter>;

} // namespace

LinePrinter &printer()
{
    return PrinterSeam::current();
}

std::unique_ptr<LinePrinter> setPrinter(std::unique_ptr<LinePrinter> replacement)
{
    return PrinterSeam::replace(std::move(replacement));
}

} // namespace horalink
