#pragma once

#include <memory>
#include <utility>

namespace horalink {

// The one implementation in use of an interface the whole program reaches through a single
// function: "now", the printer, the boxes. The program's own is made on first use; a test puts
// another in its place to fix the time or answer the boxes, and puts the old one back.
template <typename Interface, std::unique_ptr<Interface> (*makeDefault)()> class Seam
{
public:
    static Interface &current() { return *held(); }
    // Returns the implementation it replaced.
    static std::unique_ptr<Interface> replace(std::unique_ptr<Interface> replacement)
    {
        return std::exchange(held(), std::move(replacement));
    }

private:
    static std::unique_ptr<Interface> &held()
    {
        static std::unique_ptr<Interface> implementation = makeDefault();
        return implementation;
    }
};

} // namespace horalink
