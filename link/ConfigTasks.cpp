#include "link/ConfigTasks.h"

#include <algorithm>
#include <cstring>

#include "config/ConfigRecord.h"
#include "link/ConfigBlocks.h"
#include "link/Packet.h"
#include "link/TaskContext.h"

namespace {
const QString ReadStartedText = QStringLiteral("Процесс чтения конфигурации запущен");
const QString ReadFinishedText = QStringLiteral("Процесс чтения конфигурации завершен");
const QString WriteStartedText = QStringLiteral("Процесс загрузки конфигурации запущен");
const QString WriteFinishedText = QStringLiteral("Процесс загрузки конфигурации завершен");
const QString WriteAbortedText = QStringLiteral("Процесс загрузки конфигурации прерван.");
const QString WrongTypeText =
    QStringLiteral("Загружаемая конфигурация не соответствует типу контроллера");

constexpr int AddressSize = 2;
constexpr int MalformedReply = -1;

// Command 3 to the configuration memory: the address, then readCount bytes come back or
// data is written.
int prepareMemoryRequest(std::uint8_t* buffer, int address, int readCount,
                         const std::uint8_t* data, int dataLength)
{
    setHeaderWord(buffer, 0, static_cast<std::uint16_t>(Command::BusTransfer));
    setHeaderWord(buffer, 1, static_cast<std::uint16_t>(readCount));
    setHeaderWord(buffer, 2, static_cast<std::uint16_t>(AddressSize + dataLength));
    setHeaderWord(buffer, 3, BusDevice::ConfigMemory);
    writeBe16(buffer + Usb::HeaderSize, static_cast<std::uint16_t>(address));
    if (dataLength > 0)
        std::memcpy(buffer + Usb::HeaderSize + AddressSize, data, dataLength);
    return Usb::HeaderSize + AddressSize + dataLength;
}

const std::uint8_t* identityOf(const RecordBytes& record)
{
    return record.data() + Blocks::Identity.offset;
}
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
    if (!context.notify(Target::Read, NotifyCode::Identity, toNotifyValue(usb.identity())))
        return;
    RecordBytes record{};
    std::memcpy(record.data() + Blocks::Identity.offset, usb.identity(), Usb::IdentitySize);
    const int total = CONFIG_IMAGE_SIZE;
    if (!context.notify(Target::Read, NotifyCode::Size, total))
        return;
    int address = 0;
    int done = 0;
    while (done < total) {
        const int length = readBlockLength(usb.payloadCapacity(), total - done);
        const int sent = prepareMemoryRequest(usb.buffer(), address, length, nullptr, 0);
        int result = usb.exchange(sent, Usb::DefaultTimeoutMs);
        // A short reply would leave stale buffer bytes in the record.
        if (result >= 0 && result < Usb::HeaderSize + length)
            result = MalformedReply;
        if (result < 0) {
            context.failExchange(Target::Read, result);
            return;
        }
        std::memcpy(record.data() + done, usb.buffer() + Usb::HeaderSize, length);
        done += length;
        address += length;
        if (address >= ConfigMemoryLimit)
            break;
        if (!context.notify(Target::Read, NotifyCode::Progress, done))
            return;
    }
    if (!context.notify(Target::Read, NotifyCode::Finished, done)
        || !context.log(ReadFinishedText)
        || !context.notify(Target::Device, NotifyCode::Received, done))
        return;
    context.notify(Target::Device, NotifyCode::Record, toNotifyValue(&record));
}

void writeConfiguration(TaskContext& context)
{
    if (!context.connect(Usb::NormalConfiguration)) {
        context.requestClose(Target::Save);
        return;
    }
    // The main window copies its record into the request, so the write works on its own copy.
    WriteRequest request;
    if (!context.notify(Target::Device, NotifyCode::Request, toNotifyValue(&request)))
        return;
    // Nothing to write: the record was closed, and its write window with it, before the request.
    if (request.count <= 0) {
        context.requestClose(Target::Save);
        return;
    }
    UsbConnection& usb = context.usb;
    if (usb.identityWord0() != readLe16(identityOf(request.record))) {
        if (context.log(WriteAbortedText) && context.log(WrongTypeText))
            context.requestClose(Target::Save);
        return;
    }
    if (!context.notify(Target::Save, NotifyCode::Identity, toNotifyValue(usb.identity()))
        || !context.log(WriteStartedText))
        return;
    // Never past the image: the identity block is not the controller's to receive.
    const int total = std::clamp(request.count, 0, CONFIG_IMAGE_SIZE);
    if (!context.notify(Target::Save, NotifyCode::Size, total))
        return;
    const int largest = largestWriteBlock(usb.payloadCapacity());
    int address = 0;
    int done = 0;
    while (done < total) {
        const int length = writeBlockLength(largest, address, total - done);
        const int sent =
            prepareMemoryRequest(usb.buffer(), address, 0, request.record.data() + done, length);
        const int result = usb.exchange(sent, Usb::DefaultTimeoutMs);
        if (result < 0) {
            context.failExchange(Target::Save, result);
            return;
        }
        done += length;
        address += length;
        // The memory finishes its internal write cycle before it takes the next block.
        context.clock.sleep(std::chrono::milliseconds((length + 1) * 10));
        if (address >= ConfigMemoryLimit)
            break;
        if (!context.notify(Target::Save, NotifyCode::Progress, done))
            return;
    }
    if (!context.notify(Target::Save, NotifyCode::Finished, done) || !context.log(WriteFinishedText))
        return;
    context.notify(Target::Device, NotifyCode::Sent, done);
}
