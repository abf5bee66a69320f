#include "cli/TraceChannels.h"

#include <array>
#include <utility>

#include <QStringList>

std::optional<std::uint16_t> traceMask(const QString& channels)
{
    static const std::array<std::pair<QString, std::uint16_t>, 4> names{{
        {QStringLiteral("bus-rx"), 0x1},
        {QStringLiteral("bus-tx"), 0x2},
        {QStringLiteral("link-rx"), 0x4},
        {QStringLiteral("link-tx"), 0x8},
    }};
    std::uint16_t mask = 0;
    for (const QString& channel : channels.split(u',', Qt::SkipEmptyParts)) {
        const QString name = channel.trimmed();
        const auto found = std::find_if(names.begin(), names.end(),
                                        [&](const auto& entry) { return entry.first == name; });
        if (found == names.end())
            return std::nullopt;
        mask |= found->second;
    }
    return mask ? std::optional<std::uint16_t>(mask) : std::nullopt;
}
