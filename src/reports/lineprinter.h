#pragma once

#include <QString>

namespace horalink {

// A printer used as a line printer: every printed time card is told to one, the system's
// default printer in the program (ui/printer.h), a recording one in tests.
class LinePrinter
{
public:
    virtual ~LinePrinter() = default;

    // Starts one print job; the name is what the print queue, or a file, calls it.
    virtual void startDocument(const QString &name) = 0;
    // Prints an item from its column onward (see ColumnLayout).
    virtual void print(int column, const QString &text) = 0;
    virtual void endLine() = 0;
    virtual void underline(bool on) = 0;
    // What follows starts on a new page; a page left empty is never printed.
    virtual void endPage() = 0;
    // Sends the job to the printer.
    virtual void endDocument() = 0;

    // A run of documents, one for each employee: a printer that asks where each document goes
    // asks once, before the first. False when the user chose not to print any.
    virtual bool startBatch() { return true; }
    virtual void endBatch() {}

    // Whether documents are saved as PDF files instead, there being no printer to send them to.
    virtual bool savesAsPdf() const { return false; }

    // The measures of the document started, for laying it out in pages: how many lines fit on
    // a page, 0 for a printer whose pages never fill; how wide a column is; how wide a text
    // prints, in the unit of the column's width.
    virtual int linesPerPage() const { return 0; }
    virtual qreal columnWidth() const { return 1; }
    virtual qreal textWidth(const QString &text) const { return qreal(text.size()); }
};

} // namespace horalink
