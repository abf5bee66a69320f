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
