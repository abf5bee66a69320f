#pragma once

#include <vector>

#include <QPoint>
#include <QRect>
#include <QSize>

// Where child windows go in the main window's client area.

// A new child window's top left corner: 10 pixels for each child window already there.
QPoint childWindowOrigin(int childCount);
// "Сверху вниз": side by side, each as tall as the area.
std::vector<QRect> sideBySide(const QRect& area, int count);
// "Слева на право": one above another, each as wide as the area.
std::vector<QRect> oneAboveAnother(const QRect& area, int count);
// The main window's first size: 637 by 585 for the text it was laid out for (5 pixels to an
// average character), grown with wider text so the settings windows fit its client area, never
// past the screen.
QSize mainWindowSize(int averageCharWidth, const QSize& available);
// Minimised windows in a row along the bottom of the area, wrapping upwards.
std::vector<QPoint> iconRow(const QRect& area, const QSize& iconSize, int count);
