#include <cstdio>

#include <QDockWidget>
#include <QStringList>

#include "shell/DeviceForm.h"
#include "shell/Startup.h"
#include "simpanel/SimOptions.h"
#include "simpanel/SimPanel.h"
#include "simpanel/TrafficFile.h"

namespace {

const QString Program = QStringLiteral("r4xx-terminal-sim");
const QString Usage = QStringLiteral(
    "Использование: r4xx-terminal-sim [параметры]\n"
    "Терминал на имитаторе контроллера. Всё, что задают параметры, меняется и на панели "
    "«Симулятор».\n");

} // namespace

// The terminal on the simulated controller, set up from the command line, with the simulator's
// control panel docked at the right.
int main(int argc, char* argv[])
{
    const simpanel::ParsedOptions parsed =
        simpanel::parseSimOptions(simpanel::commandArguments(argc, argv));
    if (parsed.outcome == simpanel::ParsedOptions::Outcome::Help) {
        std::fputs(qPrintable(simpanel::simOptionsHelp(Usage)), stdout);
        return 0;
    }
    if (parsed.outcome == simpanel::ParsedOptions::Outcome::Error)
        return simpanel::refuseOptions(Program, parsed.message);
    simpanel::TrafficFile trafficFile(Program);
    if (const QString refusal = trafficFile.start(parsed.setup.trafficFile); !refusal.isEmpty())
        return simpanel::refuseOptions(Program, refusal);
    simpanel::applySetup(parsed.setup);
    int qtArgc = 1;
    const int status = runTerminal(qtArgc, argv, [&](TFDevice& window, Dialogs& dialogs) {
        window.addToolPanel(QStringLiteral("Симулятор"), "PanelSim",
                            new simpanel::SimPanel(parsed.setup, dialogs));
    });
    trafficFile.detach();
    return status;
}
