#include "cli/ProgressBar.h"

#include <algorithm>

QString progressLine(const QString& phase, std::int64_t position, std::int64_t maximum, int width)
{
    const std::int64_t top = std::max<std::int64_t>(maximum, 1);
    const std::int64_t shown = std::clamp<std::int64_t>(position, 0, top);
    const int filled = static_cast<int>(shown * width / top);
    const int percent = static_cast<int>(shown * 100 / top);
    QString line = phase.isEmpty() ? QString() : phase + u' ';
    line += u'[' + QString(filled, u'#') + QString(width - filled, u' ') + u']';
    line += QStringLiteral(" %1% %2/%3").arg(percent, 3).arg(position).arg(maximum);
    return line;
}
