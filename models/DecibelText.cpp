#include "models/DecibelText.h"

#include <cstdlib>

#include <QLocale>

QString halfDecibelText(int halfDecibels)
{
    const int decimals = halfDecibels % 2 == 0 ? 0 : 1;
    const QString sign = halfDecibels > 0 ? QStringLiteral("+")
                         : halfDecibels < 0 ? QStringLiteral("-")
                                            : QString();
    return sign + QLocale().toString(std::abs(halfDecibels) / 2.0, 'f', decimals);
}
