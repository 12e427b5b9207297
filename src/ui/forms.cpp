#include "forms.h"

#include "db/database.h"
#include "ui/frmadd.h"
#include "ui/frmlogon.h"
#include "ui/frmmain.h"
#include "ui/frmpass.h"
#include "ui/frmperiod.h"
#include "ui/frmprop.h"
#include "ui/frmsplash.h"
#include "ui/frmstartup.h"
#include "ui/frmsub.h"

#include <utility>

namespace horalink {

bool Forms::isLoaded(const Form *form) const
{
    for (const auto &[type, loaded] : m_forms) {
        if (loaded == form)
            return true;
    }
    return false;
}

void Forms::unload(Form &form)
{
    for (auto it = m_forms.begin(); it != m_forms.end(); ++it) {
        if (it->second == &form) {
            m_forms.erase(it);
            break;
        }
    }
    destroy(form);
}

void Forms::unloadAll()
{
    while (!m_forms.empty()) {
        QPointer<Form> form = m_forms.begin()->second;
        m_forms.erase(m_forms.begin());
        if (form)
            destroy(*form);
    }
}

void Forms::destroy(Form &form)
{
    form.hide();
    m_unloaded << &form;
    if (m_handlersRunning == 0)
        destroyUnloaded();
}

void Forms::destroyUnloaded()
{
    // Later, as the window may be unloading itself from one of its own handlers, which returns
    // to the event loop through the window's widgets.
    for (const QPointer<Form> &form : std::exchange(m_unloaded, {})) {
        if (form)
            form->deleteLater();
    }
}

Forms::Handling::Handling(const QString &action)
{
    // A handler that no other runs around is a user's action of its own.
    if (forms().m_handlersRunning++ == 0)
        actionBegins(action);
}

Forms::Handling::~Handling()
{
    Forms &registry = forms();
    if (--registry.m_handlersRunning == 0)
        registry.destroyUnloaded();
}

frmsplash &Forms::frmsplash()
{
    return get<class frmsplash>();
}
frmlogon &Forms::frmlogon()
{
    return get<class frmlogon>();
}
frmstartup &Forms::frmstartup()
{
    return get<class frmstartup>();
}
frmmain &Forms::frmmain()
{
    return get<class frmmain>();
}
frmsub &Forms::frmsub()
{
    return get<class frmsub>();
}
frmadd &Forms::frmadd()
{
    return get<class frmadd>();
}
frmperiod &Forms::frmperiod()
{
    return get<class frmperiod>();
}
frmpass &Forms::frmpass()
{
    return get<class frmpass>();
}
frmprop &Forms::frmprop()
{
    return get<class frmprop>();
}

Forms &forms()
{
    static Forms registry;
    return registry;
}

} // namespace horalink
