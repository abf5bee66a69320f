#include "link/ConfigTasks.h"

#include <algorithm>

#include "config/ConfigRecord.h"
#include "link/ConfigBlocks.h"
#include "link/Protocol.h"
#include "link/TaskContext.h"

namespace {
const QString ReadStartedText = QStringLiteral("Процесс чтения конфигурации запущен");
const QString ReadFinishedText = QStringLiteral("Процесс чтения конфигурации завершен");
const QString WriteStartedText = QStringLiteral("Процесс загрузки конфигурации запущен");
const QString WriteFinishedText = QStringLiteral("Процесс загрузки конфигурации завершен");
const QString WriteAbortedText = QStringLiteral("Процесс загрузки конфигурации прерван.");
}

void readConfiguration(TaskContext& context)
{
    if (!context.connect(Usb::NormalConfiguration)) {
        context.requestClose(Target::Read);
        return;
    }
    if (!context.log(ReadStartedText))
        return;
    UsbConnection& usb = context.usb;
    if (!context.notify(Target::Read, Report::Identity{usb.identity()}))
        return;
    Report::Record read;
    std::copy(usb.identity().begin(), usb.identity().end(),
              read.bytes.begin() + Blocks::Identity.offset);
    const int total = CONFIG_IMAGE_SIZE;
    if (!context.notify(Target::Read, Report::Size{total}))
        return;
    int address = 0;
    int done = 0;
    while (done < total) {
        const int length = readBlockLength(usb.payloadCapacity(), total - done);
        const auto block = Protocol::readMemory(usb, address, length);
        if (const Protocol::Failure* failure = Protocol::failureOf(block)) {
            context.failExchange(Target::Read, *failure);
            return;
        }
        const auto data = std::get<std::span<const std::uint8_t>>(block);
        std::copy(data.begin(), data.end(), read.bytes.begin() + done);
        done += length;
        address += length;
        if (address >= ConfigMemoryLimit)
            break;
        if (!context.notify(Target::Read, Report::Progress{done}))
            return;
    }
    if (!context.notify(Target::Read, Report::Finished{done}) || !context.log(ReadFinishedText)
        || !context.notify(Target::Device, Report::Received{done}))
        return;
    context.notify(Target::Device, read);
}

void writeConfiguration(TaskContext& context)
{
    if (!context.connect(Usb::NormalConfiguration)) {
        context.requestClose(Target::Save);
        return;
    }
    // The main window answers with a copy of its record, so the write works on its own copy.
    const std::optional<WriteRequest> request = context.ask(Target::Device, Ask::RecordToWrite{});
    if (!request)
        return;
    // Nothing to write: the record was closed, and its write window with it, before the request.
    if (request->count <= 0) {
        context.requestClose(Target::Save);
        return;
    }
    UsbConnection& usb = context.usb;
    if (usb.identityWord0() != typeWordOf(request->record.data() + Blocks::Identity.offset)) {
        if (context.log(WriteAbortedText) && context.log(WrongTypeText))
            context.requestClose(Target::Save);
        return;
    }
    if (!context.notify(Target::Save, Report::Identity{usb.identity()})
        || !context.log(WriteStartedText))
        return;
    // Never past the image: the identity block is not the controller's to receive.
    const int total = std::clamp(request->count, 0, CONFIG_IMAGE_SIZE);
    if (!context.notify(Target::Save, Report::Size{total}))
        return;
    const int largest = largestWriteBlock(usb.payloadCapacity());
    int address = 0;
    int done = 0;
    while (done < total) {
        const int length = writeBlockLength(largest, address, total - done);
        const auto written = Protocol::writeMemory(
            usb, address, std::span(request->record).subspan(static_cast<std::size_t>(done), length));
        if (const Protocol::Failure* failure = Protocol::failureOf(written)) {
            context.failExchange(Target::Save, *failure);
            return;
        }
        done += length;
        address += length;
        // The memory finishes its internal write cycle before it takes the next block.
        context.clock.sleep(std::chrono::milliseconds((length + 1) * 10));
        if (address >= ConfigMemoryLimit)
            break;
        if (!context.notify(Target::Save, Report::Progress{done}))
            return;
    }
    if (!context.notify(Target::Save, Report::Finished{done}) || !context.log(WriteFinishedText))
        return;
    context.notify(Target::Device, Report::Sent{done});
}
