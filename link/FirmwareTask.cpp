#include "link/FirmwareTask.h"

#include <algorithm>
#include <initializer_list>

#include "config/ConfigRecord.h"
#include "link/FirmwareBlocks.h"
#include "link/FlashChip.h"
#include "link/Protocol.h"
#include "link/TaskContext.h"

namespace {
const QString EraseText = QStringLiteral("Удаление программного обеспечения");
const QString ProgramText = QStringLiteral("Загрузка программного обеспечения");
const QString ProgramFinishedText = QStringLiteral("Загрузка программного обеспечения завершена");
const QString BootStartedText = QStringLiteral("Процесс загрузки ПО (boot_mode) запущен");
const QString BootFinishedText = QStringLiteral("Процесс загрузки ПО (boot_mode) завершен");


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
bool requestImage(TaskContext& context, LoadMode mode, GrantedImage& image)
{
    const std::optional<ImageRequest> request =
        context.ask(Target::Flash, Ask::FirmwareImage{mode});
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
        , chip_(context)
    {
    }

    void run()
    {
        const int largest = largestProgramBlock(usb_.payloadCapacity());
        if (!instruct({FlashInstruction::WriteEnable}) || !showPhase(EraseText)
            || !report(Report::Size{EraseProgressSteps})
            || !instruct({FlashInstruction::ChipErase}) || !waitForErase() || !settle()
            || !showPhase(ProgramText) || !requestImage(context_, LoadMode::Normal, image_)
            || !program(largest))
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

    bool instruct(std::initializer_list<std::uint8_t> instruction)
    {
        return chip_.send(instruction);
    }

    bool waitForErase()
    {
        for (int poll = 0; poll < ErasePolls; ++poll) {
            context_.clock.sleep(ErasePollInterval);
            if (!report(Report::Progress{poll}) || !chip_.readStatus())
                return false;
            if (!chip_.busy())
                return true;
        }
        return chip_.stuck();
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

    bool program(int largest)
    {
        int address = 0;
        for (;;) {
            if (!chip_.waitUntilReady() || !report(Report::Progress{done_}))
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
        const auto [high, middle, low] = flashAddress(address);
        const std::span<const std::uint8_t> data(image_.bytes->data() + done_,
                                                 static_cast<std::size_t>(length));
        return chip_.send({FlashInstruction::PageProgram, high, middle, low}, data);
    }

    TaskContext& context_;
    UsbConnection& usb_;
    FlashChip chip_;
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
    if (!context.log(BootStartedText) || !requestImage(context, LoadMode::Boot, image))
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

// A controller that another program holds is not one waiting in its boot loader: streaming the
// image to it would send it nowhere and report a load that never happened.
void loadFirmware(TaskContext& context)
{
    if (context.connect(Usb::NormalConfiguration))
        FlashLoad(context).run();
    else if (context.usb.heldElsewhere())
        context.requestClose(Target::Flash);
    else
        streamToBootLoader(context);
}
