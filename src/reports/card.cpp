#include "card.h"

#include "db/datetimetext.h"
#include "reports/columns.h"
#include "reports/figures.h"
#include "reports/lineprinter.h"

#include <optional>

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

// Nothing when either stamp cannot be read: such a pair is printed but counts nothing.
std::optional<qint64> minutesOf(const Pair &pair)
{
    if (!pair.clockIn.isValid() || !pair.clockOut.isValid())
        return std::nullopt;
    return minuteDifference(pair.clockIn, pair.clockOut);
}

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
    // A row that does not open a pair is passed over alone; a printed pair takes two rows.
    for (qsizetype row = 0; row < rows.size(); ++row) {
        if (!before(rows[row].stamp, endingDate))
            continue;
        Pair pair{rows[row].stamp, now, rows[row].activity};
        ++row;
        if (row < rows.size() && !after(rows[row].stamp, endingDate))
            pair.clockOut = rows[row].stamp;
        const auto minutes = minutesOf(pair);
        const QString subtotal = minutes ? patternText(subtotalText(float(*minutes))) : QString();
        details << detailLine(pair, subtotal);
        total = addPrintedHours(total, subtotal);
    }
    return card(QStringLiteral("Horalink Data for:  "), company, employee, now, details,
                patternText(cardHoursText(total)));
}

TimeCard userCard(const QString &company, const QString &employee, const QList<TimeLogRow> &rows,
                  bool clockedIn, const QDateTime &now)
{
    QList<CardLine> details;
    float totalMinutes = 0.0f;
    for (qsizetype row = 0; row < rows.size(); row += 2) {
        const Pair pair{rows[row].stamp, row + 1 < rows.size() ? rows[row + 1].stamp : now,
                        rows[row].activity};
        const auto minutes = minutesOf(pair);
        details << detailLine(pair, minutes ? subtotalText(float(*minutes)) : QString());
        if (minutes)
            totalMinutes = addMinutes(totalMinutes, *minutes);
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
