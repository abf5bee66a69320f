#include "sim/Parts.h"

#include "sim/SimController.h"

#include <algorithm>

namespace sim {

namespace {
// Command 3 to device 0x50: a 2-byte address, high byte first, then the data to write; Param1
// bytes are read back from the address.
std::vector<std::uint8_t> configMemoryTransfer(ConfigMemory& memory, const Request& request)
{
    if (request.payload.size() < 2)
        return {};
    const int address = (request.payload[0] << 8) | request.payload[1];
    const int dataLength = static_cast<int>(request.payload.size()) - 2;
    if (dataLength > 0)
        memory.write(address, request.payload.data() + 2, dataLength);
    return memory.read(address, request.param1);
}

// A write-only device: it takes the payload and returns nothing.
template <typename Part>
SimController::BusHandler writeOnly(Part& part)
{
    return [&part](const Request& request) {
        part.write(request.payload.data(), static_cast<int>(request.payload.size()));
        return std::vector<std::uint8_t>{};
    };
}

// Command 2 to device 4: the payload is one instruction to the firmware memory; Param1 bytes
// are clocked back out of it.
std::vector<std::uint8_t> firmwareMemoryInstruction(SerialFlash& flash, const Request& request)
{
    constexpr std::uint16_t FirmwareMemory = 4;
    if (request.param3 != FirmwareMemory)
        return {};
    return flash.execute(request.payload, request.param1);
}

SimController::CommandHandler storeBlock(ParameterStore& store, int blockSize)
{
    return [&store, blockSize](const Request& request) {
        const auto size = std::min<std::size_t>(request.payload.size(), blockSize);
        store.store(request.command, {request.payload.begin(), request.payload.begin() + size});
        return std::vector<std::uint8_t>{};
    };
}
}

void installParts(SimController& controller)
{
    Devices& devices = controller.devices();
    controller.onCommand(2, [&devices](const Request& request) {
        return firmwareMemoryInstruction(devices.flash, request);
    });
    controller.onStream(BootLoader::StreamEndpoint, [&controller](const std::uint8_t* bytes,
                                                                  int size) {
        return controller.devices().bootLoader.receive(controller.configuration(), bytes, size);
    });
    controller.onBusDevice(0x50, [&devices](const Request& request) {
        return configMemoryTransfer(devices.configMemory, request);
    });
    controller.onBusDevice(0x1A, writeOnly(devices.codec));
    controller.onBusDevice(0x4B, writeOnly(devices.amplifier));
    // Recorder, vocoder, network and link blocks.
    for (const auto& [command, size] : {std::pair{4, 8}, {7, 12}, {9, 44}, {10, 18}})
        controller.onCommand(static_cast<std::uint16_t>(command),
                             storeBlock(devices.parameters, size));
    TraceQueues& trace = devices.trace;
    controller.onCommand(5, [&trace](const Request& request) {
        trace.select(request.param1);
        return std::vector<std::uint8_t>{};
    });
    controller.onCommand(6, [&trace](const Request&) { return trace.fetch(); });
    // The operating counters, reported or reset by Param1.
    controller.onCommand(8, [&controller](const Request& request) {
        return controller.devices().statistics.answer(request.param1, controller.settings.typeWord);
    });
}

} // namespace sim
