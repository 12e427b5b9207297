#include "qttranslations.h"

#include <memory>
#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

namespace horalink {

namespace {

// Qt's translations folder, where the system keeps them (Debian's qt6-translations-l10n), and
// the folder beside the program, where the Windows installer puts them.
QStringList translationFolders()
{
    return {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
            QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("translations"))};
}

} // namespace

void loadQtTranslations()
{
    static QPointer<QTranslator> loaded;
    delete loaded;
    auto translator = std::make_unique<QTranslator>(QCoreApplication::instance());
    for (const QString &folder : translationFolders()) {
        if (translator->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"), folder)) {
            QCoreApplication::installTranslator(translator.get());
            loaded = translator.release();
            return;
        }
    }
}

} // namespace horalink
