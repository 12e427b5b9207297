#include "findings.h"

#include "db/datetimetext.h"
#include "db/timelog.h"
#include "payday/pairs.h"
#include "payday/zonechanges.h"
#include "reports/figures.h"

#include <QStringList>

namespace horalink {

namespace {

// More than this is no shift: a forgotten clock-out, or a mistyped date.
constexpr qint64 LongestShift = 16 * 60;
// From here on the four-character hours text loses figures.
constexpr qint64 ThousandHoursInMinutes = 1000 * 60;

QString durationText(qint64 minutes)
{
    const qint64 size = minutes < 0 ? -minutes : minutes;
    return QStringLiteral("%1%2 h %3 min")
        .arg(minutes < 0 ? QStringLiteral("-") : QString())
        .arg(size / 60)
        .arg(size % 60, 2, 10, QLatin1Char('0'));
}

QString quoted(const QVariant &status)
{
    return status.isNull() ? QStringLiteral("no status")
                           : QLatin1Char('"') + status.toString() + QLatin1Char('"');
}

bool isKnownStatus(const QVariant &status)
{
    const QString text = status.toString();
    return !status.isNull() && (text == ClockedIn || text == ClockedOut);
}

// One log's findings, gathered in stored order.
class LogCheck
{
public:
    LogCheck(const QString &employee, const QList<TimeLogRow> &rows, const Period &period,
             const QDateTime &now, const ZoneChanges &zones, const StampText &stampText)
        : m_employee(employee), m_rows(rows), m_period(period), m_now(now), m_zones(zones),
          m_stampText(stampText), m_pairs(logPairs(rows, now)), m_held(rows.size(), false)
    {
        for (const qsizetype row : rowsOfPeriod(m_pairs, rows, period))
            m_held[row] = true;
    }

    QList<Finding> run()
    {
        qint64 total = 0;
        for (const LogPair &pair : m_pairs) {
            checkRow(pair.clockIn);
            if (pair.openShift)
                checkOpenShift(pair);
            if (const auto share = shareOf(pair, m_rows, m_period)) {
                checkPair(pair, *share);
                total += share->minutes;
            }
            if (pair.clockOut)
                checkRow(*pair.clockOut);
        }
        if (total >= ThousandHoursInMinutes)
            add(-1, FindingKind::ThousandHours,
                QStringLiteral("%1 in the period; \"Tot. Hours\" shows \"%2\"")
                    .arg(durationText(total), hoursText(float(total))));
        return m_findings;
    }

private:
    void add(qsizetype row, FindingKind kind, const QString &detail)
    {
        m_findings << Finding{m_employee, kind, int(row + 1),
                              row < 0 ? QDateTime() : m_rows[row].stamp, detail};
    }

    void checkRow(qsizetype row)
    {
        const TimeLogRow &event = m_rows[row];
        if (!event.stamp.isValid())
            add(row, FindingKind::UnreadableStamp,
                QStringLiteral("row %1 holds no date and time that can be read").arg(row + 1));
        else if (event.stamp > m_now)
            add(row, FindingKind::FutureStamp,
                QStringLiteral("it is now %1").arg(m_stampText(m_now)));
        if (m_held[row])
            checkStatus(row);
        // Within a pair, a clock-out before its clock-in is told as a negative pair.
        if (row % 2 == 0 && row > 0 && (m_held[row] || m_held[row - 1]))
            checkOrder(row);
    }

    void checkStatus(qsizetype row)
    {
        const QVariant &status = m_rows[row].status;
        if (!isKnownStatus(status))
            add(row, FindingKind::UnknownStatus,
                quoted(status) + QStringLiteral(" is neither \"Clocked In\" nor \"Clocked Out\""));
        else if (status.toString() == ClockedOut)
            checkClockOutOpened(row);
        else if (row > 0 && m_rows[row - 1].status == status)
            add(row, FindingKind::SameStatusTwice,
                quoted(status) + QStringLiteral(" follows ") + quoted(status));
    }

    void checkClockOutOpened(qsizetype row)
    {
        if (row == 0)
            add(row, FindingKind::ClockOutWithoutClockIn,
                QStringLiteral("the log begins with it: a forgotten clock-in, or one cleared "
                               "with the log"));
        else if (m_rows[row - 1].status.toString() == ClockedOut)
            add(row, FindingKind::ClockOutWithoutClockIn,
                QStringLiteral("no clock-in since the clock-out of %1: a forgotten clock-in")
                    .arg(m_stampText(m_rows[row - 1].stamp)));
    }

    void checkOrder(qsizetype row)
    {
        const QDateTime &before = m_rows[row - 1].stamp;
        const QDateTime &stamp = m_rows[row].stamp;
        if (before.isValid() && stamp.isValid() && stamp < before)
            add(row, FindingKind::EarlierThanBefore,
                QStringLiteral("stored after an event of %1").arg(m_stampText(before)));
    }

    void checkOpenShift(const LogPair &pair)
    {
        if (pair.minutes && *pair.minutes > LongestShift)
            add(pair.clockIn, FindingKind::ForgottenClockOut,
                QStringLiteral("still clocked in after %1").arg(durationText(*pair.minutes)));
    }

    void checkPair(const LogPair &pair, const PairShare &share)
    {
        const qsizetype row = pair.clockIn;
        if (pair.clockOut && m_rows[row].status.toString() == ClockedOut)
            add(row, FindingKind::PairOpenedByClockOut,
                QStringLiteral("the totals count the time from this clock-out to the next "
                               "event as work"));
        if (!pair.minutes)
            return;
        const qint64 minutes = *pair.minutes;
        if (minutes < 0)
            add(row, FindingKind::NegativePair,
                QStringLiteral("clocked out at %1, before clocking in: %2")
                    .arg(m_stampText(pair.end), durationText(minutes)));
        else if (minutes > LongestShift && !pair.openShift)
            add(row, FindingKind::LongPair,
                QStringLiteral("%1 until %2").arg(durationText(minutes), m_stampText(pair.end)));
        checkZone(row, share);
        if (pair.openShift)
            add(row, FindingKind::OpenShift, openShiftText(share));
    }

    // Only the minutes the period pays are weighed: a change beyond its edge is another
    // period's.
    void checkZone(qsizetype row, const PairShare &share)
    {
        const QList<int> changes = m_zones.offsetChanges(share.from, share.to);
        if (changes.size() == 1 && changes[0] != 0)
            add(row, FindingKind::ZoneChange,
                QStringLiteral("%1 minutes by the wall clock, %2 minutes elapsed until %3")
                    .arg(share.minutes)
                    .arg(share.minutes - changes[0] / 60)
                    .arg(m_stampText(share.to)));
        else if (changes.size() > 1)
            add(row, FindingKind::AmbiguousTime,
                QStringLiteral("%1 minutes by the wall clock; %2 minutes elapsed until %3, as ")
                        .arg(share.minutes)
                        .arg(elapsedText(share.minutes, changes), m_stampText(share.to)) +
                    readingsText(share));
    }

    // Every way the minutes may have passed, fewest first: "180, 240 or 300".
    static QString elapsedText(qint64 minutes, const QList<int> &changes)
    {
        QStringList ways;
        for (auto change = changes.crbegin(); change != changes.crend(); ++change)
            ways << QString::number(minutes - *change / 60);
        const QString last = ways.takeLast();
        return ways.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
    }

    QString readingsText(const PairShare &share) const
    {
        QStringList told;
        for (const QDateTime &stamp : {share.from, share.to}) {
            switch (m_zones.reading(stamp)) {
            case WallClockReading::Once:
                break;
            case WallClockReading::Twice:
                told << QStringLiteral("the clock showed %1 twice").arg(m_stampText(stamp));
                break;
            case WallClockReading::Never:
                told << QStringLiteral("the clock never showed %1").arg(m_stampText(stamp));
                break;
            }
        }
        return told.join(QStringLiteral(" and "));
    }

    QString openShiftText(const PairShare &share) const
    {
        if (minuteNumber(m_now) < minuteNumber(m_period.to))
            return QStringLiteral("still clocked in before the period has ended: it pays %1 up "
                                  "to now; export it again once the period has ended")
                .arg(durationText(share.minutes));
        return QStringLiteral("still clocked in at the period's end: it pays %1 up to %2, and "
                              "the periods after it pay the rest")
            .arg(durationText(share.minutes), m_stampText(share.to));
    }

    const QString &m_employee;
    const QList<TimeLogRow> &m_rows;
    const Period &m_period;
    const QDateTime &m_now;
    const ZoneChanges &m_zones;
    const StampText &m_stampText;
    const QList<LogPair> m_pairs;
    QList<bool> m_held;
    QList<Finding> m_findings;
};

} // namespace

QString oneLine(QString text)
{
    return text.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
        .replace(QLatin1Char('\n'), QLatin1String("\\n"))
        .replace(QLatin1Char('\r'), QLatin1String("\\r"))
        .replace(QLatin1Char('\t'), QLatin1String("\\t"));
}

QList<Finding> findingsOf(const QString &employee, const QList<TimeLogRow> &rows,
                          const Period &period, const QDateTime &now, const ZoneChanges &zones,
                          const StampText &stampText)
{
    return LogCheck(employee, rows, period, now, zones, stampText).run();
}

QString kindText(FindingKind kind)
{
    static const std::pair<FindingKind, const char *> texts[] = {
        {FindingKind::NoTimeLog, "no time log"},
        {FindingKind::UnreadableStamp, "unreadable date and time"},
        {FindingKind::ForgottenClockOut, "forgotten clock-out"},
        {FindingKind::UnknownStatus, "unknown status"},
        {FindingKind::SameStatusTwice, "same status twice"},
        {FindingKind::ClockOutWithoutClockIn, "clock-out without a clock-in"},
        {FindingKind::EarlierThanBefore, "earlier than the event before it"},
        {FindingKind::PairOpenedByClockOut, "pair opened by a clock-out"},
        {FindingKind::NegativePair, "negative pair"},
        {FindingKind::LongPair, "pair over 16 hours"},
        {FindingKind::ZoneChange, "pair across a time zone change"},
        {FindingKind::AmbiguousTime, "time the clock showed twice or never"},
        {FindingKind::OpenShift, "shift still open"},
        {FindingKind::FutureStamp, "dated in the future"},
        {FindingKind::ThousandHours, "1,000 hours or more"},
        {FindingKind::ChangedAfterStored, "changed after it was stored"},
        {FindingKind::PasswordStoredAsTyped, "password stored as typed"},
        {FindingKind::DeliveredOutOfTurn, "delivered out of turn"},
    };
    for (const auto &[known, text] : texts) {
        if (known == kind)
            return QString::fromLatin1(text);
    }
    return {};
}

QString whenText(const Finding &finding, const StampText &stampText)
{
    if (finding.stamp.isValid())
        return stampText(finding.stamp);
    if (finding.row > 0)
        return QStringLiteral("row %1").arg(finding.row);
    return {};
}

QString findingLine(const Finding &finding)
{
    QString when = whenText(finding, storedStamp);
    if (when.isEmpty())
        when = QStringLiteral("-");
    return oneLine(finding.employee) + QLatin1Char('\t') + when + QLatin1Char('\t') +
           kindText(finding.kind) + QStringLiteral(": ") + oneLine(finding.detail);
}

} // namespace horalink
