// r4xx-cli: the terminal's device tasks from the command line.

#include <atomic>
#include <csignal>
#include <cstdio>

#include <unistd.h>

#include <QCoreApplication>
#include <QTextStream>

#include "cli/CommandLine.h"
#include "cli/TerminalPrompt.h"

namespace {
std::atomic<bool> interrupted{false};

extern "C" void onInterrupt(int)
{
    interrupted = true;
}

std::optional<QString> environmentCode()
{
    const QByteArray code = qgetenv("R4XX_SERVICE_CODE");
    if (code.isNull())
        return std::nullopt;
    return QString::fromLocal8Bit(code);
}
}

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    struct sigaction action = {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    QTextStream out(stdout);
    QTextStream err(stderr);
    SystemPollClock clock(interrupted);
    Console console{out,
                    err,
                    isatty(STDERR_FILENO) == 1,
                    clock,
                    [] { return QDateTime::currentDateTime(); },
                    environmentCode,
                    promptServiceCode,
                    interrupted,
                    deviceTasks(),
                    {}};
    return runCommandLine(QCoreApplication::arguments(), console);
}
