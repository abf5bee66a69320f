// Writes the seed corpus of every fuzz target into the folder given (fuzz/corpus): valid
// configuration files and records of the demonstration configurations, the simulated
// controller's own replies for every task run, and counters records it reported. The inputs a
// fuzz run found and the project keeps go beside them by hand.
//
//   build-fuzz/fuzz/fuzz_seeds fuzz/corpus

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include <QDir>
#include <QJsonDocument>
#include <QFile>
#include <QString>

#include "config/ConfigRecord.h"
#include "config/Crc.h"
#include "fuzz/TaskRuns.h"
#include "link/Packet.h"
#include "link/StatisticsTasks.h"
#include "models/RecordJson.h"
#include "sim/Simulator.h"
#include "sim/TraceQueues.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

QString folder;

void writeSeed(const char* target, const std::string& name, const Bytes& bytes)
{
    const QString dir = folder + u'/' + QString::fromLatin1(target);
    QDir().mkpath(dir);
    QFile file(dir + u'/' + QString::fromStdString(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()))
            != static_cast<qint64>(bytes.size())) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
        std::exit(1);
    }
}

// The demonstration configuration of a controller of this type, as a stamped record.
ConfigRecord demoRecord(std::uint16_t typeWord)
{
    sim::Simulator& simulator = sim::Simulator::instance();
    simulator.clear();
    simulator.addBus();
    sim::ControllerSettings settings;
    settings.typeWord = typeWord;
    const auto controller = simulator.addController(0, settings);
    ConfigRecord record;
    const Bytes image = controller->configMemory().read(0, CONFIG_IMAGE_SIZE);
    std::copy(image.begin(), image.end(), record.bytes.begin());
    record.setTypeWord(typeWord);
    static const TCrc crc;
    stampCrc(crc, record);
    simulator.reset();
    return record;
}

Bytes bytesOf(const ConfigRecord& record)
{
    return {record.bytes.begin(), record.bytes.end()};
}

void recordSeeds()
{
    const std::pair<const char*, std::uint16_t> types[] = {
        {"r410za", 0x1000}, {"r410zb", 0x1001}, {"r420za", 0x2000}, {"r420zb", 0x2011}};
    for (const auto& [name, typeWord] : types) {
        const Bytes record = bytesOf(demoRecord(typeWord));
        writeSeed("fuzz_config_file", std::string("demo-") + name + ".rcf", record);
        writeSeed("fuzz_editor_models", std::string("demo-") + name, record);
        writeSeed("fuzz_record_json", std::string("demo-") + name, record);
        const QByteArray document = QJsonDocument(recordJson(demoRecord(typeWord))).toJson();
        writeSeed("fuzz_record_json", std::string("demo-") + name + ".json",
                  Bytes(document.begin(), document.end()));
    }
    static const TCrc crc;
    ConfigRecord blank = ConfigRecord::blank();
    stampCrc(crc, blank);
    writeSeed("fuzz_config_file", "blank.rcf", bytesOf(blank));
    writeSeed("fuzz_editor_models", "blank", bytesOf(blank));
    const Bytes demo = bytesOf(demoRecord(0x2000));
    writeSeed("fuzz_config_file", "cut-211.rcf", Bytes(demo.begin(), demo.end() - 1));
    Bytes longer = demo;
    longer.push_back(0);
    writeSeed("fuzz_config_file", "long-213.rcf", longer);
    writeSeed("fuzz_config_file", "zeros-212.rcf", Bytes(CONFIG_RECORD_SIZE, 0));
}

// The counters record of the last reply the simulated controller sent.
Bytes lastCounters()
{
    const std::vector<sim::Transfer> traffic = sim::Simulator::instance().traffic();
    for (auto t = traffic.rbegin(); t != traffic.rend(); ++t)
        if (t->direction == sim::Transfer::Direction::In
            && t->bytes.size() >= Usb::HeaderSize + Statistics::RecordSize)
            return Bytes(t->bytes.begin() + Usb::HeaderSize,
                         t->bytes.begin() + Usb::HeaderSize + Statistics::RecordSize);
    std::fprintf(stderr, "the simulated controller sent no counters\n");
    std::exit(1);
}

// Counters at the edges of the fixed-point and sum formats.
void counterSeeds()
{
    for (const auto& [name, value] : {std::pair{"zeros", 0x00000000u}, std::pair{"ones", 0xFFFFFFFFu},
                                      std::pair{"sign", 0x80000000u}, std::pair{"largest", 0x7FFFFFFFu},
                                      std::pair{"fraction", 0x0000FFFFu}}) {
        Bytes record;
        for (int i = 0; i < Statistics::CounterCount; ++i)
            for (const int shift : {24, 16, 8, 0})
                record.push_back(static_cast<std::uint8_t>(value >> shift));
        writeSeed("fuzz_statistics", name, record);
    }
}

// The run's choice bytes, then every reply of the simulated controller as the target reads it.
// Frames on every trace channel, for a fetch that brings lines.
void passFrames(sim::SimController& controller)
{
    sim::TraceQueues& trace = controller.devices().trace;
    trace.select(0x0F);
    for (const auto channel : {sim::TraceChannel::BusRx, sim::TraceChannel::BusTx,
                               sim::TraceChannel::LinkRx, sim::TraceChannel::LinkTx})
        trace.pass(channel, {0x10, 0x20, 0x30, 0x40, static_cast<std::uint8_t>(channel)});
}

void replySeeds(std::uint16_t capacity, const std::function<bool(const TaskRun&)>& wanted)
{
    const std::uint8_t imageHalfLength = 150;
    const std::uint8_t traceMask = 0xFF;
    for (std::size_t i = 0; i < taskRuns().size(); ++i) {
        const TaskRun& run = taskRuns()[i];
        if (!wanted(run))
            continue;
        Bytes seed{static_cast<std::uint8_t>(i), imageHalfLength, traceMask};
        RunSetup setup;
        setup.image = patternedImage(2 * std::size_t{imageHalfLength});
        setup.traceMask = traceMask;
        setup.capacity = capacity;
        if (run.event == TaskEvent::TracePoll)
            setup.prepare = passFrames;
        setup.replyFilter = [&seed](const sim::Request&, Bytes& reply) {
            seed.push_back(static_cast<std::uint8_t>(reply.size() & 0xFF));
            seed.push_back(static_cast<std::uint8_t>(reply.size() >> 8));
            seed.insert(seed.end(), reply.begin(), reply.end());
        };
        RecordingNotifier notifier;
        runTask(run, setup, notifier);
        writeSeed("fuzz_controller_replies",
                  std::string(run.name) + "-capacity-" + std::to_string(capacity), seed);
        if (run.event == TaskEvent::StatisticsReport && capacity == 300)
            writeSeed("fuzz_statistics", "simulated", lastCounters());
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds CORPUS_FOLDER\n");
        return 2;
    }
    folder = QString::fromLocal8Bit(argv[1]);
    recordSeeds();
    counterSeeds();
    replySeeds(300, [](const TaskRun&) { return true; });
    // Several blocks per task at a smaller capacity.
    replySeeds(64, [](const TaskRun& run) {
        return run.event == TaskEvent::ConfigRead || run.event == TaskEvent::ConfigWrite
            || (run.event == TaskEvent::FirmwareLoad && !run.bootMode);
    });
    return 0;
}
