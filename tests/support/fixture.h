#pragma once

#include "support/children.h"
#include "support/datafixture.h"
#include "ui/prompts.h"

#include <deque>
#include <memory>
#include <QList>
#include <QStringList>

class QWidget;

namespace horalink {

class frmlogon;
class frmmain;

// Answers boxes from a script (or with their default button) and keeps every box shown.
class ScriptedPrompts : public Prompts
{
public:
    struct InputBox
    {
        QString prompt;
        QString title;
        QString preset;
        bool operator==(const InputBox &) const = default;
    };

    Button message(const Box &box) override;
    QString input(const QString &prompt, const QString &title, const QString &preset) override;
    std::unique_ptr<ProgressBox> progress(const QString &title, int total) override;
    QString folder(const QString &title, const QString &proposed) override;

    QList<Box> boxes;
    QList<InputBox> inputs;
    std::deque<Button> answers;
    // Typed answers for input boxes; without one the preset is taken, as OK would.
    std::deque<QString> typed;
    // What progress boxes said, step by step ("Employee 1 of 3: Ann"); Cancel is pressed
    // before the step of this number, counted from 0 over all progress boxes.
    QStringList progressed;
    int cancelAtStep = -1;
    // Folders picked, one for each folder dialog; without one the dialog is cancelled. The
    // folders proposed are kept.
    std::deque<QString> folders;
    QStringList proposedFolders;
};

// A test's world with the program's windows: the data fixture's folder, database and clock,
// and scripted boxes. Undone, windows and all, when it goes.
class Fixture : public DataFixture
{
public:
    Fixture();
    ~Fixture();

    // Starts the program and lets it run until the logon window (or first-run window) is up.
    void startProgram();
    void signOn(const QString &name, const QString &password = {});
    frmmain &main();
    frmlogon &logon();

    // Clicks a button, label or menu entry of the main window by its name.
    void click(const QString &name);
    void click(QWidget *widget);
    void processEvents();

    QList<Box> takeBoxes();

private:
    Replacement<ScriptedPrompts, Prompts> m_prompts{setPrompts,
                                                    std::make_unique<ScriptedPrompts>()};

public:
    ScriptedPrompts &prompts;
};

} // namespace horalink

// QCOMPARE prints boxes readably when they differ.
char *toString(const horalink::Box &box);
char *toString(const horalink::ScriptedPrompts::InputBox &box);
