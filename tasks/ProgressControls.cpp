#include "tasks/ProgressControls.h"

#include <algorithm>

#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

ProgressControls makeProgressControls(QWidget* content, QObject* timerOwner, int closeDelayMs)
{
    auto* gauge = new QProgressBar(content);
    gauge->setObjectName(QStringLiteral("CGauge1"));
    gauge->setRange(0, 1);
    gauge->setValue(0);
    auto* button = new QPushButton(QStringLiteral("Отмена"), content);
    button->setObjectName(QStringLiteral("But"));
    button->setDefault(true);
    auto* timer = new QTimer(timerOwner);
    timer->setObjectName(QStringLiteral("Timer"));
    timer->setSingleShot(true);
    timer->setInterval(closeDelayMs);
    return {gauge, button, timer};
}

void setGaugeMaximum(QProgressBar& gauge, int size)
{
    gauge.setMaximum(std::max(size, 1));
}
