#include "systemprinter.h"

#include "ui/prompts.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFontMetricsF>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>

namespace horalink {

namespace {

// The width of a classic line printer: the font is made small enough for this many columns
// to fit across the page, so a card's rightmost column never runs off the paper.
constexpr int LineColumns = 132;
constexpr qreal LargestPointSize = 10.0;
constexpr qreal SmallestPointSize = 5.0;

const QString PrintError = QStringLiteral("Print Error");

QFont cardFont(const QPrinter &printer)
{
    QFont font = QApplication::font();
    for (qreal size = LargestPointSize; size > SmallestPointSize; size -= 0.5) {
        font.setPointSizeF(size);
        if (QFontMetricsF(font, &printer).averageCharWidth() * LineColumns <= printer.width())
            break;
    }
    return font;
}

} // namespace

SystemPrinter::SystemPrinter(FileChooser chooseFile) : m_chooseFile(std::move(chooseFile))
{}

SystemPrinter::~SystemPrinter() = default;

QString SystemPrinter::askForPdfFile(const QString &proposedFile)
{
    QFileDialog dialog(QApplication::activeWindow(),
                       QStringLiteral("No default printer: save the time card as a PDF file"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(QStringLiteral("PDF files (*.pdf)"));
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.setDirectory(QFileInfo(proposedFile).absolutePath());
    dialog.selectFile(QFileInfo(proposedFile).fileName());
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

QString SystemPrinter::proposedFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QDir::homePath() : documents;
}

namespace {

// The document's name made fit for a file name on every system.
QString pdfFileName(const QString &documentName)
{
    QString fileName = documentName;
    for (QChar &c : fileName) {
        if (c.category() == QChar::Other_Control || QStringLiteral("\\/:*?\"<>|").contains(c))
            c = QLatin1Char('_');
    }
    return fileName + QStringLiteral(".pdf");
}

} // namespace

QString SystemPrinter::proposedPdfFile(const QString &documentName)
{
    return QDir(proposedFolder()).filePath(pdfFileName(documentName));
}

bool SystemPrinter::startBatch()
{
    m_batchFolder.clear();
    if (!QPrinterInfo::defaultPrinter().isNull())
        return true;
    m_batchFolder = prompts().folder(
        QStringLiteral("No default printer: save the time cards as PDF files in this folder"),
        proposedFolder());
    return !m_batchFolder.isEmpty();
}

void SystemPrinter::endBatch()
{
    endDocument();
    m_batchFolder.clear();
}

void SystemPrinter::startDocument(const QString &name)
{
    endDocument();
    if (!openPrinter(name))
        return;
    m_font = cardFont(*m_printer);
    m_painter.setFont(m_font);
    m_columns.emplace(QFontMetricsF(m_font, m_printer.get()).averageCharWidth());
    m_top = 0;
    m_pageEnded = false;
}

bool SystemPrinter::openPrinter(const QString &name)
{
    const QPrinterInfo destination = QPrinterInfo::defaultPrinter();
    if (destination.isNull()) {
        const QString file = m_batchFolder.isEmpty()
                                 ? m_chooseFile(proposedPdfFile(name))
                                 : QDir(m_batchFolder).filePath(pdfFileName(name));
        // The user chose not to save the card: nothing is printed, and nothing needs saying.
        if (file.isEmpty())
            return false;
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_printer->setOutputFormat(QPrinter::PdfFormat);
        m_printer->setOutputFileName(file);
        m_failure = QStringLiteral("The time card could not be written to ") +
                    QDir::toNativeSeparators(file) + QLatin1Char('.');
    } else {
        m_printer = std::make_unique<QPrinter>(destination, QPrinter::HighResolution);
        m_failure = QStringLiteral("The time card could not be sent to the printer ") +
                    destination.printerName() + QLatin1Char('.');
    }
    m_printer->setDocName(name);
    if (m_painter.begin(m_printer.get()))
        return true;
    m_printer.reset();
    prompts().warning(m_failure, PrintError);
    return false;
}

void SystemPrinter::print(int column, const QString &text)
{
    if (!m_painter.isActive())
        return;
    const QFontMetricsF metrics(m_font, m_printer.get());
    const ColumnLayout::Place place = m_columns->place(column, metrics.horizontalAdvance(text));
    if (place.nextLine)
        m_top += metrics.lineSpacing();
    if (m_pageEnded || m_top + metrics.height() > m_printer->height()) {
        m_printer->newPage();
        m_top = 0;
        m_pageEnded = false;
    }
    m_painter.drawText(QPointF(place.x, m_top + metrics.ascent()), text);
}

void SystemPrinter::endLine()
{
    if (!m_painter.isActive())
        return;
    m_columns->endLine();
    m_top += QFontMetricsF(m_font, m_printer.get()).lineSpacing();
}

void SystemPrinter::underline(bool on)
{
    m_font.setUnderline(on);
    if (m_painter.isActive())
        m_painter.setFont(m_font);
}

void SystemPrinter::endPage()
{
    if (!m_painter.isActive())
        return;
    m_columns->endLine();
    m_pageEnded = true;
}

void SystemPrinter::endDocument()
{
    if (!m_painter.isActive())
        return;
    const bool sent = m_painter.end();
    m_printer.reset();
    if (!sent)
        prompts().warning(m_failure, PrintError);
}

} // namespace horalink
