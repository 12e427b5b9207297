#include "card.h"

#include "db/datetimetext.h"
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
    card.lines << details;
    card.lines << CardLine{} << CardLine{}
               << CardLine{{{Left, employee + QStringLiteral(" has a total of ") + total +
                                       QStringLiteral(" hours ")}}};
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

void printCard(const TimeCard &card, LinePrinter &printer)
{
    printer.startDocument(card.name);
    for (const CardLine &line : card.lines) {
        if (line.underlined)
            printer.underline(true);
        for (const CardItem &item : line.items)
            printer.print(item.column, item.text);
        printer.endLine();
        if (line.underlined)
            printer.underline(false);
    }
    printer.endPage();
    printer.endDocument();
}

} // namespace horalink
