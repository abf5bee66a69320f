#include "sim/SimController.h"

#include <algorithm>

#include "sim/Parts.h"

namespace sim {

namespace {
constexpr int HeaderSize = 8;
constexpr int RequestEndpoint = 1;
constexpr int ReplyEndpoint = 0x81;

std::uint16_t le16(const std::uint8_t* bytes)
{
    return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

void putLe16(std::vector<std::uint8_t>& bytes, std::uint16_t value)
{
    bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

void putBe16(std::vector<std::uint8_t>& bytes, std::uint16_t value)
{
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
    bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
}

std::vector<std::uint8_t> header(const Request& request)
{
    std::vector<std::uint8_t> bytes;
    putLe16(bytes, request.command);
    putLe16(bytes, request.param1);
    putLe16(bytes, request.param2);
    putLe16(bytes, request.param3);
    return bytes;
}
}

SimController::SimController(ControllerSettings initial)
    : settings(initial)
{
    installParts(*this);
}

void SimController::onCommand(std::uint16_t command, CommandHandler handler)
{
    commands_[command] = std::move(handler);
}

void SimController::onBusDevice(std::uint16_t address, BusHandler handler)
{
    busDevices_[address] = std::move(handler);
}

void SimController::onStream(int endpoint, StreamHandler handler)
{
    streams_[endpoint] = std::move(handler);
}

std::optional<int> SimController::injectedResult()
{
    const int number = transferCount_++;
    if (faults.disconnectAtTransfer && number >= *faults.disconnectAtTransfer)
        connected_ = false;
    if (!connected_)
        return UsbError::NoDevice;
    const auto found = faults.transferResults.find(number);
    if (found != faults.transferResults.end())
        return found->second;
    return faults.everyTransferResult;
}

int SimController::write(int endpoint, const std::uint8_t* bytes, int size)
{
    if (const std::optional<int> injected = injectedResult())
        return *injected;
    if (const auto stream = streams_.find(endpoint); stream != streams_.end())
        return stream->second(bytes, size);
    if (endpoint != RequestEndpoint)
        return size;
    if (!settings.firmwareRuns)
        return UsbError::TimedOut;
    pendingReply_ = answer(bytes, size);
    return size;
}

int SimController::read(int endpoint, std::vector<std::uint8_t>& reply)
{
    if (const std::optional<int> injected = injectedResult())
        return *injected;
    if (endpoint != ReplyEndpoint || !pendingReply_)
        return UsbError::TimedOut;
    reply = std::move(*pendingReply_);
    pendingReply_.reset();
    // Unplugged once the last allowed exchange has been answered.
    ++exchangeCount_;
    if (faults.disconnectAfterExchanges && exchangeCount_ >= *faults.disconnectAfterExchanges)
        connected_ = false;
    return 0;
}

std::vector<std::uint8_t> SimController::answer(const std::uint8_t* bytes, int size)
{
    if (size < 4)
        return {};
    Request request;
    request.command = le16(bytes);
    request.param1 = le16(bytes + 2);
    // The probe is the one request of two words only.
    if (request.command != 0) {
        if (size < HeaderSize)
            return {};
        request.param2 = le16(bytes + 4);
        request.param3 = le16(bytes + 6);
        // The serial-bus commands carry exactly Param2 payload bytes.
        const int payloadSize = (request.command == 2 || request.command == 3)
            ? std::min<int>(request.param2, size - HeaderSize)
            : size - HeaderSize;
        request.payload.assign(bytes + HeaderSize, bytes + HeaderSize + payloadSize);
    }
    std::vector<std::uint8_t> reply = answerRequest(request);
    // The reply is built in the controller's packet buffer, so whatever a part has to say beyond
    // it never leaves the controller.
    reply.resize(std::min<std::size_t>(reply.size(), HeaderSize + settings.capacity));
    injectReplyFaults(request, reply);
    return reply;
}

std::vector<std::uint8_t> SimController::answerRequest(const Request& request)
{
    if (request.command == 0)
        return answerProbe();
    if (request.command == 1)
        return answerIdentity();
    if (request.command == 3)
        return answerBusTransfer(request);
    // Other commands echo the header, followed by whatever their part answers.
    std::vector<std::uint8_t> reply = header(request);
    if (const auto handler = commands_.find(request.command); handler != commands_.end()) {
        const std::vector<std::uint8_t> data = handler->second(request);
        reply.insert(reply.end(), data.begin(), data.end());
    }
    return reply;
}

void SimController::injectReplyFaults(const Request& request,
                                      std::vector<std::uint8_t>& reply) const
{
    if (request.command == 0) {
        if (faults.probeReplyLength)
            reply.resize(static_cast<std::size_t>(*faults.probeReplyLength));
    } else if (faults.replyLength && static_cast<int>(reply.size()) > *faults.replyLength) {
        reply.resize(static_cast<std::size_t>(*faults.replyLength));
    }
    if (faults.replyFilter)
        faults.replyFilter(request, reply);
}

std::vector<std::uint8_t> SimController::answerProbe() const
{
    std::vector<std::uint8_t> reply;
    putLe16(reply, 0);
    putLe16(reply, settings.capacity);
    return reply;
}

std::vector<std::uint8_t> SimController::answerIdentity() const
{
    std::vector<std::uint8_t> reply;
    putLe16(reply, faults.identityReplyCode.value_or(1));
    putLe16(reply, 0);
    putLe16(reply, 0);
    putLe16(reply, 0);
    putBe16(reply, settings.typeWord);
    for (std::uint16_t word : settings.dieId)
        putBe16(reply, word);
    putBe16(reply, settings.chipId);
    return reply;
}

std::vector<std::uint8_t> SimController::answerBusTransfer(const Request& request)
{
    std::vector<std::uint8_t> reply = header(request);
    const auto device = busDevices_.find(request.param3);
    if (device == busDevices_.end())
        return reply;
    const std::vector<std::uint8_t> data = device->second(request);
    reply.insert(reply.end(), data.begin(), data.end());
    return reply;
}

} // namespace sim
