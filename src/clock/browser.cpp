// The signed-on user's record browser and the manager's grid.
#include "app/prompts.h"
#include "db/datacontrol.h"
#include "db/timelogmodel.h"
#include "mainwin/frmmain.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>

namespace horalink {

void frmmain::lgndatetime_Change()
{
    const bool eventShown = !lgndatetime->text().isEmpty();
    prntdata->setEnabled(eventShown);
    dltdata->setEnabled(eventShown);
}

void frmmain::Label11_Click()
{
    fxnupdate();
}

void frmmain::Label12_Click()
{
    fxnupdate();
}

void frmmain::fxnupdate()
{
    // The one procedure that reports its own failures and goes on.
    try {
        if (database->hasCurrentRow())
            database->updateRecord();
        fxngettotal(m_session.employee);
    } catch (const DbError &error) {
        reportUpdateFailure(error);
    }
}

void frmmain::reportUpdateFailure(const DbError &error)
{
    if (error.number() == dberr::CancelledByBoundDisplay) {
        prompts().plain(
            QStringLiteral("Invalid Date / Time.  Please correct the entry and try again"));
        return;
    }
    prompts().plain(QStringLiteral("Error number: ") + QString::number(error.number()) +
                    QStringLiteral("  has occured:  ") + error.description() +
                    QStringLiteral(". Please try again."));
}

void frmmain::dltlast_Click()
{
    database->refresh();
    if (database->eof())
        return;
    database->moveLast();
    database->deleteRow();
    database->refresh();
}

void frmmain::refreshGrid()
{
    if (auto *model = qobject_cast<TimeLogModel *>(DBGrid1->model()); model && DBGrid1->isVisible())
        model->refreshIfChanged();
}

void frmmain::Label8_Click()
{
    manuse->setRecordSource(manlist->text());
    manuse->refresh();
    QAbstractItemModel *previous = DBGrid1->model();
    auto *model = new TimeLogModel(manuse->connection(), manlist->text(), DBGrid1);
    connect(model, &TimeLogModel::refused, this,
            [](const QString &reason) { prompts().warning(reason, QStringLiteral("Grid Error")); });
    DBGrid1->setModel(model);
    delete previous;
    Picture3->setHidden(!Picture3->isHidden());
}

} // namespace horalink
