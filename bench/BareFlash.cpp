// The bare libusb loop of a recorded firmware load, the baseline of r4xx-cli's flash: the first
// controller on the bus opened and claimed, then the same transfers in the same order with the
// waits a load must make and nothing else (a second before each status read of the erase, the
// settle once the chip is idle, a millisecond after each full page).
//
//     r4xx_bare_flash FILE
//
// FILE holds one transfer a line: "o ENDPOINT HEX" for a write, "i ENDPOINT LENGTH RESULT" for
// a read. A read the controller left unanswered (RESULT < 0) waits the drain's time-out, as the
// load's last read does. Exits 1 when a transfer's result differs from the recorded one.

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include <usb.h>

#include "link/FirmwareBlocks.h"
#include "link/Packet.h"

namespace {

constexpr int HeaderSize = 8;
constexpr int FlashCommand = 2;

struct Transfer {
    bool out = false;
    int endpoint = 0;
    std::vector<char> bytes; // written
    int length = 0;          // asked, for a read
    int result = 0;          // recorded, for a read
};

std::vector<char> bytesOf(const std::string& hex)
{
    std::vector<char> bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

std::vector<Transfer> readTransfers(const char* path)
{
    std::vector<Transfer> transfers;
    std::FILE* file = std::fopen(path, "r");
    if (!file)
        return transfers;
    char kind = 0;
    while (std::fscanf(file, " %c", &kind) == 1) {
        Transfer transfer;
        transfer.out = kind == 'o';
        if (transfer.out) {
            char hex[2 * 0x10000 + 1] = {};
            if (std::fscanf(file, "%d %131072s", &transfer.endpoint, hex) != 2)
                break;
            transfer.bytes = bytesOf(hex);
        } else if (std::fscanf(file, "%d %d %d", &transfer.endpoint, &transfer.length, &transfer.result) != 3) {
            break;
        }
        transfers.push_back(std::move(transfer));
    }
    std::fclose(file);
    return transfers;
}

// The instruction of a firmware-memory request, or 0 for any other request.
int flashInstruction(const Transfer& transfer)
{
    const auto& b = transfer.bytes;
    if (!transfer.out || b.size() <= HeaderSize || b[0] != FlashCommand || b[1] != 0)
        return 0;
    return static_cast<unsigned char>(b[HeaderSize]);
}

// The waits of a load, taken from what goes over the bus.
class LoadWaits {
public:
    // Before a write.
    void beforeWrite(const Transfer& transfer)
    {
        const int instruction = flashInstruction(transfer);
        if (erasing_ && instruction == FlashInstruction::ReadStatus)
            pending_ += ErasePollInterval;
        std::this_thread::sleep_for(pending_);
        pending_ = {};
        statusAsked_ = instruction == FlashInstruction::ReadStatus;
        if (instruction == FlashInstruction::ChipErase)
            erasing_ = true;
        if (instruction == FlashInstruction::PageProgram)
            pending_ += pageProgramPause(static_cast<int>(transfer.bytes.size()) - HeaderSize - PageProgramOverhead);
    }
    // After a read with its reply.
    void afterRead(const char* reply, int result)
    {
        if (!erasing_ || !statusAsked_ || result <= HeaderSize || (reply[HeaderSize] & FlashBusyBit))
            return;
        erasing_ = false;
        pending_ += 2 * EraseSettle;
    }

private:
    bool erasing_ = false;
    bool statusAsked_ = false;
    std::chrono::milliseconds pending_{0};
};

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2)
        return 2;
    const std::vector<Transfer> transfers = readTransfers(argv[1]);
    usb_init();
    usb_find_busses();
    usb_find_devices();
    usb_bus* bus = usb_get_busses();
    if (transfers.empty() || !bus || !bus->devices)
        return 2;
    usb_dev_handle* handle = usb_open(bus->devices);
    if (!handle || usb_set_configuration(handle, Usb::NormalConfiguration) < 0
        || usb_claim_interface(handle, Usb::Interface) < 0)
        return 2;
    std::vector<char> reply(0x10000);
    LoadWaits waits;
    int differences = 0;
    for (const Transfer& transfer : transfers) {
        if (transfer.out) {
            waits.beforeWrite(transfer);
            const int size = static_cast<int>(transfer.bytes.size());
            differences += usb_bulk_write(handle, transfer.endpoint, transfer.bytes.data(), size,
                                          Usb::DefaultTimeoutMs)
                != size;
            continue;
        }
        const int timeout = transfer.result < 0 ? Usb::DrainTimeoutMs : Usb::DefaultTimeoutMs;
        const int result = usb_bulk_read(handle, transfer.endpoint, reply.data(), transfer.length, timeout);
        differences += (result < 0) != (transfer.result < 0) || (result >= 0 && result != transfer.result);
        waits.afterRead(reply.data(), result);
    }
    usb_release_interface(handle, Usb::Interface);
    usb_close(handle);
    if (differences > 0)
        std::fprintf(stderr, "r4xx_bare_flash: %d transfers differ from the recording\n", differences);
    return differences > 0 ? 1 : 0;
}
