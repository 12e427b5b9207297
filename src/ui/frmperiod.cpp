#include "frmperiod.h"

#include "clock/clock.h"
#include "db/database.h"
#include "db/datetimetext.h"
#include "payday/backup.h"
#include "payday/check.h"
#include "payday/export.h"
#include "ui/controls.h"
#include "ui/forms.h"
#include "ui/frmmain.h"
#include "ui/program.h"
#include "ui/prompts.h"

#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace horalink {

namespace {

const QString Title = QStringLiteral("Pay Period");
// Where on a finding's item its employee is kept.
constexpr int EmployeeRole = Qt::UserRole;

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

frmperiod::frmperiod() : Form(FixedDialog)
{
    setObjectName(QStringLiteral("frmperiod"));
    setWindowTitle(Title);
    auto *layout = new QVBoxLayout(this);

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
    layout->addWidget(periodFrame);

    auto *actions = new QHBoxLayout;
    exportButton = button("Export", QStringLiteral("Export…"), this,
                          QStringLiteral("Write summary.csv and events.csv for the payroll"));
    checkButton = button("Check", QStringLiteral("Check"), this,
                         QStringLiteral("Look for forgotten clock-outs and other exceptions"));
    backupButton = button("BackUp", QStringLiteral("Back Up…"), this,
                          QStringLiteral("Copy Employee.mdb as it stands now"));
    closeButton = button("Close", QStringLiteral("Close"), this);
    for (QPushButton *action : {exportButton, checkButton, backupButton, closeButton})
        actions->addWidget(action);
    layout->addLayout(actions);

    findingsList = named(new QListWidget(this), "findings");
    layout->addWidget(findingsList, 1);
    setDefaultButton(checkButton);
    setCancelButton(closeButton);
    setFixedClientSize(7200, 4800);

    connectGuarded(exportButton, &QPushButton::clicked, this, &frmperiod::exportButtonClicked);
    connectGuarded(checkButton, &QPushButton::clicked, this, &frmperiod::checkButtonClicked);
    connectGuarded(backupButton, &QPushButton::clicked, this, &frmperiod::backupButtonClicked);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    connectGuarded(findingsList, &QListWidget::itemDoubleClicked, this,
                   &frmperiod::findingsListDoubleClicked);
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
        openDatabase(EmployeeMdb), *period, clock().now(), folder, QLocale(), progress.employees(),
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
        checkPeriod(openDatabase(EmployeeMdb), *period, clock().now(), progress.employees());
    findingsList->clear();
    for (const Finding &finding : outcome.findings) {
        auto *item = new QListWidgetItem(findingLine(finding), findingsList);
        item->setToolTip(item->text());
        item->setData(EmployeeRole, finding.employee);
    }
    if (outcome.findings.isEmpty() && !outcome.cancelled)
        findingsList->addItem(NoExceptions);
}

void frmperiod::backupButtonClicked()
{
    const QString folder =
        prompts().chooseFolder(QStringLiteral("Back up Employee.mdb into this folder"));
    if (folder.isEmpty())
        return;
    Shown progress(QStringLiteral("Back Up"));
    const WriteOutcome outcome =
        backupDatabase(openDatabase(EmployeeMdb), folder, clock().now(), progress.parts());
    if (outcome.result == WriteOutcome::Result::Written)
        prompts().information(QStringLiteral("Employee.mdb was backed up to ") +
                                  QDir::toNativeSeparators(outcome.files.value(0)) +
                                  QLatin1Char('.'),
                              Title);
    else if (outcome.result == WriteOutcome::Result::Failed)
        prompts().warning(outcome.failure, Title);
}

void frmperiod::findingsListDoubleClicked(QListWidgetItem *item)
{
    const QString employee = item->data(EmployeeRole).toString();
    if (!employee.isEmpty())
        forms().frmmain().showEmployee(employee);
}

} // namespace horalink
