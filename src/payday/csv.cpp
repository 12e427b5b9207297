#include "csv.h"

#include <QIODevice>

namespace horalink {

namespace {

constexpr qsizetype FlushAt = 1 << 16;

} // namespace

CsvFormat CsvFormat::of(const QLocale &locale)
{
    const QString mark = locale.decimalPoint();
    const QChar decimalMark = mark.size() == 1 ? mark.front() : QLatin1Char('.');
    return {decimalMark == QLatin1Char(',') ? QLatin1Char(';') : QLatin1Char(','), decimalMark};
}

CsvWriter::CsvWriter(QIODevice &device, CsvFormat format) : m_device(device), m_format(format)
{
    m_buffer.reserve(FlushAt + 1024);
    m_buffer += "\xEF\xBB\xBF";
}

QByteArray CsvWriter::encoded(QStringView text) const
{
    const bool quoted = text.contains(m_format.separator) || text.contains(QLatin1Char('"')) ||
                        text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
    if (!quoted)
        return text.toUtf8();
    QByteArray out = text.toUtf8().replace('"', "\"\"");
    return '"' + out + '"';
}

CsvWriter &CsvWriter::field(QStringView text)
{
    return encodedField(encoded(text));
}

CsvWriter &CsvWriter::encodedField(const QByteArray &field)
{
    separate();
    m_buffer += field;
    return *this;
}

void CsvWriter::separate()
{
    if (m_lineStarted)
        m_buffer += char(m_format.separator.unicode());
    m_lineStarted = true;
}

void CsvWriter::endLine()
{
    m_buffer += "\r\n";
    m_lineStarted = false;
    if (m_buffer.size() >= FlushAt)
        flush();
}

void CsvWriter::flush()
{
    if (m_buffer.isEmpty())
        return;
    m_device.write(m_buffer);
    m_buffer.clear();
}

} // namespace horalink
