// What a task's reports cost it in the terminal, beside its transfers: the hand-over of one
// report to the user-interface thread and back, and the firmware window's own handling of a
// progress report, during which the worker waits.

#include <atomic>
#include <numeric>
#include <thread>

#include <QCoreApplication>
#include <QFile>
#include <QMdiArea>
#include <QTemporaryDir>

#include "Figures.h"
#include "ShownTerminal.h"
#include "tasks/FlashForm.h"
#include "ui/NotificationBridge.h"
#include "ui/WindowRegistry.h"

namespace {

constexpr int ImageSize = 128 * 1024;
constexpr int BlockSize = 251; // the blocks of the demo controller's 256 payload bytes

// What one report costs the worker when its window does nothing with it: the hand-over to the
// user-interface thread and back, in microseconds.
std::vector<double> reportRoundTrips(int count)
{
    struct IdleWindow final : NotifiedWindow {
        void OnDeviceMessage(const TaskReport&) override { }
    } idle;
    QWidget widget;
    WindowRegistry registry;
    registry.enrol(Target::Flash, idle, widget);
    NotificationBridge bridge(registry);
    std::vector<double> trips;
    std::atomic<bool> done { false };
    std::thread worker([&] {
        for (int i = 0; i < count; ++i) {
            const SteadyTime start = std::chrono::steady_clock::now();
            bridge.notify(Target::Flash, Report::Progress { i });
            trips.push_back(1e6 * secondsBetween(start, std::chrono::steady_clock::now()));
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        done = true;
    });
    runEventsUntil([&] { return done.load(); }, std::chrono::seconds(60));
    bridge.close();
    worker.join();
    return trips;
}

// What the firmware window's handling of one progress report costs the user-interface thread,
// in microseconds, over the reports of a 128 KiB load in blocks of BlockSize; the worker waits for
// it at every report.
std::vector<double> progressReportCosts(const QString& imageFile)
{
    QMdiArea area;
    area.resize(900, 700);
    area.show();
    WindowRegistry registry;
    TaskEvents events;
    BenchDialogs dialogs;
    dialogs.firmwareFile = imageFile;
    TFFlash* window = TFFlash::create({ area, registry, events, dialogs });
    std::vector<double> costs;
    if (!window)
        return costs;
    window->show();
    runEventsFor(std::chrono::milliseconds(100));
    window->OnDeviceMessage(Report::Size { ImageSize });
    for (int done = 0; done <= ImageSize; done += BlockSize) {
        const SteadyTime start = std::chrono::steady_clock::now();
        window->OnDeviceMessage(Report::Progress { done });
        costs.push_back(1e6 * secondsBetween(start, std::chrono::steady_clock::now()));
        QCoreApplication::processEvents();
    }
    window->close();
    return costs;
}

double mean(const std::vector<double>& values)
{
    return values.empty()
        ? 0
        : std::accumulate(values.begin(), values.end(), 0.0) / double(values.size());
}

} // namespace

std::vector<FigureRow> reportCostFigures()
{
    QTemporaryDir folder;
    const QString imageFile = folder.filePath(QStringLiteral("report.rom"));
    QFile file(imageFile);
    if (file.open(QIODevice::WriteOnly))
        file.write(QByteArray(ImageSize, '\x5A'));
    file.close();
    const std::vector<double> trips = reportRoundTrips(1000);
    const std::vector<double> progress = progressReportCosts(imageFile);
    return {
        { "one report worker->UI->worker, idle window, median", median(trips), std::nullopt, "us",
            FigureRow::GoalOn::None, 0, {} },
        { "one report worker->UI->worker, idle window, p99", percentile(trips, 0.99), std::nullopt,
            "us", FigureRow::GoalOn::None, 0, {} },
        { "firmware window: one progress report on the UI thread, mean", mean(progress),
            std::nullopt, "us", FigureRow::GoalOn::None, 0, {} },
        { "firmware window: one progress report on the UI thread, p99", percentile(progress, 0.99),
            std::nullopt, "us", FigureRow::GoalOn::None, 0, {} },
    };
}
