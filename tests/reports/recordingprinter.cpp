#include "recordingprinter.h"

namespace horalink {

PrintedDocument &RecordingPrinter::document()
{
    if (documents.isEmpty() || documents.last().ended)
        qFatal("printed outside a document");
    return documents.last();
}

void RecordingPrinter::addLine()
{
    document().lines << m_line;
    document().pageLines.last() << m_line;
    m_line.clear();
}

void RecordingPrinter::startDocument(const QString &name)
{
    calls << QStringLiteral("startDocument ") + name;
    if (onStart)
        onStart();
    documents << PrintedDocument{name, {}, {}, 1, {{}}, false};
    m_columns.emplace(1.0);
    m_line.clear();
    m_pageEnded = false;
}

void RecordingPrinter::print(int column, const QString &text)
{
    calls << QStringLiteral("print ") + QString::number(column) + QLatin1Char(' ') + text;
    PrintedDocument &current = document();
    if (m_pageEnded) {
        ++current.pages;
        current.pageLines << QStringList();
        m_pageEnded = false;
    }
    const ColumnLayout::Place place = m_columns->place(column, text.size());
    if (place.nextLine)
        addLine();
    m_line = m_line.leftJustified(int(place.x), QLatin1Char(' ')) + text;
    if (m_underline)
        current.underlined << text;
}

void RecordingPrinter::endLine()
{
    calls << QStringLiteral("endLine");
    addLine();
    m_columns->endLine();
}

void RecordingPrinter::underline(bool on)
{
    calls << (on ? QStringLiteral("underline on") : QStringLiteral("underline off"));
    m_underline = on;
}

void RecordingPrinter::endPage()
{
    calls << QStringLiteral("endPage");
    document();
    m_columns->endLine();
    m_pageEnded = true;
}

void RecordingPrinter::endDocument()
{
    calls << QStringLiteral("endDocument");
    if (!m_line.isEmpty())
        addLine();
    document().ended = true;
}

} // namespace horalink
