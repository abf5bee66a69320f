// Runs a program with the simulated controller (an R-420ZA with its demonstration configuration)
// plugged into an emulated USB bus: the program sees /dev/bus/usb/001/NNN and talks to it through
// the kernel's USB device interface, as with a real controller.
//
//     r4xx-usbfs-bed PROGRAM [ARGUMENTS...]

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <spawn.h>
#include <sys/wait.h>

#include "sim/Simulator.h"
#include "sim/UsbfsBed.h"

extern char** environ;

namespace {
const char* const PreloadLibrary = "libumockdev-preload.so.0";

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
}

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PROGRAM [ARGUMENTS...]\n", argv[0]);
        return 2;
    }
    sim::UsbfsBed bed(sim::Simulator::instance());
    preloadForChild();
    pid_t child = 0;
    const int failure = posix_spawnp(&child, argv[1], nullptr, nullptr, argv + 1, environ);
    if (failure != 0) {
        std::fprintf(stderr, "%s: cannot start %s\n", argv[0], argv[1]);
        return 127;
    }
    int status = 0;
    pid_t waited = 0;
    do
        waited = waitpid(child, &status, 0);
    while (waited < 0 && errno == EINTR);
    return waited < 0 ? 127 : exitCodeOf(status);
}
