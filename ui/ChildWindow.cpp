#include "ui/ChildWindow.h"

#include <QMdiSubWindow>

#include "ui/Images.h"

void setUpChildWindow(QMdiSubWindow& window, const QString& caption, int imageIndex)
{
    window.setAttribute(Qt::WA_DeleteOnClose);
    window.setWindowTitle(caption);
    window.setWindowIcon(image(imageIndex));
    window.setWindowFlags(Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
}

void showInFront(QMdiArea& area, QMdiSubWindow& window)
{
    if (window.isMinimized())
        window.showNormal();
    else
        window.show();
    area.setActiveSubWindow(&window);
    window.raise();
}

void tileChildWindows(QMdiArea& area, std::vector<QRect> (*layout)(const QRect&, int))
{
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* window : area.subWindowList(QMdiArea::CreationOrder))
        if (!window->isMinimized() && !window->isHidden())
            windows.append(window);
    const std::vector<QRect> places = layout(area.viewport()->rect(), int(windows.size()));
    for (int i = 0; i < windows.size(); ++i) {
        if (windows[i]->isMaximized())
            windows[i]->showNormal();
        windows[i]->setGeometry(places[i]);
    }
}

void arrangeChildIcons(QMdiArea& area)
{
    QList<QMdiSubWindow*> icons;
    for (QMdiSubWindow* window : area.subWindowList(QMdiArea::CreationOrder))
        if (window->isMinimized())
            icons.append(window);
    if (icons.isEmpty())
        return;
    const std::vector<QPoint> places =
        iconRow(area.viewport()->rect(), icons.front()->size(), int(icons.size()));
    for (int i = 0; i < icons.size(); ++i)
        icons[i]->move(places[i]);
}
