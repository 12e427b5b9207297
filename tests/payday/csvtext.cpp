#include "csvtext.h"

#include <QFile>
#include <QTest>

namespace horalink {

QList<QStringList> readCsv(const QByteArray &content, QChar separator)
{
    [&] {
        QVERIFY2(content.startsWith("\xEF\xBB\xBF"), "no byte-order mark");
    }();
    const QString text = QString::fromUtf8(content.mid(3));
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c != QLatin1Char('"'))
                field += c;
            else if (i + 1 < text.size() && text[i + 1] == QLatin1Char('"'))
                field += text[++i];
            else
                quoted = false;
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == separator) {
            row << std::exchange(field, {});
        } else if (c == QLatin1Char('\r')) {
            [&] {
                QVERIFY2(text.mid(i + 1, 1) == QLatin1String("\n"), "a CR without LF");
            }();
            row << std::exchange(field, {});
            rows << std::exchange(row, {});
            ++i;
        } else {
            [&] {
                QVERIFY2(c != QLatin1Char('\n'), "a line ending in LF alone");
            }();
            field += c;
        }
    }
    [&] {
        QVERIFY2(row.isEmpty() && field.isEmpty(), "the last line has no CR LF");
    }();
    return rows;
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace horalink
