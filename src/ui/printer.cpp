#include "printer.h"

#include "ui/systemprinter.h"

namespace horalink {

namespace {

std::unique_ptr<LinePrinter> &current()
{
    static std::unique_ptr<LinePrinter> printer = std::make_unique<SystemPrinter>();
    return printer;
}

} // namespace

LinePrinter &printer()
{
    return *current();
}

std::unique_ptr<LinePrinter> setPrinter(std::unique_ptr<LinePrinter> replacement)
{
    return std::exchange(current(), std::move(replacement));
}

} // namespace horalink
