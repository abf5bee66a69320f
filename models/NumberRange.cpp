#include "models/NumberRange.h"

#include <algorithm>
#include <limits>

QString rangeMessage(const NumberRange& range)
{
    return QStringLiteral("Недопустимое значение. Укажите значение в диапазоне ")
           + QString::number(range.minimum) + QStringLiteral("..") + QString::number(range.maximum);
}

std::optional<int> wholeNumberOf(const QString& text)
{
    if (text.isEmpty())
        return std::nullopt;
    constexpr long long Largest = std::numeric_limits<int>::max();
    long long value = 0;
    for (const QChar character : text) {
        if (character < u'0' || character > u'9')
            return std::nullopt;
        value = std::min(value * 10 + (character.unicode() - u'0'), Largest);
    }
    return static_cast<int>(value);
}

FittedNumber fitToRange(int value, const NumberRange& range)
{
    if (value < range.minimum)
        return {range.minimum, true};
    if (value > range.maximum)
        return {range.maximum, true};
    return {value, false};
}
