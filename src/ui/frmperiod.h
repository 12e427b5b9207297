#pragma once

#include "ui/form.h"

#include <optional>
#include <vector>

class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QSplitter;
class QTableWidget;
class QTableWidgetItem;

namespace horalink {

struct CheckOutcome;
struct ExportComparison;
struct HistoryEntry;
struct Period;

// Pay day for a period: the payroll export, the check for exceptions, the check of the record
// against an earlier export, and a backup of the file. The check also shows what the export
// would write for each employee and the record's changes that concern the period. It reads
// the data, and writes only the files asked for and the export's entry in the change history.
// The main window closes it when the manager leaves.
class frmperiod : public Form
{
    Q_OBJECT

public:
    frmperiod();

    void loaded() override;

private:
    QGroupBox *makePeriodFrame();
    QHBoxLayout *makeActions();
    void connectControls();
    void exportButtonClicked();
    void checkButtonClicked();
    void checkAgainstButtonClicked();
    void backupButtonClicked();
    void showFindings(const CheckOutcome &outcome);
    void showFigures(const CheckOutcome &outcome);
    void showChanges(const std::vector<HistoryEntry> &changes);
    void showComparison(const ExportComparison &compared);
    void showPeriod(const Period &period);
    // Lists of another period than the one typed would mislead.
    void clearLists();
    void rowDoubleClicked(QTableWidgetItem *item);
    // The period typed, or nothing after saying which date could not be read.
    std::optional<Period> typedPeriod();

    QGroupBox *periodFrame;
    QLabel *fromCaption;
    QLineEdit *fromEdit;
    QLabel *toCaption;
    QLineEdit *toEdit;
    QPushButton *exportButton;
    QPushButton *checkButton;
    QPushButton *checkAgainstButton;
    QPushButton *backupButton;
    QPushButton *closeButton;
    // The check's lists, one above the other; each row leads to its employee on a double-click.
    QSplitter *lists;
    // The check's findings, one a row.
    QTableWidget *findingsTable;
    // What the export would write for each employee into summary.csv.
    QTableWidget *figuresTable;
    // The change history's entries that concern the period, in the order made.
    QTableWidget *changesTable;
};

} // namespace horalink
