#include "ui/prompts.h"

#include <QApplication>
#include <QFontMetrics>
#include <QInputDialog>
#include <QLineEdit>
#include <QStyle>
#include <QTest>
#include <QTimer>

using namespace horalink;

// The program's own input box, as the desktop shows it.
class InputBoxTest : public QObject
{
    Q_OBJECT

private slots:
    void showsItsWholeTitleAndAnswers_data();
    void showsItsWholeTitleAndAnswers();
};

void InputBoxTest::showsItsWholeTitleAndAnswers_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("answer");
    QTest::newRow("print, OK") << "Print Horalink through this ending date: "
                               << "12/7/26 7:30 AM" << true << "12/7/26 7:30 AM";
    QTest::newRow("clear, Cancel") << "Clear log until this date: "
                                   << "1/1/2026" << false << QString();
    QTest::newRow("short title") << "Horalink"
                                 << "%1 \"Ann\"\nx" << true << "%1 \"Ann\"\nx";
}

void InputBoxTest::showsItsWholeTitleAndAnswers()
{
    QFETCH(QString, title);
    QFETCH(QString, typed);
    QFETCH(bool, ok);
    QFETCH(QString, answer);
    const QString prompt = QStringLiteral("Enter an ending date:");
    QInputDialog plain;
    plain.setWindowTitle(title);
    plain.setLabelText(prompt);
    plain.setTextValue(QStringLiteral("3/2/2026 5:30:10 PM"));
    plain.adjustSize();

    int width = 0;
    QTimer::singleShot(0, this, [&] {
        auto *box = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
        QVERIFY(box);
        width = box->width();
        box->findChild<QLineEdit *>()->setText(typed);
        ok ? box->accept() : box->reject();
    });
    QCOMPARE(prompts().input(prompt, title, QStringLiteral("3/2/2026 5:30:10 PM")), answer);

    // No narrower than a plain input box, and the bold title fits beside an icon and a button.
    QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
    titleFont.setBold(true);
    const int titleBar = plain.style()->pixelMetric(QStyle::PM_TitleBarHeight);
    QVERIFY(width >= plain.width());
    QVERIFY2(width >= QFontMetrics(titleFont).horizontalAdvance(title) + 3 * titleBar,
             qPrintable(QString::number(width)));
}

QTEST_MAIN(InputBoxTest)
#include "test_inputbox.moc"
