#include "prompts.h"

#include "clock/seam.h"

#include <algorithm>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QInputDialog>
#include <QMessageBox>
#include <QProgressDialog>
#include <QStandardPaths>
#include <QStyle>

namespace horalink {

namespace {

QMessageBox::StandardButton standardButton(Button button)
{
    switch (button) {
    case Button::Yes:
        return QMessageBox::Yes;
    case Button::No:
        return QMessageBox::No;
    case Button::Cancel:
        return QMessageBox::Cancel;
    case Button::Ok:
        break;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon messageIcon(Icon icon)
{
    switch (icon) {
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Exclamation:
        return QMessageBox::Warning;
    case Icon::Stop:
        return QMessageBox::Critical;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// The width a window needs to show its whole title in the title bar beside its icon and
// buttons. The title is measured in bold, as many window managers draw it; each button and the
// icon take about a title bar's height.
int titleBarWidth(const QWidget &window)
{
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true);
    const int titleBarHeight = window.style()->pixelMetric(QStyle::PM_TitleBarHeight);
    return QFontMetrics(font).horizontalAdvance(window.windowTitle()) + 5 * titleBarHeight;
}

// A progress box over the active window: it keeps the windows painted while the work runs,
// and its Cancel is heard between two steps. Every other window waits: a click there could
// start a second job under this one, or unload the window whose work this is.
class DesktopProgress : public ProgressBox
{
public:
    DesktopProgress(const QString &title, int total)
        : m_dialog(QString(), QStringLiteral("Cancel"), 0, total, QApplication::activeWindow())
    {
        m_dialog.setObjectName(QStringLiteral("progress"));
        m_dialog.setWindowTitle(title);
        m_dialog.setWindowModality(Qt::ApplicationModal);
        m_dialog.setMinimumDuration(0);
        m_dialog.setAutoClose(false);
        m_dialog.setMinimumWidth(m_dialog.fontMetrics().averageCharWidth() * 48);
        QApplication::setOverrideCursor(Qt::BusyCursor);
    }
    ~DesktopProgress() override { QApplication::restoreOverrideCursor(); }

    bool next(int done, const QString &step) override
    {
        m_dialog.setLabelText(step);
        // A modal progress box handles the events that came in, painting and Cancel among them.
        m_dialog.setValue(done);
        return !m_dialog.wasCanceled();
    }

private:
    QProgressDialog m_dialog;
};

class DesktopPrompts : public Prompts
{
public:
    Button message(const Box &box) override
    {
        QMessageBox dialog(messageIcon(box.icon), box.title, box.text, QMessageBox::NoButton,
                           QApplication::activeWindow());
        switch (box.buttons) {
        case Buttons::Ok:
            dialog.setStandardButtons(QMessageBox::Ok);
            break;
        case Buttons::YesNo:
            dialog.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        case Buttons::YesNoCancel:
            dialog.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
        }
        dialog.setDefaultButton(standardButton(box.defaultButton));
        if (box.buttons != Buttons::YesNo)
            dialog.setEscapeButton(box.buttons == Buttons::Ok ? QMessageBox::Ok
                                                              : QMessageBox::Cancel);
        switch (dialog.exec()) {
        case QMessageBox::Yes:
            return Button::Yes;
        case QMessageBox::No:
            return Button::No;
        case QMessageBox::Cancel:
            return Button::Cancel;
        default:
            return Button::Ok;
        }
    }

    QString input(const QString &prompt, const QString &title, const QString &preset) override
    {
        QInputDialog dialog(QApplication::activeWindow());
        dialog.setWindowTitle(title);
        dialog.setLabelText(prompt);
        dialog.setTextValue(preset);
        dialog.adjustSize();
        dialog.resize(std::max(dialog.width(), titleBarWidth(dialog)), dialog.height());
        return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
    }

    std::unique_ptr<ProgressBox> progress(const QString &title, int total) override
    {
        return std::make_unique<DesktopProgress>(title, total);
    }

    QString folder(const QString &title, const QString &proposed) override
    {
        return QFileDialog::getExistingDirectory(QApplication::activeWindow(), title, proposed);
    }
};

} // namespace

void Prompts::warning(const QString &text, const QString &title)
{
    message(warningBox(text, title));
}

void Prompts::information(const QString &text, const QString &title)
{
    message(informationBox(text, title));
}

void Prompts::plain(const QString &text)
{
    message(plainBox(text));
}

QString Prompts::chooseFolder(const QString &title)
{
    const QString picked = folder(title, proposedFolder());
    choseFolder(picked);
    return picked;
}

QString Prompts::proposedFolder() const
{
    const QString candidates[] = {
        m_chosenFolder, QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)};
    for (const QString &candidate : candidates) {
        if (!candidate.isEmpty() && QFileInfo(candidate).isDir())
            return candidate;
    }
    return QDir::homePath();
}

void Prompts::choseFolder(const QString &folder)
{
    if (!folder.isEmpty())
        m_chosenFolder = folder;
}

Button Prompts::ask(const QString &text, const QString &title, Buttons buttons, Icon icon,
                    Button defaultButton)
{
    return message({text, title, icon, buttons, defaultButton});
}

std::unique_ptr<Prompts> desktopPrompts()
{
    return std::make_unique<DesktopPrompts>();
}

using PromptsSeam = Seam<Prompts, &desktopPrompts>;

Prompts &prompts()
{
    return PromptsSeam::current();
}

std::unique_ptr<Prompts> setPrompts(std::unique_ptr<Prompts> replacement)
{
    return PromptsSeam::replace(std::move(replacement));
}

QString employeeOf(int done, int total, const QString &employee)
{
    return QStringLiteral("Employee ") + QString::number(done + 1) + QStringLiteral(" of ") +
           QString::number(total) + QStringLiteral(": ") + employee;
}

Box warningBox(const QString &text, const QString &title)
{
    return {text, title, Icon::Exclamation, Buttons::Ok, Button::Ok};
}

Box informationBox(const QString &text, const QString &title)
{
    return {text, title, Icon::Information, Buttons::Ok, Button::Ok};
}

Box plainBox(const QString &text)
{
    return {text, ProgramTitle, Icon::None, Buttons::Ok, Button::Ok};
}

} // namespace horalink
