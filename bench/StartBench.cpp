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

#include <algorithm>
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
constexpr std::chrono::seconds IdleAfterStart { 3 };
constexpr double StartGoalRatio = 1.2;

long long monotonicNs()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
}

pid_t spawn(const char* program, const char* argument, int output)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, output, STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    char* argv[] = { const_cast<char*>(program), const_cast<char*>(argument), nullptr };
    pid_t pid = 0;
    if (posix_spawn(&pid, program, &actions, nullptr, argv, environ) != 0)
        pid = 0;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// Milliseconds from the spawn to the first frame the program stamps; nothing if it stamps none.
std::optional<double> startMs(const char* program, const char* argument)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return std::nullopt;
    const long long spawned = monotonicNs();
    const pid_t pid = spawn(program, argument, pipeEnds[1]);
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

struct Program {
    const char* path;
    const char* argument;
    std::vector<double> startsMs;
    int failed = 0;
};

} // namespace

int main()
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    Program demo { R4XX_START_STAMP, nullptr, {} };
    Program terminal { R4XX_START_STAMP, "--no-panel", {} };
    Program bare { R4XX_BARE_WINDOW, nullptr, {} };
    std::vector<Program*> order { &demo, &terminal, &bare };
    for (Program* program : order)
        startMs(program->path, program->argument);
    for (int i = 0; i < Starts; ++i) {
        for (Program* program : order) {
            const std::optional<double> ms = startMs(program->path, program->argument);
            program->failed += !ms;
            if (ms)
                program->startsMs.push_back(*ms);
        }
        std::rotate(order.begin(), order.begin() + 1, order.end());
    }
    const auto startRow
        = [&](const std::string& name, const Program& program, FigureRow::GoalOn goalOn) {
              return FigureRow { name + ", median of " + std::to_string(Starts),
                  median(program.startsMs), median(bare.startsMs), "ms", goalOn, StartGoalRatio,
                  program.failed + bare.failed ? "a start stamped no frame" : "" };
          };
    printRows({
        startRow("cold start to first frame: demo start vs bare Qt window", demo,
            FigureRow::GoalOn::Ratio),
        startRow("cold start to first frame: terminal without the demo panel vs bare", terminal,
            FigureRow::GoalOn::None),
        { "idle VmRSS 3 s after start: r4xx-terminal-sim vs bare Qt window",
            idleResidentMiB(R4XX_DEMO_PROGRAM, nullptr),
            idleResidentMiB(R4XX_BARE_WINDOW, "--stay"), "MiB", FigureRow::GoalOn::None, 0, {} },
    });
    return 0;
}
