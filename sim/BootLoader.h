#pragma once

#include <cstdint>
#include <vector>

namespace sim {

// The controller's boot loader: it offers USB configuration 1 with an OUT endpoint that takes a
// firmware image as a raw stream, without headers and without replies.
class BootLoader {
public:
    static constexpr int Configuration = 1;
    static constexpr int StreamEndpoint = 6;

    // One write to the stream endpoint; returns the USB result. The endpoint exists in
    // configuration 1 only.
    int receive(int configuration, const std::uint8_t* bytes, int size);
    // Everything the stream brought, in order.
    const std::vector<std::uint8_t>& received() const { return received_; }

private:
    std::vector<std::uint8_t> received_;
};

} // namespace sim
