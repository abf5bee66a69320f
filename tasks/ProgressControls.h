#pragma once

class QObject;
class QProgressBar;
class QPushButton;
class QTimer;
class QWidget;

// What every task progress window shows below its texts: the gauge, the "Отмена" button (which
// becomes "Закрыть" at the end) and the one-shot timer that closes the window after the end.
struct ProgressControls {
    QProgressBar* gauge;
    QPushButton* button;
    QTimer* timer;
};

ProgressControls makeProgressControls(QWidget* content, QObject* timerOwner, int closeDelayMs);
