#include "frmsplash.h"

#include "ui/forms.h"
#include "ui/frmlogon.h"
#include "ui/pictures.h"
#include "ui/program.h"
#include "ui/prompts.h"

#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

namespace horalink {

frmsplash::frmsplash() : Form(Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmsplash"));
    setWindowTitle(ProgramTitle);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("picture"));
    picture->setPixmap(splashPicture());
    picture->setScaledContents(true);
    layout->addWidget(picture);
    setFixedClientSize(5100, 3645);
}

void frmsplash::loaded()
{
    centre();
}

void frmsplash::showEvent(QShowEvent *event)
{
    Form::showEvent(event);
    // Its first activation comes right after it is first shown; a splash has no focus to
    // take, so the start is not left to the window manager.
    QTimer::singleShot(0, this, [this] { guarded([this] { activated(); }); });
}

void frmsplash::activated()
{
    if (m_started)
        return;
    m_started = true;
    repaint();
    frmlogon &logon = forms().frmlogon();
    if (!programEnded())
        logon.show();
}

} // namespace horalink
