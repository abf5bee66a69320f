#include <gtest/gtest.h>

#include "sim/BootLoader.h"
#include "sim/SerialFlash.h"
#include "sim/SimController.h"

using Bytes = std::vector<std::uint8_t>;
using sim::SerialFlash;

namespace {
Bytes programInstruction(int address, const Bytes& data)
{
    Bytes instruction(4 + data.size());
    instruction[0] = SerialFlash::PageProgram;
    for (int i = 1; i <= 3; ++i)
        instruction[i] = static_cast<std::uint8_t>(address >> (24 - 8 * i));
    std::copy(data.begin(), data.end(), instruction.begin() + 4);
    return instruction;
}

std::uint8_t statusRead(SerialFlash& flash)
{
    return flash.execute({SerialFlash::ReadStatus}, 1).at(0);
}

void waitReady(SerialFlash& flash)
{
    while (statusRead(flash) & SerialFlash::BusyBit) {
    }
}

// Write enable, then the instruction, then the wait a terminal would make.
void write(SerialFlash& flash, const Bytes& instruction)
{
    flash.execute({SerialFlash::WriteEnable}, 0);
    flash.execute(instruction, 0);
    waitReady(flash);
}
}

TEST(SerialFlash, StartsErasedAndReadsBackThroughItsReadInstruction)
{
    SerialFlash flash;
    EXPECT_GE(SerialFlash::Size, 128 * 1024);
    EXPECT_EQ(flash.read(0x1FFFE, 4), Bytes(4, 0xFF));
    write(flash, programInstruction(0x123, {1, 2, 3}));
    EXPECT_EQ(flash.execute({SerialFlash::ReadData, 0x00, 0x01, 0x23}, 4), (Bytes{1, 2, 3, 0xFF}));
    EXPECT_EQ(flash.ignoredInstructions(), 0);
}

TEST(SerialFlash, ProgramAndEraseNeedTheLatchAndClearIt)
{
    SerialFlash flash;
    flash.execute(programInstruction(0, {0x00}), 0);
    EXPECT_EQ(flash.read(0, 1), Bytes{0xFF}) << "no latch: ignored";
    EXPECT_EQ(flash.ignoredInstructions(), 1);

    flash.execute({SerialFlash::WriteEnable}, 0);
    EXPECT_EQ(statusRead(flash), SerialFlash::LatchBit);
    flash.execute(programInstruction(0, {0x00}), 0);
    EXPECT_EQ(statusRead(flash), SerialFlash::BusyBit | SerialFlash::LatchBit);
    EXPECT_EQ(statusRead(flash), 0) << "the latch is gone once the program is done";
    EXPECT_EQ(flash.read(0, 1), Bytes{0x00});

    flash.execute({SerialFlash::ChipErase}, 0);
    EXPECT_EQ(flash.read(0, 1), Bytes{0x00}) << "erase without the latch: ignored";
    flash.execute({SerialFlash::WriteEnable}, 0);
    flash.execute({SerialFlash::WriteDisable}, 0);
    flash.execute({SerialFlash::ChipErase}, 0);
    EXPECT_EQ(flash.read(0, 1), Bytes{0x00}) << "latch withdrawn: ignored";
    write(flash, {SerialFlash::ChipErase});
    EXPECT_EQ(flash.read(0, 1), Bytes{0xFF});
    EXPECT_EQ(flash.ignoredInstructions(), 3);
}

TEST(SerialFlash, BusyForSetStatusReadsAndDeafMeanwhile)
{
    SerialFlash flash;
    flash.eraseBusyReads = 3;
    flash.execute({SerialFlash::WriteEnable}, 0);
    flash.execute({SerialFlash::ChipErase}, 0);
    // Nothing but status reads is taken while the erase runs.
    flash.execute({SerialFlash::WriteEnable}, 0);
    flash.execute(programInstruction(0, {0x00}), 0);
    EXPECT_EQ(flash.execute({SerialFlash::ReadStatus}, 3), Bytes(3, 0x03))
        << "the status repeats for every byte clocked out";
    EXPECT_EQ(statusRead(flash) & SerialFlash::BusyBit, 1);
    EXPECT_EQ(statusRead(flash) & SerialFlash::BusyBit, 1);
    EXPECT_EQ(statusRead(flash), 0);
    EXPECT_EQ(flash.read(0, 1), Bytes{0xFF});
    EXPECT_EQ(flash.ignoredInstructions(), 2);
}

TEST(SerialFlash, ProgramOnlyClearsBitsAndWrapsInsideItsPage)
{
    SerialFlash flash;
    write(flash, programInstruction(0x1FE, {0x0F, 0xF0, 0x3C, 0x55}));
    EXPECT_EQ(flash.read(0x1FE, 2), (Bytes{0x0F, 0xF0}));
    EXPECT_EQ(flash.read(0x100, 2), (Bytes{0x3C, 0x55})) << "wrapped to its page's start";
    EXPECT_EQ(flash.read(0x200, 2), (Bytes{0xFF, 0xFF})) << "the next page is untouched";
    write(flash, programInstruction(0x1FE, {0xF3, 0xFF}));
    EXPECT_EQ(flash.read(0x1FE, 2), (Bytes{0x03, 0xF0})) << "bits are only cleared";
}

TEST(SerialFlash, MoreThanAPageKeepsTheLastPageOfData)
{
    SerialFlash flash;
    Bytes data(300);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(i);
    write(flash, programInstruction(0x310, data));
    // Byte i goes to offset (0x10 + i) mod 256; the later of two bytes for a place wins.
    Bytes expected(256, 0xFF);
    for (std::size_t i = 0; i < data.size(); ++i)
        expected[(0x10 + i) % 256] = data[i];
    EXPECT_EQ(flash.read(0x300, 256), expected);
    EXPECT_EQ(flash.read(0x300, 1), Bytes{240});
    EXPECT_EQ(flash.read(0x33C, 1), Bytes{44});
    EXPECT_EQ(flash.read(0x400, 1), Bytes{0xFF});
}

TEST(SerialFlash, ReadRunsOnAcrossPagesAndWrapsAtTheEndOfTheChip)
{
    SerialFlash flash;
    Bytes first(256, 0x11);
    Bytes second(256, 0x22);
    write(flash, programInstruction(0x000, first));
    write(flash, programInstruction(0x100, second));
    write(flash, programInstruction(SerialFlash::Size - 2, {0xA0, 0xA1}));
    EXPECT_EQ(flash.execute({SerialFlash::ReadData, 0x00, 0x00, 0xFE}, 4),
              (Bytes{0x11, 0x11, 0x22, 0x22}));
    const int last = SerialFlash::Size - 2;
    EXPECT_EQ(flash.execute({SerialFlash::ReadData, static_cast<std::uint8_t>(last >> 16),
                             static_cast<std::uint8_t>(last >> 8), static_cast<std::uint8_t>(last)},
                            3),
              (Bytes{0xA0, 0xA1, 0x11}));
    EXPECT_EQ(flash.execute({SerialFlash::ReadData, 0x00, 0x01}, 2), (Bytes{0xFF, 0xFF}))
        << "no whole address: ignored";
    EXPECT_EQ(flash.ignoredInstructions(), 1);
}

TEST(SerialFlash, WornCellsReadBackTheirOwnValueOnceProgrammed)
{
    SerialFlash flash;
    flash.wornCells = {{0x101, 0x5A}, {0x200, 0x00}};
    EXPECT_EQ(flash.read(0x101, 1), Bytes{0xFF}) << "untouched until a program writes it";
    write(flash, programInstruction(0x100, {0x01, 0x02, 0x03}));
    EXPECT_EQ(flash.read(0x100, 3), (Bytes{0x01, 0x5A, 0x03}));
    EXPECT_EQ(flash.read(0x200, 1), Bytes{0xFF});
    flash.preload(0x300, {0x01, 0x02});
    EXPECT_EQ(flash.read(0x2FF, 4), (Bytes{0xFF, 0x01, 0x02, 0xFF}));
}

TEST(BootLoader, CollectsTheStreamInConfigurationOneOnly)
{
    sim::BootLoader loader;
    const Bytes piece{1, 2, 3};
    EXPECT_EQ(loader.receive(2, piece.data(), 3), sim::UsbError::Io);
    EXPECT_EQ(loader.receive(1, piece.data(), 3), 3);
    EXPECT_EQ(loader.receive(1, piece.data(), 2), 2);
    EXPECT_EQ(loader.received(), (Bytes{1, 2, 3, 1, 2}));
}
