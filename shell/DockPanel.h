#pragma once

#include <Qt>

class QDockWidget;
class QMainWindow;
class QString;
class QWidget;

// Adds a panel at its own side of the main window. It can float and be docked again at that
// side, but never be closed: a floating panel closed by the window manager could not be shown
// again. Docked, it shows a slim strip to drag it by; floating, its caption.
QDockWidget* addDockPanel(QMainWindow& window, const QString& title, const char* name,
                          QWidget* content, Qt::DockWidgetArea area);
