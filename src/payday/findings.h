#pragma once

#include "db/datetimetext.h"
#include "db/timelogrows.h"
#include "payday/period.h"

#include <functional>
#include <QList>
#include <QString>

namespace horalink {

class ZoneChanges;

// What can be wrong in a time log, so that the totals count other hours than were worked.
enum class FindingKind
{
    // Listed in the employee list without a time log.
    NoTimeLog,
    // A row whose date and time cannot be read: its pair counts nothing.
    UnreadableStamp,
    // The last row is a clock-in of more than 16 hours ago: a forgotten clock-out.
    ForgottenClockOut,
    // A status other than "Clocked In" and "Clocked Out".
    UnknownStatus,
    // The same status as the event before; two clock-outs in a row are told as the next kind.
    SameStatusTwice,
    // A clock-out that no clock-in opens, first in the log or after another clock-out: a
    // forgotten clock-in, or one cleared away with the log.
    ClockOutWithoutClockIn,
    // A date and time earlier than the event's before it in stored order: edited or back-dated.
    EarlierThanBefore,
    // A pair whose first row is a clock-out: the time between two shifts is counted as work.
    PairOpenedByClockOut,
    NegativePair,
    // A pair longer than 16 hours.
    LongPair,
    // A pair across a change of the time zone's offset: the wall clock counts other minutes
    // than passed.
    ZoneChange,
    // A pair with a stamp in an hour the clock showed twice or never: the minutes that passed
    // cannot be known, only the ways to read it.
    AmbiguousTime,
    // A shift still open that the period pays: up to the period's end, or, before the period
    // has ended, up to now.
    OpenShift,
    FutureStamp,
    // 1,000 hours or more in the period: the four-character hours text cuts them.
    ThousandHours,
    // An event of the period corrected or removed after it was first stored, as the change
    // history tells it.
    ChangedAfterStored,
    // A password kept as typed in a database that holds hashes: an edit made outside the
    // program, and refused at sign-on.
    PasswordStoredAsTyped,
    // An event a clock kept while the server was away, delivered after the log had gone on
    // without it: it follows an event of its own kind (another clock's), or is a clock-out
    // into an empty log. Stored all the same; the pair is for a person to judge.
    DeliveredOutOfTurn,
};

struct Finding
{
    QString employee;
    FindingKind kind;
    // The event's row in stored order, counted from 1; 0 for a finding about the whole log.
    int row = 0;
    // The event's date and time; invalid when it has none that can be read.
    QDateTime stamp;
    // What was found, with the figures.
    QString detail;
};

// How the dates and times within a finding's detail are written: as stored for the tool and
// for files, in the locale's form for a window.
using StampText = std::function<QString(const QDateTime &)>;

// The findings of one employee's log for a period. Findings about a row, a pair or the total
// of the period concern the period's rows and the pairs it pays (see shareOf), a pair across
// the period's edge in each period that pays part of it, and an event stamped
// earlier than the one before it is reported when either lies in the period. A forgotten
// clock-out, an unreadable stamp and an event dated after `now` are reported whatever the
// period: they cannot wait for the period they belong to.
QList<Finding> findingsOf(const QString &employee, const QList<TimeLogRow> &rows,
                          const Period &period, const QDateTime &now, const ZoneChanges &zones,
                          const StampText &stampText = storedStamp);

// The kind in a few words.
QString kindText(FindingKind kind);

// Where the finding is: the event's date and time in the form given, or its row when it has
// no readable one; empty for a finding about the whole log.
QString whenText(const Finding &finding, const StampText &stampText);

// A finding on one line: the employee, the event's date and time (or its row when it has no
// readable one), the kind and the detail, parted by tabs. Line breaks and tabs in a name, and
// in the detail (who changed an event, what it held), are shown as \n, \r and \t so that one
// finding stays one line.
QString findingLine(const Finding &finding);
// The text with line breaks, tabs and backslashes shown as \n, \r, \t and \\.
QString oneLine(QString text);

} // namespace horalink
