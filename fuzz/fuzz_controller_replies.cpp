// Every device task against the simulated controller, with every reply of the controller (its
// length, header and payload) taken from the fuzzer's input.
//
// Input: one byte chooses the task run, one byte the firmware image's length in pairs of bytes,
// one byte the trace channel mask; the rest is a stream of replies, each a 16-bit little-endian
// length and that many bytes (cut short where the input ends). The length KeepReply keeps the
// controller's own reply, and so does every reply after the input ends, so one input drives one
// run to wherever its replies lead it.

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "config/ConfigRecord.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/TaskRuns.h"
#include "link/ConfigBlocks.h"
#include "link/FirmwareBlocks.h"
#include "link/Packet.h"
#include "link/StatisticsTasks.h"
#include "link/TraceTasks.h"
#include "sim/Simulator.h"
#include "support/RecordingNotifier.h"

namespace {

constexpr std::uint16_t KeepReply = 0xFFFF;

// One request on endpoint 1 and the reply the terminal read for it, if it read one.
struct Exchange {
    std::vector<std::uint8_t> request;
    std::vector<std::uint8_t> reply;
    bool replied = false;
};

std::vector<Exchange> exchanges(const std::vector<sim::Transfer>& traffic)
{
    std::vector<Exchange> result;
    for (const sim::Transfer& t : traffic) {
        if (t.direction == sim::Transfer::Direction::Out && t.endpoint == Usb::RequestEndpoint)
            result.push_back({t.bytes, {}, false});
        else if (t.direction == sim::Transfer::Direction::In && t.endpoint == Usb::ReplyEndpoint
                 && !result.empty() && !result.back().replied && t.result >= 0) {
            result.back().reply = t.bytes;
            result.back().replied = true;
        }
    }
    return result;
}

std::uint16_t word(const std::vector<std::uint8_t>& packet, int index)
{
    return packet.size() >= static_cast<std::size_t>(2 * index + 2) ? headerWord(packet.data(), index)
                                                                     : 0;
}

bool isCommand(const Exchange& e, Command command)
{
    return e.request.size() >= Usb::ProbeSize && word(e.request, 0) == static_cast<std::uint16_t>(command);
}

// The identity the terminal took from the last identity reply, in host order.
std::array<std::uint8_t, Usb::IdentitySize> lastIdentity(const std::vector<Exchange>& all)
{
    std::array<std::uint8_t, Usb::IdentitySize> identity{};
    for (const Exchange& e : all) {
        if (!isCommand(e, Command::Identity) || e.request.size() != Usb::HeaderSize || !e.replied
            || e.reply.size() < Usb::HeaderSize + Usb::IdentitySize)
            continue;
        for (int i = 0; i < Usb::IdentitySize; ++i)
            identity[i] = e.reply[Usb::HeaderSize + (i ^ 1)];
    }
    return identity;
}

bool isMemoryTransfer(const Exchange& e)
{
    return isCommand(e, Command::BusTransfer) && e.request.size() >= Usb::HeaderSize + 2
        && word(e.request, 3) == BusDevice::ConfigMemory;
}

int memoryAddress(const Exchange& e)
{
    return readBe16(e.request.data() + Usb::HeaderSize);
}

class Lines {
public:
    explicit Lines(std::vector<std::string> lines)
        : lines_(std::move(lines))
    {
    }
    bool has(const std::string& prefix) const
    {
        return std::any_of(lines_.begin(), lines_.end(),
                           [&](const std::string& line) { return line.rfind(prefix, 0) == 0; });
    }
    std::vector<std::string> starting(const std::string& prefix) const
    {
        std::vector<std::string> found;
        for (const std::string& line : lines_)
            if (line.rfind(prefix, 0) == 0)
                found.push_back(line.substr(prefix.size()));
        return found;
    }
    const std::vector<std::string>& all() const { return lines_; }

private:
    std::vector<std::string> lines_;
};

// A completed read is the controller's image, each block from a whole reply, and the identity
// from the identity reply: nothing from a cut reply or from stale buffer bytes.
void checkInstalledRecord(const RecordingNotifier& notifier, const std::vector<Exchange>& all)
{
    const std::vector<RecordBytes> installed = notifier.installedRecords();
    require(installed.size() <= 1, "a read installs at most one record");
    if (installed.empty())
        return;
    const RecordBytes& record = installed.front();
    std::vector<bool> covered(CONFIG_IMAGE_SIZE, false);
    for (const Exchange& e : all) {
        const int length = word(e.request, 1);
        if (!isMemoryTransfer(e) || length == 0)
            continue;
        require(e.replied && e.reply.size() >= static_cast<std::size_t>(Usb::HeaderSize + length),
                "every block of an installed record came whole");
        const int address = memoryAddress(e);
        for (int i = 0; i < length && address + i < CONFIG_IMAGE_SIZE; ++i) {
            require(record[address + i] == e.reply[Usb::HeaderSize + i],
                    "an installed record holds the bytes of its replies");
            covered[address + i] = true;
        }
    }
    require(std::all_of(covered.begin(), covered.end(), [](bool c) { return c; }),
            "every byte of an installed record was read");
    const auto identity = lastIdentity(all);
    require(std::equal(identity.begin(), identity.end(), record.begin() + Blocks::Identity.offset),
            "an installed record holds the identity the controller replied");
}

// A finished write sent the record's bytes, all of them, to a controller of the record's type.
void checkFinishedWrite(const RecordingNotifier& notifier, const std::vector<Exchange>& all,
                        const Lines& save)
{
    if (!save.has("Save 5 "))
        return;
    const auto identity = lastIdentity(all);
    require(readLe16(identity.data()) == notifier.record.typeWord(),
            "a write goes to a controller of the record's type only");
    std::vector<bool> written(notifier.writeCount, false);
    for (const Exchange& e : all) {
        if (!isMemoryTransfer(e) || word(e.request, 1) != 0)
            continue;
        const int address = memoryAddress(e);
        const int length = static_cast<int>(e.request.size()) - Usb::HeaderSize - 2;
        require(address + length <= notifier.writeCount, "a write stays within its byte count");
        for (int i = 0; i < length; ++i) {
            require(e.request[Usb::HeaderSize + 2 + i] == notifier.record.bytes[address + i],
                    "a write sends the record's bytes");
            written[address + i] = true;
        }
    }
    require(std::all_of(written.begin(), written.end(), [](bool w) { return w; }),
            "a finished write sent every byte of its count");
}

// Counters reach the window only from a whole reply of command 8.
void checkCounters(const Lines& report, const std::vector<Exchange>& all)
{
    const std::vector<std::string> shown = report.starting("Report 10 ");
    if (shown.empty())
        return;
    require(shown.size() == 1, "one statistics exchange shows one record");
    const Exchange& last = all.back();
    require(isCommand(last, Command::Statistics) && last.replied
                && last.reply.size() >= Usb::HeaderSize + Statistics::RecordSize
                && word(last.reply, 0) == static_cast<std::uint16_t>(Command::Statistics),
            "counters come from a whole statistics reply");
    require(shown.front() == hexBytes(last.reply.data() + Usb::HeaderSize, Statistics::RecordSize),
            "the window gets the counters the controller replied");
}

// A finished load sent the image, whole and in order: page programs in normal mode, the raw
// stream in boot mode.
void checkFinishedLoad(const Lines& flash, const FirmwareImage& image,
                       const std::vector<sim::Transfer>& traffic)
{
    if (!flash.has("Flash 5 "))
        return;
    FirmwareImage sent;
    bool streamed = false;
    for (const sim::Transfer& t : traffic) {
        if (t.direction != sim::Transfer::Direction::Out)
            continue;
        if (t.endpoint == Usb::BootEndpoint) {
            sent.insert(sent.end(), t.bytes.begin(), t.bytes.end());
            streamed = true;
        } else if (t.endpoint == Usb::RequestEndpoint && t.bytes.size() > Usb::HeaderSize + 4
                   && headerWord(t.bytes.data(), 0) == static_cast<std::uint16_t>(Command::FlashInstruction)
                   && t.bytes[Usb::HeaderSize] == FlashInstruction::PageProgram) {
            const int address = (t.bytes[9] << 16) | (t.bytes[10] << 8) | t.bytes[11];
            require(address == static_cast<int>(sent.size()), "pages are programmed in order");
            sent.insert(sent.end(), t.bytes.begin() + Usb::HeaderSize + 4, t.bytes.end());
        }
    }
    require(!streamed || sent.size() == image.size(), "a boot-mode stream is the image's length");
    require(sent == image, "a finished load sent the image");
}

// The data of every firmware memory read whose reply came whole, in order.
std::vector<std::uint8_t> flashReadData(const std::vector<Exchange>& all)
{
    std::vector<std::uint8_t> data;
    for (const Exchange& e : all) {
        if (!isCommand(e, Command::FlashInstruction) || e.request.size() <= Usb::HeaderSize
            || e.request[Usb::HeaderSize] != FlashInstruction::ReadData)
            continue;
        const std::size_t count = word(e.request, 1);
        if (e.replied && e.reply.size() >= Usb::HeaderSize + count && word(e.reply, 0) == 2)
            data.insert(data.end(), e.reply.begin() + Usb::HeaderSize,
                        e.reply.begin() + Usb::HeaderSize + static_cast<std::ptrdiff_t>(count));
    }
    return data;
}

// A read-back's outcome is what the controller replied: a backup holds the bytes of the read
// replies, a comparison names the first of them that differs from the image, or none.
void checkReadBack(const RecordingNotifier& notifier, const Lines& flash, const FirmwareImage& image,
                   const std::vector<Exchange>& all)
{
    const std::vector<std::uint8_t> read = flashReadData(all);
    const std::vector<std::vector<std::uint8_t>> handed = notifier.flashReads();
    require(handed.size() <= 1, "one read-back hands over one range");
    if (!handed.empty())
        require(handed.front() == read && read.size() == image.size(),
                "a backup holds every byte the controller replied, and only those");
    const std::vector<std::string> compared = flash.starting("Flash 11 ");
    if (compared.empty())
        return;
    const auto differs = std::mismatch(image.begin(), image.end(), read.begin(), read.end());
    std::string expected = std::to_string(differs.first - image.begin());
    if (differs.first != image.end()) {
        require(differs.second != read.end(), "a difference is named only where one was read");
        char at[48];
        std::snprintf(at, sizeof at, " differs at %06llX: %02X, read %02X",
                      static_cast<unsigned long long>(differs.first - image.begin()),
                      *differs.first, *differs.second);
        expected += at;
    }
    require(compared.front() == expected,
            "a comparison names the first byte where the replies differ from the image, or none");
}

// Whether the window was told that the run ended: closed, finished (stopped with 0), or given
// the outcome of a read-back.
bool told(const Lines& window, Target target)
{
    const std::string name = targetName(target);
    return window.has(name + " close") || window.has(name + " 5 ") || window.has(name + " 11 ")
        || window.has(name + " 12 ");
}

bool errorLogged(const RecordingNotifier& notifier)
{
    const std::vector<std::string> log = notifier.log();
    return std::any_of(log.begin(), log.end(),
                       [](const std::string& line) { return line.rfind("Error: ", 0) == 0; });
}

// The bound on the exchanges of one run: every loop of a task is bounded.
int exchangeBound(const TaskRun& run, std::size_t imageSize)
{
    constexpr int Connect = 2;
    switch (run.event) {
    case TaskEvent::ConfigRead:
    case TaskEvent::ConfigWrite:
        return Connect + CONFIG_IMAGE_SIZE;
    case TaskEvent::FirmwareLoad:
        return Connect + 2 + ErasePolls + static_cast<int>(imageSize + 1) * (ProgramBusyPolls + 2);
    case TaskEvent::TracePoll:
        return Connect + TraceFetch::MaxFetchesPerRun;
    case TaskEvent::FirmwareRead:
        return Connect + ProgramBusyPolls + static_cast<int>(imageSize) + 1;
    default:
        return Connect + 1;
    }
}

void fuzzTask(const TaskRun& run, FuzzInput& input)
{
    RunSetup setup;
    setup.image = patternedImage(2 * std::size_t{input.byte()});
    setup.traceMask = input.byte();
    int replies = 0;
    setup.replyFilter = [&input, &replies](const sim::Request&, std::vector<std::uint8_t>& reply) {
        ++replies;
        if (input.remaining() == 0)
            return;
        const std::uint16_t length = input.le16();
        if (length != KeepReply)
            reply = input.bytes(length);
    };
    RecordingNotifier notifier;
    const RunHandles handles = runTask(run, setup, notifier);
    require(handles.afterWorker == 0, "the worker's end leaves no handle open");
    require(handles.afterTask <= 1, "a task holds one connection at most");
    require(replies <= exchangeBound(run, setup.image->size()),
            "a task ends within its bound of exchanges");

    const std::vector<sim::Transfer> traffic = sim::Simulator::instance().traffic();
    const std::vector<Exchange> all = exchanges(traffic);
    const Lines window(notifier.linesFor(run.window));
    const bool failed = errorLogged(notifier);
    if (run.ending == Ending::Told)
        require(told(window, run.window), "the window learns how the run ended");
    if (run.ending == Ending::OnFailure && failed)
        require(told(window, run.window), "after a failure the window is stopped");
    // An editor refused before anything was sent keeps its connection; any other failure drops it.
    const bool refusedBeforeSending = run.ending == Ending::OnFailure
        && run.event != TaskEvent::TraceSelection && run.event != TaskEvent::TracePoll
        && !window.has(targetName(run.window) + " 9 ");
    if (failed && !refusedBeforeSending)
        require(handles.afterTask == 0, "after a failure the connection is closed");

    checkInstalledRecord(notifier, all);
    checkFinishedWrite(notifier, all, window);
    checkCounters(window, all);
    checkFinishedLoad(window, *setup.image, traffic);
    if (run.event == TaskEvent::FirmwareRead)
        checkReadBack(notifier, window, *setup.image, all);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    fuzzTask(taskRuns()[input.byte() % taskRuns().size()], input);
    return 0;
}
