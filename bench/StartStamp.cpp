// The demo program's start as its main runs it: the simulated controller set up with the
// default options, then the terminal with the simulator's panel; the first frame of the main
// window is stamped (FirstFrame.h). r4xx-terminal-sim itself stays as it is.

#include <QStringList>

#include "FirstFrame.h"
#include "shell/DeviceForm.h"
#include "shell/Startup.h"
#include "simpanel/SimOptions.h"
#include "simpanel/SimPanel.h"

int main(int argc, char* argv[])
{
    const simpanel::SimSetup setup = simpanel::parseSimOptions({}).setup;
    simpanel::applySetup(setup);
    int qtArgc = 1;
    return runTerminal(qtArgc, argv, [&](TFDevice& window, Dialogs& dialogs) {
        window.addToolPanel(QStringLiteral("Симулятор"), "PanelSim",
                            new simpanel::SimPanel(setup, dialogs));
        stampFirstFrame(window, argc > 1);
    });
}
