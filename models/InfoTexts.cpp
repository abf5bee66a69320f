#include "models/InfoTexts.h"

#include <array>

#include "config/ConfigRecord.h"
#include "models/IdentityTexts.h"

namespace {

constexpr int ModelWithAddress = 2;

// A two-bit field of the TypeWord and the text of each of its values.
struct VersionPiece {
    int shift;
    std::array<const char*, 4> texts;
};

constexpr VersionPiece FirmwareMajor{10, {"0.", "1.", "2.", "3."}};
constexpr VersionPiece FirmwareMinor{8, {"0", "1", "2", "3"}};
constexpr VersionPiece BoardLetter{6, {"A.", "B.", "C.", "D."}};
constexpr VersionPiece BoardNumber{4, {"0", "1", "2", "3"}};

QString pieceText(std::uint16_t typeWord, const VersionPiece& piece)
{
    return QString::fromLatin1(piece.texts[(typeWord >> piece.shift) & 0x3]);
}

// The first piece ends in its dot, so the two join directly.
QString versionText(std::uint16_t typeWord, const VersionPiece& first, const VersionPiece& second)
{
    return pieceText(typeWord, first) + pieceText(typeWord, second);
}

} // namespace

QString controllerTitle(std::uint16_t typeWord)
{
    const QString place = editionBit(typeWord) == 0 ? QStringLiteral("Локальный контроллер ")
                                                    : QStringLiteral("Удаленный контроллер ");
    return place + modelText(typeWord);
}

QString firmwareVersionText(std::uint16_t typeWord)
{
    return versionText(typeWord, FirmwareMajor, FirmwareMinor);
}

QString boardVersionText(std::uint16_t typeWord)
{
    return versionText(typeWord, BoardLetter, BoardNumber);
}

bool showsHardwareAddress(std::uint16_t typeWord)
{
    return modelCode(typeWord) == ModelWithAddress;
}

QString recordSizeText(int size)
{
    return QString::number(size) + QStringLiteral(" bytes");
}

QString crcText(std::uint16_t crc)
{
    return QStringLiteral("0x") + QString::number(crc, 16).toUpper().rightJustified(4, u'0');
}
