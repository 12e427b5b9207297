#include "pdftext.h"

#include "reports/card.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

namespace horalink {

namespace {

QString popplerOutput(const QStringList &arguments)
{
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"), arguments);
    if (!tool.waitForFinished(60000) || tool.exitCode() != 0) {
        qWarning() << "pdftotext" << arguments << "failed:" << tool.readAllStandardError();
        return {};
    }
    return QString::fromUtf8(tool.readAllStandardOutput());
}

} // namespace

bool canReadPdf()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

QList<QStringList> pdfPages(const QString &file)
{
    QList<QStringList> pages;
    const QString text = popplerOutput({QStringLiteral("-layout"), file, QStringLiteral("-")});
    // pdftotext ends every page with a form feed.
    QStringList pageTexts = text.split(QLatin1Char('\f'));
    pageTexts.removeLast();
    for (const QString &page : pageTexts) {
        QStringList lines;
        for (const QString &line : page.split(QLatin1Char('\n'))) {
            if (!line.simplified().isEmpty())
                lines << line.simplified();
        }
        pages << lines;
    }
    return pages;
}

QStringList cardText(const TimeCard &card)
{
    QStringList lines;
    for (const CardLine &line : card.lines) {
        QStringList items;
        for (const CardItem &item : line.items)
            items << item.text;
        if (!items.join(QLatin1Char(' ')).simplified().isEmpty())
            lines << items.join(QLatin1Char(' ')).simplified();
    }
    return lines;
}

QList<PdfPage> pdfWords(const QString &file)
{
    static const QRegularExpression page(
        QStringLiteral("<page width=\"([\\d.]+)\" height=\"([\\d.]+)\""));
    static const QRegularExpression word(
        QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" "
                       "yMax=\"([\\d.]+)\">([^<]*)</word>"));
    QList<PdfPage> pages;
    const QString html = popplerOutput({QStringLiteral("-bbox"), file, QStringLiteral("-")});
    for (const QString &pageHtml : html.split(QStringLiteral("</page>"))) {
        const auto size = page.match(pageHtml);
        if (!size.hasMatch())
            continue;
        PdfPage out{size.captured(1).toDouble(), size.captured(2).toDouble(), {}};
        for (auto words = word.globalMatch(pageHtml); words.hasNext();) {
            const auto match = words.next();
            out.words << PdfWord{match.captured(5), match.captured(1).toDouble(),
                                 match.captured(2).toDouble(), match.captured(3).toDouble(),
                                 match.captured(4).toDouble()};
        }
        pages << out;
    }
    return pages;
}

} // namespace horalink
