#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace horalink {

struct TimeCard;

// Whether poppler's command-line tools are there to read PDF files back.
bool canReadPdf();

// The text of a PDF file, page by page as `pdftotext -layout` lays it out: each line with
// its blank runs cut to one blank, empty lines left out.
QList<QStringList> pdfPages(const QString &file);
// The card's lines as the same kind of text, for comparing with what came out of a printer.
QStringList cardText(const TimeCard &card);

// One word on a PDF page and the box it takes, in points from the page's top left corner.
struct PdfWord
{
    QString text;
    double x;
    double y;
    double right;
    double bottom;
};

struct PdfPage
{
    double width;
    double height;
    QList<PdfWord> words;
};

QList<PdfPage> pdfWords(const QString &file);

} // namespace horalink
