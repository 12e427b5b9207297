#pragma once

#include "db/newfile.h"
#include "reports/columns.h"
#include "reports/lineprinter.h"

#include <functional>
#include <memory>
#include <optional>
#include <QFont>
#include <QPainter>
#include <QSet>

class QPagedPaintDevice;
class QPdfWriter;
class QPrinter;

namespace horalink {

// The system's default printer, one print job per document. Columns are average character
// widths of the card's font. A computer without a default printer saves each document as a
// PDF file where the user says; a batch of documents, in one folder the user picks once, each
// in a file of its own that nothing in the folder held before. A PDF file is written as a
// NewFile, never through a link.
class SystemPrinter : public LinePrinter
{
public:
    // Asks where to save a document, proposing a file; an empty answer saves nothing.
    using FileChooser = std::function<QString(const QString &proposedFile)>;

    explicit SystemPrinter(FileChooser chooseFile = askForPdfFile);
    ~SystemPrinter() override;

    void startDocument(const QString &name) override;
    void print(int column, const QString &text) override;
    void endLine() override;
    void underline(bool on) override;
    void endPage() override;
    void endDocument() override;
    bool startBatch() override;
    void endBatch() override;

    // A save dialog for PDF files.
    static QString askForPdfFile(const QString &proposedFile);
    // Where documents are proposed to be saved, the same every time: the user's documents
    // folder, or the home folder where there is none.
    static QString proposedFolder();
    // Where a document of this name is proposed to be saved: in the proposed folder, the name
    // made fit for a file name.
    static QString proposedPdfFile(const QString &documentName);

private:
    bool openPrinter(const QString &name);
    bool openPdfFile(const QString &file, NewFile::Existing existing);
    QString batchFile(const QString &name);
    void closeDevice();

    FileChooser m_chooseFile;
    // Where a batch of documents goes when there is no default printer, and the names its
    // files took so far, as a file system that ignores case compares them.
    QString m_batchFolder;
    QSet<QString> m_batchFiles;
    std::unique_ptr<QPrinter> m_printer;
    std::unique_ptr<NewFile> m_pdfFile;
    std::unique_ptr<QPdfWriter> m_pdf;
    // The printer or the PDF file that the document goes to.
    QPagedPaintDevice *m_device = nullptr;
    // Declared after the printer, so that a document still open is ended before it goes.
    QPainter m_painter;
    // What the user is told when the document cannot be printed.
    QString m_failure;
    QFont m_font;
    std::optional<ColumnLayout> m_columns;
    qreal m_top = 0;
    bool m_pageEnded = false;
};

} // namespace horalink
