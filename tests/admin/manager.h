#pragma once

#include "support/fixture.h"
#include "ui/datacontrol.h"
#include "ui/frmmain.h"

#include <QStringList>
#include <QTest>

namespace horalink {

// The manager signed on through the password step, with these employees listed before the
// start and no box shown yet.
inline void startAsManager(Fixture &f, const QStringList &employees = {})
{
    f.company();
    for (const QString &name : employees)
        f.employee(name);
    f.setPassword(QStringLiteral("Manager"), QStringLiteral("boss"));
    f.startProgram();
    f.signOn(QStringLiteral("Manager"), QStringLiteral("boss"));
    QVERIFY(!child<QWidget>(f.main(), "Picture1")->isHidden());
    f.takeBoxes();
}

// Steps the Management tab's browser to the employee, as its arrows would.
inline void showEmployee(Fixture &f, const QString &name)
{
    child<DataControl>(f.main(), "mandata")->refresh();
    QVERIFY(findByName(*child<DataControl>(f.main(), "mandata"), QStringLiteral("ename"), name));
}

} // namespace horalink
