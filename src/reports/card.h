#pragma once

#include "db/timelogrows.h"

#include <functional>
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
// The first `headLines` head the card, the last `closingLines` close it (the total and the
// blank lines above it).
struct TimeCard
{
    QString name;
    QList<CardLine> lines;
    qsizetype headLines = 0;
    qsizetype closingLines = 0;
};

// The lines of a card page by page, for pages of `linesPerPage` lines; `linesOf` tells how many
// lines of the paper a card line takes. A card that fits one page, or any card when pages hold
// no count of lines (0), is one page of its lines as they are. A longer card starts every page
// with its head lines, the blank second one saying "Page n of m", and keeps its closing lines
// together.
QList<QList<CardLine>> cardPages(const TimeCard &card, int linesPerPage,
                                 const std::function<int(const CardLine &)> &linesOf);

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
