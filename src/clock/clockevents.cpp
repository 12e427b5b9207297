// Clock in and clock out: the two events every time log is made of.
#include "app/clock.h"
#include "app/forms.h"
#include "app/prompts.h"
#include "clock/frmsub.h"
#include "db/datacontrol.h"
#include "db/timelog.h"
#include "db/connection.h"
#include "mainwin/frmmain.h"

#include <QLabel>
#include <QLineEdit>

namespace horalink {

namespace {


QString lastEventStatus(DataControl &log)
{
    log.moveLast();
    return log.field(QStringLiteral("inoutfx")).toString();
}

void appendEvent(DataControl &log, const QString &name, const QString &status, const QString *task)
{
    log.addNew();
    log.setField(QStringLiteral("Ename"), name);
    log.setField(QStringLiteral("datetime"), clock().now());
    log.setField(QStringLiteral("inoutfx"), status);
    if (task)
        log.setField(QStringLiteral("activity"), *task);
    log.update();
}

} // namespace

void frmmain::clockin_Click()
{
    clockInCommand();
}

void frmmain::Clkin_Click()
{
    clockInCommand();
}

void frmmain::clockInCommand()
{
    database->refresh();
    if (!database->eof() && lastEventStatus(*database) == ClockedIn) {
        prompts().warning(QStringLiteral("You must first Clock Out."),
                          QStringLiteral("Clock In Error"));
        return;
    }
    if (m_switches.subs) {
        fxnclockin(m_session.employee);
        return;
    }
    frmsub &prompt = forms().frmsub();
    prompt.show();
    prompt.raise();
    prompt.activateWindow();
}

void frmmain::fxnclockin(const QString &thisusername)
{
    QString task = forms().frmsub().activity->text();
    if (task.isEmpty())
        task = QStringLiteral(" ");

    database->setRecordSource(thisusername);
    bool refused = false;
    {
        // The check of the last event and the append are one step for any other copy of the
        // program on the same file.
        Transaction transaction(database->connection(), thisusername);
        database->refresh();
        if (database->eof()) {
            appendEvent(*database, m_session.employee, ClockedIn, &task);
            database->refresh();
            database->moveLast();
        } else if (lastEventStatus(*database) == ClockedOut) {
            appendEvent(*database, m_session.employee, ClockedIn, &task);
            database->moveLast();
        } else {
            refused = true;
        }
        transaction.commit();
    }
    if (refused)
        prompts().warning(QStringLiteral("You must first Clock Out."),
                          QStringLiteral("Clock In Error"));
    fxngettotal(m_session.employee);
    if (!database->eof())
        database->moveLast();
    forms().frmsub().activity->clear();
}

void frmmain::clockout_Click()
{
    fxnclockout(m_session.employee);
}

void frmmain::clkout_Click()
{
    fxnclockout(m_session.employee);
}

void frmmain::fxnclockout(const QString &username)
{
    database->setRecordSource(username);
    QString refusal;
    {
        Transaction transaction(database->connection(), username);
        database->refresh();
        if (database->eof())
            refusal = QStringLiteral("You must first Clock in.");
        else if (lastEventStatus(*database) == ClockedIn)
            appendEvent(*database, m_session.employee, ClockedOut, nullptr);
        else
            refusal = QStringLiteral("You must first Clock In.");
        if (refusal.isEmpty())
            database->moveLast();
        transaction.commit();
    }
    if (!refusal.isEmpty())
        prompts().warning(refusal, QStringLiteral("Clock out Error"));
    fxngettotal(m_session.employee);
}

} // namespace horalink
