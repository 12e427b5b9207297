// The floor of the start-up benchmark: a bare Qt program that reads the employees' names from
// Employee.mdb with bare SQLite and shows the one window a logon needs (a label, an editable
// combo box holding the names, two buttons), then ends.
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>
#include <sqlite3.h>

namespace {

class Shown : public QObject
{
protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            // Queued: the window may be shown before the event loop runs.
            QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
        return false;
    }
};

QStringList names()
{
    sqlite3 *db = nullptr;
    QStringList out;
    // Opened for writing, as a time clock must: SQLite reads the CHECK constraints of a file's
    // 1,000 tables only when it may write to it, which alone doubles the time to read the schema.
    if (sqlite3_open_v2("Employee.mdb", &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
        sqlite3_stmt *rows = nullptr;
        sqlite3_prepare_v2(db, "SELECT ename FROM datalist", -1, &rows, nullptr);
        while (sqlite3_step(rows) == SQLITE_ROW)
            out << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(rows, 0)));
        sqlite3_finalize(rows);
    }
    sqlite3_close(db);
    out.sort(Qt::CaseInsensitive);
    return out;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel(QStringLiteral("Find Your Name"), &window));
    auto *box = new QComboBox(&window);
    box->setEditable(true);
    box->addItems(names());
    layout->addWidget(box);
    layout->addWidget(new QPushButton(QStringLiteral("OK"), &window));
    layout->addWidget(new QPushButton(QStringLiteral("Exit"), &window));
    Shown probe;
    window.installEventFilter(&probe);
    window.show();
    return QApplication::exec();
}
