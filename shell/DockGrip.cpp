#include "shell/DockGrip.h"

#include <QPainter>
#include <QStyleOption>

DockGrip::DockGrip(QWidget* parent)
    : QWidget(parent)
{
    setCursor(Qt::SizeAllCursor);
}

QSize DockGrip::sizeHint() const
{
    return {20, 9};
}

void DockGrip::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QStyleOption option;
    option.initFrom(this);
    // A vertical toolbar's handle: a row of dots across the strip.
    option.state &= ~QStyle::State_Horizontal;
    option.rect = rect().adjusted(2, 1, -2, -1);
    style()->drawPrimitive(QStyle::PE_IndicatorToolBarHandle, &option, &painter, this);
}
