#include "models/IdentityTexts.h"

#include "config/ConfigRecord.h"
#include "link/Packet.h"

IdentityWords identityWords(const std::uint8_t* block)
{
    IdentityWords words{};
    for (std::size_t i = 0; i < words.size(); ++i)
        words[i] = readLe16(block + 2 * i);
    return words;
}

QString hexDigits(std::uint16_t value)
{
    return QString::number(value, 16).toUpper().rightJustified(2, u'0');
}

QString chipIdText(const IdentityWords& words)
{
    return QStringLiteral("0x") + hexDigits(words[5]);
}

QString dieIdText(const IdentityWords& words)
{
    return QStringLiteral("0x") + hexDigits(words[1]) + hexDigits(words[2]) + hexDigits(words[3])
        + hexDigits(words[4]);
}
