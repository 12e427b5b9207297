#pragma once

#include "db/timelogrows.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace horalink {

class LinePrinter;

// One item of a printed line, from its column onward (columns count from 1).
struct CardItem
{
    int column;
    QString text;
    bool operator==(const CardItem &) const = default;
};

// A printed line; a line without items is a blank line.
struct CardLine
{
    QList<CardItem> items;
    bool underlined = false;
    bool operator==(const CardLine &) const = default;
};

// A time card as it goes to the printer: the print job's name and the lines, top to bottom.
struct TimeCard
{
    QString name;
    QList<CardLine> lines;
};

// The manager's card of one employee: the pairs whose clock-in lies before the ending date
// (minutes compared, seconds dropped), a clock-out that is missing or lies after the ending
// date taken as `now`, subtotals and total in the "###.0" pattern.
TimeCard managerCard(const QString &company, const QString &employee, const QList<TimeLogRow> &rows,
                     const QDateTime &endingDate, const QDateTime &now);

// The user's own card: every pair of the log, a last row without a partner closed at `now`.
// Its title tells whether the user is clocked in.
TimeCard userCard(const QString &company, const QString &employee, const QList<TimeLogRow> &rows,
                  bool clockedIn, const QDateTime &now);

// Prints a card as a print job of its own.
void printCard(const TimeCard &card, LinePrinter &printer);

} // namespace horalink
