#include "sim/DemoConfig.h"

#include <QStringEncoder>

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

// Hardware address, serial number, date and description, each word high byte first.
void fillBoard(RecordBytes& image)
{
    const int base = Blocks::Board.offset;
    const std::uint16_t mac[6] = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
    for (int i = 0; i < 6; ++i)
        putBe16(image, base + 2 * i, mac[i]);
    std::array<std::uint8_t, 78> text{};
    const auto put = [&text](int offset, const QByteArray& bytes) {
        std::copy(bytes.begin(), bytes.end(), text.begin() + offset);
    };
    QStringEncoder toCp1251("windows-1251");
    put(0, "0417");
    put(4, "12.03.2025");
    put(14, toCp1251(QStringLiteral("Стенд сервисного отдела")));
    // The text fields are stored as words, high byte first, like the rest of the image.
    for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
        image[base + 12 + i] = text[i + 1];
        image[base + 12 + i + 1] = text[i];
    }
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
    fillNetwork(record.bytes, editionBit(typeWord) == 1);
    fillBoard(record.bytes);
    stampCrc(TCrc(), record);
    controller.configMemory().fill(
        0, {record.bytes.begin(), record.bytes.begin() + CONFIG_IMAGE_SIZE});
}

} // namespace sim
