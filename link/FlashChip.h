#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>

struct TaskContext;
class UsbConnection;

// The firmware memory as the firmware tasks drive it through command 2. A failed exchange is
// reported for the firmware window (the error logged, the window asked to close, the connection
// closed); every step answers false once that has happened.
class FlashChip {
public:
    explicit FlashChip(TaskContext& context);

    // One instruction with its data; readBack bytes come back after the header.
    bool send(std::initializer_list<std::uint8_t> instruction,
        std::span<const std::uint8_t> data = {}, int readBack = 0);
    bool readStatus();
    // Bit 0 of the last status read: a program or erase is still in progress.
    bool busy() const;
    // A chip still busy after its allowed polls: the byte count of the last status reply.
    bool stuck();
    // Status reads back to back until the chip is idle, bounded, so a chip that never gets ready
    // ends the task.
    bool waitUntilReady();
    // Count bytes from address, valid until the next exchange; nothing once the task has ended.
    std::optional<std::span<const std::uint8_t>> read(int address, int count);

private:
    TaskContext& context_;
    UsbConnection& usb_;
    std::uint8_t status_ = 0;
};
