#pragma once

#include <memory>

namespace horalink {

// Puts an implementation in a seam, through the seam's setter (setClock, setPrinter,
// setPrompts), for as long as it lives, and the one it replaced back when it goes:
//     const Replacement printing(setPrinter, std::make_unique<CountingPrinter>());
template <typename Implementation, typename Interface> class Replacement
{
public:
    Replacement(std::unique_ptr<Interface> (*set)(std::unique_ptr<Interface>),
                std::unique_ptr<Implementation> replacement)
        : m_set(set), m_implementation(*replacement), m_previous(set(std::move(replacement)))
    {}
    ~Replacement() { m_set(std::move(m_previous)); }
    Replacement(const Replacement &) = delete;
    Replacement &operator=(const Replacement &) = delete;

    Implementation &operator*() const { return m_implementation; }
    Implementation *operator->() const { return &m_implementation; }

private:
    std::unique_ptr<Interface> (*m_set)(std::unique_ptr<Interface>);
    Implementation &m_implementation;
    std::unique_ptr<Interface> m_previous;
};

} // namespace horalink
