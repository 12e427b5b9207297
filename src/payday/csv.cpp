#include "csv.h"

#include <algorithm>
#include <QIODevice>

namespace horalink {

namespace {

constexpr qsizetype FlushAt = 1 << 16;

// A sign followed by digits with at most one decimal mark: what a spreadsheet reads as a
// number, not as a formula.
bool isSignedNumber(QStringView text)
{
    if (text.size() < 2 || (text.front() != u'+' && text.front() != u'-'))
        return false;
    int digits = 0;
    int marks = 0;
    for (const QChar c : text.mid(1)) {
        if (c == u'.' || c == u',')
            ++marks;
        else if (c >= u'0' && c <= u'9')
            ++digits;
        else
            return false;
    }
    return digits > 0 && marks <= 1;
}

// A text a spreadsheet would run as a formula (or read as one after a tab or line break it
// drops); the leading apostrophe OWASP advises makes it show the text instead.
bool readAsFormula(QStringView text)
{
    if (text.isEmpty())
        return false;
    switch (text.front().unicode()) {
    case u'=':
    case u'@':
    case u'\t':
    case u'\r':
        return true;
    case u'+':
    case u'-':
        return !isSignedNumber(text);
    default:
        return false;
    }
}

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

// A field holding one of these is quoted, its quotes doubled.
bool CsvWriter::needsQuotes(char16_t c) const
{
    return c == m_format.separator || c == u'"' || c == u'\r' || c == u'\n';
}

QByteArray CsvWriter::encoded(QStringView text) const
{
    const bool quoted =
        std::any_of(text.begin(), text.end(), [&](QChar c) { return needsQuotes(c.unicode()); });
    QByteArray out = readAsFormula(text) ? '\'' + text.toUtf8() : text.toUtf8();
    if (!quoted)
        return out;
    return '"' + out.replace('"', "\"\"") + '"';
}

CsvWriter &CsvWriter::field(QStringView text)
{
    separate();
    if (readAsFormula(text)) {
        m_buffer += encoded(text);
        return *this;
    }
    // Plain ASCII that needs no quotes, as nearly every field is, goes straight in.
    const qsizetype start = m_buffer.size();
    m_buffer.resize(start + text.size());
    char *out = m_buffer.data() + start;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= 0x80 || needsQuotes(u)) {
            m_buffer.truncate(start);
            m_buffer += encoded(text);
            break;
        }
        *out++ = char(u);
    }
    return *this;
}

CsvWriter &CsvWriter::encodedField(QByteArrayView field)
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

bool CsvWriter::flush()
{
    if (!m_buffer.isEmpty() && !m_failed)
        m_failed = m_device.write(m_buffer) != m_buffer.size();
    m_buffer.clear();
    return !m_failed;
}

} // namespace horalink
