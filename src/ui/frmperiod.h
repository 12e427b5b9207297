#pragma once

#include "ui/form.h"

#include <optional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace horalink {

struct Period;

// Pay day for a period: the payroll export, the check for exceptions and a backup of the
// file. It only reads the data, and writes only the files asked for. The main window closes it
// when the manager leaves.
class frmperiod : public Form
{
    Q_OBJECT

public:
    frmperiod();

    void loaded() override;

    QGroupBox *periodFrame;
    QLabel *fromCaption;
    QLineEdit *fromEdit;
    QLabel *toCaption;
    QLineEdit *toEdit;
    QPushButton *exportButton;
    QPushButton *checkButton;
    QPushButton *backupButton;
    QPushButton *closeButton;
    // The check's findings, one a line; double-click one to show its employee.
    QListWidget *findingsList;

private:
    void exportButtonClicked();
    void checkButtonClicked();
    void backupButtonClicked();
    void findingsListDoubleClicked(QListWidgetItem *item);
    // The period typed, or nothing after saying which date could not be read.
    std::optional<Period> typedPeriod();
};

} // namespace horalink
