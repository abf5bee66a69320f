#include "link/FirmwareTask.h"

#include <algorithm>
#include <initializer_list>

#include "config/ConfigRecord.h"
#include "link/FirmwareBlocks.h"
#include "link/Protocol.h"
#include "link/TaskContext.h"

namespace {
const QString EraseText = QStringLiteral("Удаление программного обеспечения");
const QString ProgramText = QStringLiteral("Загрузка программного обеспечения");
const QString ProgramFinishedText = QStringLiteral("Загрузка программного обеспечения завершена");
const QString BootStartedText = QStringLiteral("Процесс загрузки ПО (boot_mode) запущен");
const QString BootFinishedText = QStringLiteral("Процесс загрузки ПО (boot_mode) завершен");

constexpr int StatusSize = 1;

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
    const std::optional<ImageRequest> request = context.ask(Target::Flash, Ask::FirmwareImage{});
    if (!request)
        return false;
    image = grantedImage(*request);
    return context.notify(Target::Flash, Report::Size{image.size});
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
            || !report(Report::Size{EraseProgressSteps})
            || !instruct({FlashInstruction::ChipErase}) || !waitForErase() || !settle()
            || !showPhase(ProgramText) || !requestImage(context_, image_) || !program(largest))
            return;
        if (!report(Report::Finished{done_}) || !context_.log(ProgramFinishedText))
            return;
        context_.notify(Target::Device, Report::Sent{done_});
    }

private:
    bool report(const TaskReport& report)
    {
        return context_.notify(Target::Flash, report);
    }

    bool showPhase(const QString& text)
    {
        return report(Report::Text{text}) && context_.log(text);
    }

    // One instruction of command 2, with its data; readBack bytes come back after the header.
    bool send(std::initializer_list<std::uint8_t> instruction, std::span<const std::uint8_t> data,
              int readBack)
    {
        const auto reply = Protocol::flashInstruction(usb_, instruction, data, readBack);
        if (const Protocol::Failure* failure = Protocol::failureOf(reply)) {
            context_.failExchange(Target::Flash, *failure);
            return false;
        }
        status_ = readBack > 0 ? std::get<std::span<const std::uint8_t>>(reply).front() : 0;
        return true;
    }

    bool instruct(std::initializer_list<std::uint8_t> instruction)
    {
        return send(instruction, {}, 0);
    }

    bool readStatus()
    {
        return send({FlashInstruction::ReadStatus}, {}, StatusSize);
    }

    bool busy() const { return (status_ & FlashBusyBit) != 0; }

    // A chip still busy after its allowed polls: the byte count of the last status reply.
    bool stuck()
    {
        context_.failExchange(Target::Flash, Protocol::Failure::usb(usb_.lastResult()));
        return false;
    }

    bool waitForErase()
    {
        for (int poll = 0; poll < ErasePolls; ++poll) {
            context_.clock.sleep(ErasePollInterval);
            if (!report(Report::Progress{poll}) || !readStatus())
                return false;
            if (!busy())
                return true;
        }
        return stuck();
    }

    bool settle()
    {
        if (!report(Report::Progress{EraseProgressSteps}))
            return false;
        context_.clock.sleep(EraseSettle);
        if (!report(Report::Progress{0}))
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
            if (!waitForProgram() || !report(Report::Progress{done_}))
                return false;
            if (done_ >= image_.size || address >= FlashProgramLimit)
                return true;
            const int length = programBlockLength(largest, address, image_.size - done_);
            if (!instruct({FlashInstruction::WriteEnable}) || !programPage(address, length))
                return false;
            done_ += length;
            address += length;
            if (length >= FlashPageSize)
                context_.clock.sleep(pageProgramPause(length));
        }
    }

    bool programPage(int address, int length)
    {
        const auto byte = [address](int shift) {
            return static_cast<std::uint8_t>(address >> shift);
        };
        const std::span<const std::uint8_t> data(image_.bytes->data() + done_,
                                                 static_cast<std::size_t>(length));
        return send({FlashInstruction::PageProgram, byte(16), byte(8), byte(0)}, data, 0);
    }

    TaskContext& context_;
    UsbConnection& usb_;
    GrantedImage image_;
    std::int64_t done_ = 0;
    std::uint8_t status_ = 0; // of the last status read
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
            context.failExchange(Target::Flash, Protocol::Failure::usb(result));
            return;
        }
        done += piece;
        if (!context.notify(Target::Flash, Report::Progress{done}))
            return;
    }
    if (!context.notify(Target::Flash, Report::Finished{done}) || !context.log(BootFinishedText)
        || !context.notify(Target::Device, Report::Sent{done}))
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
