#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include <benchmark/benchmark.h>
#include <usb.h>

#include "config/ConfigRecord.h"
#include "link/DeviceTask.h"
#include "link/Notifier.h"
#include "sim/Simulator.h"

namespace {
constexpr int ImageSize = 128 * 1024;
constexpr std::chrono::microseconds ExchangeLatency{200};

class InstantClock : public Clock {
public:
    void sleep(std::chrono::milliseconds) override { }
};

// Answers the image request and the read-back's range (the image, to compare with), and takes
// every other report.
class ImageNotifier : public Notifier {
public:
    explicit ImageNotifier(std::shared_ptr<const FirmwareImage> image)
        : image_(std::move(image))
    {
    }
    bool notify(Target, const TaskReport&) override { return true; }
    std::optional<TaskInput> request(Target, const TaskRequest& wanted) override
    {
        if (std::holds_alternative<Ask::FirmwareImage>(wanted))
            return ImageRequest { static_cast<std::uint32_t>(image_->size()), image_ };
        if (std::holds_alternative<Ask::FlashRange>(wanted))
            return Ask::FlashRange::Range { 0, static_cast<std::int64_t>(image_->size()), image_ };
        return emptyInput(wanted);
    }
    bool requestClose(Target) override { return true; }

private:
    std::shared_ptr<const FirmwareImage> image_;
};

std::shared_ptr<const FirmwareImage> patternedImage()
{
    auto image = std::make_shared<FirmwareImage>(ImageSize);
    for (int i = 0; i < ImageSize; ++i)
        (*image)[i] = static_cast<std::uint8_t>(i * 13 + 5);
    return image;
}

using Clocked = std::chrono::steady_clock;

double secondsSince(Clocked::time_point start)
{
    return std::chrono::duration<double>(Clocked::now() - start).count();
}

// The same USB calls as a recorded load, with nothing of the terminal around them: open and
// claim the controller, then every transfer as it was made.
double replay(const std::vector<sim::Transfer>& transfers)
{
    std::vector<char> buffer(0x10000);
    const Clocked::time_point start = Clocked::now();
    usb_init();
    usb_find_busses();
    usb_find_devices();
    usb_dev_handle* handle = usb_open(usb_get_busses()->devices);
    usb_set_configuration(handle, 2);
    usb_claim_interface(handle, 0);
    for (const sim::Transfer& transfer : transfers) {
        if (transfer.direction == sim::Transfer::Direction::Out)
            usb_bulk_write(handle, transfer.endpoint,
                           reinterpret_cast<const char*>(transfer.bytes.data()),
                           static_cast<int>(transfer.bytes.size()), transfer.timeout);
        else
            usb_bulk_read(handle, transfer.endpoint, buffer.data(), transfer.lengthAsked,
                          transfer.timeout);
    }
    const double seconds = secondsSince(start);
    usb_release_interface(handle, 0);
    usb_close(handle);
    return seconds;
}
}

// A 128 KiB firmware task through the worker against the bare loop of the same USB calls, both
// with the same latency per exchange, taken in turns within one run (which goes first changes
// every round). "ratio" is the median over the rounds of the task's time over the bare loop's,
// which a busy machine disturbs less than the ratio of the sums ("ratio_of_sums"); the
// terminal's own work is what it adds above 1.
static void firmwareTaskAgainstBareLoop(benchmark::State& state, TaskEvent task)
{
    sim::Simulator& simulator = sim::Simulator::instance();
    simulator.reset();
    simulator.controller()->settings.capacity = static_cast<std::uint16_t>(state.range(0));
    simulator.controller()->faults.latency = ExchangeLatency;
    const std::shared_ptr<const FirmwareImage> image = patternedImage();
    // What a load leaves, for a verification to read whole.
    simulator.controller()->devices().flash.preload(0, *image);
    ImageNotifier notifier(image);
    InstantClock clock;
    TDevice device(notifier, clock);
    const auto runTask = [&] {
        const Clocked::time_point start = Clocked::now();
        device.events().set(task);
        device.runPass();
        const double seconds = secondsSince(start);
        // Frees the controller for the bare loop, whose transfers it would refuse otherwise.
        device.finish();
        simulator.clearTraffic();
        return seconds;
    };
    const auto bare = [&](const std::vector<sim::Transfer>& transfers) {
        const double seconds = replay(transfers);
        simulator.clearTraffic();
        return seconds;
    };
    device.events().set(task);
    device.runPass();
    const std::vector<sim::Transfer> transfers = simulator.traffic();
    device.finish();
    simulator.clearTraffic();

    std::vector<double> ratios;
    double loadSeconds = 0;
    double bareSeconds = 0;
    for (auto _ : state) {
        const bool loadFirst = ratios.size() % 2 == 0;
        const double first = loadFirst ? runTask() : bare(transfers);
        const double second = loadFirst ? bare(transfers) : runTask();
        const double loaded = loadFirst ? first : second;
        const double replayed = loadFirst ? second : first;
        state.SetIterationTime(loaded);
        ratios.push_back(loaded / replayed);
        loadSeconds += loaded;
        bareSeconds += replayed;
    }
    std::sort(ratios.begin(), ratios.end());
    const std::size_t middle = ratios.size() / 2;
    state.counters["transfers"] = static_cast<double>(transfers.size());
    state.counters["bare_ms"] = 1000 * bareSeconds / static_cast<double>(ratios.size());
    state.counters["ratio"] = ratios.size() % 2 ? ratios[middle]
                                                : (ratios[middle - 1] + ratios[middle]) / 2;
    state.counters["ratio_of_sums"] = loadSeconds / bareSeconds;
}
static void FirmwareLoadAgainstBareLoop(benchmark::State& state)
{
    firmwareTaskAgainstBareLoop(state, TaskEvent::FirmwareLoad);
}

static void FirmwareVerificationAgainstBareLoop(benchmark::State& state)
{
    firmwareTaskAgainstBareLoop(state, TaskEvent::FirmwareRead);
}

// By payload capacity: full pages (about 2000 exchanges), and 59-byte blocks (about 12000).
BENCHMARK(FirmwareLoadAgainstBareLoop)
    ->Arg(512)
    ->UseManualTime()
    ->Iterations(15)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(FirmwareLoadAgainstBareLoop)
    ->Arg(64)
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
// By payload capacity: 512-byte reads (256 exchanges), and 64-byte reads (2048).
BENCHMARK(FirmwareVerificationAgainstBareLoop)
    ->Arg(512)
    ->UseManualTime()
    ->Iterations(15)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(FirmwareVerificationAgainstBareLoop)
    ->Arg(64)
    ->UseManualTime()
    ->Iterations(15)
    ->Unit(benchmark::kMillisecond);
