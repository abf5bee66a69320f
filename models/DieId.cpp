#include "models/DieId.h"

#include <algorithm>

#include <QStringList>

namespace {
bool isHexGroup(const QString& group)
{
    const auto hex = [](QChar c) {
        return (c >= u'0' && c <= u'9') || (c.toUpper() >= u'A' && c.toUpper() <= u'F');
    };
    return !group.isEmpty() && group.size() <= 4 && std::all_of(group.begin(), group.end(), hex);
}
}

DieId dieIdOf(const IdentityWords& words)
{
    return {words[1], words[2], words[3], words[4]};
}

QString dieIdKey(const DieId& die)
{
    QStringList groups;
    for (std::uint16_t word : die)
        groups << QStringLiteral("%1").arg(word, 4, 16, QChar(u'0')).toUpper();
    return groups.join(u':');
}

std::optional<DieId> parseDieId(const QString& text)
{
    const QStringList groups = text.split(u':');
    if (groups.size() != 4)
        return std::nullopt;
    DieId die{};
    for (int i = 0; i < 4; ++i) {
        if (!isHexGroup(groups[i]))
            return std::nullopt;
        die[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(groups[i].toUInt(nullptr, 16));
    }
    return die;
}
