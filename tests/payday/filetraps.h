#pragma once

#include <QMap>
#include <QProcess>
#include <QString>

namespace horalink {

// What may stand at the name a writer is about to give its file.
enum class Trap
{
    // A symbolic link to a file someone else cares about.
    Link,
    // A symbolic link to a name where nothing is yet: whoever made it would own what lands there.
    DanglingLink,
    // A file of the name from before.
    EarlierFile,
};

// Whether this system lets the tests set the trap: Windows gives ordinary accounts no symbolic
// links (QFile::link makes a shortcut there, which is a plain file).
bool canSet(Trap trap);
#define SKIP_UNLESS_SETTABLE(trap)                                                                 \
    if (!horalink::canSet(trap))                                                                   \
    QSKIP("This system gives ordinary accounts no symbolic links.")

// Sets the trap at `path`. A link points into `elsewhere`, a folder beside the writer's.
void setTrap(Trap trap, const QString &path, const QString &elsewhere);

// Every entry of the folder, hidden ones and links included, with what each holds: a file's
// bytes and permissions, a link's target.
QMap<QString, QString> entriesOf(const QString &folder);

// Lets this process write files no longer than `bytes` while it lives, as a full disk would;
// a write beyond fails with EFBIG instead of ending the process.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(qint64 bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

    // Whether this system has such a limit; tests that need it skip elsewhere.
    static bool available();
    // The same limit for a child process, set in it before it starts the program.
    static void setFor(QProcess &child, qint64 bytes);

private:
    qint64 m_previous = -1;
    void (*m_previousHandler)(int) = nullptr;
};

} // namespace horalink
