#include "ui/ChildLayout.h"

#include <algorithm>

#include <QSizeF>

namespace {

// Splits length into count parts that differ by at most one pixel and fill it exactly.
int partStart(int length, int count, int index)
{
    return static_cast<int>(static_cast<long long>(length) * index / count);
}

} // namespace

QPoint childWindowOrigin(int childCount)
{
    return {10 * childCount, 10 * childCount};
}

std::vector<QRect> sideBySide(const QRect& area, int count)
{
    std::vector<QRect> places;
    for (int i = 0; i < count; ++i) {
        const int left = partStart(area.width(), count, i);
        const int right = partStart(area.width(), count, i + 1);
        places.emplace_back(area.left() + left, area.top(), right - left, area.height());
    }
    return places;
}

std::vector<QRect> oneAboveAnother(const QRect& area, int count)
{
    std::vector<QRect> places;
    for (int i = 0; i < count; ++i) {
        const int top = partStart(area.height(), count, i);
        const int bottom = partStart(area.height(), count, i + 1);
        places.emplace_back(area.left(), area.top() + top, area.width(), bottom - top);
    }
    return places;
}

std::vector<QPoint> iconRow(const QRect& area, const QSize& iconSize, int count)
{
    const int perRow = std::max(1, area.width() / std::max(1, iconSize.width()));
    std::vector<QPoint> places;
    for (int i = 0; i < count; ++i) {
        const int column = i % perRow;
        const int row = i / perRow;
        places.emplace_back(area.left() + column * iconSize.width(),
                            area.bottom() + 1 - (row + 1) * iconSize.height());
    }
    return places;
}

QSize mainWindowSize(int averageCharWidth, const QSize& available)
{
    constexpr QSize designed{637, 585};
    constexpr int designedCharWidth = 5;
    const double scale = std::max(1.0, static_cast<double>(averageCharWidth) / designedCharWidth);
    return (QSizeF(designed) * scale).toSize().boundedTo(available);
}
