// The demo program's start as its main runs it: the simulated controller set up with the
// default options, then the terminal with the simulator's panel; the first frame of the main
// window is stamped (FirstFrame.h). r4xx-terminal-sim itself stays as it is.
// "--no-panel" leaves the panel out: the terminal's own start. "--stay" keeps it running.

#include <cstring>

#include <QStringList>

#include "FirstFrame.h"
#include "shell/DeviceForm.h"
#include "shell/Startup.h"
#include "simpanel/SimOptions.h"
#include "simpanel/SimPanel.h"

namespace {
bool given(int argc, char** argv, const char* option)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], option) == 0)
            return true;
    return false;
}
} // namespace

int main(int argc, char* argv[])
{
    const bool panel = !given(argc, argv, "--no-panel");
    const bool stay = given(argc, argv, "--stay");
    const simpanel::SimSetup setup = simpanel::parseSimOptions({}).setup;
    simpanel::applySetup(setup);
    int qtArgc = 1;
    return runTerminal(qtArgc, argv, [&](TFDevice& window, Dialogs& dialogs) {
        if (panel)
            window.addToolPanel(
                QStringLiteral("Симулятор"), "PanelSim", new simpanel::SimPanel(setup, dialogs));
        stampFirstFrame(window, stay);
    });
}
