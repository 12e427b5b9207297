#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

namespace horalink {

// Reads a file the export wrote back into rows of fields, as a spreadsheet would: the
// byte-order mark, quoted fields with doubled quotes and line breaks inside, CR LF line ends.
// A text that breaks these rules fails the running test.
QList<QStringList> readCsv(const QByteArray &content, QChar separator);

QByteArray contentOf(const QString &path);

} // namespace horalink
