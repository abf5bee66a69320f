#pragma once

#include <QString>

class QMdiSubWindow;

// The frame every child window of the main window shares: its caption and picture, minimise and
// close buttons but no maximise, and freed when it closes.
void setUpChildWindow(QMdiSubWindow& window, const QString& caption, int image);
