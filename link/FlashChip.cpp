#include "link/FlashChip.h"

#include "link/FirmwareBlocks.h"
#include "link/Protocol.h"
#include "link/TaskContext.h"

namespace {
constexpr int StatusSize = 1;
}

FlashChip::FlashChip(TaskContext& context)
    : context_(context)
    , usb_(context.usb)
{
}

bool FlashChip::send(std::initializer_list<std::uint8_t> instruction,
    std::span<const std::uint8_t> data, int readBack)
{
    const auto reply = Protocol::flashInstruction(usb_, instruction, data, readBack);
    if (const Protocol::Failure* failure = Protocol::failureOf(reply)) {
        context_.failExchange(Target::Flash, *failure);
        return false;
    }
    status_ = readBack > 0 ? std::get<std::span<const std::uint8_t>>(reply).front() : 0;
    return true;
}

bool FlashChip::readStatus()
{
    return send({FlashInstruction::ReadStatus}, {}, StatusSize);
}

bool FlashChip::busy() const
{
    return (status_ & FlashBusyBit) != 0;
}

bool FlashChip::stuck()
{
    context_.failExchange(Target::Flash, Protocol::Failure::usb(usb_.lastResult()));
    return false;
}

bool FlashChip::waitUntilReady()
{
    for (int poll = 0; poll < ProgramBusyPolls; ++poll) {
        if (!readStatus())
            return false;
        if (!busy())
            return true;
    }
    return stuck();
}

std::optional<std::span<const std::uint8_t>> FlashChip::read(int address, int count)
{
    const auto reply = Protocol::readFlash(usb_, address, count);
    if (const Protocol::Failure* failure = Protocol::failureOf(reply)) {
        context_.failExchange(Target::Flash, *failure);
        return std::nullopt;
    }
    return std::get<std::span<const std::uint8_t>>(reply);
}
