#include "card.h"

#include "db/datetimetext.h"
#include "reports/columns.h"
#include "reports/figures.h"
#include "reports/lineprinter.h"
#include "reports/pairing.h"

namespace horalink {

namespace {

enum Column
{
    Left = 1,
    ClockInColumn = 5,
    ClockOutColumn = 40,
    ActivityColumn = 70,
    SubtotalColumn = 110
};

struct Pair
{
    QDateTime clockIn;
    QDateTime clockOut;
    QVariant activity;
};

QString stampText(const QDateTime &stamp)
{
    return stamp.isValid() ? generalDateText(stamp) : QString();
}

CardLine detailLine(const Pair &pair, const QString &subtotal)
{
    return {{{ClockInColumn, stampText(pair.clockIn)},
             {ClockOutColumn, stampText(pair.clockOut)},
             {ActivityColumn, pair.activity.toString()},
             {SubtotalColumn, subtotal}}};
}

TimeCard card(const QString &title, const QString &company, const QString &employee,
              const QDateTime &now, const QList<CardLine> &details, const QString &total)
{
    TimeCard card{employee + QLatin1Char(' ') + now.date().toString(Qt::ISODate), {}};
    card.lines << CardLine{{{Left, title + company}}} << CardLine{} << CardLine{}
               << CardLine{{{Left, QStringLiteral("Employee Name:  ") + employee}}} << CardLine{}
               << CardLine{{{ClockInColumn, QStringLiteral("Clock In")},
                            {ClockOutColumn, QStringLiteral("Clock Out")},
                            {ActivityColumn, QStringLiteral("Activity")},
                            {SubtotalColumn, QStringLiteral("Sub Total (Hours)")}},
                           true};
    card.headLines = card.lines.size();
    card.lines << details;
    card.lines << CardLine{} << CardLine{}
               << CardLine{{{Left, employee + QStringLiteral(" has a total of ") + total +
                                       QStringLiteral(" hours ")}}};
    card.closingLines = 3;
    return card;
}

bool before(const QDateTime &stamp, const QDateTime &endingDate)
{
    return stamp.isValid() && minuteDifference(stamp, endingDate) > 0;
}

bool after(const QDateTime &stamp, const QDateTime &endingDate)
{
    return stamp.isValid() && minuteDifference(stamp, endingDate) < 0;
}

} // namespace

TimeCard managerCard(const QString &company, const QString &employee, const QList<TimeLogRow> &rows,
                     const QDateTime &endingDate, const QDateTime &now)
{
    QList<CardLine> details;
    float total = 0.0f;
    PairWalk walk;
    qsizetype clockIn = 0;
    // A pair that counts nothing is printed without a subtotal.
    const auto close = [&](const QDateTime &clockOut) {
        walk.take(walkedMinute(clockOut));
        const auto minutes = walk.closedMinutes();
        const QString subtotal = minutes ? patternText(subtotalText(float(*minutes))) : QString();
        details << detailLine({rows[clockIn].stamp, clockOut, rows[clockIn].activity}, subtotal);
        total = addPrintedHours(total, subtotal);
    };
    // Only a row before the ending date opens a pair; any other is passed over alone.
    for (qsizetype row = 0; row < rows.size(); ++row) {
        const QDateTime &stamp = rows[row].stamp;
        if (walk.waiting())
            close(after(stamp, endingDate) ? now : stamp);
        else if (before(stamp, endingDate)) {
            walk.take(walkedMinute(stamp));
            clockIn = row;
        }
    }
    if (walk.waiting())
        close(now);
    return card(QStringLiteral("Horalink Data for:  "), company, employee, now, details,
                patternText(cardHoursText(total)));
}

TimeCard userCard(const QString &company, const QString &employee, const QList<TimeLogRow> &rows,
                  bool clockedIn, const QDateTime &now)
{
    QList<CardLine> details;
    float totalMinutes = 0.0f;
    for (const LogPair &pair : logPairs(rows, now, UnpairedRow::EndsNow)) {
        const TimeLogRow &clockIn = rows[pair.clockIn];
        details << detailLine({clockIn.stamp, pair.end, clockIn.activity},
                              pair.minutes ? subtotalText(float(*pair.minutes)) : QString());
        if (pair.minutes)
            totalMinutes = addMinutes(totalMinutes, *pair.minutes);
    }
    return card(clockedIn ? QStringLiteral("Horalink Log for  ")
                          : QStringLiteral("Horalink Log for:  "),
                company, employee, now, details, subtotalText(totalMinutes));
}

namespace {

using Lines = QList<CardLine>;
using LineCount = std::function<int(const CardLine &)>;

// The head's blank second line: a page number there takes no line of its own, and never
// pushes the title aside however long the company's name.
constexpr qsizetype PageNumberLine = 1;

int linesIn(const Lines &lines, const LineCount &linesOf)
{
    int count = 0;
    for (const CardLine &line : lines)
        count += linesOf(line);
    return count;
}

// What must stand on one page: each detail line, and the closing lines together.
QList<Lines> blocksOf(const TimeCard &card)
{
    QList<Lines> blocks;
    const qsizetype closing = card.lines.size() - card.closingLines;
    for (qsizetype line = card.headLines; line < closing; ++line)
        blocks << Lines{card.lines[line]};
    blocks << card.lines.mid(closing);
    return blocks;
}

// The blocks shared out over pages that each also hold the head; a block too high for any
// page gets one of its own.
QList<Lines> pageBodies(const TimeCard &card, int linesPerPage, const LineCount &linesOf)
{
    const int headLines = linesIn(card.lines.first(card.headLines), linesOf);
    QList<Lines> bodies{{}};
    int used = headLines;
    for (const Lines &block : blocksOf(card)) {
        const int lines = linesIn(block, linesOf);
        if (!bodies.last().isEmpty() && used + lines > linesPerPage) {
            bodies << Lines{};
            used = headLines;
        }
        bodies.last() << block;
        used += lines;
    }
    return bodies;
}

Lines pageHead(const TimeCard &card, qsizetype page, qsizetype pages)
{
    Lines head = card.lines.first(card.headLines);
    head[PageNumberLine].items << CardItem{SubtotalColumn,
                                           QStringLiteral("Page ") + QString::number(page + 1) +
                                               QStringLiteral(" of ") + QString::number(pages)};
    return head;
}

// How many lines of the paper a line takes on this printer, its items placed as it places them.
int printedLines(const CardLine &line, const LinePrinter &printer)
{
    ColumnLayout columns(printer.columnWidth());
    int lines = 1;
    for (const CardItem &item : line.items) {
        if (columns.place(item.column, printer.textWidth(item.text)).nextLine)
            ++lines;
    }
    return lines;
}

void printLine(const CardLine &line, LinePrinter &printer)
{
    if (line.underlined)
        printer.underline(true);
    for (const CardItem &item : line.items)
        printer.print(item.column, item.text);
    printer.endLine();
    if (line.underlined)
        printer.underline(false);
}

} // namespace

QList<QList<CardLine>> cardPages(const TimeCard &card, int linesPerPage, const LineCount &linesOf)
{
    if (linesPerPage <= 0 || linesIn(card.lines, linesOf) <= linesPerPage ||
        card.headLines <= PageNumberLine)
        return {card.lines};
    const QList<Lines> bodies = pageBodies(card, linesPerPage, linesOf);
    QList<Lines> pages;
    for (qsizetype page = 0; page < bodies.size(); ++page)
        pages << pageHead(card, page, bodies.size()) + bodies[page];
    return pages;
}

void printCard(const TimeCard &card, LinePrinter &printer)
{
    printer.startDocument(card.name);
    const auto linesOf = [&printer](const CardLine &line) {
        return printedLines(line, printer);
    };
    for (const Lines &page : cardPages(card, printer.linesPerPage(), linesOf)) {
        for (const CardLine &line : page)
            printLine(line, printer);
        printer.endPage();
    }
    printer.endDocument();
}

} // namespace horalink
