#include <array>
#include <memory>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMdiArea>
#include <QTabWidget>

#include "link/TaskEvents.h"
#include "tasks/ReportForm.h"
#include "ui/Dialogs.h"

#include "NoDialogs.h"
#include "ui/WindowRegistry.h"

namespace {

QApplication& application()
{
    static int argc = 1;
    static char name[] = "r4xx_ui_bench";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

// A counters record that changes a little from report to report, as a live controller's does.
std::array<std::uint8_t, 76> recordFor(std::uint32_t n)
{
    std::array<std::uint8_t, 76> bytes{};
    for (int i = 0; i < 19; ++i) {
        const std::uint32_t value = n * (i + 1) * 37 + (n % 97) * 1000;
        for (int b = 0; b < 4; ++b)
            bytes[4 * i + b] = static_cast<std::uint8_t>(value >> (24 - 8 * b));
    }
    return bytes;
}

// The statistics window in a main window's client area, on its plot page, already holding
// `history` reports a second apart.
struct ShownReport {
    ShownReport(int history, int page)
    {
        area.resize(900, 700);
        window = new TFReport(registry, events, dialogs, [this] { return time; });
        area.addSubWindow(window);
        const std::array<std::uint8_t, 12> identity{0x00, 0x20};
        window->LoadIdentity(identity.data());
        area.show();
        for (int i = 0; i < history; ++i)
            next();
        window->findChild<QTabWidget*>("Pages")->setCurrentIndex(page);
        QCoreApplication::processEvents();
    }
    void next()
    {
        const auto bytes = recordFor(serial++);
        time = time.addSecs(1);
        window->OnDeviceMessage(Report::Counters { bytes });
    }

    QApplication& app = application();
    QMdiArea area;
    WindowRegistry registry;
    TaskEvents events;
    NoDialogs dialogs;
    QDateTime time{QDate(2024, 5, 1), QTime(0, 0)};
    TFReport* window = nullptr;
    std::uint32_t serial = 0;
};

} // namespace

constexpr int PlotPage = 3;

// The user-interface thread's work for one report: decoding, the figures of the three pages, the
// history and the four plots, with the given number of reports already held.
static void ShowReport(benchmark::State& state)
{
    ShownReport shown(static_cast<int>(state.range(0)), PlotPage);
    for (auto _ : state)
        shown.next();
}
BENCHMARK(ShowReport)->Arg(1)->Arg(3600)->Arg(86400)->Unit(benchmark::kMicrosecond);

// The same while a page of figures is in front: the plots wait until their page is shown.
static void ShowReportFigures(benchmark::State& state)
{
    ShownReport shown(static_cast<int>(state.range(0)), 0);
    for (auto _ : state)
        shown.next();
}
BENCHMARK(ShowReportFigures)->Arg(1)->Arg(86400)->Unit(benchmark::kMicrosecond);

// The report and the repaint that follows it: the layout of the plots and their drawing.
static void ShowAndPaintReport(benchmark::State& state)
{
    ShownReport shown(static_cast<int>(state.range(0)), PlotPage);
    for (auto _ : state) {
        shown.next();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(ShowAndPaintReport)->Arg(1)->Arg(3600)->Arg(86400)->Unit(benchmark::kMicrosecond);
