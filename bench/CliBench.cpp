// r4xx-cli as shipped, on Debian's libusb under the emulated USB bed, with a 128 KiB image:
// - its flash against the bare libusb loop of the same transfers and waits (r4xx_bare_flash,
//   replaying a recorded flash), with one full-speed frame (1 ms) of latency per exchange so that
//   the exchanges, not the bed's own work, make the time of a transfer. Both make the load's
//   waits (about 6 s on the simulated chip), which the figure's time includes;
// - four flash processes on four controllers side by side against one alone, on a bed without
//   latency: the bed serves every controller on one thread and sleeps a latency there, which
//   would make four controllers wait on each other; without it, the bed's thread and the
//   machine's cores are what four loads share.
// Each time is taken inside the bed (r4xx_cli_bench --timed), from the first spawn to the last
// exit, so the bed's own start is left out; the rounds are taken in turns.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include "FigureTable.h"

extern char** environ;

namespace {

constexpr int ImageSize = 128 * 1024;
constexpr int Rounds = 3;
const QString Separator = QStringLiteral(";;");
const char* const ServiceCode = "Orchard";

// --- inside the bed ------------------------------------------------------------------------

pid_t spawnQuiet(std::vector<char*> program)
{
    program.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    if (posix_spawn(&pid, program[0], &actions, nullptr, program.data(), environ) != 0)
        pid = 0;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// Runs the programs (separated by ";;") side by side; prints the milliseconds from the first
// spawn to the last exit. Fails when one of them fails.
int timed(int argc, char* argv[])
{
    std::vector<std::vector<char*>> programs(1);
    for (int i = 0; i < argc; ++i) {
        if (Separator == QLatin1String(argv[i]))
            programs.emplace_back();
        else
            programs.back().push_back(argv[i]);
    }
    const auto start = std::chrono::steady_clock::now();
    std::vector<pid_t> children;
    for (const auto& program : programs)
        children.push_back(spawnQuiet(program));
    bool failed = false;
    for (pid_t child : children) {
        int status = 0;
        failed |= child <= 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)
            || WEXITSTATUS(status) != 0;
    }
    const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - start;
    std::printf("%.1f\n", spent.count());
    return failed ? 1 : 0;
}

// --- outside --------------------------------------------------------------------------------

struct Run {
    double ms = 0;
    bool ok = false;
};

Run inBed(const QStringList& bedOptions, const QStringList& program)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QStringLiteral(BED_WRAPPER),
                  QStringList{QStringLiteral(BED_PROGRAM)} + bedOptions + QStringList{QStringLiteral("--")}
                      + program);
    process.waitForFinished(-1);
    bool number = false;
    const double ms = process.readAllStandardOutput().trimmed().toDouble(&number);
    return {ms, number && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0};
}

QStringList timedProgram(const QStringList& programs)
{
    return QStringList{QCoreApplication::applicationFilePath(), QStringLiteral("--timed")} + programs;
}

QStringList flash(const QString& image, const QString& device)
{
    return {QStringLiteral(CLI_PROGRAM), QStringLiteral("--device"), device, QStringLiteral("flash"), image};
}

bool writeImage(const QString& path)
{
    QByteArray bytes(ImageSize, Qt::Uninitialized);
    for (int i = 0; i < ImageSize; ++i)
        bytes[i] = static_cast<char>(i * 13 + 5);
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == ImageSize;
}

// The bed's traffic file as r4xx_bare_flash reads it.
bool convertTraffic(const QString& from, const QString& to)
{
    QFile in(from);
    QFile out(to);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
        return false;
    int transfers = 0;
    for (const QByteArray& line : in.readAll().split('\n')) {
        const QJsonObject transfer = QJsonDocument::fromJson(line).object();
        if (transfer.isEmpty())
            continue;
        const QString endpoint = QString::number(transfer[u"endpoint"].toInt());
        const QString text = transfer[u"direction"].toString() == u"out"
            ? QStringLiteral("o %1 %2\n").arg(endpoint, transfer[u"bytes"].toString())
            : QStringLiteral("i %1 %2 %3\n")
                  .arg(endpoint)
                  .arg(transfer[u"length"].toInt())
                  .arg(transfer[u"result"].toInt());
        out.write(text.toLatin1());
        ++transfers;
    }
    return transfers > 0;
}

struct Turns {
    std::vector<double> measured;
    std::vector<double> baseline;
    int failed = 0;
};

// The rounds in turns, the first of each pair changing every round.
Turns inTurns(const QStringList& bedOptions, const QStringList& measured, const QStringList& baseline)
{
    Turns turns;
    for (int round = 0; round < Rounds; ++round) {
        for (int i = 0; i < 2; ++i) {
            const bool measuring = (i == 0) == (round % 2 == 0);
            const Run run = inBed(bedOptions, timedProgram(measuring ? measured : baseline));
            turns.failed += !run.ok;
            (measuring ? turns.measured : turns.baseline).push_back(run.ms);
        }
    }
    return turns;
}

FigureRow rowOf(const std::string& name, const Turns& turns, double goal)
{
    return {name + ", median of " + std::to_string(Rounds),
            median(turns.measured),
            median(turns.baseline),
            "ms",
            FigureRow::GoalOn::Ratio,
            goal,
            turns.failed ? std::to_string(turns.failed) + " runs failed" : ""};
}

std::vector<FigureRow> figures()
{
    QTemporaryDir folder;
    const QString image = folder.filePath(QStringLiteral("bench.rom"));
    const QString recorded = folder.filePath(QStringLiteral("flash.jsonl"));
    const QString replay = folder.filePath(QStringLiteral("flash.txt"));
    const QString first = QStringLiteral("001/002");
    const QStringList latency{QStringLiteral("--latency"), QStringLiteral("1")};
    const std::string bareName = "flash 128 KiB: r4xx-cli vs bare libusb loop, same transfers and waits, 1 ms/exchange";
    if (!writeImage(image)
        || !inBed(latency + QStringList{QStringLiteral("--traffic"), recorded}, timedProgram(flash(image, first))).ok
        || !convertTraffic(recorded, replay))
        return {{bareName, 0, std::nullopt, "ms", FigureRow::GoalOn::Ratio, 1.02, "recording failed"}};

    QStringList four;
    for (const char* device : {"001/002", "001/003", "001/004", "001/005"})
        four += (four.isEmpty() ? QStringList{} : QStringList{Separator}) + flash(image, QLatin1String(device));
    return {
        rowOf(bareName, inTurns(latency, flash(image, first), {QStringLiteral(BARE_PROGRAM), replay}), 1.02),
        rowOf("flash 128 KiB: 4 r4xx-cli on 4 controllers side by side vs 1 alone, no latency",
              inTurns({QStringLiteral("--controllers"), QStringLiteral("4")}, four, flash(image, first)), 1.1),
    };
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc > 1 && std::strcmp(argv[1], "--timed") == 0)
        return timed(argc - 2, argv + 2);
    QCoreApplication app(argc, argv);
    qputenv("R4XX_SERVICE_CODE", ServiceCode);
    printRows(figures());
    return 0;
}
