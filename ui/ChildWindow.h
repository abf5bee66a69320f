#pragma once

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPoint>
#include <QString>

#include "ui/ChildLayout.h"

// The frame every child window of the main window shares: its caption and picture, minimise and
// close buttons but no maximise, and freed when it closes.
void setUpChildWindow(QMdiSubWindow& window, const QString& caption, int image);

// Shows a child window in front of the others, restoring it when minimised.
void showInFront(QMdiArea& area, QMdiSubWindow& window);

// Tiles the shown child windows, in creation order, in the places the layout gives; a maximised
// one is restored first.
void tileChildWindows(QMdiArea& area, std::vector<QRect> (*layout)(const QRect&, int));
// Lines the minimised child windows up along the area's bottom edge.
void arrangeChildIcons(QMdiArea& area);

// The area's child window of a class, or null. A window freed when it closes leaves the area's
// list as it closes.
template <typename Window>
Window* findChildWindow(const QMdiArea& area)
{
    for (QMdiSubWindow* child : area.subWindowList())
        if (auto* window = dynamic_cast<Window*>(child))
            return window;
    return nullptr;
}

// Opens a child window the way the main window does: the open one is only brought to the front,
// without being set up again; otherwise make() creates one, which goes at 10 pixels times the
// number of child windows, is set up by setUp and shown in front. Returns the window.
template <typename Window, typename Make, typename SetUp>
Window* openChildWindow(QMdiArea& area, Window* open, Make make, SetUp setUp)
{
    if (open) {
        showInFront(area, *open);
        return open;
    }
    const QPoint origin = childWindowOrigin(static_cast<int>(area.subWindowList().size()));
    Window* window = make();
    area.addSubWindow(window);
    window->move(origin);
    setUp(*window);
    showInFront(area, *window);
    return window;
}
