#pragma once

#include <QFile>
#include <QIODevice>
#include <QString>

namespace horalink {

// What stands at a path, without following a link there.
enum class Entry
{
    None,
    RegularFile,
    // A symbolic link (dangling or not), a junction, a folder, a device or a pipe.
    Other,
};

Entry entryAt(const QString &path);

// A file made new under its name, never written through a link nor over what is there: the
// data goes into a temporary file of its own in the same folder, readable by the owner only,
// every write is checked, and commit() syncs it to the disk, closes it and only then gives it
// its name, by a rename that never falls back to copying, and syncs the name too. Whatever is
// not committed leaves nothing behind.
class NewFile : public QIODevice
{
public:
    enum class Existing
    {
        // Anything at the name makes the file fail.
        Refused,
        // A regular file at the name is replaced in one step, as the user agreed; a link or
        // anything else is still refused.
        RegularFileReplaced,
    };

    explicit NewFile(QString fileName, Existing existing = Existing::Refused);
    ~NewFile() override;
    NewFile(const NewFile &) = delete;
    NewFile &operator=(const NewFile &) = delete;

    QString fileName() const { return m_fileName; }
    // Where the data goes until commit(), for a writer that opens the file by name, such as
    // the database engine. Such a writer must have closed it before commit().
    QString temporaryName() const { return m_temporary.fileName(); }

    // Takes WriteOnly only. Fails when the name is taken by what may not be replaced.
    bool open(OpenMode mode) override;
    // Discards what was written.
    void close() override;
    bool isSequential() const override { return true; }

    // Syncs and closes the file; false, with errorString() saying why, if any write, the
    // sync or the close failed. commit() does this first if it was not done.
    bool finish();
    // Gives the finished file its name. After a failure nothing is left of it.
    bool commit();

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 size) override;

private:
    bool fail(const QString &why);
    bool createTemporary();
    bool nameIsFree();
    bool giveName();
    void discard();

    QString m_fileName;
    Existing m_existing;
    QFile m_temporary;
    bool m_failed = false;
    bool m_finished = false;
};

} // namespace horalink
