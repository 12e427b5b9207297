#pragma once

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <QStringView>

class QIODevice;

namespace horalink {

// How a spreadsheet of the locale expects its text files: where the decimal mark is a comma,
// fields are parted by semicolons.
struct CsvFormat
{
    QChar separator;
    QChar decimalMark;

    static CsvFormat of(const QLocale &locale);
};

// Writes RFC 4180 text in UTF-8, starting with a byte-order mark so that spreadsheets take it
// as UTF-8: a field holding the separator, a quote, a carriage return or a line feed is
// quoted, its quotes doubled; lines end in CR LF. A text a spreadsheet would take for a
// formula (one that begins with = + - @, a tab or a carriage return, but no signed number)
// starts with an apostrophe, so that it shows as the text it is. Lines are buffered until
// flush(); once a write to the device fails, nothing more is written and flush() says so.
class CsvWriter
{
public:
    CsvWriter(QIODevice &device, CsvFormat format);
    CsvWriter(const CsvWriter &) = delete;
    CsvWriter &operator=(const CsvWriter &) = delete;

    const CsvFormat &format() const { return m_format; }

    CsvWriter &field(QStringView text);
    // A field already encoded by encoded(), or ASCII text that needs no quotes: what a long
    // file writes on every row.
    CsvWriter &encodedField(QByteArrayView field);
    bool needsQuotes(char16_t c) const;
    QByteArray encoded(QStringView text) const;
    void endLine();
    // False when any line so far could not be written whole.
    bool flush();

private:
    void separate();

    QIODevice &m_device;
    CsvFormat m_format;
    QByteArray m_buffer;
    bool m_lineStarted = false;
    bool m_failed = false;
};

} // namespace horalink
