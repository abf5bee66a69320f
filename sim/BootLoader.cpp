#include "sim/BootLoader.h"

#include "sim/SimController.h"

namespace sim {

int BootLoader::receive(int configuration, const std::uint8_t* bytes, int size)
{
    if (configuration != Configuration)
        return UsbError::Io;
    received_.insert(received_.end(), bytes, bytes + size);
    return size;
}

} // namespace sim
