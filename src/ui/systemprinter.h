#pragma once

#include "db/newfile.h"
#include "reports/columns.h"
#include "reports/lineprinter.h"

#include <functional>
#include <memory>
#include <optional>
#include <QFont>
#include <QLocale>
#include <QPageSize>
#include <QPainter>
#include <QSet>

class QPagedPaintDevice;
class QPdfWriter;
class QPrinter;
class QPrinterInfo;

namespace horalink {

// The system's default printer, one print job per document. Columns are average character
// widths of the card's font; text keeps inside margins that every printer can print. A
// computer without a default printer saves each document as a PDF file on the locale's paper
// where the user says, and tells where it went; a batch of documents, in one folder the user
// picks once, each in a file of its own that nothing in the folder held before. A PDF file is
// written as a NewFile, never through a link.
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
    bool savesAsPdf() const override;
    int linesPerPage() const override;
    qreal columnWidth() const override;
    qreal textWidth(const QString &text) const override;

    // A save dialog for PDF files.
    static QString askForPdfFile(const QString &proposedFile);
    // Where a document of this name is proposed to be saved: in the folder the program
    // proposes (Prompts::proposedFolder), the name made fit for a file name.
    static QString proposedPdfFile(const QString &documentName);
    // The paper a PDF file is laid out on: Letter where the locale's paper is Letter (the
    // United States, Canada), A4 elsewhere.
    static QPageSize::PageSizeId paperOf(const QLocale &locale);

private:
    bool openPrinter(const QString &name);
    bool openPdf(const QString &name);
    void openSystemPrinter(const QPrinterInfo &destination, const QString &name);
    bool openPdfFile(const QString &file, NewFile::Existing existing);
    QString batchFile(const QString &name);
    void closeDevice();
    void tellSaved(const QString &file);

    FileChooser m_chooseFile;
    // Where a batch of documents goes when there is no default printer, and the names its
    // files took so far, as a file system that ignores case compares them.
    QString m_batchFolder;
    QSet<QString> m_batchFiles;
    // How many documents of the batch were saved whole.
    int m_batchSaved = 0;
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
    qreal m_columnWidth = 1;
    std::optional<ColumnLayout> m_columns;
    qreal m_top = 0;
    bool m_pageEnded = false;
};

} // namespace horalink
