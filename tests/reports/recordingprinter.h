#pragma once

#include "reports/columns.h"
#include "reports/lineprinter.h"

#include <functional>
#include <optional>
#include <QList>
#include <QStringList>

namespace horalink {

// One document as it would have come out of the printer.
struct PrintedDocument
{
    QString name;
    // The lines as text, each item at its column, one character to a column.
    QStringList lines;
    // What was printed while underlining was on.
    QStringList underlined;
    int pages = 1;
    // The lines again, page by page.
    QList<QStringList> pageLines{{}};
    bool ended = false;
};

// Keeps what is printed instead of printing it.
class RecordingPrinter : public LinePrinter
{
public:
    void startDocument(const QString &name) override;
    void print(int column, const QString &text) override;
    void endLine() override;
    void underline(bool on) override;
    void endPage() override;
    void endDocument() override;
    int linesPerPage() const override { return pageHeight; }

    QList<PrintedDocument> documents;
    // Every call the printer was given, in order ("print 5 Clock In", "endLine").
    QStringList calls;
    // How many lines a page holds; 0 for a printer without pages to fill.
    int pageHeight = 0;
    // Called as each document starts, to see what the user was shown before.
    std::function<void()> onStart;

private:
    PrintedDocument &document();
    void addLine();

    std::optional<ColumnLayout> m_columns;
    QString m_line;
    bool m_underline = false;
    bool m_pageEnded = false;
};

} // namespace horalink
