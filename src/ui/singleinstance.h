#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

namespace horalink {

// One copy of the program to a data folder: two copies on one Employee.mdb would each show their
// own view and could clock the same person in twice. The copy that holds a folder listens on a
// local socket named after the folder; a copy started later on the same folder reaches it there,
// which asks the holder to come to the front. The socket belongs to the listening process alone
// (on Linux in the abstract namespace, elsewhere a named pipe or a socket file), so on Linux and
// Windows it goes with that process however it ends, and nothing is written into the folder.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    explicit SingleInstance(QObject *parent = nullptr);

    // Makes this copy the holder of the folder, giving up any folder it held before. False when
    // another running copy holds it; that copy has then been asked to come to the front.
    bool claim(const QString &folder);

    // A hash of the folder's canonical path: two paths to one folder give one name, and a long
    // path or one with any characters still gives a short name that every platform accepts.
    static QString serverName(const QString &folder);

signals:
    // A copy was started on the folder this copy holds.
    void anotherCopyStarted();

private:
    void answerAnotherCopy();

    QLocalServer m_server;
};

} // namespace horalink
