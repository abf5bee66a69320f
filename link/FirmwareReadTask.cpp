#include "link/FirmwareReadTask.h"

#include <algorithm>

#include "link/ConfigBlocks.h"
#include "link/FirmwareBlocks.h"
#include "link/FlashChip.h"
#include "link/TaskContext.h"

namespace {
const QString VerifyText = QStringLiteral("Проверка программного обеспечения");
const QString MatchText = QStringLiteral("Программное обеспечение совпадает с файлом");
const QString ReadText = QStringLiteral("Чтение программного обеспечения");
const QString ReadFinishedText = QStringLiteral("Чтение программного обеспечения завершено");

QString hexByte(std::uint8_t value)
{
    return QStringLiteral("%1").arg(uint{value}, 2, 16, QLatin1Char('0')).toUpper();
}

// The range asked for, with the bytes expected in it when it is compared.
class FlashReadBack {
public:
    FlashReadBack(TaskContext& context, const Ask::FlashRange::Range& range)
        : context_(context)
        , chip_(context)
        , expected_(range.expected)
        , span_(readableSpan(range.start,
              expected_ ? std::min<std::int64_t>(range.length, expected_->size()) : range.length))
    {
    }

    void run()
    {
        if (!showPhase(comparing() ? VerifyText : ReadText)
            || !report(Report::Size{span_.length}) || !chip_.waitUntilReady() || !readAll())
            return;
        if (comparing())
            finishComparison();
        else
            handOver();
    }

private:
    bool comparing() const{return expected_ != nullptr;}

    bool report(const TaskReport& report){return context_.notify(Target::Flash, report);}

    bool showPhase(const QString& text)
    {
        return report(Report::Text{text}) && context_.log(text);
    }

    // Block after block, each as long as a reply carries; a comparison stops at the first
    // difference.
    bool readAll()
    {
        const int capacity = context_.usb.payloadCapacity();
        for (;;) {
            if (!report(Report::Progress{done_}))
                return false;
            if (done_ >= span_.length || mismatch_)
                return true;
            const int length = readBlockLength(capacity, static_cast<int>(span_.length - done_));
            const std::optional<std::span<const std::uint8_t>> block
                = chip_.read(static_cast<int>(span_.start + done_), length);
            if (!block)
                return false;
            take(*block);
            done_ += length;
        }
    }

    void take(std::span<const std::uint8_t> block)
    {
        if (!comparing()) {
            bytes_.insert(bytes_.end(), block.begin(), block.end());
            return;
        }
        const auto offset = static_cast<std::size_t>(done_);
        mismatch_ = firstMismatch(
            span_.start + done_, std::span(*expected_).subspan(offset, block.size()), block);
    }

    void finishComparison()
    {
        const QString verdict = mismatch_ ? mismatchText(*mismatch_) : MatchText;
        const std::int64_t equal = mismatch_ ? mismatch_->address - span_.start : done_;
        if (!report(Report::Text{verdict}) || !report(Report::Compared{equal, mismatch_}))
            return;
        context_.log(verdict);
    }

    void handOver()
    {
        if (!report(Report::FlashBytes{span_.start, std::move(bytes_)})
            || !context_.log(ReadFinishedText))
            return;
        context_.notify(Target::Device, Report::Received{done_});
    }

    TaskContext& context_;
    FlashChip chip_;
    std::shared_ptr<const FirmwareImage> expected_;
    FlashSpan span_;
    std::int64_t done_ = 0;
    std::optional<FlashMismatch> mismatch_;
    std::vector<std::uint8_t> bytes_;
};
}

void readFirmware(TaskContext& context)
{
    if (!context.connect(Usb::NormalConfiguration)) {
        context.requestClose(Target::Flash);
        return;
    }
    const std::optional<Ask::FlashRange::Range> range
        = context.ask(Target::Flash, Ask::FlashRange {});
    if (range)
        FlashReadBack(context, *range).run();
}

QString mismatchText(const FlashMismatch& mismatch)
{
    return QStringLiteral("Расхождение по адресу 0x%1: в файле %2, в контроллере %3")
        .arg(QStringLiteral("%1")
                 .arg(static_cast<qlonglong>(mismatch.address), 6, 16, QLatin1Char('0'))
                 .toUpper(),
             hexByte(mismatch.expected), hexByte(mismatch.actual));
}
