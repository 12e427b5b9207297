#include "db/datetimetext.h"
#include "payday/filetraps.h"
#include "pdftext.h"
#include "reports/card.h"
#include "support/fixture.h"
#include "ui/datacontrol.h"
#include "ui/frmmain.h"
#include "ui/printer.h"
#include "ui/systemprinter.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPageSize>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

using namespace horalink;

namespace {

const QDateTime Now = stamp(QStringLiteral("2026-03-02 17:30:10"));

QList<TimeLogRow> pairs(int count, const QVariant &activity = QStringLiteral("Sorting bolts"))
{
    QList<TimeLogRow> rows;
    QDateTime clockIn = stamp(QStringLiteral("2026-01-01 08:00:30"));
    for (int i = 0; i < count; ++i) {
        rows << TimeLogRow{clockIn, activity} << TimeLogRow{clockIn.addSecs(505 * 60), {}};
        clockIn = clockIn.addDays(1);
    }
    return rows;
}

TimeCard annsCard(const QList<TimeLogRow> &rows)
{
    return userCard(QStringLiteral("Acme Tools"), QStringLiteral("Ann"), rows, false, Now);
}

// A printer that saves to the given file, keeping what it was asked.
struct SavingPrinter
{
    explicit SavingPrinter(const QString &answer)
        : printer([this, answer](const QString &proposed) {
              proposals << proposed;
              return answer;
          })
    {}
    QStringList proposals;
    SystemPrinter printer;
};

// What the user is told once a card is saved.
Box savedBox(const QString &file, const QString &folder)
{
    return informationBox("The time card was saved as the PDF file \"" + file +
                              "\" in the folder " + QDir::toNativeSeparators(folder) + ".",
                          "Horalink");
}

// Saves every card the program prints into the folder, as the given file, for as long as it
// lives; keeps how many boxes had been shown when the file was asked for.
class SavingInto
{
public:
    SavingInto(Fixture &f, const QString &file)
        : m_printer(setPrinter, std::make_unique<SystemPrinter>([this, &f, file](const QString &) {
                        boxesBeforeAsking << f.prompts.boxes.size();
                        return file;
                    }))
    {}

    QList<qsizetype> boxesBeforeAsking;

private:
    const Replacement<SystemPrinter, LinePrinter> m_printer;
};

// Employees who each worked one morning, and the Manager signed on.
void morningsOf(Fixture &f, const QStringList &names)
{
    f.company();
    f.setPassword(QStringLiteral("Manager"), QStringLiteral("boss"));
    for (const QString &name : names) {
        f.employee(name);
        f.event(name, {.stamp = "2026-03-02 08:00:00", .status = "Clocked In", .activity = " "});
        f.event(name, "2026-03-02 12:00:00", "Clocked Out");
    }
    f.startProgram();
    f.signOn(QStringLiteral("Manager"), QStringLiteral("boss"));
    f.takeBoxes();
}

// Prints every employee's card from the main window into the folder, as the Manager would.
// Yes to printing every employee, and Yes to the ending it names.
void printAll(Fixture &f, const QString &folder)
{
    f.prompts.folders = {folder};
    f.prompts.answers = {Button::Yes, Button::Yes};
    f.click(QStringLiteral("Command3"));
}

// The warnings shown, beside the questions print-all asks.
QList<Box> warningsOf(Fixture &f)
{
    QList<Box> warnings;
    for (const Box &box : f.takeBoxes()) {
        if (box.icon == Icon::Exclamation)
            warnings << box;
    }
    return warnings;
}

// The employee whose card each PDF file of the folder holds.
QMap<QString, QString> cardsIn(const QString &folder)
{
    QMap<QString, QString> cards;
    for (const QString &file : QDir(folder).entryList({QStringLiteral("*.pdf")}, QDir::Files))
        cards[file] = pdfPages(QDir(folder).filePath(file)).value(0).value(1);
    return cards;
}

const PdfWord *findWord(const PdfPage &page, const QString &text, int occurrence = 0)
{
    for (const PdfWord &word : page.words) {
        if (word.text == text && occurrence-- == 0)
            return &word;
    }
    return nullptr;
}

} // namespace

class PdfCardTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void withoutADefaultPrinterTheCardIsSavedAsPdf();
    void columnsAreAverageCharacterWidths();
    void aWideActivityPushesTheSubtotalToTheNextLine();
    void longCardsRunOnToMorePages();
    void everyPageKeepsItsTextInsideTheMargins_data();
    void everyPageKeepsItsTextInsideTheMargins();
    void theLocalesPaperIsLetterOrA4_data();
    void theLocalesPaperIsLetterOrA4();
    void aSavedCardIsAWholePdfOfItsPages_data();
    void aSavedCardIsAWholePdfOfItsPages();
    void cancellingSavesNothing();
    void everyEmployeesCardGoesToAFileOfItsOwn_data();
    void everyEmployeesCardGoesToAFileOfItsOwn();
    void aFileThatCannotBeWrittenIsReported();
    void proposedFilesAreFitForFileNames_data();
    void proposedFilesAreFitForFileNames();
    void namesThatMakeTheSameFileNameStillGetACardEach();
    void aTrapInTheFolderIsLeftAsItWasAndTheCardGoesBeside_data();
    void aTrapInTheFolderIsLeftAsItWasAndTheCardGoesBeside();
    void aChosenFileIsNeverWrittenThroughALink_data();
    void aChosenFileIsNeverWrittenThroughALink();
    void aFullDiskIsToldAndLeavesNoCard();
    void theUserIsToldTheCardIsSavedAndWhere();
    void theManagerIsToldWhereTheCardsWent_data();
    void theManagerIsToldWhereTheCardsWent();

private:
    QTemporaryDir m_scheduler;
};

// The tests that read the cards' text back need pdftotext (poppler-utils), which Windows lacks;
// the others run everywhere.
#define REQUIRE_PDF_READER()                                                                       \
    if (!canReadPdf())                                                                             \
    QSKIP("pdftotext (poppler-utils) is needed to read the cards back")

void PdfCardTest::initTestCase()
{
    // No print scheduler answers there, so this computer has no default printer for the test.
    qputenv("CUPS_SERVER", QFile::encodeName(m_scheduler.filePath(QStringLiteral("none"))));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void PdfCardTest::withoutADefaultPrinterTheCardIsSavedAsPdf()
{
    REQUIRE_PDF_READER();
    Fixture f;
    const QString file = f.folder() + QStringLiteral("/card.pdf");
    SavingPrinter saving(file);
    const TimeCard card = annsCard(pairs(2));
    printCard(card, saving.printer);

    QCOMPARE(saving.proposals.size(), 1);
    QCOMPARE(QFileInfo(saving.proposals[0]).fileName(), QStringLiteral("Ann 2026-03-02.pdf"));
    QCOMPARE(f.takeBoxes(), QList<Box>{savedBox("card.pdf", f.folder())});
    QCOMPARE(pdfPages(file), QList<QStringList>{cardText(card)});
}

void PdfCardTest::columnsAreAverageCharacterWidths()
{
    REQUIRE_PDF_READER();
    Fixture f;
    const QString file = f.folder() + QStringLiteral("/card.pdf");
    SavingPrinter saving(file);
    printCard(annsCard(pairs(1)), saving.printer);

    const QList<PdfPage> pages = pdfWords(file);
    QCOMPARE(pages.size(), 1);
    const PdfWord *clockIn = findWord(pages[0], QStringLiteral("Clock"));
    const PdfWord *clockOut = findWord(pages[0], QStringLiteral("Clock"), 1);
    const PdfWord *activity = findWord(pages[0], QStringLiteral("Activity"));
    const PdfWord *subtotal = findWord(pages[0], QStringLiteral("Sub"));
    const PdfWord *title = findWord(pages[0], QStringLiteral("Horalink"));
    const PdfWord *hours = findWord(pages[0], QStringLiteral("(Hours)"));
    QVERIFY(clockIn && clockOut && activity && subtotal && title && hours);
    // Columns 1, 5, 40, 70 and 110 lie 4, 35, 30 and 40 column widths apart.
    const double column = (clockOut->x - clockIn->x) / 35;
    QVERIFY(column > 0);
    QCOMPARE(qRound((clockIn->x - title->x) / column), 4);
    QCOMPARE(qRound((activity->x - clockOut->x) / column), 30);
    QCOMPARE(qRound((subtotal->x - activity->x) / column), 40);
    // The headings stay on the paper.
    QVERIFY(hours->x < pages[0].width);
    QCOMPARE(clockOut->y, clockIn->y);
    QCOMPARE(subtotal->y, clockIn->y);
}

void PdfCardTest::aWideActivityPushesTheSubtotalToTheNextLine()
{
    REQUIRE_PDF_READER();
    Fixture f;
    const QString file = f.folder() + QStringLiteral("/card.pdf");
    SavingPrinter saving(file);
    printCard(annsCard(pairs(1, QString(30, QLatin1Char('W')))), saving.printer);

    const QList<PdfPage> pages = pdfWords(file);
    QCOMPARE(pages.size(), 1);
    const PdfWord *wide = findWord(pages[0], QString(30, QLatin1Char('W')));
    // The total line says 8.41 too, further left.
    const PdfWord *subtotal = findWord(pages[0], QStringLiteral("8.41"));
    if (const PdfWord *other = findWord(pages[0], QStringLiteral("8.41"), 1);
        subtotal && other && other->x > subtotal->x)
        subtotal = other;
    const PdfWord *heading = findWord(pages[0], QStringLiteral("Sub"));
    QVERIFY(wide && subtotal && heading);
    QVERIFY(subtotal->y > wide->y);
    QCOMPARE(qRound(subtotal->x), qRound(heading->x));
}

void PdfCardTest::longCardsRunOnToMorePages()
{
    REQUIRE_PDF_READER();
    Fixture f;
    const QString file = f.folder() + QStringLiteral("/card.pdf");
    SavingPrinter saving(file);
    const TimeCard card = annsCard(pairs(150));
    printCard(card, saving.printer);

    const QList<QStringList> pages = pdfPages(file);
    QVERIFY2(pages.size() > 1, qPrintable(QString::number(pages.size())));
    // The title, the name and the headings; what follows them on the paper.
    const QStringList whole = cardText(card);
    QStringList rest;
    for (qsizetype page = 0; page < pages.size(); ++page) {
        const QString number = QStringLiteral("Page %1 of %2").arg(page + 1).arg(pages.size());
        QCOMPARE(pages[page].first(4), QStringList({whole[0], number, whole[1], whole[2]}));
        rest << pages[page].mid(4);
    }
    QCOMPARE(rest, whole.mid(3));
}

// Inside a margin that every printer prints, on every page, and on the locale's paper.
void PdfCardTest::everyPageKeepsItsTextInsideTheMargins_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QSize>("paper");
    QTest::newRow("United States")
        << QLocale(QLocale::English, QLocale::UnitedStates) << QSize(612, 792);
    QTest::newRow("Germany") << QLocale(QLocale::German, QLocale::Germany) << QSize(595, 842);
}

void PdfCardTest::everyPageKeepsItsTextInsideTheMargins()
{
    REQUIRE_PDF_READER();
    QFETCH(QLocale, locale);
    QFETCH(QSize, paper);
    Fixture f;
    QLocale::setDefault(locale);
    const auto restore =
        qScopeGuard([] { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); });
    const QString file = f.folder() + QStringLiteral("/card.pdf");
    SavingPrinter saving(file);
    // Activities that push the subtotal onto a line of its own, near the page's foot too.
    printCard(
        annsCard(pairs(150, QStringLiteral("Sanding, staining and varnishing the oak table"))),
        saving.printer);

    const QList<PdfPage> pages = pdfWords(file);
    QVERIFY(pages.size() > 1);
    // A quarter of an inch is more than the edge that printers leave unprinted.
    constexpr double Edge = 18;
    for (const PdfPage &page : pages) {
        QCOMPARE(QSize(qRound(page.width), qRound(page.height)), paper);
        // A page that the printer began by itself would lack the head.
        QVERIFY(findWord(page, QStringLiteral("Employee")) &&
                findWord(page, QStringLiteral("Page")));
        for (const PdfWord &word : page.words) {
            QVERIFY2(word.x >= Edge && word.y >= Edge && word.right <= page.width - Edge &&
                         word.bottom <= page.height - Edge,
                     qPrintable(word.text + QStringLiteral(" at ") + QString::number(word.x) +
                                QLatin1Char(',') + QString::number(word.y)));
        }
    }
}

void PdfCardTest::theLocalesPaperIsLetterOrA4_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<int>("paper");
    QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates)
                           << int(QPageSize::Letter);
    QTest::newRow("es_US") << QLocale(QLocale::Spanish, QLocale::UnitedStates)
                           << int(QPageSize::Letter);
    QTest::newRow("en_CA") << QLocale(QLocale::English, QLocale::Canada) << int(QPageSize::Letter);
    QTest::newRow("fr_CA") << QLocale(QLocale::French, QLocale::Canada) << int(QPageSize::Letter);
    QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany) << int(QPageSize::A4);
    QTest::newRow("en_GB") << QLocale(QLocale::English, QLocale::UnitedKingdom)
                           << int(QPageSize::A4);
    QTest::newRow("fr_FR") << QLocale(QLocale::French, QLocale::France) << int(QPageSize::A4);
}

void PdfCardTest::theLocalesPaperIsLetterOrA4()
{
    QFETCH(QLocale, locale);
    QFETCH(int, paper);
    QCOMPARE(int(SystemPrinter::paperOf(locale)), paper);
}

// Read without a PDF reader: a whole file, and one page object for each page of the card.
void PdfCardTest::aSavedCardIsAWholePdfOfItsPages_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("morePages");
    QTest::newRow("short") << 2 << false;
    QTest::newRow("long") << 150 << true;
}

void PdfCardTest::aSavedCardIsAWholePdfOfItsPages()
{
    QFETCH(int, count);
    QFETCH(bool, morePages);
    Fixture f;
    const QString file = QDir(f.folder()).filePath(QStringLiteral("card.pdf"));
    SavingPrinter saving(file);
    printCard(annsCard(pairs(count)), saving.printer);

    QCOMPARE(f.takeBoxes(), QList<Box>{savedBox("card.pdf", f.folder())});
    QFile pdf(file);
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    const QByteArray content = pdf.readAll();
    QVERIFY(content.startsWith("%PDF-"));
    QVERIFY(content.trimmed().endsWith("%%EOF"));
    // Page objects, not the /Pages object that lists them.
    const qsizetype pages = QString::fromLatin1(content).count(
        QRegularExpression(QStringLiteral("/Type\\s*/Page(?![a-z])")));
    QVERIFY(pages >= 1);
    QCOMPARE(pages > 1, morePages);
}

void PdfCardTest::cancellingSavesNothing()
{
    Fixture f;
    SavingPrinter cancelling{QString()};
    printCard(annsCard(pairs(1)), cancelling.printer);
    QCOMPARE(cancelling.proposals.size(), 1);
    QVERIFY(f.prompts.boxes.isEmpty());
    QCOMPARE(QDir(f.folder()).entryList({QStringLiteral("*.pdf")}), QStringList());
}

void PdfCardTest::everyEmployeesCardGoesToAFileOfItsOwn_data()
{
    QTest::addColumn<bool>("folderChosen");
    QTest::addColumn<int>("cancelAtStep");
    QTest::addColumn<QStringList>("files");
    const QStringList both({"Ann 2026-03-02.pdf", "Bob 2026-03-02.pdf"});
    QTest::newRow("all") << true << -1 << both;
    QTest::newRow("cancelled at Bob") << true << 2 << QStringList({"Ann 2026-03-02.pdf"});
    QTest::newRow("no folder chosen") << false << -1 << QStringList();
}

void PdfCardTest::everyEmployeesCardGoesToAFileOfItsOwn()
{
    REQUIRE_PDF_READER();
    QFETCH(bool, folderChosen);
    QFETCH(int, cancelAtStep);
    QFETCH(QStringList, files);
    Fixture f;
    f.company();
    f.setPassword(QStringLiteral("Manager"), QStringLiteral("boss"));
    for (const QString name : {"Ann", "Bob"}) {
        f.employee(name);
        f.event(name, {.stamp = "2026-03-02 08:00:00", .status = "Clocked In", .activity = " "});
        f.event(name, "2026-03-02 12:00:00", "Clocked Out");
    }
    f.startProgram();
    f.signOn(QStringLiteral("Manager"), QStringLiteral("boss"));
    QTemporaryDir out;
    QStringList askedForFiles;
    const Replacement printing(setPrinter,
                               std::make_unique<SystemPrinter>([&](const QString &proposed) {
                                   askedForFiles << proposed;
                                   return QString();
                               }));
    if (folderChosen)
        f.prompts.folders = {out.path()};
    f.prompts.answers = {Button::Yes, Button::Yes};
    f.prompts.cancelAtStep = cancelAtStep;
    const QString proposed = f.prompts.proposedFolder();
    f.click(QStringLiteral("Command3"));

    // Asked once, for a folder, and the same one every time.
    QVERIFY(askedForFiles.isEmpty());
    QCOMPARE(f.prompts.proposedFolders, QStringList({proposed}));
    QCOMPARE(QDir(out.path()).entryList(QDir::Files, QDir::Name), files);
    for (const QString &file : files) {
        const QList<QStringList> pages = pdfPages(out.filePath(file));
        QCOMPARE(pages.size(), 1);
        QCOMPARE(pages[0].value(1), "Employee Name: " + file.section(QLatin1Char(' '), 0, 0));
    }
    QCOMPARE(f.prompts.progressed.size(), !folderChosen ? 0 : cancelAtStep < 0 ? 3 : cancelAtStep);
    QCOMPARE(child<QLineEdit>(f.main(), "manlist")->text(), QStringLiteral("Manager"));
}

void PdfCardTest::aFileThatCannotBeWrittenIsReported()
{
    Fixture f;
    const QString file = f.folder() + QStringLiteral("/no such folder/card.pdf");
    SavingPrinter saving(file);
    printCard(annsCard(pairs(1)), saving.printer);
    QCOMPARE(f.takeBoxes(), QList<Box>{warningBox("The time card could not be written to " +
                                                      QDir::toNativeSeparators(file) + ".",
                                                  "Print Error")});
    QVERIFY(!QFileInfo::exists(file));
}

void PdfCardTest::proposedFilesAreFitForFileNames_data()
{
    QTest::addColumn<QString>("document");
    QTest::addColumn<QString>("file");

    QTest::newRow("plain") << "Ann 2026-03-02"
                           << "Ann 2026-03-02.pdf";
    QTest::newRow("separators") << "A/B\\C 2026-03-02"
                                << "A_B_C 2026-03-02.pdf";
    QTest::newRow("quotes and wildcards") << "\"Jo\" *?: 2026-03-02"
                                          << "_Jo_ ___ 2026-03-02.pdf";
    QTest::newRow("dots and apostrophes") << "O'Neil Jr. 2026-03-02"
                                          << "O'Neil Jr. 2026-03-02.pdf";
    // Windows takes these for devices whatever follows their first dot.
    QTest::newRow("a device") << "CON.x 2026-03-02"
                              << "_CON.x 2026-03-02.pdf";
    QTest::newRow("a numbered device") << "lpt1 .b 2026-03-02"
                                       << "_lpt1 .b 2026-03-02.pdf";
    QTest::newRow("a device's name in a longer one") << "Connie.x 2026-03-02"
                                                     << "Connie.x 2026-03-02.pdf";
}

void PdfCardTest::proposedFilesAreFitForFileNames()
{
    QFETCH(QString, document);
    QFETCH(QString, file);
    const QFileInfo proposed(SystemPrinter::proposedPdfFile(document));
    QCOMPARE(proposed.fileName(), file);
    QVERIFY(proposed.isAbsolute());
}

void PdfCardTest::namesThatMakeTheSameFileNameStillGetACardEach()
{
    REQUIRE_PDF_READER();
    Fixture f;
    QTemporaryDir out;
    morningsOf(f, {"A/B", "A:B", "a*b"});
    printAll(f, out.path());

    QCOMPARE(cardsIn(out.path()), (QMap<QString, QString>{
                                      {"A_B 2026-03-02.pdf", "Employee Name: A/B"},
                                      {"A_B 2026-03-02 (2).pdf", "Employee Name: A:B"},
                                      {"a_b 2026-03-02 (3).pdf", "Employee Name: a*b"},
                                  }));
    QCOMPARE(warningsOf(f), QList<Box>());
}

void PdfCardTest::aTrapInTheFolderIsLeftAsItWasAndTheCardGoesBeside_data()
{
    QTest::addColumn<Trap>("trap");
    QTest::newRow("a link") << Trap::Link;
    QTest::newRow("a dangling link") << Trap::DanglingLink;
    QTest::newRow("an earlier card") << Trap::EarlierFile;
}

void PdfCardTest::aTrapInTheFolderIsLeftAsItWasAndTheCardGoesBeside()
{
    REQUIRE_PDF_READER();
    QFETCH(Trap, trap);
    Fixture f;
    QTemporaryDir out;
    QTemporaryDir elsewhere;
    const QString taken = QStringLiteral("Ann 2026-03-02.pdf");
    SKIP_UNLESS_SETTABLE(trap);
    setTrap(trap, out.filePath(taken), elsewhere.path());
    const QString trapBefore = entriesOf(out.path()).value(taken);
    const auto elsewhereBefore = entriesOf(elsewhere.path());

    morningsOf(f, {"Ann"});
    printAll(f, out.path());

    const auto entries = entriesOf(out.path());
    QCOMPARE(entries.keys(), QStringList({"Ann 2026-03-02 (2).pdf", taken}));
    QCOMPARE(entries[taken], trapBefore);
    QCOMPARE(entriesOf(elsewhere.path()), elsewhereBefore);
    QCOMPARE(pdfPages(out.filePath("Ann 2026-03-02 (2).pdf")).value(0).value(1),
             QStringLiteral("Employee Name: Ann"));
}

void PdfCardTest::aChosenFileIsNeverWrittenThroughALink_data()
{
    QTest::addColumn<Trap>("trap");
    QTest::newRow("a link") << Trap::Link;
    QTest::newRow("a dangling link") << Trap::DanglingLink;
}

void PdfCardTest::aChosenFileIsNeverWrittenThroughALink()
{
    QFETCH(Trap, trap);
    Fixture f;
    QTemporaryDir elsewhere;
    const QString file = f.folder() + QStringLiteral("/card.pdf");
    SKIP_UNLESS_SETTABLE(trap);
    setTrap(trap, file, elsewhere.path());
    const auto folderBefore = entriesOf(f.folder());
    const auto elsewhereBefore = entriesOf(elsewhere.path());
    SavingPrinter saving(file);

    printCard(annsCard(pairs(1)), saving.printer);

    QCOMPARE(f.takeBoxes(), QList<Box>{warningBox("The time card could not be written to " +
                                                      QDir::toNativeSeparators(file) + ".",
                                                  "Print Error")});
    QCOMPARE(entriesOf(f.folder()), folderBefore);
    QCOMPARE(entriesOf(elsewhere.path()), elsewhereBefore);
}

void PdfCardTest::aFullDiskIsToldAndLeavesNoCard()
{
    if (!FileSizeLimit::available())
        QSKIP("Needs a file size limit for processes.");
    Fixture f;
    QTemporaryDir out;
    morningsOf(f, {"Ann", "Bob"});
    {
        const FileSizeLimit full(1024);
        printAll(f, out.path());
    }
    QList<Box> told;
    for (const QString &file : {"Ann 2026-03-02.pdf", "Bob 2026-03-02.pdf"})
        told << warningBox("The time card could not be written to " +
                               QDir::toNativeSeparators(out.filePath(file)) + ".",
                           "Print Error");
    QCOMPARE(warningsOf(f), told);
    QCOMPARE(entriesOf(out.path()), (QMap<QString, QString>()));
}

void PdfCardTest::theUserIsToldTheCardIsSavedAndWhere()
{
    Fixture f;
    QTemporaryDir out;
    f.company();
    f.setPassword(QStringLiteral("Manager"), QStringLiteral("boss"));
    f.employee(QStringLiteral("Ann"));
    f.event(QStringLiteral("Ann"),
            {.stamp = "2026-03-02 08:00:00", .status = "Clocked In", .activity = " "});
    f.event(QStringLiteral("Ann"), "2026-03-02 12:00:00", "Clocked Out");
    f.startProgram();
    f.signOn(QStringLiteral("Ann"));
    f.takeBoxes();
    SavingInto saving(f, out.filePath(QStringLiteral("card.pdf")));
    child<QAction>(f.main(), "prntdata")->setEnabled(true);
    f.click(QStringLiteral("prntdata"));
    QCOMPARE(f.takeBoxes(),
             QList<Box>({plainBox("There is no default printer, so the time card is saved as a "
                                  "PDF file."),
                         savedBox("card.pdf", out.path())}));
    QCOMPARE(saving.boxesBeforeAsking, QList<qsizetype>{1});
    QVERIFY(QFileInfo(out.filePath(QStringLiteral("card.pdf"))).isFile());
}

void PdfCardTest::theManagerIsToldWhereTheCardsWent_data()
{
    QTest::addColumn<bool>("everyone");
    QTest::addColumn<int>("cancelAtStep");
    // What the box after a batch says before the folder.
    QTest::addColumn<QString>("cards");
    QTest::newRow("one card") << false << -1 << "";
    QTest::newRow("every card") << true << -1 << "2 time cards were saved as PDF files";
    // The Manager, listed first, has no card.
    QTest::newRow("one card before Cancel") << true << 2 << "1 time card was saved as a PDF file";
    QTest::newRow("Cancel before the first") << true << 0 << "";
}

void PdfCardTest::theManagerIsToldWhereTheCardsWent()
{
    QFETCH(bool, everyone);
    QFETCH(int, cancelAtStep);
    QFETCH(QString, cards);
    Fixture f;
    QTemporaryDir out;
    morningsOf(f, {"Ann", "Bob"});
    SavingInto saving(f, out.filePath(QStringLiteral("Ann's card.pdf")));
    QVERIFY(findByName(*child<DataControl>(f.main(), "mandata"), QStringLiteral("ename"),
                       QStringLiteral("Ann")));
    f.prompts.folders = {out.path()};
    f.prompts.answers = {everyone ? Button::Yes : Button::No, Button::Yes};
    f.prompts.cancelAtStep = cancelAtStep;
    f.click(QStringLiteral("Command3"));

    QList<Box> told;
    for (const Box &box : f.takeBoxes()) {
        if (box.icon == Icon::Information)
            told << box;
    }
    QList<Box> expected;
    if (!everyone)
        expected << savedBox("Ann's card.pdf", out.path());
    else if (!cards.isEmpty())
        expected << informationBox(
            cards + " in the folder " + QDir::toNativeSeparators(out.path()) + ".", "Horalink");
    QCOMPARE(told, expected);
    QCOMPARE(QDir(out.path()).entryList(QDir::Files).size(),
             cancelAtStep < 0 ? (everyone ? 2 : 1) : std::max(cancelAtStep - 1, 0));
}

QTEST_MAIN(PdfCardTest)
#include "test_pdfcard.moc"
