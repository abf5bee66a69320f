// Runs a program with simulated controllers (by default one R-420ZA with its demonstration
// configuration) plugged into an emulated USB bus: the program sees /dev/bus/usb/001/NNN and talks
// to each through the kernel's USB device interface, as with real controllers. The start options
// are the demo program's.
//
//     r4xx-usbfs-bed [OPTIONS] -- PROGRAM [ARGUMENTS...]
//     r4xx-usbfs-bed PROGRAM [ARGUMENTS...]

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <spawn.h>
#include <sys/wait.h>

#include <QStringList>

#include "sim/Simulator.h"
#include "sim/UsbfsBed.h"
#include "simpanel/BedCommandLine.h"
#include "simpanel/SimSetup.h"
#include "simpanel/TrafficFile.h"

extern char** environ;

namespace {
const QString Program = QStringLiteral("r4xx-usbfs-bed");
const char* const PreloadLibrary = "libumockdev-preload.so.0";
constexpr int NotStartedStatus = 127;

// The program finds the bed through UMOCKDEV_DIR, which the bed has set, and umockdev's preload
// library, which it gets here unless it already has it.
void preloadForChild()
{
    const char* current = std::getenv("LD_PRELOAD");
    std::string preload = current ? current : "";
    if (preload.find(PreloadLibrary) == std::string::npos)
        preload = preload.empty() ? PreloadLibrary : std::string(PreloadLibrary) + ":" + preload;
    setenv("LD_PRELOAD", preload.c_str(), 1);
}

int exitCodeOf(int status)
{
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}

// Runs the program to its end; its exit status, or 127 when it did not start.
int run(char** program)
{
    preloadForChild();
    pid_t child = 0;
    if (posix_spawnp(&child, program[0], nullptr, nullptr, program, environ) != 0) {
        std::fprintf(stderr, "%s: cannot start %s\n", qPrintable(Program), program[0]);
        return NotStartedStatus;
    }
    int status = 0;
    pid_t waited = 0;
    do
        waited = waitpid(child, &status, 0);
    while (waited < 0 && errno == EINTR);
    return waited < 0 ? NotStartedStatus : exitCodeOf(status);
}
}

int main(int argc, char* argv[])
{
    const simpanel::BedCommandLine line =
        simpanel::parseBedCommandLine(simpanel::commandArguments(argc, argv));
    const simpanel::ParsedOptions& parsed = line.options;
    if (parsed.outcome == simpanel::ParsedOptions::Outcome::Help) {
        std::fputs(qPrintable(simpanel::bedHelp()), stdout);
        return 0;
    }
    if (parsed.outcome == simpanel::ParsedOptions::Outcome::Error)
        return simpanel::refuseOptions(Program, parsed.message);
    simpanel::TrafficFile trafficFile(Program);
    if (const QString refusal = trafficFile.start(parsed.setup.trafficFile); !refusal.isEmpty())
        return simpanel::refuseOptions(Program, refusal);
    simpanel::applySetup(parsed.setup);
    int status = 0;
    {
        sim::UsbfsBed bed(sim::Simulator::instance());
        status = run(argv + 1 + line.programStart);
    }
    trafficFile.detach();
    return status;
}
