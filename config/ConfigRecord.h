#pragma once

#include "config/Crc.h"

#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

// The configuration record: the controller's 200-byte configuration image followed by its 12-byte
// identity block. The image keeps the controller's byte order (every word most significant byte
// first) and is never reordered here; the identity words are least significant byte first.

inline constexpr int CONFIG_RECORD_SIZE = 212;
inline constexpr int CONFIG_IMAGE_SIZE = 200;
inline constexpr int USER_WRITE_SIZE = 110;
inline constexpr int FULL_WRITE_SIZE = 200;

struct BlockSpan
{
    int offset;
    int size;

    constexpr int end() const { return offset + size; }
};

namespace Blocks {

inline constexpr BlockSpan CrcWord{0, 2};
inline constexpr BlockSpan Codec{2, 22};
inline constexpr BlockSpan Vocoder{24, 12};
inline constexpr BlockSpan Recorder{36, 8};
inline constexpr BlockSpan Amplifier{44, 4};
inline constexpr BlockSpan Link{48, 18};
inline constexpr BlockSpan Net{66, 44};
inline constexpr BlockSpan Board{110, 90};
inline constexpr BlockSpan Identity{200, 12};

// In record order.
inline constexpr std::array<BlockSpan, 9> All{CrcWord, Codec, Vocoder, Recorder, Amplifier,
                                              Link, Net, Board, Identity};

// The bytes that the CRC word covers: the image after the CRC word itself.
inline constexpr BlockSpan CrcCoverage{CrcWord.end(), CONFIG_IMAGE_SIZE - CrcWord.end()};

constexpr bool tileRecord()
{
    int next = 0;
    for (const BlockSpan& block : All) {
        if (block.offset != next || block.size <= 0)
            return false;
        next = block.end();
    }
    return next == CONFIG_RECORD_SIZE;
}

static_assert(tileRecord(), "the blocks must follow one another without gaps over the record");
static_assert(Board.end() == CONFIG_IMAGE_SIZE && Identity.offset == CONFIG_IMAGE_SIZE,
              "the identity block must follow the image");
static_assert(Net.end() == USER_WRITE_SIZE, "a user-level write ends with the network block");

} // namespace Blocks

using RecordBytes = std::array<uint8_t, CONFIG_RECORD_SIZE>;

inline constexpr uint16_t BLANK_TYPE_WORD = 0x1000;

struct ConfigRecord
{
    RecordBytes bytes{};

    uint16_t typeWord() const;
    void setTypeWord(uint16_t word);
    uint16_t storedCrc() const;

    uint8_t* data(BlockSpan block);
    const uint8_t* data(BlockSpan block) const;

    // 212 zero bytes with the TypeWord of an R-410, edition ZA.
    static ConfigRecord blank();
};

// TypeWord, word 0 of an identity block (least significant byte first), and its decoding.
uint16_t typeWordOf(const uint8_t* identityBlock);
int modelCode(uint16_t typeWord);
int editionBit(uint16_t typeWord);
QString modelName(uint16_t typeWord);
QString editionName(uint16_t typeWord);
QString deviceName(uint16_t typeWord);
// "R-420"; a model code other than 1 and 2 shows as "R-xxx".
QString modelText(uint16_t typeWord);
// The model followed directly by the edition: "R-420ZA".
QString controllerText(uint16_t typeWord);

// The value 1 is never used.
enum AccessLevel {
    LevelUser = 0,
    LevelFirmware = 2,
    LevelTrace = 3,
    LevelBoard = 4,
    LevelFull = 5,
};

// How many leading bytes of the record a write sends: the board block only in the board levels,
// the identity block never.
int writeExtent(AccessLevel level);

// CRC of the image bytes after the CRC word, in one calculation started from 0xFFFF.
uint16_t ConfigCrc(const TCrc& crc, const ConfigRecord& record);
// Stores ConfigCrc into the CRC word, least significant byte first.
void stampCrc(const TCrc& crc, ConfigRecord& record);

// The write task's request for the data to send. The main window answers it with the byte count
// and a copy of its record, so the write runs on its own copy and the record may be closed or
// replaced while the write is in progress.
struct WriteRequest
{
    int32_t count = 0;
    RecordBytes record{};
};

WriteRequest answerWriteRequest(const ConfigRecord& record, AccessLevel level);

// A firmware image: the bytes of a firmware file, sent to the controller unchanged.
using FirmwareImage = std::vector<uint8_t>;

// The firmware task's request for the image to load. The firmware window answers it with the
// image's length and a share in the image, so the image outlives a window closed during the load.
struct ImageRequest
{
    uint32_t size = 0;
    std::shared_ptr<const FirmwareImage> image;
};
