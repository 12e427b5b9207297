// What a screen reader is told: every control that can take the focus has a name.
#include "support/fixture.h"
#include "ui/forms.h"
#include "ui/frmadd.h"
#include "ui/frmlogon.h"
#include "ui/frmmain.h"
#include "ui/frmpass.h"
#include "ui/frmperiod.h"
#include "ui/frmprop.h"
#include "ui/frmstartup.h"
#include "ui/frmsub.h"

#include <QAccessible>
#include <QTest>
#include <QWidget>

using namespace horalink;

namespace {

QString described(QAccessibleInterface *control)
{
    QString name = control->object() ? control->object()->objectName() : QString();
    if (name.isEmpty() && control->object())
        name = QString::fromLatin1(control->object()->metaObject()->className());
    return name + QLatin1Char(' ') + QString::number(control->role(), 16);
}

// Every enabled control that can take the focus, shown or not (a tab not chosen, a panel laid
// over another), whose name is empty.
void collectUnnamed(QAccessibleInterface *parent, QStringList &unnamed)
{
    for (int i = 0; i < parent->childCount(); ++i) {
        QAccessibleInterface *control = parent->child(i);
        if (!control)
            continue;
        const QAccessible::State state = control->state();
        if (state.focusable && !state.disabled &&
            control->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << described(control);
        collectUnnamed(control, unnamed);
    }
}

QStringList unnamedIn(QWidget &window)
{
    QStringList unnamed;
    QAccessibleInterface *top = QAccessible::queryAccessibleInterface(&window);
    if (!top)
        return {window.objectName() + QStringLiteral(" has no accessible interface")};
    collectUnnamed(top, unnamed);
    for (QString &control : unnamed)
        control.prepend(window.objectName() + QLatin1Char('/'));
    return unnamed;
}

} // namespace

class AccessibleTest : public QObject
{
    Q_OBJECT

private slots:
    void everyControlHasAName();
    void theFirstRunWindowsControlsHaveNames();
};

void AccessibleTest::everyControlHasAName()
{
    Fixture f;
    f.company();
    f.employee(QStringLiteral("Ann"));
    f.setPassword(QStringLiteral("Manager"), QStringLiteral("boss"));
    f.startProgram();
    QStringList unnamed = unnamedIn(f.logon());
    f.signOn(QStringLiteral("Manager"), QStringLiteral("boss"));
    f.takeBoxes();
    f.click(QStringLiteral("Label8"));
    unnamed << unnamedIn(f.main());

    f.click(QStringLiteral("Command5"));
    unnamed << unnamedIn(forms().frmadd());
    forms().frmadd().close();
    f.click(QStringLiteral("ChgPass"));
    unnamed << unnamedIn(forms().frmpass());
    forms().frmpass().close();
    f.click(QStringLiteral("chpass"));
    unnamed << unnamedIn(forms().frmpass());
    forms().frmpass().close();
    f.click(QStringLiteral("Command2"));
    unnamed << unnamedIn(forms().frmprop());
    forms().frmprop().close();
    f.click(QStringLiteral("PayPeriod"));
    unnamed << unnamedIn(forms().frmperiod());
    forms().frmperiod().close();
    f.click(QStringLiteral("clockin"));
    QVERIFY(forms().isLoaded<frmsub>());
    unnamed << unnamedIn(forms().frmsub());
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));
}

void AccessibleTest::theFirstRunWindowsControlsHaveNames()
{
    Fixture f;
    f.startProgram();
    QVERIFY(forms().isLoaded<frmstartup>());
    const QStringList unnamed = unnamedIn(forms().frmstartup());
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));
}

QTEST_MAIN(AccessibleTest)
#include "test_accessible.moc"
