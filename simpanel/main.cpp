#include <cstdio>

#include <QDockWidget>
#include <QStringList>

#include "shell/DeviceForm.h"
#include "shell/Startup.h"
#include "simpanel/SimOptions.h"
#include "simpanel/SimPanel.h"
#include "simpanel/TrafficFile.h"

namespace {

QStringList argumentsOf(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

int refuse(const QString& message)
{
    std::fprintf(stderr, "r4xx-terminal-sim: %s\nСписок параметров: r4xx-terminal-sim --help\n",
                 qPrintable(message));
    return simpanel::BadOptionsStatus;
}

} // namespace

// The terminal on the simulated controller, set up from the command line, with the simulator's
// control panel docked at the right.
int main(int argc, char* argv[])
{
    const simpanel::ParsedOptions parsed = simpanel::parseSimOptions(argumentsOf(argc, argv));
    if (parsed.outcome == simpanel::ParsedOptions::Outcome::Help) {
        std::fputs(qPrintable(simpanel::simOptionsHelp()), stdout);
        return 0;
    }
    if (parsed.outcome == simpanel::ParsedOptions::Outcome::Error)
        return refuse(parsed.message);
    simpanel::TrafficFile trafficFile;
    if (!parsed.setup.trafficFile.isEmpty()) {
        QString error;
        if (!trafficFile.open(parsed.setup.trafficFile, error))
            return refuse(QStringLiteral("файл трафика %1: %2").arg(parsed.setup.trafficFile, error));
        trafficFile.attach();
    }
    simpanel::applySetup(parsed.setup);
    int qtArgc = 1;
    const int status = runTerminal(qtArgc, argv, [&](TFDevice& window, Dialogs& dialogs) {
        window.addToolPanel(QStringLiteral("Симулятор"), "PanelSim",
                            new simpanel::SimPanel(parsed.setup, dialogs));
    });
    trafficFile.detach();
    return status;
}
