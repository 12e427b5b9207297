// The main window's clock-ins and clock-outs while the server is away: kept on this clock, and
// sent in their order once it answers again.
#include "clock/clockqueue.h"
#include "clock/keptclocking.h"
#include "db/database.h"
#include "db/timelog.h"
#include "ui/datacontrol.h"
#include "ui/frmmain.h"
#include "ui/keptclock.h"
#include "ui/prompts.h"

#include <QLabel>
#include <QLineEdit>

namespace horalink {

// Clocks on the server when it answers and nothing kept waits before the event; else keeps
// the event on the clock. A server lost while it stored the event may have stored it: the
// event is kept all the same, and sending it finds it there.
frmmain::Clocked
frmmain::clockHere(const QString &status, const std::function<ClockOutcome()> &onServer,
                   const std::function<std::optional<ClockOutcome>(ClockQueue &, bool)> &keeping)
{
    ClockQueue *queue = clockQueue();
    if (!queue)
        return {onServer(), false};
    bool mayBeStored = false;
    try {
        if (sendKept(*queue)) {
            const ClockOutcome outcome = onServer();
            // Known at once: the totals that tell it may find the server gone.
            if (outcome == ClockOutcome::Stored)
                queue->learnStatus(m_session.employee, status);
            return {outcome, false};
        }
    } catch (const DbError &error) {
        if (!goesOnAway(error))
            throw;
        mayBeStored = true;
    }
    return {keeping(*queue, mayBeStored), true};
}

frmmain::Clocked frmmain::clockInHere(const QString &task, const QDateTime &now)
{
    return clockHere(
        ClockedIn, [&] { return clockIn(serverHere(), m_session, task, now); },
        [&](ClockQueue &queue, bool mayBeStored) {
            return keepClockIn(queue, m_session, task, now, mayBeStored);
        });
}

frmmain::Clocked frmmain::clockOutHere(const QDateTime &now)
{
    return clockHere(
        ClockedOut, [&] { return clockOut(serverHere(), m_session, now); },
        [&](ClockQueue &queue, bool mayBeStored) {
            return keepClockOut(queue, m_session, now, mayBeStored);
        });
}

bool frmmain::sendKept(ClockQueue &queue)
{
    if (queue.events().empty())
        return true;
    try {
        sendKeptEvents(serverHere(), queue);
    } catch (const DbError &error) {
        if (!goesOnAway(error))
            throw;
        return false;
    }
    showKeptNote(SentNote);
    return true;
}

bool frmmain::refreshLogHere()
{
    try {
        userLog->refresh();
        return true;
    } catch (const DbError &error) {
        if (!goesOnAway(error))
            throw;
    }
    return false;
}

std::optional<QString> frmmain::lastStatusHere()
{
    // Kept events are sent with the press, stamped first; until then the last is the clock's.
    ClockQueue *queue = clockQueue();
    if (!queue || queue->events().empty()) {
        try {
            if (refreshLogHere())
                return lastStatus(serverHere(), m_session.employee);
        } catch (const DbError &error) {
            if (!goesOnAway(error))
                throw;
        }
    }
    return queue->lastStatus(m_session.employee).value_or(std::nullopt);
}

void frmmain::totalsHere()
{
    try {
        if (ClockQueue *queue = clockQueue()) {
            sendKept(*queue);
            if (!queue->unsavedKnowledge().isEmpty())
                showKeptNote(queue->unsavedKnowledge() +
                             QStringLiteral(" Without it, this clock cannot go on while the "
                                            "server is away."));
        }
        fxngettotal();
    } catch (const DbError &error) {
        if (!goesOnAway(error))
            throw;
        showAway(error);
    }
}

void frmmain::showAway(const DbError &error)
{
    showKnownOnly();
    showKeptNote(error.description() +
                 QStringLiteral(" Clock-ins and clock-outs are saved on this clock; everything "
                                "else needs the server."));
}

void frmmain::showKnownOnly()
{
    // No event, hours or wages of whoever used the clock before are shown for this user, nor
    // an event the kept ones have passed.
    userLog->close();
    eventStampEdit->clear();
    eventTaskLabel->clear();
    // The last event as this clock knows it, which its next clock-in or clock-out follows.
    eventStatusLabel->setText(
        clockQueue()->lastStatus(m_session.employee).value_or(std::nullopt).value_or(QString()));
    hoursLabel->clear();
    wagesLabel->clear();
}

void frmmain::showKeptNote(const QString &text)
{
    keptLabel->setText(text);
    keptLabel->setVisible(!text.isEmpty());
}

void frmmain::tellKept(const Clocked &clocked)
{
    if (clocked.outcome == ClockOutcome::Stored) {
        showKnownOnly();
        showKeptNote(KeptNote);
    } else if (!clocked.outcome)
        prompts().warning(QStringLiteral("The server cannot be reached, and this clock does not "
                                         "know ") +
                              m_session.employee +
                              QStringLiteral("'s last event: nothing was saved. Please try again "
                                             "when the server can be reached."),
                          ProgramTitle);
}

} // namespace horalink
