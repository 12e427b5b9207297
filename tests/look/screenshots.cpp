// Renders every window of the program, and printed time cards, into the folder given, in the
// locale given (en_US by default). Ends with a failure when a line edit, a label or a check box
// that can be seen is lower than its text or cuts it off.
#include "clock/clocking.h"
#include "db/database.h"
#include "support/fixture.h"
#include "ui/datacontrol.h"
#include "ui/forms.h"
#include "ui/frmadd.h"
#include "ui/frmlogon.h"
#include "ui/frmmain.h"
#include "ui/frmpass.h"
#include "ui/frmperiod.h"
#include "ui/frmprop.h"
#include "ui/frmsplash.h"
#include "ui/frmstartup.h"
#include "ui/frmsub.h"
#include "ui/printer.h"
#include "ui/qttranslations.h"
#include "ui/systemprinter.h"

#include <cstdio>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

using namespace horalink;

namespace {

QString folder;
QLocale locale;
QStringList clipped;

// The line edits and labels of the window that cannot show their text whole.
void checkText(const QWidget &window, const QString &picture)
{
    const auto tell = [&](const QWidget &control, const QString &what) {
        clipped << picture + QStringLiteral(": ") + control.objectName() + QStringLiteral(" ") +
                       what;
    };
    for (const QLineEdit *edit : window.findChildren<QLineEdit *>()) {
        if (edit->isVisibleTo(&window) && edit->height() < edit->minimumSizeHint().height())
            tell(*edit, QStringLiteral("is ") + QString::number(edit->height()) +
                            QStringLiteral(" pixels high, lower than its text"));
    }
    for (const QLabel *label : window.findChildren<QLabel *>()) {
        if (!label->isVisibleTo(&window) || label->text().isEmpty())
            continue;
        const QSize needed = label->wordWrap()
                                 ? QSize(label->width(), label->heightForWidth(label->width()))
                                 : label->sizeHint();
        if (needed.height() > label->height() || needed.width() > label->width())
            tell(*label, QStringLiteral("cuts off \"") + label->text() + QLatin1Char('"'));
    }
    for (const QCheckBox *box : window.findChildren<QCheckBox *>()) {
        const QSize needed = box->sizeHint();
        if (box->isVisibleTo(&window) &&
            (needed.height() > box->height() || needed.width() > box->width()))
            tell(*box, QStringLiteral("cuts off \"") + box->text() + QLatin1Char('"'));
    }
}

void save(QWidget &window, const QString &name)
{
    QApplication::processEvents();
    const QString file = QDir(folder).filePath(name + QStringLiteral(".png"));
    if (!window.grab().save(file))
        std::fprintf(stderr, "could not write %s\n", qPrintable(file));
    checkText(window, name);
}

void saveTabs(Fixture &f, const QString &who)
{
    static const char *tabs[] = {"time", "management", "about"};
    for (int tab = 0; tab < 3; ++tab) {
        child<QTabWidget>(f.main(), "SSTab1")->setCurrentIndex(tab);
        save(f.main(), QStringLiteral("main-%1-%2").arg(who, QLatin1String(tabs[tab])));
    }
    child<QTabWidget>(f.main(), "SSTab1")->setCurrentIndex(0);
}

void shop(Fixture &f)
{
    f.company(QStringLiteral("Acme Tool & Die"));
    f.setPassword(QStringLiteral("Manager"), QStringLiteral("boss"));
    f.employee(QStringLiteral("Ann Smith"), {.wage = QStringLiteral("7.5")});
    f.employee(QStringLiteral("Bob"),
               {.password = QStringLiteral("pw"), .wage = QStringLiteral("12.25")});
    const QString ann = QStringLiteral("Ann Smith");
    f.event(ann, {.stamp = QStringLiteral("2026-03-02 08:00:20"),
                  .status = QStringLiteral("Clocked In"),
                  .activity = QStringLiteral("Sanding the oak table")});
    f.event(ann, QStringLiteral("2026-03-02 16:25:00"), QStringLiteral("Clocked Out"));
    f.event(ann, {.stamp = QStringLiteral("2026-03-03 07:58:00"),
                  .status = QStringLiteral("Clocked In"),
                  .activity = QStringLiteral("Varnish")});
    f.event(ann, QStringLiteral("2026-03-03 08:28:00"), QStringLiteral("Clocked Out"));
    f.event(ann, {.stamp = QStringLiteral("2026-03-03 13:00:00"),
                  .status = QStringLiteral("Clocked In"),
                  .activity = QStringLiteral(" ")});
    f.setNow(QStringLiteral("2026-03-03 17:30:10"));
}

void printCardInto(Fixture &f, const QString &file)
{
    const Replacement printing(setPrinter, std::make_unique<SystemPrinter>([file](const QString &) {
                                   return QDir(folder).filePath(file);
                               }));
    f.click(QStringLiteral("prntdata"));
}

// A card too long for one page: the head on every page, and every page numbered.
void printTwoPageCard()
{
    Fixture f;
    QLocale::setDefault(locale);
    f.company(QStringLiteral("Acme Tool & Die"));
    const QString ann = QStringLiteral("Ann Smith");
    f.employee(ann, {.wage = QStringLiteral("7.5")});
    const auto stored = [](const QDateTime &at) {
        return at.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    };
    QDateTime clockIn = stamp(QStringLiteral("2025-11-03 08:00:20"));
    for (int shift = 0; shift < 100; ++shift, clockIn = clockIn.addDays(1)) {
        f.event(ann, {.stamp = stored(clockIn),
                      .status = QStringLiteral("Clocked In"),
                      .activity = QStringLiteral("Sanding the oak table")});
        f.event(ann, stored(clockIn.addSecs(505 * 60)), QStringLiteral("Clocked Out"));
    }
    f.setNow(QStringLiteral("2026-03-03 17:30:10"));
    f.startProgram();
    f.signOn(ann);
    printCardInto(f, QStringLiteral("timecard.pdf"));
}

} // namespace

int main(int argc, char *argv[])
{
    // Cards are saved as PDF files, never sent to a real printer.
    qputenv("CUPS_SERVER", "/nonexistent");
    QApplication app(argc, argv);
    // Absolute: every scene runs in a working folder of its own.
    folder = QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots"))
                 .absolutePath();
    QDir().mkpath(folder);
    locale = QLocale(argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("en_US"));
    // Qt's own texts in the scenes' language, as the program loads them for the system's.
    QLocale::setDefault(locale);
    loadQtTranslations();

    {
        Fixture f;
        QLocale::setDefault(locale);
        save(forms().frmsplash(), QStringLiteral("splash"));
        forms().unloadAll();
        f.startProgram();
        save(forms().frmstartup(), QStringLiteral("startup"));
    }
    {
        Fixture f;
        QLocale::setDefault(locale);
        shop(f);
        f.startProgram();
        save(f.logon(), QStringLiteral("logon"));
        child<QComboBox>(f.logon(), "namechoice")->setEditText(QStringLiteral("Bob"));
        child<QPushButton>(f.logon(), "Command1")->click();
        save(f.logon(), QStringLiteral("logon-password"));
        child<QPushButton>(f.logon(), "Command4")->click();

        f.signOn(QStringLiteral("Manager"), QStringLiteral("boss"));
        QTest::qWait(300);
        saveTabs(f, QStringLiteral("manager"));
        child<DataControl>(f.main(), "mandata")->moveNext();
        f.click(QStringLiteral("Command1"));
        child<QTabWidget>(f.main(), "SSTab1")->setCurrentIndex(1);
        save(f.main(), QStringLiteral("main-manager-hours"));
        f.click(QStringLiteral("Label8"));
        save(f.main(), QStringLiteral("main-manager-grid"));
        f.main().resize(f.main().size() + QSize(320, 160));
        save(f.main(), QStringLiteral("main-manager-grid-enlarged"));
        f.main().resize(f.main().minimumSize());
        f.click(QStringLiteral("Label8"));
        {
            const auto printing = desktopPrompts()->progress(QStringLiteral("Print Log"), 40);
            printing->next(11, employeeOf(11, 40, QStringLiteral("Ann Smith")));
            for (QWidget *window : QApplication::topLevelWidgets()) {
                if (window->objectName() == QLatin1String("progress"))
                    save(*window, QStringLiteral("progress"));
            }
        }

        f.click(QStringLiteral("Command2"));
        save(forms().frmprop(), QStringLiteral("properties"));
        child<QCheckBox>(forms().frmprop(), "money")->click();
        child<QCheckBox>(forms().frmprop(), "edits")->click();
        saveTabs(f, QStringLiteral("manager-switches-on"));
        child<QCheckBox>(forms().frmprop(), "money")->click();
        child<QCheckBox>(forms().frmprop(), "edits")->click();

        // Bob forgot to clock out two days ago.
        f.event(QStringLiteral("Bob"), {.stamp = QStringLiteral("2026-03-01 07:00:00"),
                                        .status = QStringLiteral("Clocked In"),
                                        .activity = QStringLiteral("Lathe")});
        // A clock-out at the wrong time, taken back by the Manager: the Changes list shows it.
        f.event(QStringLiteral("Bob"), QStringLiteral("2026-03-01 07:02:00"),
                QStringLiteral("Clocked Out"));
        deleteLastEvent(openDatabase(EmployeeMdb), QStringLiteral("Bob"));
        f.click(QStringLiteral("PayPeriod"));
        child<QPushButton>(forms().frmperiod(), "Check")->click();
        save(forms().frmperiod(), QStringLiteral("period"));
        forms().frmperiod().resize(forms().frmperiod().size() + QSize(320, 160));
        save(forms().frmperiod(), QStringLiteral("period-enlarged"));
        forms().frmperiod().close();

        f.click(QStringLiteral("Command5"));
        save(forms().frmadd(), QStringLiteral("add"));
        forms().frmadd().close();
        f.click(QStringLiteral("ChgPass"));
        save(forms().frmpass(), QStringLiteral("password-manager"));
        forms().frmpass().close();
        f.click(QStringLiteral("chpass"));
        save(forms().frmpass(), QStringLiteral("password-own"));
        forms().frmpass().close();

        f.click(QStringLiteral("exitmain"));
        f.signOn(QStringLiteral("Ann Smith"));
        QTest::qWait(300);
        saveTabs(f, QStringLiteral("employee"));
        f.click(QStringLiteral("clockout"));
        f.click(QStringLiteral("clockin"));
        save(forms().frmsub(), QStringLiteral("task"));
        forms().frmsub().hide();

        printCardInto(f, QStringLiteral("timecard-onepage.pdf"));
    }
    printTwoPageCard();
    std::printf("Windows and the time cards are in %s\n", qPrintable(folder));
    for (const QString &problem : std::as_const(clipped))
        std::fprintf(stderr, "clipped: %s\n", qPrintable(problem));
    return clipped.isEmpty() ? 0 : 1;
}
