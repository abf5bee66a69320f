#include "link/FirmwareTask.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>

#include "config/ConfigRecord.h"
#include "link/FirmwareBlocks.h"
#include "link/Packet.h"
#include "link/TaskContext.h"

namespace {
const QString EraseText = QStringLiteral("Удаление программного обеспечения");
const QString ProgramText = QStringLiteral("Загрузка программного обеспечения");
const QString ProgramFinishedText = QStringLiteral("Загрузка программного обеспечения завершена");
const QString BootStartedText = QStringLiteral("Процесс загрузки ПО (boot_mode) запущен");
const QString BootFinishedText = QStringLiteral("Процесс загрузки ПО (boot_mode) завершен");

constexpr std::chrono::milliseconds ErasePollInterval{1000};
constexpr std::chrono::milliseconds EraseSettle{500};
constexpr int StatusReplySize = Usb::HeaderSize + 1;
constexpr int MalformedReply = -1;

// The image as the window granted it: never more bytes than it holds.
struct GrantedImage {
    std::shared_ptr<const FirmwareImage> bytes;
    std::int64_t size = 0;
};

GrantedImage grantedImage(const ImageRequest& request)
{
    if (!request.image)
        return {};
    const auto held = static_cast<std::int64_t>(request.image->size());
    return {request.image, std::min<std::int64_t>(request.size, held)};
}

// Asks the window for the image and reports its size as the progress maximum; false when the
// window has gone.
bool requestImage(TaskContext& context, GrantedImage& image)
{
    ImageRequest request;
    if (!context.notify(Target::Flash, NotifyCode::Request, toNotifyValue(&request)))
        return false;
    image = grantedImage(request);
    return context.notify(Target::Flash, NotifyCode::Size, static_cast<NotifyValue>(image.size));
}

// Normal mode: the controller's firmware passes serial-flash instructions to its firmware memory.
// Every step answers false once the task has ended, by a failure (reported, connection closed)
// or by a window that has gone.
class FlashLoad {
public:
    explicit FlashLoad(TaskContext& context)
        : context_(context)
        , usb_(context.usb)
    {
    }

    void run()
    {
        const int largest = largestProgramBlock(usb_.payloadCapacity());
        if (!instruct({FlashInstruction::WriteEnable}) || !showPhase(EraseText)
            || !report(NotifyCode::Size, EraseProgressSteps)
            || !instruct({FlashInstruction::ChipErase}) || !waitForErase() || !settle()
            || !showPhase(ProgramText) || !requestImage(context_, image_) || !program(largest))
            return;
        if (!report(NotifyCode::Finished, done_) || !context_.log(ProgramFinishedText))
            return;
        context_.notify(Target::Device, NotifyCode::Sent, static_cast<NotifyValue>(done_));
    }

private:
    bool report(int code, std::int64_t value)
    {
        return context_.notify(Target::Flash, code, static_cast<NotifyValue>(value));
    }

    bool showPhase(const QString& text)
    {
        return context_.notify(Target::Flash, NotifyCode::Text, toNotifyValue(&text))
            && context_.log(text);
    }

    // One instruction of command 2, with its data; readBack bytes come back after the header.
    bool send(std::initializer_list<std::uint8_t> instruction, const std::uint8_t* data,
              int dataLength, int readBack)
    {
        std::uint8_t* buffer = usb_.buffer();
        const int length = static_cast<int>(instruction.size()) + dataLength;
        setHeaderWord(buffer, 0, static_cast<std::uint16_t>(Command::FlashInstruction));
        setHeaderWord(buffer, 1, static_cast<std::uint16_t>(readBack));
        setHeaderWord(buffer, 2, static_cast<std::uint16_t>(length));
        setHeaderWord(buffer, 3, FirmwareMemoryDevice);
        std::copy(instruction.begin(), instruction.end(), buffer + Usb::HeaderSize);
        if (dataLength > 0)
            std::memcpy(buffer + Usb::HeaderSize + instruction.size(), data, dataLength);
        int result = usb_.exchange(Usb::HeaderSize + length, Usb::DefaultTimeoutMs);
        // A status reply without its status byte would leave the instruction byte in its place.
        if (readBack > 0 && result >= 0 && result < Usb::HeaderSize + readBack)
            result = MalformedReply;
        if (result < 0) {
            context_.failExchange(Target::Flash, result);
            return false;
        }
        return true;
    }

    bool instruct(std::initializer_list<std::uint8_t> instruction)
    {
        return send(instruction, nullptr, 0, 0);
    }

    bool readStatus()
    {
        return send({FlashInstruction::ReadStatus}, nullptr, 0, StatusReplySize - Usb::HeaderSize);
    }

    bool busy() const { return (usb_.buffer()[Usb::HeaderSize] & FlashBusyBit) != 0; }

    // A chip still busy after its allowed polls: the byte count of the last status reply.
    bool stuck()
    {
        context_.failExchange(Target::Flash, usb_.lastResult());
        return false;
    }

    bool waitForErase()
    {
        for (int poll = 0; poll < ErasePolls; ++poll) {
            context_.clock.sleep(ErasePollInterval);
            if (!report(NotifyCode::Progress, poll) || !readStatus())
                return false;
            if (!busy())
                return true;
        }
        return stuck();
    }

    bool settle()
    {
        if (!report(NotifyCode::Progress, EraseProgressSteps))
            return false;
        context_.clock.sleep(EraseSettle);
        if (!report(NotifyCode::Progress, 0))
            return false;
        context_.clock.sleep(EraseSettle);
        return true;
    }

    // Polled back to back; bounded, so a chip that never gets ready ends the load.
    bool waitForProgram()
    {
        for (int poll = 0; poll < ProgramBusyPolls; ++poll) {
            if (!readStatus())
                return false;
            if (!busy())
                return true;
        }
        return stuck();
    }

    bool program(int largest)
    {
        int address = 0;
        for (;;) {
            if (!waitForProgram() || !report(NotifyCode::Progress, done_))
                return false;
            if (done_ >= image_.size || address >= FlashProgramLimit)
                return true;
            const int length = programBlockLength(largest, address, image_.size - done_);
            if (!instruct({FlashInstruction::WriteEnable}) || !programPage(address, length))
                return false;
            done_ += length;
            address += length;
            if (length >= FlashPageSize)
                context_.clock.sleep(std::chrono::milliseconds(length / FlashPageSize));
        }
    }

    bool programPage(int address, int length)
    {
        const auto byte = [address](int shift) {
            return static_cast<std::uint8_t>(address >> shift);
        };
        return send({FlashInstruction::PageProgram, byte(16), byte(8), byte(0)},
                    image_.bytes->data() + done_, length, 0);
    }

    TaskContext& context_;
    UsbConnection& usb_;
    GrantedImage image_;
    std::int64_t done_ = 0;
};

// Boot mode: the controller's boot loader takes the raw image on its own endpoint.
void streamToBootLoader(TaskContext& context)
{
    UsbConnection& usb = context.usb;
    usb.OpenConnection(Usb::BootConfiguration);
    if (!usb.isOpen()) {
        context.requestClose(Target::Flash);
        return;
    }
    GrantedImage image;
    if (!context.log(BootStartedText) || !requestImage(context, image))
        return;
    std::int64_t done = 0;
    while (done < image.size) {
        const int piece = bootPieceLength(image.size - done);
        const int result = usb.writeRaw(Usb::BootEndpoint, image.bytes->data() + done, piece,
                                        Usb::DefaultTimeoutMs);
        if (result < 0) {
            context.failExchange(Target::Flash, result);
            return;
        }
        done += piece;
        if (!context.notify(Target::Flash, NotifyCode::Progress, static_cast<NotifyValue>(done)))
            return;
    }
    if (!context.notify(Target::Flash, NotifyCode::Finished, static_cast<NotifyValue>(done))
        || !context.log(BootFinishedText)
        || !context.notify(Target::Device, NotifyCode::Sent, static_cast<NotifyValue>(done)))
        return;
    usb.CloseConnection();
}
}

void loadFirmware(TaskContext& context)
{
    if (context.connect(Usb::NormalConfiguration))
        FlashLoad(context).run();
    else
        streamToBootLoader(context);
}
