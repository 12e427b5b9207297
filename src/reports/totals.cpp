#include "totals.h"

#include "app/clock.h"
#include "app/prompts.h"
#include "db/datacontrol.h"
#include "db/datetimetext.h"
#include "db/timelog.h"
#include "mainwin/frmmain.h"
#include "reports/figures.h"

#include <QLabel>
#include <QLineEdit>

namespace horalink {

namespace {

class PairedMinutes : public TimeLogScan
{
public:
    void row(std::optional<qint64> minute) override
    {
        if (!m_clockIn) {
            m_clockIn = minute;
            return;
        }
        if (*m_clockIn && minute)
            m_total = addMinutes(m_total, *minute - **m_clockIn);
        m_clockIn.reset();
    }

    float total() const { return m_total; }

private:
    float m_total = 0.0f;
    // The first row of a pair still waiting for its second.
    std::optional<std::optional<qint64>> m_clockIn;
};


// Fills an hours and a wages box from a log already known to hold rows. Returns whether the
// log ended in an open shift.
bool showTotals(DataControl &view, const QString &wageText, QLabel *hoursBox, QLabel *wagesBox)
{
    const LoggedMinutes logged =
        loggedMinutes(view.connection(), view.recordSource(), clock().now());
    const QString hours = hoursText(logged.minutes);
    hoursBox->setText(hours);
    if (const auto wages = estimatedWages(wageText, hours))
        wagesBox->setText(wagesText(*wages));
    return logged.openShift;
}

} // namespace

LoggedMinutes loggedMinutes(Connection &connection, const QString &table, const QDateTime &now)
{
    PairedMinutes pairs;
    scanTimeLog(connection, table, pairs);
    const bool open = lastStatus(connection, table).toString() == ClockedIn;
    if (open)
        pairs.row(minuteNumber(now));
    return {pairs.total(), open};
}

void frmmain::fxngettotal(const QString &username)
{
    currmoney->setText(QStringLiteral("0"));
    database->setRecordSource(username);
    database->refresh();
    if (database->eof()) {
        currhours->setText(QStringLiteral("0"));
        return;
    }
    showTotals(*database, m_session.wage, currhours, currmoney);
    database->moveLast();
}

void frmmain::mangettotal(const QString &manuser)
{
    manemoney->setText(QStringLiteral("0"));
    manuse->setRecordSource(manuser);
    manuse->refresh();
    if (manuse->eof()) {
        manehours->setText(QStringLiteral("0"));
        return;
    }
    // With an open shift the log is left on its first row, where it stands after a re-read.
    if (!showTotals(*manuse, emoney->text(), manehours, manemoney))
        manuse->moveLast();
}

void frmmain::Command1_Click()
{
    mangettotal(manlist->text());
    if (!readNumber(emoney->text()))
        prompts().warning(QStringLiteral("The wage \"%1\" is not a number, so no wages can be "
                                         "estimated.")
                              .arg(emoney->text()),
                          QStringLiteral("Get Hrs/$"));
}

} // namespace horalink
