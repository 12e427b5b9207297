#pragma once

#include <memory>
#include <QString>

namespace horalink {

enum class Icon
{
    None,
    Information,
    Exclamation,
    Stop,
    Question
};
enum class Buttons
{
    Ok,
    YesNo,
    YesNoCancel
};
enum class Button
{
    Ok,
    Yes,
    No,
    Cancel
};

// One message box as the user sees it.
struct Box
{
    QString text;
    QString title;
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
    Button defaultButton = Button::Ok;

    bool operator==(const Box &) const = default;
};

// Long work, shown while it runs; the rest of the program waits for it. Each step says what is
// about to be worked on ("Employee 3 of 40: Ann Smith") and tells whether the user has
// cancelled; the work then stops before that step, so nothing is left half done.
class ProgressBox
{
public:
    virtual ~ProgressBox() = default;
    // `done` steps of the total are done; false when the user has cancelled.
    virtual bool next(int done, const QString &step) = 0;
};

// Every message box, input box and progress box of the program goes through here, so that
// tests can answer them and read what was shown.
class Prompts
{
public:
    virtual ~Prompts() = default;
    virtual Button message(const Box &box) = 0;
    // The typed text; empty when the user cancels.
    virtual QString input(const QString &prompt, const QString &title, const QString &preset) = 0;
    // Shown from now until the returned progress goes.
    virtual std::unique_ptr<ProgressBox> progress(const QString &title, int total) = 0;
    // A folder the user picks, starting at the one proposed; empty when the user cancels.
    virtual QString folder(const QString &title, const QString &proposed) = 0;

    // A folder the user picks to save into, starting at proposedFolder(); empty when the user
    // cancels. The folder picked is proposed from then on.
    QString chooseFolder(const QString &title);
    // Where the program proposes to save: the folder the user saved into last in this run,
    // else the documents folder, else the home folder; never one that is not there, which a
    // folder dialog would grey its Choose for and a save dialog would swap for the working
    // folder.
    QString proposedFolder() const;
    // The user chose to save into this folder through a dialog of its own (a file's save
    // dialog), so it is proposed from then on.
    void choseFolder(const QString &folder);

    void warning(const QString &text, const QString &title);
    void information(const QString &text, const QString &title);
    // A box without icon, titled with the program's name.
    void plain(const QString &text);
    Button ask(const QString &text, const QString &title, Buttons buttons, Icon icon,
               Button defaultButton);

private:
    QString m_chosenFolder;
};

inline const QString ProgramTitle = QStringLiteral("Horalink");

Prompts &prompts();
// The message, input and progress boxes the program shows on the desktop.
std::unique_ptr<Prompts> desktopPrompts();
// Replaces the prompts in use; returns the one it replaced.
std::unique_ptr<Prompts> setPrompts(std::unique_ptr<Prompts> replacement);

// What a progress box says while it works on an employee: "Employee 3 of 40: Ann Smith".
QString employeeOf(int done, int total, const QString &employee);

// Builders for the boxes the program shows, shared by the program and its tests.
Box warningBox(const QString &text, const QString &title);
Box informationBox(const QString &text, const QString &title);
Box plainBox(const QString &text);

} // namespace horalink
