// A copy of the program that signs Ann on and clocks her in and out for as long as it lives,
// printing each event once its commit has returned. The kill test ends it at random moments.
// With "shared", another clock works on the same log: a press the other clock's event made
// wrong is refused, told as REFUSED, and the next press is of the other kind. A fifth argument
// names another employee than Ann. A clock whose server is away keeps what it confirms.
#include "clock/clock.h"
#include "db/datetimetext.h"
#include "support/children.h"
#include "support/countingprompts.h"
#include "support/replacement.h"
#include "ui/forms.h"
#include "ui/frmlogon.h"
#include "ui/frmmain.h"

#include <cstdio>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>

using namespace horalink;

namespace {

// Boxes are answered at once and counted; a box means the run went wrong, but for a refused
// press where another clock shares the log.
class ClockPrompts : public CountingPrompts
{
public:
    Button message(const Box &box) override
    {
        if (shared && box.text.startsWith(QLatin1String("You must first Clock"))) {
            ++refused;
            return box.defaultButton;
        }
        return CountingPrompts::message(box);
    }
    int refused = 0;
    bool shared = false;
};

// Every reading of the clock is one second later than the last, so no two events share a
// stamp. An event is stamped with the first reading of its press: the window may show another
// clock's event by the time the press is over.
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
    QDateTime next() const { return m_next; }

private:
    QDateTime m_next;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: clockworker FOLDER 'YYYY-MM-DD HH:MM:SS' [EVENTS "
                             "[shared|alone [EMPLOYEE]]]\n");
        return 2;
    }
    QDir::setCurrent(QString::fromLocal8Bit(argv[1]));
    const Replacement prompts(setPrompts, std::make_unique<ClockPrompts>());
    ClockPrompts &boxes = *prompts;
    const Replacement clock(
        setClock, std::make_unique<SteppingClock>(parseStoredStamp(QString::fromLatin1(argv[2]))));
    const SteppingClock &readings = *clock;
    const int events = argc > 3 ? QString::fromLatin1(argv[3]).toInt() : -1;
    boxes.shared = argc > 4 && QLatin1String(argv[4]) == QLatin1String("shared");
    const QString employee = argc > 5 ? QString::fromLocal8Bit(argv[5]) : QStringLiteral("Ann");

    frmlogon &logon = forms().frmlogon();
    child<QComboBox>(logon, "namechoice")->setEditText(employee);
    child<QPushButton>(logon, "Command1")->click();
    frmmain &main = forms().frmmain();
    if (boxes.shown || !main.isVisible())
        return 1;
    std::printf("SIGNED ON %s\n", qPrintable(child<QLabel>(main, "Lastlogonvalue")->text()));
    std::fflush(stdout);

    bool in = child<QLabel>(main, "Lastlogonvalue")->text() != QLatin1String("Clocked In");
    for (int done = 0; events < 0 || done < events; ++done, in = !in) {
        const int refused = boxes.refused;
        const QDateTime stamp = readings.next();
        (in ? child<QPushButton>(main, "clockin") : child<QPushButton>(main, "clockout"))->click();
        if (boxes.shown)
            return 1;
        if (boxes.refused > refused) {
            std::printf("REFUSED\n");
            std::fflush(stdout);
            continue;
        }
        std::printf("%s %s\n", in ? "IN" : "OUT", qPrintable(storedStamp(stamp)));
        std::fflush(stdout);
    }
    return 0;
}
