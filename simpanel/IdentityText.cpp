#include "simpanel/IdentityText.h"

#include <QStringList>

namespace simpanel {

QString hexWordText(std::uint16_t word)
{
    return QStringLiteral("%1").arg(word, 4, 16, QChar(u'0')).toUpper();
}

std::optional<std::uint16_t> hexWordOf(const QString& text)
{
    bool ok = false;
    const uint value = text.toUInt(&ok, 16);
    if (text.size() != 4 || !ok || text.startsWith(u'+') || text.startsWith(u'-'))
        return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

QString dieIdText(const std::array<std::uint16_t, 4>& dieId)
{
    QStringList words;
    for (std::uint16_t word : dieId)
        words << hexWordText(word);
    return words.join(u':');
}

std::optional<std::array<std::uint16_t, 4>> dieIdOf(const QString& text)
{
    const QStringList parts = text.split(u':');
    if (parts.size() != 4)
        return std::nullopt;
    std::array<std::uint16_t, 4> dieId{};
    for (std::size_t i = 0; i < dieId.size(); ++i) {
        const auto word = hexWordOf(parts[static_cast<qsizetype>(i)]);
        if (!word)
            return std::nullopt;
        dieId[i] = *word;
    }
    return dieId;
}

} // namespace simpanel
