#pragma once

#include "ui/form.h"

#include <map>
#include <QList>
#include <QPointer>
#include <typeindex>

namespace horalink {

class frmsplash;
class frmlogon;
class frmstartup;
class frmmain;
class frmsub;
class frmadd;
class frmperiod;
class frmpass;
class frmprop;

// Owns the program's windows: each is created on first use and lives until it is unloaded,
// after which its next use starts again from its design state. Windows reach each other only
// through here, never by keeping pointers across an unload.
class Forms
{
public:
    template <class T> T &get()
    {
        QPointer<Form> &slot = m_forms[std::type_index(typeid(T))];
        if (slot)
            return static_cast<T &>(*slot);
        T *form = new T;
        slot = form;
        form->loaded();
        return *form;
    }

    template <class T> bool isLoaded() const
    {
        const auto it = m_forms.find(std::type_index(typeid(T)));
        return it != m_forms.end() && it->second;
    }
    bool isLoaded(const Form *form) const;

    // Hides the window and lets it go at once, so that its next use starts afresh. It is
    // destroyed only once no handler runs: a handler of its own may be the one waiting, inside
    // a box, for the event that unloaded it.
    void unload(Form &form);
    void unloadAll();

    // Whether a handler runs, perhaps waiting inside a box for the user's answer.
    bool handlerRunning() const { return m_handlersRunning > 0; }
    // Lives while a handler runs.
    class Handling
    {
    public:
        // The action is named by the control that started it, where one did.
        explicit Handling(const QString &action = {});
        ~Handling();
        Handling(const Handling &) = delete;
        Handling &operator=(const Handling &) = delete;
    };

    class frmsplash &frmsplash();
    class frmlogon &frmlogon();
    class frmstartup &frmstartup();
    class frmmain &frmmain();
    class frmsub &frmsub();
    class frmadd &frmadd();
    class frmperiod &frmperiod();
    class frmpass &frmpass();
    class frmprop &frmprop();

private:
    void destroy(Form &form);
    void destroyUnloaded();

    std::map<std::type_index, QPointer<Form>> m_forms;
    int m_handlersRunning = 0;
    QList<QPointer<Form>> m_unloaded;
};

Forms &forms();

} // namespace horalink
