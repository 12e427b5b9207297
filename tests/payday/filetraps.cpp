#include "filetraps.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#ifndef Q_OS_WIN
#include <csignal>
#include <sys/resource.h>
#endif

namespace horalink {

bool canSet(Trap trap)
{
#ifdef Q_OS_WIN
    return trap == Trap::EarlierFile;
#else
    Q_UNUSED(trap);
    return true;
#endif
}

void setTrap(Trap trap, const QString &path, const QString &elsewhere)
{
    const QString victim = QDir(elsewhere).filePath(QStringLiteral("victim"));
    switch (trap) {
    case Trap::Link: {
        QFile file(victim);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("what someone else keeps");
        file.close();
        QVERIFY(QFile::link(victim, path));
        break;
    }
    case Trap::DanglingLink:
        QVERIFY(QFile::link(victim, path));
        break;
    case Trap::EarlierFile: {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("an earlier file");
        break;
    }
    }
}

QMap<QString, QString> entriesOf(const QString &folder)
{
    QMap<QString, QString> entries;
    const QDir dir(folder);
    for (const QFileInfo &entry :
         dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        if (entry.isSymLink()) {
            entries[entry.fileName()] = QStringLiteral("-> ") + entry.symLinkTarget();
        } else if (entry.isDir()) {
            entries[entry.fileName()] = QStringLiteral("folder");
        } else {
            QFile file(entry.filePath());
            if (!file.open(QIODevice::ReadOnly))
                qFatal("cannot read %s", qPrintable(entry.filePath()));
            entries[entry.fileName()] = QString::number(int(entry.permissions()), 16) +
                                        QLatin1Char(' ') +
                                        QString::fromLatin1(file.readAll().toHex());
        }
    }
    return entries;
}

#ifdef Q_OS_WIN
FileSizeLimit::FileSizeLimit(qint64)
{}
FileSizeLimit::~FileSizeLimit() = default;
bool FileSizeLimit::available()
{
    return false;
}
void FileSizeLimit::setFor(QProcess &, qint64)
{}
#else
namespace {

rlim_t setSoftLimit(rlim_t bytes)
{
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlim_t previous = limit.rlim_cur;
    limit.rlim_cur = bytes;
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
        qFatal("cannot set the file size limit");
    return previous;
}

} // namespace

FileSizeLimit::FileSizeLimit(qint64 bytes)
{
    m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    m_previous = qint64(setSoftLimit(rlim_t(bytes)));
}

FileSizeLimit::~FileSizeLimit()
{
    setSoftLimit(rlim_t(m_previous));
    std::signal(SIGXFSZ, m_previousHandler);
}

bool FileSizeLimit::available()
{
    return true;
}

void FileSizeLimit::setFor(QProcess &child, qint64 bytes)
{
    child.setChildProcessModifier([bytes] {
        // Only calls that are safe between fork and exec.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = rlim_t(bytes);
        setrlimit(RLIMIT_FSIZE, &limit);
    });
}
#endif

} // namespace horalink
