// Cold start to the shown main window: the demo program's start (r4xx_start_stamp, the same
// start as r4xx-terminal-sim) against a bare Qt main window (r4xx_bare_window), each started as
// a process in turns, from the spawn to the first frame it stamps. Then the resident memory of
// r4xx-terminal-sim itself, idle after its start, against the bare window's.
// Runs with the environment it is given (QT_QPA_PLATFORM=offscreen unless set otherwise).

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <thread>

#include "FigureTable.h"

extern char** environ;

namespace {

constexpr int Starts = 15;
constexpr std::chrono::seconds IdleAfterStart{3};
constexpr double StartGoalRatio = 1.2;

long long monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
}

pid_t spawn(const char* program, const char* argument, int output)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, output, STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    char* argv[] = {const_cast<char*>(program), const_cast<char*>(argument), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, program, &actions, nullptr, argv, environ) != 0)
        pid = 0;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// Milliseconds from the spawn to the first frame the program stamps; nothing if it stamps none.
std::optional<double> startMs(const char* program)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return std::nullopt;
    const long long spawned = monotonicNs();
    const pid_t pid = spawn(program, nullptr, pipeEnds[1]);
    close(pipeEnds[1]);
    std::string output;
    char chunk[64];
    for (ssize_t n; (n = read(pipeEnds[0], chunk, sizeof chunk)) > 0;)
        output.append(chunk, static_cast<std::size_t>(n));
    close(pipeEnds[0]);
    if (pid > 0)
        waitpid(pid, nullptr, 0);
    if (pid <= 0 || output.empty())
        return std::nullopt;
    return static_cast<double>(std::stoll(output) - spawned) / 1e6;
}

double residentMiB(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stod(line.substr(6)) / 1024;
    return 0;
}

// The resident size of a program left to idle after its start; it is ended afterwards.
double idleResidentMiB(const char* program, const char* argument)
{
    const int quiet = open("/dev/null", O_WRONLY);
    const pid_t pid = spawn(program, argument, quiet);
    close(quiet);
    if (pid <= 0)
        return 0;
    std::this_thread::sleep_for(IdleAfterStart);
    const double mib = residentMiB(pid);
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    return mib;
}

} // namespace

int main()
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    std::vector<double> demo;
    std::vector<double> bare;
    int failed = 0;
    startMs(R4XX_START_STAMP);
    startMs(R4XX_BARE_WINDOW);
    for (int i = 0; i < Starts; ++i) {
        const bool demoFirst = i % 2 == 0;
        for (const bool isDemo : {demoFirst, !demoFirst}) {
            const std::optional<double> ms = startMs(isDemo ? R4XX_START_STAMP : R4XX_BARE_WINDOW);
            failed += !ms;
            (isDemo ? demo : bare).push_back(ms.value_or(0));
        }
    }
    FigureRow start{"cold start to first frame: demo start vs bare Qt window, median of "
                        + std::to_string(Starts),
                    median(demo), median(bare), "ms", FigureRow::GoalOn::Ratio, StartGoalRatio,
                    failed ? "a start stamped no frame" : ""};
    FigureRow memory{"idle VmRSS 3 s after start: r4xx-terminal-sim vs bare Qt window",
                     idleResidentMiB(R4XX_DEMO_PROGRAM, nullptr),
                     idleResidentMiB(R4XX_BARE_WINDOW, "--stay"), "MiB", FigureRow::GoalOn::None, 0,
                     {}};
    printRows({start, memory});
    return 0;
}
