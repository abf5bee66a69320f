#pragma once

#include <QWidget>

// The slim strip a docked panel is dragged by, in place of its caption.
class DockGrip : public QWidget {
public:
    explicit DockGrip(QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};
