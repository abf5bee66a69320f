#include "shell/SelectForm.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "config/ConfigRecord.h"
#include "shell/ModelChoice.h"

TFSelect::TFSelect(QWidget* parent)
    : QDialog(parent)
    , DevBox(new QComboBox(this))
    , TypeBox(new QComboBox(this))
{
    setWindowTitle(QStringLiteral("Выбор контроллера"));
    DevBox->setObjectName(QStringLiteral("DevBox"));
    DevBox->addItems({QStringLiteral("R-410"), QStringLiteral("R-420")});
    TypeBox->setObjectName(QStringLiteral("TypeBox"));
    TypeBox->addItems({QStringLiteral("ZA"), QStringLiteral("ZB")});
    auto* BClose = new QPushButton(QStringLiteral("Ввод"), this);
    BClose->setObjectName(QStringLiteral("BClose"));
    BClose->setDefault(true);

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Оборудование"), this), 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("Тип"), this), 0, 1);
    layout->addWidget(DevBox, 1, 0);
    layout->addWidget(TypeBox, 1, 1);
    layout->addWidget(BClose, 2, 0, 1, 2, Qt::AlignHCenter);
    layout->setHorizontalSpacing(14);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(DevBox, &QComboBox::activated, this, &TFSelect::DevBoxChange);
    connect(TypeBox, &QComboBox::activated, this, &TFSelect::TypeBoxChange);
    connect(BClose, &QPushButton::clicked, this, &TFSelect::BCloseClick);
}

void TFSelect::setup(ConfigRecord& record)
{
    record = ConfigRecord::blank();
    record_ = &record;
    DevBox->setCurrentIndex(0);
    TypeBox->setCurrentIndex(0);
}

void TFSelect::DevBoxChange(int index)
{
    if (record_)
        record_->setTypeWord(withModelIndex(record_->typeWord(), index));
}

void TFSelect::TypeBoxChange(int index)
{
    if (record_)
        record_->setTypeWord(withEditionIndex(record_->typeWord(), index));
}

void TFSelect::BCloseClick()
{
    close();
}
