// A copy of the program that signs Ann on and clocks her in and out for as long as it lives,
// printing each event once its commit has returned. The kill test ends it at random moments.
#include "clock/clock.h"
#include "db/datetimetext.h"
#include "support/countingprompts.h"
#include "ui/datacontrol.h"
#include "ui/forms.h"
#include "ui/frmlogon.h"
#include "ui/frmmain.h"
#include "ui/frmprop.h"
#include "ui/prompts.h"

#include <cstdio>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>

using namespace horalink;

namespace {

// Every reading of the clock is one second later than the last, so no two events share a
// stamp.
class SteppingClock : public Clock
{
public:
    explicit SteppingClock(QDateTime start) : m_next(std::move(start)) {}
    QDateTime now() override
    {
        const QDateTime now = m_next;
        m_next = m_next.addSecs(1);
        return now;
    }

private:
    QDateTime m_next;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: clockworker FOLDER 'YYYY-MM-DD HH:MM:SS' [EVENTS]\n");
        return 2;
    }
    QDir::setCurrent(QString::fromLocal8Bit(argv[1]));
    auto prompts = std::make_unique<CountingPrompts>();
    CountingPrompts &boxes = *prompts;
    setPrompts(std::move(prompts));
    setClock(std::make_unique<SteppingClock>(parseStoredStamp(QString::fromLatin1(argv[2]))));
    const int events = argc > 3 ? QString::fromLatin1(argv[3]).toInt() : -1;

    frmlogon &logon = forms().frmlogon();
    logon.nameBox->setEditText(QStringLiteral("Ann"));
    logon.okButton->click();
    frmmain &main = forms().frmmain();
    if (boxes.shown || !main.isVisible())
        return 1;
    std::printf("SIGNED ON %s\n", qPrintable(main.eventStatusLabel->text()));
    std::fflush(stdout);

    for (int done = 0; events < 0 || done < events; ++done) {
        const bool in = main.eventStatusLabel->text() != QLatin1String("Clocked In");
        (in ? main.clockInButton : main.clockOutButton)->click();
        if (boxes.shown)
            return 1;
        std::printf(
            "%s %s\n", in ? "IN" : "OUT",
            qPrintable(storedStamp(main.userLog->field(QStringLiteral("datetime")).toDateTime())));
        std::fflush(stdout);
    }
    return 0;
}
