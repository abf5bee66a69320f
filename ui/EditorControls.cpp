#include "ui/EditorControls.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPalette>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>

QSlider* makeVerticalSlider(QWidget* parent, const QString& name, int minimum, int maximum,
                            int tickInterval, int pageStep)
{
    auto* slider = new QSlider(Qt::Vertical, parent);
    slider->setObjectName(name);
    slider->setRange(minimum, maximum);
    slider->setTickPosition(QSlider::TicksBothSides);
    slider->setTickInterval(tickInterval);
    slider->setPageStep(pageStep);
    slider->setSingleStep(1);
    // Position 0 at the top, and the arrow keys move the way the slider looks.
    slider->setInvertedAppearance(true);
    slider->setInvertedControls(true);
    // No filled groove: filled from the top down, it would grow as the value falls.
    QPalette palette = slider->palette();
    palette.setColor(QPalette::Highlight, palette.color(QPalette::Window));
    slider->setPalette(palette);
    return slider;
}

void showPosition(QSlider* slider, int position)
{
    const QSignalBlocker quiet(slider);
    slider->setValue(position);
}

QLabel* makeValueText(QWidget* parent, const QString& name)
{
    auto* text = new QLabel(parent);
    text->setObjectName(name);
    text->setAlignment(Qt::AlignCenter);
    return text;
}

QLabel* makeNameLabel(QWidget* parent, const QString& name)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setMargin(2);
    return label;
}

QCheckBox* makeCheckBox(QWidget* parent, const QString& name, const QString& caption)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    return box;
}

void showChecked(QCheckBox* box, bool checked)
{
    const QSignalBlocker quiet(box);
    box->setChecked(checked);
}

void onToggled(QCheckBox* box, QObject* context, std::function<void(bool)> handler)
{
    QObject::connect(box, &QCheckBox::toggled, context, std::move(handler));
}

QComboBox* makeDropDown(QWidget* parent, const QString& name, const QStringList& items)
{
    auto* list = new QComboBox(parent);
    list->setObjectName(name);
    list->setEditable(false);
    list->addItems(items);
    return list;
}

void showChoice(QComboBox* list, const QStringList& items, int index)
{
    const QSignalBlocker quiet(list);
    QStringList shown;
    for (int item = 0; item < list->count(); ++item)
        shown.append(list->itemText(item));
    if (shown != items) {
        list->clear();
        list->addItems(items);
    }
    list->setCurrentIndex(index);
}

void onChoice(QComboBox* list, QObject* context, std::function<void(int)> handler)
{
    // A change of the current item, which filling the list by code does with its signals blocked.
    QObject::connect(list, &QComboBox::currentIndexChanged, context,
                     [handler = std::move(handler)](int index) {
                         if (index >= 0)
                             handler(index);
                     });
}

void RadioGroup::choose(int index) const
{
    // The group announces its buttons' changes itself, so it is silenced too.
    const QSignalBlocker quietGroup(buttons);
    if (QAbstractButton* button = buttons->button(index)) {
        const QSignalBlocker quiet(button);
        button->setChecked(true);
    }
}

void RadioGroup::onChosen(QObject* context, std::function<void(int)> handler) const
{
    QObject::connect(buttons, &QButtonGroup::idToggled, context,
                     [handler = std::move(handler)](int id, bool checked) {
                         if (checked)
                             handler(id);
                     });
}

int RadioGroup::chosen() const
{
    return buttons->checkedId();
}

RadioGroup makeRadioGroup(QWidget* parent, const QString& name, const QString& title,
                          const QStringList& items, int columns)
{
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(name);
    auto* buttons = new QButtonGroup(box);
    auto* layout = new QGridLayout(box);
    const int rows = (static_cast<int>(items.size()) + columns - 1) / columns;
    for (int index = 0; index < items.size(); ++index) {
        auto* button = new QRadioButton(items[index], box);
        buttons->addButton(button, index);
        // Filled column by column, as a radio group with several columns reads.
        layout->addWidget(button, index % rows, index / rows);
    }
    return {box, buttons};
}
