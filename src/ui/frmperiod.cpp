#include "frmperiod.h"

#include "clock/clock.h"
#include "db/database.h"
#include "db/datetimetext.h"
#include "payday/backup.h"
#include "payday/changes.h"
#include "payday/check.h"
#include "payday/csv.h"
#include "payday/export.h"
#include "payday/exportcheck.h"
#include "ui/controls.h"
#include "ui/forms.h"
#include "ui/frmmain.h"
#include "ui/program.h"
#include "ui/prompts.h"

#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

namespace horalink {

namespace {

const QString Title = QStringLiteral("Pay Period");
// Where on the first item of a row its employee is kept.
constexpr int EmployeeRole = Qt::UserRole;

// A list of the check in a frame of its own, added below the lists before it. Columns fit
// their contents, and the last takes what room is left, its text wrapped, so that nothing
// needs scrolling sideways.
QTableWidget *addList(QSplitter *lists, const char *frameName, const QString &caption,
                      const char *name, const QStringList &titles)
{
    QGroupBox *box = frame(frameName, caption + QLatin1Char(':'), lists);
    auto *table = named(new QTableWidget(0, int(titles.size()), box), name);
    table->setAccessibleName(caption);
    table->setHorizontalHeaderLabels(titles);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setTabKeyNavigation(false);
    table->verticalHeader()->hide();
    table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setStretchLastSection(true);
    // The titles and two rows can always be seen.
    table->setMinimumHeight(table->horizontalHeader()->sizeHint().height() +
                            2 * table->verticalHeader()->defaultSectionSize() +
                            2 * table->frameWidth());
    (new QVBoxLayout(box))->addWidget(table);
    lists->addWidget(box);
    return table;
}

// Titles of two words on two lines: a column is then no wider than its figures, and all of
// them fit the window's design width.
QStringList brokenTitles(QStringList titles)
{
    for (QString &title : titles)
        title.replace(QLatin1Char(' '), QLatin1Char('\n'));
    return titles;
}

// Adds a row of texts; a text cut off by its column can still be read as its tool tip.
int addRow(QTableWidget *table, const QString &employee, const QStringList &texts)
{
    const int row = table->rowCount();
    table->insertRow(row);
    for (int column = 0; column < texts.size(); ++column) {
        auto *item = new QTableWidgetItem(texts[column]);
        item->setToolTip(texts[column]);
        // Beside a detail wrapped onto several lines, the rest still begins on its first.
        item->setTextAlignment(Qt::AlignLeft | Qt::AlignTop);
        table->setItem(row, column, item);
    }
    table->item(row, 0)->setData(EmployeeRole, employee);
    return row;
}

// Dates and times in a window are the locale's, as typed into the period's fields.
QString shownStamp(const QDateTime &stamp)
{
    return generalDateText(stamp);
}

// A bound of a period as it is typed: a date alone when it falls at midnight.
QString boundText(const QDateTime &bound)
{
    return bound.time() == QTime(0, 0) ? shortDateText(bound.date()) : generalDateText(bound);
}

QString changesSinceText(std::size_t count)
{
    if (count == 0)
        return {};
    return (count == 1 ? QStringLiteral("1 change")
                       : QString::number(count) + QStringLiteral(" changes")) +
           QStringLiteral(" in the history since the export");
}

// A job's progress, shown in a progress box once the job says how much there is.
class Shown
{
public:
    explicit Shown(const QString &title) : m_title(title) {}

    // The export's and the check's, employee by employee.
    Progress employees()
    {
        return [this](int done, int total, const QString &employee) {
            return step(done - 1, total, employeeOf(done - 1, total, employee));
        };
    }

    // The backup's: it may wait for another copy of the program to let go of the file, and may
    // be cancelled meanwhile.
    PageProgress parts()
    {
        return [this](int copied, int total) {
            return step(copied, total,
                        QStringLiteral("Copied ") + QString::number(copied) +
                            QStringLiteral(" of ") + QString::number(total) +
                            QStringLiteral(" parts"));
        };
    }

private:
    bool step(int done, int total, const QString &text)
    {
        if (!m_box)
            m_box = prompts().progress(m_title, total);
        return m_box->next(done, text);
    }

    QString m_title;
    std::unique_ptr<ProgressBox> m_box;
};

} // namespace

frmperiod::frmperiod() : Form(SizableWindow | Qt::Dialog)
{
    setObjectName(QStringLiteral("frmperiod"));
    setWindowTitle(Title);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(makePeriodFrame());
    layout->addLayout(makeActions());

    lists = named(new QSplitter(Qt::Vertical, this), "lists");
    lists->setChildrenCollapsible(false);
    findingsTable = addList(lists, "Frame2", QStringLiteral("Exceptions"), "findings",
                            {QStringLiteral("Employee"), QStringLiteral("Date and Time"),
                             QStringLiteral("Kind"), QStringLiteral("Detail")});
    figuresTable = addList(lists, "Frame3", QStringLiteral("Figures"), "figures",
                           brokenTitles(summaryTitles()));
    changesTable = addList(lists, "Frame4", QStringLiteral("Changes"), "changes", ChangeTitles);
    // Before and after share the room left, each wrapped.
    changesTable->horizontalHeader()->setStretchLastSection(false);
    for (int side : {2, 1})
        changesTable->horizontalHeader()->setSectionResizeMode(int(ChangeTitles.size()) - side,
                                                               QHeaderView::Stretch);
    layout->addWidget(lists, 1);
    setDefaultButton(checkButton);
    setCancelButton(closeButton);
    // The design's size to begin with; the lists grow with the window.
    resize(QSize(twips(7200), twips(4800)).expandedTo(minimumSizeHint()));
    connectControls();
}

QGroupBox *frmperiod::makePeriodFrame()
{
    periodFrame = frame("Frame1", QStringLiteral("Period:"), this);
    auto *dates = new QGridLayout(periodFrame);
    fromCaption = label("Label1", QStringLiteral("From:"), periodFrame);
    fromEdit = named(new QLineEdit(periodFrame), "fromdate");
    toCaption = label("Label2", QStringLiteral("To (not included):"), periodFrame);
    toEdit = named(new QLineEdit(periodFrame), "todate");
    dates->addWidget(fromCaption, 0, 0);
    dates->addWidget(fromEdit, 0, 1);
    dates->addWidget(toCaption, 1, 0);
    dates->addWidget(toEdit, 1, 1);
    return periodFrame;
}

QHBoxLayout *frmperiod::makeActions()
{
    auto *actions = new QHBoxLayout;
    exportButton = button("Export", QStringLiteral("Export…"), this,
                          QStringLiteral("Write summary.csv and events.csv for the payroll"));
    checkButton = button("Check", QStringLiteral("Check"), this,
                         QStringLiteral("Look for forgotten clock-outs and other exceptions"));
    checkAgainstButton = button(
        "CheckAgainst", QStringLiteral("Check against an earlier export…"), this,
        QStringLiteral("Tell whether the events an earlier export wrote are still the record's"));
    backupButton = button("BackUp", QStringLiteral("Back Up…"), this,
                          QStringLiteral("Copy Employee.mdb as it stands now"));
    closeButton = button("Close", QStringLiteral("Close"), this);
    for (QPushButton *action :
         {exportButton, checkButton, checkAgainstButton, backupButton, closeButton})
        actions->addWidget(action);
    return actions;
}

void frmperiod::connectControls()
{
    connectGuarded(exportButton, &QPushButton::clicked, this, &frmperiod::exportButtonClicked);
    connectGuarded(checkButton, &QPushButton::clicked, this, &frmperiod::checkButtonClicked);
    connectGuarded(checkAgainstButton, &QPushButton::clicked, this,
                   &frmperiod::checkAgainstButtonClicked);
    connectGuarded(backupButton, &QPushButton::clicked, this, &frmperiod::backupButtonClicked);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    for (QTableWidget *table : {findingsTable, figuresTable, changesTable})
        connectGuarded(table, &QTableWidget::itemDoubleClicked, this, &frmperiod::rowDoubleClicked);
    for (QLineEdit *edit : {fromEdit, toEdit})
        connect(edit, &QLineEdit::textEdited, this, &frmperiod::clearLists);
}

void frmperiod::loaded()
{
    centre();
    // The last fourteen days up to today.
    const QDate today = clock().now().date();
    fromEdit->setText(shortDateText(today.addDays(-14)));
    toEdit->setText(shortDateText(today));
}

std::optional<Period> frmperiod::typedPeriod()
{
    const auto from = readDateTime(fromEdit->text());
    const auto to = readDateTime(toEdit->text());
    if (!from || !to) {
        prompts().warning(InvalidDateTime, Title);
        return std::nullopt;
    }
    const Period period{*from, *to};
    if (!period.holdsAMinute()) {
        prompts().warning(QStringLiteral("The period holds no minute: \"To (not included)\" "
                                         "must come after \"From\"."),
                          Title);
        return std::nullopt;
    }
    return period;
}

void frmperiod::exportButtonClicked()
{
    const auto period = typedPeriod();
    if (!period)
        return;
    const QString folder =
        prompts().chooseFolder(QStringLiteral("Export the period into this folder"));
    if (folder.isEmpty())
        return;
    const QStringList earlier = earlierExport(folder);
    if (!earlier.isEmpty() &&
        prompts().ask(QDir::toNativeSeparators(folder) + QStringLiteral(" holds ") +
                          earlier.join(QStringLiteral(" and ")) +
                          QStringLiteral(" of an earlier export. Replace them?"),
                      Title, Buttons::YesNo, Icon::Question, Button::No) != Button::Yes)
        return;
    Shown progress(QStringLiteral("Export"));
    const WriteOutcome outcome = exportPeriod(
        managingDatabase(), *period, clock().now(), folder, QLocale(), progress.employees(),
        earlier.isEmpty() ? NewFile::Existing::Refused : NewFile::Existing::RegularFileReplaced);
    switch (outcome.result) {
    case WriteOutcome::Result::Written:
        prompts().information(QStringLiteral("The period was exported to ") +
                                  QDir::toNativeSeparators(folder) + QStringLiteral(": ") +
                                  outcome.files.join(QStringLiteral(" and ")) + QLatin1Char('.'),
                              Title);
        break;
    case WriteOutcome::Result::Failed:
        prompts().warning(outcome.failure, Title);
        break;
    case WriteOutcome::Result::Cancelled:
        break;
    }
}

void frmperiod::checkButtonClicked()
{
    const auto period = typedPeriod();
    if (!period)
        return;
    Shown progress(QStringLiteral("Check"));
    const CheckOutcome outcome =
        checkPeriod(managingDatabase(), *period, clock().now(), progress.employees(), shownStamp);
    showFindings(outcome);
    showFigures(outcome);
    showChanges(outcome.cancelled ? std::vector<HistoryEntry>() : outcome.changes);
}

void frmperiod::checkAgainstButtonClicked()
{
    const QString folder = prompts().chooseFolder(
        QStringLiteral("Check the record against the export in this folder"));
    if (folder.isEmpty())
        return;
    const ExportComparison compared = compareWithExport(managingDatabase(), folder);
    if (!compared.failure.isEmpty()) {
        prompts().warning(compared.failure, Title);
        return;
    }
    showComparison(compared);
    QStringList outside;
    for (const EmployeeSinceExport &employee : compared.employees) {
        if (employee.state == SinceExport::ChangedOutside)
            outside << employee.employee;
    }
    const QString exportText = QStringLiteral("the export in ") + QDir::toNativeSeparators(folder);
    if (!compared.inHistory)
        prompts().warning(QStringLiteral("The change history holds no entry of ") + exportText +
                              QStringLiteral(": it was removed, or the export was not made "
                                             "from this record."),
                          Title);
    if (!outside.isEmpty())
        prompts().warning(QStringLiteral("Since ") + exportText +
                              QStringLiteral(", the record was changed outside Horalink: ") +
                              outside.join(QStringLiteral(", ")) + QLatin1Char('.'),
                          Title);
}

// The employees' states where the findings go, and the changes that explain them, for the
// export's period, which the dates then show.
void frmperiod::showComparison(const ExportComparison &compared)
{
    showPeriod(compared.record.period);
    clearLists();
    const QString exported = shownStamp(compared.record.exported);
    if (!compared.inHistory)
        addRow(findingsTable, {},
               {QString(), exported, QStringLiteral("export not in the history"),
                QStringLiteral("The change history holds no entry of this export.")});
    std::vector<HistoryEntry> changes;
    for (const EmployeeSinceExport &employee : compared.employees) {
        addRow(findingsTable, employee.employee,
               {employee.employee, exported, sinceExportText(employee.state),
                changesSinceText(employee.changes.size())});
        changes.insert(changes.end(), employee.changes.begin(), employee.changes.end());
    }
    showChanges(changes);
}

void frmperiod::showChanges(const std::vector<HistoryEntry> &changes)
{
    changesTable->setRowCount(0);
    for (const HistoryEntry &change : changes)
        addRow(changesTable, changedEmployee(change), shownChange(change, shownStamp));
}

void frmperiod::showPeriod(const Period &period)
{
    fromEdit->setText(boundText(period.from));
    toEdit->setText(boundText(period.to));
}

void frmperiod::showFindings(const CheckOutcome &outcome)
{
    findingsTable->setRowCount(0);
    for (const Finding &finding : outcome.findings)
        addRow(findingsTable, finding.employee,
               {finding.employee, whenText(finding, shownStamp), kindText(finding.kind),
                finding.detail});
    if (outcome.findings.isEmpty() && !outcome.cancelled)
        addRow(findingsTable, {}, {NoExceptions});
}

void frmperiod::showFigures(const CheckOutcome &outcome)
{
    // The mark the export writes for this locale.
    const QChar decimalMark = CsvFormat::of(QLocale()).decimalMark;
    figuresTable->setRowCount(0);
    for (const EmployeePeriod &employee : outcome.employees) {
        const int row = addRow(figuresTable, employee.name, summaryFields(employee, decimalMark));
        for (int column = 1; column < figuresTable->columnCount(); ++column)
            figuresTable->item(row, column)->setTextAlignment(Qt::AlignRight | Qt::AlignTop);
    }
}

void frmperiod::clearLists()
{
    for (QTableWidget *table : {findingsTable, figuresTable, changesTable})
        table->setRowCount(0);
}

void frmperiod::backupButtonClicked()
{
    const QString folder =
        prompts().chooseFolder(QStringLiteral("Back up Employee.mdb into this folder"));
    if (folder.isEmpty())
        return;
    Shown progress(QStringLiteral("Back Up"));
    const WriteOutcome outcome =
        backupDatabase(managingDatabase(), folder, clock().now(), progress.parts());
    if (outcome.result == WriteOutcome::Result::Written)
        prompts().information(QStringLiteral("Employee.mdb was backed up to ") +
                                  QDir::toNativeSeparators(outcome.files.value(0)) +
                                  QLatin1Char('.'),
                              Title);
    else if (outcome.result == WriteOutcome::Result::Failed)
        prompts().warning(outcome.failure, Title);
}

void frmperiod::rowDoubleClicked(QTableWidgetItem *item)
{
    const QString employee =
        item->tableWidget()->item(item->row(), 0)->data(EmployeeRole).toString();
    if (!employee.isEmpty())
        forms().frmmain().showEmployee(employee);
}

} // namespace horalink
