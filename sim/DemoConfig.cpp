#include "sim/DemoConfig.h"

#include <initializer_list>
#include <stdexcept>

#include "config/BoardBlock.h"
#include "config/ConfigRecord.h"
#include "config/Crc.h"
#include "sim/SimController.h"

namespace sim {

namespace {
void putBe16(RecordBytes& image, int offset, std::uint16_t value)
{
    image[offset] = static_cast<std::uint8_t>(value >> 8);
    image[offset + 1] = static_cast<std::uint8_t>(value & 0xFF);
}

// The codec's register writes as the terminal's defaults leave them.
void fillCodec(RecordBytes& image, int model)
{
    const std::uint8_t sampleRate = model == 1 ? 0x02 : model == 2 ? 0x01 : 0x00;
    const std::uint8_t codec[22] = {0x1E, 0x00, 0x0C, 0x22, 0x08, 0x12, 0x0A, 0x00,
                                    0x10, sampleRate, 0x00, 23, 0x02, 23, 0x04, 121,
                                    0x06, 121, 0x0E, 0x43, 0x12, 0x01};
    std::copy(std::begin(codec), std::end(codec), image.begin() + Blocks::Codec.offset);
}

void fillNetwork(RecordBytes& image, bool editionB)
{
    const std::uint16_t words[22] = {192, 168, 1, 1,   255, 255, 255, 0,
                                     192, 168, 1, static_cast<std::uint16_t>(editionB ? 11 : 10),
                                     0x75, 0x3A,
                                     192, 168, 1, static_cast<std::uint16_t>(editionB ? 10 : 11),
                                     0x75, 0x3A, 0, 128};
    for (int i = 0; i < 22; ++i)
        putBe16(image, Blocks::Net.offset + 2 * i, words[i]);
}

void putWords(RecordBytes& image, BlockSpan block, std::initializer_list<std::uint16_t> words)
{
    int offset = block.offset;
    for (const std::uint16_t word : words) {
        putBe16(image, offset, word);
        offset += 2;
    }
}

// The settings the terminal's "Сброс" gives, so the demo opens every editor on plausible values.
void fillVoice(RecordBytes& image, int model)
{
    if (model == 1)
        putWords(image, Blocks::Vocoder, {8, 0, 0, 1, 0, 0});
    else
        putWords(image, Blocks::Vocoder, {8, 1, 0, 2, 1, 2});
    putWords(image, Blocks::Recorder, {0x0007, 4125, 4125, 144});
}

void fillLink(RecordBytes& image, bool editionB)
{
    putWords(image, Blocks::Link,
             {31, 10, 10, 7, static_cast<std::uint16_t>(editionB ? 0 : 32), 8, 4, 32, 0x0003});
}

void fillBoard(RecordBytes& image)
{
    BoardBlock board;
    const int mac[BoardBlock::AddressLength] = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
    for (int i = 0; i < BoardBlock::AddressLength; ++i)
        board.setAddressByte(i, mac[i]);
    if (!board.setSerialNumber(QStringLiteral("0417"))
        || !board.setDescription(QStringLiteral("Стенд сервисного отдела")))
        throw std::logic_error("the demonstration texts are Windows-1251 throughout");
    board.setText(BoardBlock::Date, "12.03.2025");
    board.toRecord(image.data() + Blocks::Board.offset);
}
}

void fillDemoConfiguration(SimController& controller)
{
    const std::uint16_t typeWord = controller.settings.typeWord;
    ConfigRecord record;
    fillCodec(record.bytes, modelCode(typeWord));
    const std::uint8_t amplifier[4] = {46, 0, 214, 0};
    std::copy(std::begin(amplifier), std::end(amplifier),
              record.bytes.begin() + Blocks::Amplifier.offset);
    fillVoice(record.bytes, modelCode(typeWord));
    fillLink(record.bytes, editionBit(typeWord) == 1);
    fillNetwork(record.bytes, editionBit(typeWord) == 1);
    fillBoard(record.bytes);
    stampCrc(TCrc(), record);
    controller.configMemory().fill(
        0, {record.bytes.begin(), record.bytes.begin() + CONFIG_IMAGE_SIZE});
}

} // namespace sim
