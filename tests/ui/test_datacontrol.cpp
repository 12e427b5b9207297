// A data control's bound boxes: they follow the cursor, and what is typed in them goes to
// the row it was typed on, or nowhere.
#include "support/fixture.h"
#include "ui/datacontrol.h"

#include <QLineEdit>
#include <QTest>

using namespace horalink;

class DataControlTest : public QObject
{
    Q_OBJECT

private slots:
    void boundBoxesFollowMovesAndWriteTypedEditsOnLeaving();
    void anUnreadableTypedDateStopsTheMoveAndKeepsTheRow();
};

void DataControlTest::boundBoxesFollowMovesAndWriteTypedEditsOnLeaving()
{
    Fixture f;
    f.employee(QStringLiteral("Ann"), {.wage = QStringLiteral("12")});
    DataControl list(QStringLiteral("list"));
    QLineEdit name;
    QLineEdit wage;
    name.setReadOnly(true);
    list.bind(&name, QStringLiteral("Ename"));
    list.bind(&wage, QStringLiteral("Ewage"));
    list.setRecordSource(QStringLiteral("datalist"));
    list.refresh();
    QCOMPARE(name.text(), QStringLiteral("Manager"));
    list.moveNext();
    QCOMPARE(name.text(), QStringLiteral("Ann"));
    QCOMPARE(wage.text(), QStringLiteral("12"));
    wage.setText(QStringLiteral("12.5"));
    name.setText(QStringLiteral("typed into a read-only box"));
    list.moveFirst();
    QCOMPARE(f.value(QStringLiteral("SELECT ewage FROM datalist WHERE ename = 'Ann'")).toString(),
             QStringLiteral("12.5"));
    QCOMPARE(f.value(QStringLiteral("SELECT count(*) FROM datalist WHERE ename = 'Ann'")).toInt(),
             1);
    list.moveNext();
    QVERIFY(list.eof() == false);
    list.moveNext();
    QVERIFY(list.eof());
    QCOMPARE(name.text(), QString());
}

void DataControlTest::anUnreadableTypedDateStopsTheMoveAndKeepsTheRow()
{
    Fixture f;
    f.employee(QStringLiteral("Ann"));
    f.event(QStringLiteral("Ann"), QStringLiteral("2026-03-02 09:00:00"),
            QStringLiteral("Clocked In"));
    f.event(QStringLiteral("Ann"), QStringLiteral("2026-03-02 17:00:00"),
            QStringLiteral("Clocked Out"));
    DataControl log(QStringLiteral("log"));
    QLineEdit when;
    log.bind(&when, QStringLiteral("datetime"));
    log.setRecordSource(QStringLiteral("Ann"));
    log.refresh();
    QCOMPARE(when.text(), QStringLiteral("3/2/2026 9:00:00 AM"));

    when.setText(QStringLiteral("tomorrow-ish"));
    QVERIFY_THROWS_EXCEPTION(BoundEditRefused, log.moveNext());
    QCOMPARE(log.field(QStringLiteral("inoutfx")).toString(), QStringLiteral("Clocked In"));
    QCOMPARE(f.stamps(QStringLiteral("Ann")).first(), QStringLiteral("2026-03-02 09:00:00"));

    when.setText(QStringLiteral("3/2/2026 8:45:00 AM"));
    log.moveNext();
    QCOMPARE(f.stamps(QStringLiteral("Ann")).first(), QStringLiteral("2026-03-02 08:45:00"));
}

QTEST_MAIN(DataControlTest)
#include "test_datacontrol.moc"
