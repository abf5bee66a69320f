#include "shell/AboutForm.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace {

QLabel* largerLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * 1.15);
    label->setFont(font);
    return label;
}

void drawChip(QPainter& painter, const QRect& body)
{
    painter.setPen(QColor(0xB0, 0xB0, 0xB0));
    for (int x = body.left() + 3; x < body.right(); x += 5) {
        painter.drawLine(x, body.top() - 3, x, body.top());
        painter.drawLine(x, body.bottom(), x, body.bottom() + 3);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x22, 0x22, 0x26));
    painter.drawRect(body);
}

} // namespace

QPixmap aboutPicture()
{
    QPixmap picture(129, 62);
    picture.fill(QColor(0x1E, 0x6B, 0x3A));
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0xD4, 0xA0, 0x3C), 1));
    for (int y = 8; y < 60; y += 9)
        painter.drawLine(2, y, 126, y);
    drawChip(painter, QRect(10, 14, 34, 22));
    drawChip(painter, QRect(54, 14, 22, 22));
    painter.setBrush(QColor(0xC8, 0xC8, 0xC8));
    painter.setPen(Qt::NoPen);
    painter.drawRect(QRect(92, 10, 30, 16));
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(13);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, 40, 129, 20), Qt::AlignCenter, QStringLiteral("R-410 / R-420"));
    return picture;
}

TFAbout::TFAbout(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Терминал контроллеров"));

    auto* picture = new QLabel(this);
    picture->setPixmap(aboutPicture());
    picture->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    auto* divider = new QFrame(this);
    divider->setFrameStyle(QFrame::HLine | QFrame::Sunken);

    auto* BClose = new QPushButton(QStringLiteral("Закрыть"), this);
    BClose->setObjectName(QStringLiteral("BClose"));
    BClose->setDefault(true);
    connect(BClose, &QPushButton::clicked, this, &QDialog::close);

    auto* layout = new QGridLayout(this);
    layout->addWidget(picture, 0, 0, 3, 1, Qt::AlignTop);
    layout->addWidget(largerLabel(QStringLiteral("Терминал управления для"), this), 0, 1);
    layout->addWidget(largerLabel(QStringLiteral("контроллеров R-410, R-420."), this), 1, 1);
    layout->addWidget(new QLabel(QStringLiteral("Версия 1.3.1"), this), 2, 1, Qt::AlignTop);
    layout->addWidget(divider, 3, 0, 1, 2);
    layout->addWidget(BClose, 4, 0, 1, 2, Qt::AlignHCenter);
    layout->setHorizontalSpacing(14);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
