// Qt's own texts in the language of the locale, as the program loads them before its windows.
// Runs with the system's locale German (LC_ALL=de_DE.UTF-8).
#include "ui/qttranslations.h"

#include <QDialogButtonBox>
#include <QKeySequence>
#include <QLocale>
#include <QPushButton>
#include <QTest>

using namespace horalink;

class QtTranslationsTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale::system()); }
    void qtsTextsFollowTheLanguage_data();
    void qtsTextsFollowTheLanguage();
};

void QtTranslationsTest::qtsTextsFollowTheLanguage_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("cancel");
    // The system's, as a German account starts the program.
    QTest::newRow("the system's") << QString() << "Strg+P"
                                  << "Abbrechen";
    QTest::newRow("English after German") << "en_US"
                                          << "Ctrl+P"
                                          << "Cancel";
    QTest::newRow("German") << "de_DE"
                            << "Strg+P"
                            << "Abbrechen";
    QTest::newRow("Austrian German") << "de_AT"
                                     << "Strg+P"
                                     << "Abbrechen";
    QTest::newRow("a language Qt has no translation for") << "sw_KE"
                                                          << "Ctrl+P"
                                                          << "Cancel";
}

void QtTranslationsTest::qtsTextsFollowTheLanguage()
{
    QFETCH(QString, locale);
    QFETCH(QString, key);
    QFETCH(QString, cancel);
    if (QLocale::system().language() != QLocale::German)
        QSKIP("Needs a German system locale (LC_ALL=de_DE.UTF-8).");
    if (!locale.isEmpty())
        QLocale::setDefault(QLocale(locale));

    loadQtTranslations();

    QCOMPARE(QKeySequence(QStringLiteral("Ctrl+P")).toString(QKeySequence::NativeText), key);
    const QDialogButtonBox buttons(QDialogButtonBox::Cancel);
    QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), cancel);
}

QTEST_MAIN(QtTranslationsTest)
#include "test_qttranslations.moc"
