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

// Code 4: the gauge runs up to the size. A size of 0 (an empty image) keeps the gauge still: Qt's
// gauge would otherwise turn to its busy animation and go on after the end.
void setGaugeMaximum(QProgressBar& gauge, int size);
