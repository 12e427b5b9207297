#include "fixture.h"

#include "ui/clicklabel.h"
#include "ui/forms.h"
#include "ui/frmlogon.h"
#include "ui/frmmain.h"
#include "ui/program.h"
#include "ui/start.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace horalink {

Button ScriptedPrompts::message(const Box &box)
{
    boxes << box;
    if (answers.empty())
        return box.defaultButton;
    const Button answer = answers.front();
    answers.pop_front();
    return answer;
}

QString ScriptedPrompts::input(const QString &prompt, const QString &title, const QString &preset)
{
    inputs << InputBox{prompt, title, preset};
    if (typed.empty())
        return preset;
    const QString answer = typed.front();
    typed.pop_front();
    return answer;
}

std::unique_ptr<ProgressBox> ScriptedPrompts::progress(const QString &, int)
{
    class Scripted : public ProgressBox
    {
    public:
        explicit Scripted(ScriptedPrompts &prompts) : m_prompts(prompts) {}
        bool next(int, const QString &step) override
        {
            if (m_prompts.progressed.size() == m_prompts.cancelAtStep)
                return false;
            m_prompts.progressed << step;
            return true;
        }

    private:
        ScriptedPrompts &m_prompts;
    };
    return std::make_unique<Scripted>(*this);
}

QString ScriptedPrompts::folder(const QString &, const QString &proposed)
{
    proposedFolders << proposed;
    if (folders.empty())
        return {};
    const QString picked = folders.front();
    folders.pop_front();
    return picked;
}

Fixture::Fixture() : prompts(*m_prompts)
{
    resetProgramEnded();
}

Fixture::~Fixture()
{
    forms().unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    resetProgramEnded();
}

void Fixture::startProgram()
{
    start();
    for (int i = 0; i < 20; ++i)
        processEvents();
}

void Fixture::signOn(const QString &name, const QString &password)
{
    frmlogon &window = logon();
    child<QComboBox>(window, "namechoice")->setEditText(name);
    child<QPushButton>(window, "Command1")->click();
    if (!password.isNull() && child<QWidget>(window, "passwordbx")->isVisible()) {
        child<QLineEdit>(window, "txtpass")->setText(password);
        child<QPushButton>(window, "Command3")->click();
    }
    processEvents();
}

frmmain &Fixture::main()
{
    return forms().frmmain();
}

frmlogon &Fixture::logon()
{
    return forms().frmlogon();
}

void Fixture::click(const QString &name)
{
    frmmain &window = main();
    if (auto *action = window.findChild<QAction *>(name)) {
        if (action->isEnabled())
            action->trigger();
    } else if (auto *widget = window.findChild<QWidget *>(name)) {
        click(widget);
    } else {
        QFAIL(qPrintable(QStringLiteral("no control named ") + name));
    }
    processEvents();
}

void Fixture::click(QWidget *widget)
{
    if (auto *button = qobject_cast<QAbstractButton *>(widget))
        button->click();
    else if (auto *label = qobject_cast<ClickLabel *>(widget))
        emit label->clicked();
    processEvents();
}

void Fixture::processEvents()
{
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QList<Box> Fixture::takeBoxes()
{
    return std::exchange(prompts.boxes, {});
}

} // namespace horalink

char *toString(const horalink::Box &box)
{
    return QTest::toString(QStringLiteral("Box(\"%1\", \"%2\", icon %3, buttons %4, default %5)")
                               .arg(box.text, box.title)
                               .arg(int(box.icon))
                               .arg(int(box.buttons))
                               .arg(int(box.defaultButton)));
}

char *toString(const horalink::ScriptedPrompts::InputBox &box)
{
    return QTest::toString(
        QStringLiteral("Input(\"%1\", \"%2\", \"%3\")").arg(box.prompt, box.title, box.preset));
}
