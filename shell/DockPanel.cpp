#include "shell/DockPanel.h"

#include <QDockWidget>
#include <QEvent>
#include <QMainWindow>

#include "shell/DockGrip.h"

namespace {

class CloseRefusal final : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Close)
            return QObject::eventFilter(watched, event);
        event->ignore();
        return true;
    }
};

void useGripWhenDocked(QDockWidget* panel)
{
    const auto setTitleBar = [panel](bool floating) {
        QWidget* old = panel->titleBarWidget();
        panel->setTitleBarWidget(floating ? nullptr : new DockGrip(panel));
        // Later: the strip may be the widget whose drag made the panel float.
        if (old)
            old->deleteLater();
    };
    setTitleBar(false);
    QObject::connect(panel, &QDockWidget::topLevelChanged, panel, setTitleBar);
}

} // namespace

QDockWidget* addDockPanel(QMainWindow& window, const QString& title, const char* name,
                          QWidget* content, Qt::DockWidgetArea area)
{
    auto* panel = new QDockWidget(title, &window);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setWidget(content);
    panel->setAllowedAreas(area);
    panel->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    useGripWhenDocked(panel);
    panel->installEventFilter(new CloseRefusal(panel));
    window.addDockWidget(area, panel);
    return panel;
}
