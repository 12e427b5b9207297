// The whole program: start-up with a long employee list, against a bare Qt window; printing
// and clearing every employee's log.
#include "db/database.h"
#include "shop.h"
#include "support/children.h"
#include "support/countingprinter.h"
#include "support/countingprompts.h"
#include "support/replacement.h"
#include "ui/forms.h"
#include "ui/frmlogon.h"
#include "ui/frmmain.h"
#include "ui/printer.h"
#include "ui/prompts.h"

#include <benchmark/benchmark.h>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>

using namespace horalink;

namespace {

void runProcess(benchmark::State &state, const QString &program, const QString &folder)
{
    for (auto _ : state) {
        QProcess probe;
        probe.setWorkingDirectory(folder);
        probe.start(program, {});
        if (!probe.waitForFinished(60000) || probe.exitCode() != 0)
            state.SkipWithError("the probe did not show its window");
    }
}

QString thousandEmployees()
{
    static auto folder = shopFolder(1000, 0);
    return folder->path();
}

void StartUp(benchmark::State &state)
{
    runProcess(state, QStringLiteral(STARTPROBE), thousandEmployees());
}

void BareLogonWindow(benchmark::State &state)
{
    runProcess(state, QStringLiteral(BAREPROBE), thousandEmployees());
}

void leave()
{
    forms().unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    closeDatabases();
    QDir::setCurrent(QDir::tempPath());
}

// Signs the manager on in a shop of 200 employees with 10,000 events each.
frmmain &managerIn(QTemporaryDir &folder)
{
    // Whatever another benchmark left loaded belongs to another file.
    leave();
    QDir::setCurrent(folder.path());
    frmlogon &logon = forms().frmlogon();
    child<QComboBox>(logon, "namechoice")->setEditText(QStringLiteral("Manager"));
    child<QPushButton>(logon, "Command1")->click();
    child<QLineEdit>(logon, "txtpass")->setText(QStringLiteral("boss"));
    child<QPushButton>(logon, "Command3")->click();
    return forms().frmmain();
}

void PrintAll(benchmark::State &state)
{
    auto folder = shopFolder(200, 10000);
    frmmain &main = managerIn(*folder);
    const Replacement cards(setPrinter, std::make_unique<CountingPrinter>());
    // The defaults answer: every employee, up to now.
    for (auto _ : state)
        child<QPushButton>(main, "Command3")->click();
    state.counters["cards"] = double(cards->documents) / double(state.iterations());
    leave();
}

void ClearAll(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto folder = shopFolder(200, 10000);
        frmmain &main = managerIn(*folder);
        state.ResumeTiming();
        // Every employee, everything before now.
        static_cast<CountingPrompts &>(prompts()).answers = {Button::Yes};
        child<QPushButton>(main, "Command4")->click();
        state.PauseTiming();
        leave();
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BareLogonWindow)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(StartUp)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(PrintAll)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(ClearAll)->Unit(benchmark::kMillisecond)->Iterations(2);
