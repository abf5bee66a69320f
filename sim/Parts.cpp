#include "sim/Parts.h"

#include "sim/SimController.h"

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
}

void installParts(SimController& controller)
{
    controller.onBusDevice(0x50, [&controller](const Request& request) {
        return configMemoryTransfer(controller.configMemory(), request);
    });
}

} // namespace sim
