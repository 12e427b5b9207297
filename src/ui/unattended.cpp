#include "unattended.h"

#include <cstdio>
#include <QWidget>

namespace horalink {

namespace {

void tell(const QString &line)
{
    std::fprintf(stderr, "%s\n", line.toUtf8().constData());
    std::fflush(stderr);
}

// Line breaks inside a box are told as "\n", so that one box is one line of the report.
QString oneLine(QString text)
{
    return text.replace(QLatin1Char('\n'), QLatin1String("\\n"));
}

class UnattendedPrompts : public Prompts
{
public:
    Button message(const Box &box) override
    {
        tell(QStringLiteral("BOX ") + oneLine(box.title) + QStringLiteral(" | ") +
             oneLine(box.text));
        return box.defaultButton;
    }

    QString input(const QString &prompt, const QString &title, const QString &) override
    {
        tell(QStringLiteral("INPUT ") + oneLine(title) + QStringLiteral(" | ") + oneLine(prompt));
        return {};
    }

    QString folder(const QString &title, const QString &) override
    {
        tell(QStringLiteral("FOLDER ") + oneLine(title));
        return {};
    }

    std::unique_ptr<ProgressBox> progress(const QString &, int) override
    {
        return std::make_unique<Unwatched>();
    }

private:
    // No one is there to cancel.
    class Unwatched : public ProgressBox
    {
    public:
        bool next(int, const QString &) override { return true; }
    };
};

} // namespace

bool unattended()
{
    static const bool set = qEnvironmentVariableIsSet("HORALINK_UNATTENDED");
    return set;
}

std::unique_ptr<Prompts> unattendedPrompts()
{
    return std::make_unique<UnattendedPrompts>();
}

void tellShown(const QWidget &window)
{
    if (unattended())
        tell(QStringLiteral("WINDOW ") + window.objectName());
}

} // namespace horalink
