#pragma once

#include <memory>
#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

namespace horalink {

// One copy of the program to a data folder: two copies on one Employee.mdb would each show their
// own view and could clock the same person in twice. The copy that holds a folder holds a lock
// file in it, which only an account that may write the folder can take, so no other account of
// the computer can keep the clock from starting; a copy that was killed leaves a lock that the
// next one sees is stale. The holder also listens on a local socket of its user's own (in the
// user's runtime folder; a named pipe on Windows), through which a later copy of that user asks
// it to come to the front, and which answers once it has.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    explicit SingleInstance(QObject *parent = nullptr);
    ~SingleInstance() override;

    enum class Claim
    {
        // This copy holds the folder now.
        Taken,
        // Another running copy holds it, and answered that it came to the front.
        RunningCopyCameForward,
        // Another copy holds it, but did not answer: it may be busy, or not be this user's.
        RunningCopySilent,
    };
    // Makes this copy the holder of the folder, giving up any folder it held before; when
    // another copy holds it, asks that copy to come to the front.
    Claim claim(const QString &folder);

    // The lock file a copy holds in the folder.
    static QString lockFileName(const QString &folder);
    // A hash of the folder's canonical path: two paths to one folder give one name, and a long
    // path or one with any characters still gives a short name that every platform accepts.
    static QString serverName(const QString &folder);

signals:
    // A copy was started on the folder this copy holds.
    void anotherCopyStarted();

private:
    void release();
    void listen(const QString &folder);
    void answerAnotherCopy();

    QString m_folder;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer m_server;
};

} // namespace horalink
