#include "systemprinter.h"

#include "ui/prompts.h"

#include <algorithm>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>

namespace horalink {

namespace {

// The width of a classic line printer: the font is made small enough for this many columns
// to fit across the page, so a card's rightmost column never runs off the paper.
constexpr int LineColumns = 132;
constexpr qreal LargestPointSize = 10.0;
constexpr qreal SmallestPointSize = 5.0;

const QString PrintError = QStringLiteral("Print Error");

// What QPrinter::HighResolution gives a PDF file.
constexpr int PdfResolution = 1200;

// Half an inch, wider than the edge that printers leave unprinted (a quarter of an inch on the
// widest), so that no line is cut; a printer that needs more keeps its own.
constexpr qreal MarginMillimeters = 12.7;

// The card's margins in millimetres: the house's own, or the device's least where it is wider.
QMarginsF cardMargins(const QMarginsF &least = {})
{
    return {std::max(least.left(), MarginMillimeters), std::max(least.top(), MarginMillimeters),
            std::max(least.right(), MarginMillimeters),
            std::max(least.bottom(), MarginMillimeters)};
}

QFont cardFont(const QPaintDevice &device)
{
    QFont font = QApplication::font();
    for (qreal size = LargestPointSize; size > SmallestPointSize; size -= 0.5) {
        font.setPointSizeF(size);
        if (QFontMetricsF(font, &device).averageCharWidth() * LineColumns <= device.width())
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

QPageSize::PageSizeId SystemPrinter::paperOf(const QLocale &locale)
{
    // Canada measures in metric units but buys Letter paper.
    const bool letter = locale.measurementSystem() == QLocale::ImperialUSSystem ||
                        locale.territory() == QLocale::Canada;
    return letter ? QPageSize::Letter : QPageSize::A4;
}

namespace {

// Windows takes these for devices, whatever follows their first dot.
bool isDeviceName(QStringView stem)
{
    static const QRegularExpression device(
        QStringLiteral("^(CON|PRN|AUX|NUL|(COM|LPT)[1-9\u00b9\u00b2\u00b3]) *$"),
        QRegularExpression::CaseInsensitiveOption);
    return device.match(stem.toString()).hasMatch();
}

// The document's name made fit for a file name on every system, without ".pdf".
QString pdfFileStem(const QString &documentName)
{
    QString stem = documentName;
    for (QChar &c : stem) {
        if (c.category() == QChar::Other_Control || QStringLiteral("\\/:*?\"<>|").contains(c))
            c = QLatin1Char('_');
    }
    if (stem.isEmpty() || isDeviceName(QStringView(stem).left(stem.indexOf(QLatin1Char('.')))))
        stem.prepend(QLatin1Char('_'));
    return stem;
}

QString pdfFileName(const QString &documentName)
{
    return pdfFileStem(documentName) + QStringLiteral(".pdf");
}

} // namespace

QString SystemPrinter::proposedPdfFile(const QString &documentName)
{
    return QDir(prompts().proposedFolder()).filePath(pdfFileName(documentName));
}

bool SystemPrinter::startBatch()
{
    m_batchFolder.clear();
    m_batchFiles.clear();
    m_batchSaved = 0;
    if (!savesAsPdf())
        return true;
    m_batchFolder = prompts().chooseFolder(
        QStringLiteral("No default printer: save the time cards as PDF files in this folder"));
    return !m_batchFolder.isEmpty();
}

void SystemPrinter::endBatch()
{
    endDocument();
    if (m_batchSaved > 0) {
        const QString cards = m_batchSaved == 1
                                  ? QStringLiteral("1 time card was saved as a PDF file")
                                  : QString::number(m_batchSaved) +
                                        QStringLiteral(" time cards were saved as PDF files");
        prompts().information(cards + QStringLiteral(" in the folder ") +
                                  QDir::toNativeSeparators(m_batchFolder) + QLatin1Char('.'),
                              ProgramTitle);
    }
    m_batchFolder.clear();
    m_batchFiles.clear();
    m_batchSaved = 0;
}

bool SystemPrinter::savesAsPdf() const
{
    return QPrinterInfo::defaultPrinter().isNull();
}

QString SystemPrinter::batchFile(const QString &name)
{
    const QDir folder(m_batchFolder);
    const QString stem = pdfFileStem(name);
    for (int copy = 1;; ++copy) {
        const QString file =
            stem +
            (copy > 1 ? QStringLiteral(" (") + QString::number(copy) + QLatin1Char(')')
                      : QString()) +
            QStringLiteral(".pdf");
        const QString path = folder.filePath(file);
        if (!m_batchFiles.contains(file.toCaseFolded()) && entryAt(path) == Entry::None) {
            m_batchFiles.insert(file.toCaseFolded());
            return path;
        }
    }
}

void SystemPrinter::startDocument(const QString &name)
{
    endDocument();
    if (!openPrinter(name))
        return;
    m_font = cardFont(*m_device);
    m_painter.setFont(m_font);
    m_columnWidth = QFontMetricsF(m_font, m_device).averageCharWidth();
    m_columns.emplace(m_columnWidth);
    m_top = 0;
    m_pageEnded = false;
}

bool SystemPrinter::openPrinter(const QString &name)
{
    const QPrinterInfo destination = QPrinterInfo::defaultPrinter();
    if (destination.isNull()) {
        if (!openPdf(name))
            return false;
    } else {
        openSystemPrinter(destination, name);
    }
    if (m_painter.begin(m_device))
        return true;
    closeDevice();
    prompts().warning(m_failure, PrintError);
    return false;
}

bool SystemPrinter::openPdf(const QString &name)
{
    // A file the user chose was agreed to be replaced in the save dialog.
    const bool chosen = m_batchFolder.isEmpty();
    const QString file = chosen ? m_chooseFile(proposedPdfFile(name)) : batchFile(name);
    // The user chose not to save the card: nothing is printed, and nothing needs saying.
    if (file.isEmpty())
        return false;
    if (chosen)
        prompts().choseFolder(QFileInfo(file).absolutePath());
    m_failure = QStringLiteral("The time card could not be written to ") +
                QDir::toNativeSeparators(file) + QLatin1Char('.');
    if (!openPdfFile(file, chosen ? NewFile::Existing::RegularFileReplaced
                                  : NewFile::Existing::Refused)) {
        prompts().warning(m_failure, PrintError);
        return false;
    }
    m_pdf->setTitle(name);
    return true;
}

void SystemPrinter::openSystemPrinter(const QPrinterInfo &destination, const QString &name)
{
    m_printer = std::make_unique<QPrinter>(destination, QPrinter::HighResolution);
    m_printer->setDocName(name);
    QPageLayout layout = m_printer->pageLayout();
    layout.setUnits(QPageLayout::Millimeter);
    layout.setMargins(cardMargins(layout.minimumMargins()));
    m_printer->setPageLayout(layout);
    m_device = m_printer.get();
    m_failure = QStringLiteral("The time card could not be sent to the printer ") +
                destination.printerName() + QLatin1Char('.');
}

bool SystemPrinter::openPdfFile(const QString &file, NewFile::Existing existing)
{
    m_pdfFile = std::make_unique<NewFile>(file, existing);
    if (!m_pdfFile->open(QIODevice::WriteOnly)) {
        m_pdfFile.reset();
        return false;
    }
    m_pdf = std::make_unique<QPdfWriter>(m_pdfFile.get());
    m_pdf->setResolution(PdfResolution);
    m_pdf->setPageLayout(QPageLayout(QPageSize(paperOf(QLocale())), QPageLayout::Portrait,
                                     cardMargins(), QPageLayout::Millimeter));
    m_device = m_pdf.get();
    return true;
}

// Drops the printer, or the PDF file with all that was not committed of it.
void SystemPrinter::closeDevice()
{
    m_device = nullptr;
    m_printer.reset();
    m_pdf.reset();
    m_pdfFile.reset();
}

int SystemPrinter::linesPerPage() const
{
    if (!m_painter.isActive())
        return 0;
    // Counted as print() moves down the page, so that both agree on the last line that fits.
    const QFontMetricsF metrics(m_font, m_device);
    int lines = 0;
    for (qreal top = 0; top + metrics.height() <= m_device->height(); top += metrics.lineSpacing())
        ++lines;
    return lines;
}

qreal SystemPrinter::columnWidth() const
{
    return m_painter.isActive() ? m_columnWidth : LinePrinter::columnWidth();
}

qreal SystemPrinter::textWidth(const QString &text) const
{
    return m_painter.isActive() ? QFontMetricsF(m_font, m_device).horizontalAdvance(text)
                                : LinePrinter::textWidth(text);
}

void SystemPrinter::print(int column, const QString &text)
{
    if (!m_painter.isActive())
        return;
    const QFontMetricsF metrics(m_font, m_device);
    const ColumnLayout::Place place = m_columns->place(column, metrics.horizontalAdvance(text));
    if (place.nextLine)
        m_top += metrics.lineSpacing();
    if (m_pageEnded || m_top + metrics.height() > m_device->height()) {
        m_device->newPage();
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
    m_top += QFontMetricsF(m_font, m_device).lineSpacing();
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
    const bool sent = m_painter.end() && (!m_pdfFile || m_pdfFile->commit());
    const QString saved = sent && m_pdfFile ? m_pdfFile->fileName() : QString();
    closeDevice();
    if (!sent)
        prompts().warning(m_failure, PrintError);
    else if (!saved.isEmpty())
        tellSaved(saved);
}

// A batch is told once, at its end.
void SystemPrinter::tellSaved(const QString &file)
{
    if (!m_batchFolder.isEmpty()) {
        ++m_batchSaved;
        return;
    }
    const QFileInfo info(file);
    prompts().information(QStringLiteral("The time card was saved as the PDF file \"") +
                              info.fileName() + QStringLiteral("\" in the folder ") +
                              QDir::toNativeSeparators(info.absolutePath()) + QLatin1Char('.'),
                          ProgramTitle);
}

} // namespace horalink
