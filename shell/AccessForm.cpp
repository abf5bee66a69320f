#include "shell/AccessForm.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "models/AccessCode.h"

TFAccess::TFAccess(QWidget* parent)
    : QDialog(parent)
    , EAccess(new QLineEdit(this))
{
    setWindowTitle(QStringLiteral("Выбор режима работы"));
    EAccess->setObjectName(QStringLiteral("EAccess"));
    EAccess->setFixedWidth(137);
    auto* BClose = new QPushButton(QStringLiteral("Ввод"), this);
    BClose->setObjectName(QStringLiteral("BClose"));
    BClose->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Введите сервисный код"), this), 0, Qt::AlignHCenter);
    layout->addWidget(EAccess, 0, Qt::AlignHCenter);
    layout->addWidget(BClose, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setMinimumWidth(220);

    connect(BClose, &QPushButton::clicked, this, &TFAccess::BCloseClick);
    connect(EAccess, &QLineEdit::returnPressed, this, &TFAccess::BCloseClick);
}

void TFAccess::BCloseClick()
{
    close();
}

void TFAccess::done(int)
{
    QDialog::done(accessModalResult(EAccess->text()));
}
