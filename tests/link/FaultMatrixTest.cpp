#include "support/SimFixture.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <sstream>

#include <QDir>
#include <QTemporaryDir>

#include "link/DeviceTask.h"
#include "link/Packet.h"
#include "link/TraceTasks.h"

// Every task, every exchange of its normal run, every kind of fault at that exchange: the task
// ends as its failure handling says, leaves nothing half-done behind, and the next run with the
// fault lifted succeeds.

using Lines = std::vector<std::string>;

namespace {

enum class Fault { ReplyTimeout, RequestFailure, ShortReply, WrongCommand, Unplugged };

const std::vector<Fault>& allFaults()
{
    static const std::vector<Fault> faults{Fault::ReplyTimeout, Fault::RequestFailure,
                                           Fault::ShortReply, Fault::WrongCommand,
                                           Fault::Unplugged};
    return faults;
}

const char* faultName(Fault fault)
{
    switch (fault) {
    case Fault::ReplyTimeout: return "reply timed out (-110)";
    case Fault::RequestFailure: return "request failed (-5)";
    case Fault::ShortReply: return "reply cut short";
    case Fault::WrongCommand: return "reply with a wrong command code";
    case Fault::Unplugged: return "controller unplugged";
    }
    return "";
}

constexpr int FirmwareImageSize = 600;
constexpr int WrongCodeOffset = 0x20;
// Transfers a faulty cell may make beyond its clean run before it counts as a loop that never ends.
constexpr std::size_t RunawayTransfers = 2000;

// One image for every run, shared with the window's answer.
const std::shared_ptr<const FirmwareImage>& firmwareImage()
{
    static const std::shared_ptr<const FirmwareImage> image = [] {
        auto bytes = std::make_shared<FirmwareImage>(FirmwareImageSize);
        for (int i = 0; i < FirmwareImageSize; ++i)
            (*bytes)[i] = static_cast<std::uint8_t>(i * 29 + 11);
        return bytes;
    }();
    return image;
}

// A firmware memory that holds the image, as a load leaves it.
void loadedFlash(sim::SimController& controller)
{
    const FirmwareImage& image = *firmwareImage();
    controller.devices().flash.preload(0, image);
}

void queueTraceRecords(sim::SimController& controller)
{
    sim::TraceQueues& trace = controller.devices().trace;
    trace.setLiveRate(0);
    while (trace.pending() > 0)
        trace.fetch();
    for (const std::vector<std::uint8_t>& record : {std::vector<std::uint8_t>{0x00, 0x02, 0x01, 0xA5},
                                                    std::vector<std::uint8_t>{0x00, 0x00, 0x42},
                                                    std::vector<std::uint8_t>{0x00, 0x01, 0x05, 0xAB}})
        trace.queueRecord(record);
}

// One row of the matrix: a task, the window it reports to, and the controller it runs against.
struct TaskRow {
    const char* name;
    TaskEvent event;
    Target window;
    std::uint16_t capacity;
    // Settings and contents of the controller and the windows' answers; run again before the
    // run that follows the fault.
    std::function<void(sim::SimController&, RecordingNotifier&)> prepare = {};
    bool firmware = false;
    bool bootMode = false; // a controller without working firmware
};

void noPreparation(sim::SimController&, RecordingNotifier&) {}

const std::vector<TaskRow>& taskRows()
{
    static const std::vector<TaskRow> rows{
        {"configuration read", TaskEvent::ConfigRead, Target::Read, 64, noPreparation},
        {"configuration write", TaskEvent::ConfigWrite, Target::Save, 64,
         [](sim::SimController& controller, RecordingNotifier& notifier) {
             for (int i = 0; i < CONFIG_IMAGE_SIZE; ++i)
                 notifier.record.bytes[i] = static_cast<std::uint8_t>(i * 5 + 1);
             notifier.record.setTypeWord(controller.settings.typeWord);
             notifier.writeCount = 110;
         }},
        {"firmware load, normal mode", TaskEvent::FirmwareLoad, Target::Flash, 300,
         [](sim::SimController&, RecordingNotifier& notifier) { notifier.image = firmwareImage(); },
         true},
        {"firmware load, boot mode", TaskEvent::FirmwareLoad, Target::Flash, 300,
         [](sim::SimController& controller, RecordingNotifier& notifier) {
             controller.settings.firmwareRuns = false;
             notifier.image = firmwareImage();
         },
         true, true},
        {"firmware verification", TaskEvent::FirmwareRead, Target::Flash, 300,
         [](sim::SimController& controller, RecordingNotifier& notifier) {
             loadedFlash(controller);
             notifier.flashRange = {0, FirmwareImageSize, firmwareImage()};
         }},
        {"firmware read-back", TaskEvent::FirmwareRead, Target::Flash, 64,
         [](sim::SimController& controller, RecordingNotifier& notifier) {
             loadedFlash(controller);
             notifier.flashRange = {0, FirmwareImageSize, nullptr};
         }},
        {"codec test", TaskEvent::CodecTest, Target::Codec, 64, noPreparation},
        {"amplifier test", TaskEvent::AmplifierTest, Target::Audio, 64, noPreparation},
        {"vocoder test", TaskEvent::VocoderTest, Target::Vocoder, 64, noPreparation},
        {"recorder test", TaskEvent::RecorderTest, Target::Recoder, 64, noPreparation},
        {"network parameter load", TaskEvent::NetworkLoad, Target::Net, 64, noPreparation},
        {"link parameter load", TaskEvent::LinkLoad, Target::Link, 64, noPreparation},
        {"statistics read", TaskEvent::StatisticsReport, Target::Report, 128, noPreparation},
        {"statistics reset", TaskEvent::StatisticsReset, Target::Report, 128, noPreparation},
        {"trace selection", TaskEvent::TraceSelection, Target::Trace, 64,
         [](sim::SimController&, RecordingNotifier& notifier) { notifier.traceMask = 0x0005; }},
        {"trace fetch", TaskEvent::TracePoll, Target::Trace, 64,
         [](sim::SimController& controller, RecordingNotifier&) { queueTraceRecords(controller); }},
    };
    return rows;
}

// One request of a run: its transfer numbers and what the task needs of its reply.
struct Exchange {
    int request = 0;    // transfer number of the request
    int reply = -1;     // transfer number of the reply; -1 for a raw write without one
    int endpoint = Usb::RequestEndpoint;
    std::uint16_t command = 0;
    int needed = 0;     // reply bytes the task uses; 0 when it does not examine the reply
    bool commandChecked = false; // a reply to another command is refused
    std::size_t logBefore = 0;    // log lines before the request
    std::size_t windowBefore = 0; // task window's notifications before the request
};

// The reply bytes a task uses, from the request that asks for them.
int neededReplyLength(const std::vector<std::uint8_t>& request)
{
    const std::uint16_t command = headerWord(request.data(), 0);
    const std::uint16_t readBack = request.size() >= Usb::HeaderSize ? headerWord(request.data(), 1) : 0;
    switch (static_cast<Command>(command)) {
    case Command::Probe: return Usb::ProbeSize;
    case Command::Identity: return Usb::HeaderSize + Usb::IdentitySize;
    case Command::FlashInstruction:
    case Command::BusTransfer: return readBack > 0 ? Usb::HeaderSize + readBack : 0;
    case Command::Statistics: return Usb::HeaderSize + headerWord(request.data(), 2);
    case Command::TraceFetch: return Usb::HeaderSize;
    default: return 0;
    }
}

// Of the firmware memory's instructions, only a read's reply is checked for its command.
bool isFlashRead(const std::vector<std::uint8_t>& request)
{
    return request.size() > Usb::HeaderSize
        && headerWord(request.data(), 0) == static_cast<std::uint16_t>(Command::FlashInstruction)
        && request[Usb::HeaderSize] == FlashInstruction::ReadData;
}

// What one run left: the windows' view, the controller's handles, the data handed over.
struct RunResult {
    Lines log;
    Lines window;
    std::vector<RecordBytes> installed;
    Lines traceLines;
    int openHandles = 0;
    std::vector<sim::Transfer> traffic;
    std::vector<std::vector<std::uint8_t>> flashReads;
};

// The outcome a fault must have, as the task's failure handling describes it.
struct Expected {
    enum class Kind {
        Completes,    // the fault touches nothing the task uses
        Fails,        // error logged, window closed or stopped, connection closed
        LoggedOnly,   // error logged, window not stopped, connection closed
        DrainEnds,    // the trace run ends as at an empty reply: its lines so far are delivered
        BootFallback, // the firmware task, without a normal connection, streams in boot mode
    };
    Kind kind = Kind::Completes;
    int error = 0;
    // The firmware task finds no controller in boot mode either.
    bool notFoundInBootMode = false;
};

int usbResult(Fault fault)
{
    switch (fault) {
    case Fault::ReplyTimeout: return sim::UsbError::TimedOut;
    case Fault::RequestFailure: return sim::UsbError::Io;
    case Fault::Unplugged: return sim::UsbError::NoDevice;
    default: return 0;
    }
}

Expected expectedOutcome(const TaskRow& row, const Exchange& exchange, Fault fault)
{
    using Kind = Expected::Kind;
    const auto command = static_cast<Command>(exchange.command);
    const bool connecting = exchange.endpoint == Usb::RequestEndpoint
        && (command == Command::Probe || command == Command::Identity);
    Expected failure{Kind::Fails, usbResult(fault)};
    if (fault == Fault::ShortReply) {
        if (exchange.needed == 0)
            return {Kind::Completes};
        if (command == Command::TraceFetch)
            return {Kind::DrainEnds};
        failure = {command == Command::Statistics ? Kind::LoggedOnly : Kind::Fails, -1};
    } else if (fault == Fault::WrongCommand) {
        if (command == Command::Identity)
            failure = {Kind::Fails, -1};
        else if (command == Command::Statistics)
            failure = {Kind::LoggedOnly, -2};
        else if (command == Command::TraceFetch || exchange.commandChecked)
            failure = {Kind::Fails, -2};
        else
            return {Kind::Completes};
    }
    if (row.firmware && connecting) {
        if (fault == Fault::Unplugged)
            failure.notFoundInBootMode = true;
        else
            failure.kind = Kind::BootFallback;
    }
    return failure;
}

const char* outcomeName(Expected::Kind kind)
{
    switch (kind) {
    case Expected::Kind::Completes: return "completes";
    case Expected::Kind::Fails: return "fails and stops its window";
    case Expected::Kind::LoggedOnly: return "fails, window polls on";
    case Expected::Kind::DrainEnds: return "trace run ends early";
    case Expected::Kind::BootFallback: return "boot-mode load";
    }
    return "";
}

std::string stopLine(Target window)
{
    const bool progressWindow =
        window == Target::Read || window == Target::Save || window == Target::Flash;
    return targetName(window) + (progressWindow ? " close" : " 5 0");
}

Lines head(const Lines& lines, std::size_t count)
{
    return {lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(std::min(count, lines.size()))};
}

Lines withoutCounters(Lines lines)
{
    for (std::string& line : lines)
        if (line.rfind("Report 10 ", 0) == 0)
            line = "Report 10 (counters)";
    return lines;
}

using Requests = std::vector<std::vector<std::uint8_t>>;

Requests requestsOf(const std::vector<sim::Transfer>& traffic)
{
    Requests requests;
    for (const sim::Transfer& transfer : sim::sentTransfers(traffic))
        requests.push_back(transfer.bytes);
    return requests;
}

// A task that completes sends what it sends on a healthy controller; one that fails sends
// nothing after the request that failed.
Requests expectedRequests(const RunResult& clean, const Expected& expected, int index)
{
    const Requests all = requestsOf(clean.traffic);
    if (expected.kind == Expected::Kind::Completes)
        return all;
    return {all.begin(), all.begin() + index + 1};
}

std::string cellName(const TaskRow& row, int index, Fault fault)
{
    return std::string(row.name) + ", exchange " + std::to_string(index) + ", " + faultName(fault);
}

class FaultMatrix : public ::testing::Test {
protected:
    FaultMatrix() { QDir::setCurrent(folder.path()); }
    ~FaultMatrix() override
    {
        QDir::setCurrent(previousFolder);
        sim::Simulator::instance().reset();
    }

    static sim::SimController& controller() { return *sim::Simulator::instance().controller(); }
    // The worker's tasks, with trace lines stamped at one time of day so runs compare whole.
    static TaskTable tasks()
    {
        TaskTable table = deviceTasks();
        table[static_cast<int>(TaskEvent::TracePoll)] =
            TraceFetch([] { return QStringLiteral("14:03:27"); });
        return table;
    }

    // A fresh controller prepared for the row, and its state before the run.
    void prepareController(const TaskRow& row, RecordingNotifier& notifier)
    {
        sim::Simulator::instance().reset();
        controller().settings.capacity = row.capacity;
        row.prepare(controller(), notifier);
        memoryBefore = controller().configMemory().read(0, CONFIG_IMAGE_SIZE);
        flashBefore = controller().devices().flash.read(0, FirmwareImageSize + 256);
    }

    static RunResult runOnce(TDevice& device, const TaskRow& row, RecordingNotifier& notifier)
    {
        notifier.clear();
        sim::Simulator::instance().clearTraffic();
        device.events().set(row.event);
        device.runPass();
        return {notifier.log(),
                notifier.linesFor(row.window),
                notifier.installedRecords(),
                notifier.traceLines(),
                sim::Simulator::instance().openHandleCount(),
                sim::Simulator::instance().traffic(),
                notifier.flashReads()};
    }

    // The row's run without a fault, with the place of every exchange in it.
    std::pair<RunResult, std::vector<Exchange>> cleanRun(const TaskRow& row)
    {
        RecordingNotifier notifier;
        prepareController(row, notifier);
        std::vector<Exchange> exchanges;
        int number = 0;
        sim::Simulator::instance().setTrafficObserver([&](const sim::Transfer& transfer) {
            const int at = number++;
            if (transfer.direction == sim::Transfer::Direction::Out) {
                Exchange exchange;
                exchange.request = at;
                exchange.endpoint = transfer.endpoint;
                if (transfer.endpoint == Usb::RequestEndpoint) {
                    exchange.command = headerWord(transfer.bytes.data(), 0);
                    exchange.needed = neededReplyLength(transfer.bytes);
                    exchange.commandChecked = isFlashRead(transfer.bytes);
                }
                exchange.logBefore = notifier.log().size();
                exchange.windowBefore = notifier.linesFor(row.window).size();
                exchanges.push_back(exchange);
            } else if (!exchanges.empty() && exchanges.back().request == at - 1) {
                exchanges.back().reply = at;
            }
        });
        TestClock clock;
        TDevice device(notifier, clock, tasks());
        RunResult result = runOnce(device, row, notifier);
        sim::Simulator::instance().setTrafficObserver(nullptr);
        return {result, exchanges};
    }

    void armFault(const Exchange& exchange, Fault fault)
    {
        sim::Faults& faults = controller().faults;
        switch (fault) {
        case Fault::ReplyTimeout:
            faults.transferResults[exchange.reply >= 0 ? exchange.reply : exchange.request] =
                sim::UsbError::TimedOut;
            break;
        case Fault::RequestFailure:
            faults.transferResults[exchange.request] = sim::UsbError::Io;
            break;
        case Fault::Unplugged:
            faults.disconnectAtTransfer = exchange.request;
            break;
        case Fault::ShortReply:
        case Fault::WrongCommand:
            faults.replyFilter = [exchange, fault, target = exchangeNumber(exchange), replies = 0](
                                     const sim::Request& request,
                                     std::vector<std::uint8_t>& reply) mutable {
                if (replies++ != target)
                    return;
                if (fault == Fault::ShortReply)
                    reply.resize(static_cast<std::size_t>(std::max(exchange.needed - 1, 0)));
                else if (reply.size() >= 2)
                    writeLe16(reply.data(), static_cast<std::uint16_t>(request.command + WrongCodeOffset));
            };
            break;
        }
    }

    // The requests before this one that the controller answered.
    int exchangeNumber(const Exchange& exchange) const
    {
        return countBefore(exchange, [](const Exchange& e) { return e.reply >= 0; });
    }
    int countBefore(const Exchange& exchange, const std::function<bool(const Exchange&)>& match) const
    {
        int number = 0;
        for (const Exchange& earlier : exchanges_)
            if (earlier.request < exchange.request && match(earlier))
                ++number;
        return number;
    }

    // A task that goes on exchanging far beyond its clean run is stopped by pulling the plug.
    void guardAgainstRunaways(std::size_t cleanTransfers, bool& ranAway)
    {
        sim::Simulator::instance().setTrafficObserver(
            [limit = cleanTransfers + RunawayTransfers, count = std::size_t{0}, &ranAway](
                const sim::Transfer&) mutable {
                if (++count > limit) {
                    ranAway = true;
                    sim::Simulator::instance().controller()->setConnected(false);
                }
            });
    }

    void checkCell(const TaskRow& row, const RunResult& clean, const RunResult& bootClean,
                   const Exchange& exchange, int index, Fault fault);
    // Cells by the outcome they expect.
    std::map<std::string, int> outcomes;
    void checkState(const TaskRow& row, const Expected& expected, const RunResult& run,
                    const RunResult& clean, const std::string& cell);
    void checkNextRun(TDevice& device, const TaskRow& row, RecordingNotifier& notifier,
                      const RunResult& clean, const std::string& cell);

    std::vector<Exchange> exchanges_;
    std::vector<std::uint8_t> memoryBefore;
    std::vector<std::uint8_t> flashBefore;
    QTemporaryDir folder;
    QString previousFolder = QDir::currentPath();
};

void FaultMatrix::checkCell(const TaskRow& row, const RunResult& clean, const RunResult& bootClean,
                            const Exchange& exchange, int index, Fault fault)
{
    const std::string cell = cellName(row, index, fault);
    RecordingNotifier notifier;
    prepareController(row, notifier);
    armFault(exchange, fault);
    bool ranAway = false;
    guardAgainstRunaways(clean.traffic.size(), ranAway);
    TestClock clock;
    {
        TDevice device(notifier, clock, tasks());
        const RunResult run = runOnce(device, row, notifier);
        ASSERT_FALSE(ranAway) << cell << ": the task never ended";
        sim::Simulator::instance().setTrafficObserver(nullptr);

        const Expected expected = expectedOutcome(row, exchange, fault);
        ++outcomes[outcomeName(expected.kind)];
        const std::string error = "Error: " + std::to_string(expected.error);
        Lines log = head(clean.log, exchange.logBefore);
        Lines window = head(clean.window, exchange.windowBefore);
        int openHandles = 0;
        switch (expected.kind) {
        case Expected::Kind::Completes:
            log = clean.log;
            window = clean.window;
            openHandles = clean.openHandles;
            break;
        case Expected::Kind::Fails:
            log.push_back(error);
            if (expected.notFoundInBootMode)
                log.push_back("Контроллер не обнаружен на шине USB");
            window.push_back(stopLine(row.window));
            break;
        case Expected::Kind::LoggedOnly:
            log.push_back(error);
            break;
        case Expected::Kind::DrainEnds: {
            // Every fetch before this one brought a record of one line.
            const auto lines = static_cast<std::size_t>(countBefore(exchange, [](const Exchange& e) {
                return e.command == static_cast<std::uint16_t>(Command::TraceFetch);
            }));
            if (lines > 0)
                window.push_back(targetName(row.window) + " 0 " + std::to_string(lines) + " lines");
            EXPECT_EQ(run.traceLines, head(clean.traceLines, lines)) << cell;
            openHandles = 1;
            break;
        }
        case Expected::Kind::BootFallback:
            log = bootClean.log;
            log.front() = error;
            window = bootClean.window;
            break;
        }
        if (expected.kind != Expected::Kind::BootFallback) {
            EXPECT_EQ(requestsOf(run.traffic), expectedRequests(clean, expected, index)) << cell;
        }
        EXPECT_EQ(run.log, log) << cell;
        EXPECT_EQ(withoutCounters(run.window), withoutCounters(window)) << cell;
        EXPECT_EQ(run.openHandles, openHandles) << cell << ": connection afterwards";
        checkState(row, expected, run, clean, cell);
        checkNextRun(device, row, notifier, clean, cell);
    }
    EXPECT_EQ(sim::Simulator::instance().openHandleCount(), 0) << cell << ": handle leaked";
}

// Nothing from a cut or failed exchange reaches the terminal's data or the controller's memories.
void FaultMatrix::checkState(const TaskRow& row, const Expected& expected, const RunResult& run,
                             const RunResult& clean, const std::string& cell)
{
    const bool completes = expected.kind == Expected::Kind::Completes;
    EXPECT_EQ(run.installed, completes ? clean.installed : std::vector<RecordBytes>{}) << cell;
    EXPECT_EQ(run.flashReads, completes ? clean.flashReads : decltype(run.flashReads){}) << cell;
    if (expected.kind != Expected::Kind::DrainEnds) {
        EXPECT_EQ(run.traceLines, completes ? clean.traceLines : Lines{}) << cell;
    }
    if (row.event != TaskEvent::ConfigWrite) {
        EXPECT_EQ(controller().configMemory().read(0, CONFIG_IMAGE_SIZE), memoryBefore) << cell;
    }
    if (!row.firmware) {
        EXPECT_EQ(controller().devices().flash.read(0, FirmwareImageSize + 256), flashBefore)
            << cell << ": only a load changes the firmware memory";
        EXPECT_EQ(controller().devices().flash.ignoredInstructions(), 0) << cell;
        return;
    }
    if (expected.kind == Expected::Kind::BootFallback) {
        const FirmwareImage& image = *firmwareImage();
        EXPECT_EQ(controller().devices().bootLoader.received(),
                  std::vector<std::uint8_t>(image.begin(), image.end()))
            << cell << ": the boot loader's stream";
    }
    // The firmware memory holds its old contents, or it was erased and a prefix of the image
    // programmed into it.
    const std::vector<std::uint8_t> flash = controller().devices().flash.read(0, FirmwareImageSize + 256);
    if (flash == flashBefore)
        return;
    const FirmwareImage& image = *firmwareImage();
    std::size_t programmed = 0;
    while (programmed < image.size() && flash[programmed] == image[programmed])
        ++programmed;
    for (std::size_t i = programmed; i < flash.size(); ++i)
        ASSERT_EQ(flash[i], 0xFF) << cell << ": firmware byte " << i;
    if (expected.kind == Expected::Kind::BootFallback)
        ADD_FAILURE() << cell << ": the boot-mode load touched the firmware memory";
}

// The fault lifted, the same worker runs the task again as on a healthy controller.
void FaultMatrix::checkNextRun(TDevice& device, const TaskRow& row, RecordingNotifier& notifier,
                               const RunResult& clean, const std::string& cell)
{
    controller().faults = {};
    controller().setConnected(true);
    row.prepare(controller(), notifier);
    const RunResult next = runOnce(device, row, notifier);
    EXPECT_EQ(next.log, clean.log) << cell << ": next run";
    ASSERT_FALSE(next.window.empty()) << cell << ": next run";
    EXPECT_EQ(withoutCounters({next.window.back()}), withoutCounters({clean.window.back()}))
        << cell << ": next run";
    EXPECT_EQ(next.openHandles, clean.openHandles) << cell << ": next run";
    if (row.event == TaskEvent::ConfigRead) {
        ASSERT_EQ(next.installed.size(), 1u) << cell;
        EXPECT_TRUE(std::equal(memoryBefore.begin(), memoryBefore.end(), next.installed[0].begin()))
            << cell << ": next run";
    }
    if (!row.firmware)
        return;
    const FirmwareImage& image = *firmwareImage();
    const std::vector<std::uint8_t> imageBytes(image.begin(), image.end());
    if (row.bootMode) {
        const std::vector<std::uint8_t>& streamed = controller().devices().bootLoader.received();
        ASSERT_GE(streamed.size(), imageBytes.size()) << cell;
        EXPECT_TRUE(std::equal(imageBytes.begin(), imageBytes.end(), streamed.end() - FirmwareImageSize))
            << cell << ": next run";
    } else {
        EXPECT_EQ(controller().devices().flash.read(0, FirmwareImageSize), imageBytes)
            << cell << ": next run";
    }
}

} // namespace

TEST_F(FaultMatrix, EveryTaskEveryExchangeEveryFault)
{
    std::ostringstream shape;
    int exchangeTotal = 0;
    int cells = 0;
    const auto bootRow = std::find_if(taskRows().begin(), taskRows().end(),
                                      [](const TaskRow& row) { return row.bootMode; });
    ASSERT_NE(bootRow, taskRows().end());
    const RunResult bootClean = cleanRun(*bootRow).first;

    for (const TaskRow& row : taskRows()) {
        auto [clean, exchanges] = cleanRun(row);
        exchanges_ = exchanges;
        ASSERT_FALSE(clean.window.empty()) << row.name;
        // Only the boot-mode load meets a failure on its way: the probe nothing answers.
        for (const std::string& line : clean.log)
            ASSERT_TRUE(row.bootMode || line.rfind("Error", 0) != 0) << row.name << ": " << line;
        shape << (exchangeTotal ? ", " : "") << row.name << " " << exchanges.size();
        exchangeTotal += static_cast<int>(exchanges.size());
        for (std::size_t index = 0; index < exchanges.size(); ++index)
            for (Fault fault : allFaults()) {
                const bool hasReply = exchanges[index].reply >= 0;
                if (!hasReply && (fault == Fault::ShortReply || fault == Fault::WrongCommand))
                    continue;
                ++cells;
                checkCell(row, clean, bootClean, exchanges[index], static_cast<int>(index), fault);
            }
    }
    EXPECT_TRUE(QDir(folder.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
        << "a task touched a file";
    const std::string size = std::to_string(taskRows().size()) + " tasks x "
        + std::to_string(exchangeTotal) + " exchanges (" + shape.str() + ") x "
        + std::to_string(allFaults().size()) + " faults (short reply and wrong code only where a "
        + "reply comes) = " + std::to_string(cells) + " cells";
    std::string tally;
    for (const auto& [outcome, count] : outcomes)
        tally += (tally.empty() ? "" : ", ") + std::to_string(count) + " " + outcome;
    RecordProperty("matrix", size);
    RecordProperty("outcomes", tally);
    std::printf("Outcomes: %s\n", tally.c_str());
    RecordProperty("cells", cells);
    std::printf("Fault matrix: %s\n", size.c_str());
}
