#include "ui/FieldBinder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QSlider>

#include "models/EditorModel.h"
#include "ui/DottedField.h"

FieldBinder::FieldBinder(
    EditorModel& model, Dialogs& dialogs, std::function<void(int item)> changed)
    : model_(model)
    , dialogs_(dialogs)
    , changed_(std::move(changed))
{
}

QCheckBox* FieldBinder::flag(QWidget* parent, const Field& field, Store store)
{
    QCheckBox* box = makeCheckBox(parent, QString::fromLatin1(field.control), field.label);
    onToggled(box, box,
        [change = changeOf(field, std::move(store))](bool ticked) { change(ticked ? 1 : 0); });
    bind(field, { box }, [box](int value) { showChecked(box, value != 0); });
    return box;
}

QComboBox* FieldBinder::dropDown(QWidget* parent, const Field& field, Store store)
{
    QComboBox* list = makeDropDown(
        parent, QString::fromLatin1(field.control), fieldItems(field, model_.fieldContext()));
    onChoice(list, list, changeOf(field, std::move(store)));
    bind(field, { list }, [this, list, &field](int value) {
        showChoice(list, fieldItems(field, model_.fieldContext()), value);
    });
    return list;
}

RadioGroup FieldBinder::radioGroup(QWidget* parent, const Field& field, int columns, Store store)
{
    const RadioGroup group = makeRadioGroup(parent, QString::fromLatin1(field.control), field.label,
        fieldItems(field, model_.fieldContext()), columns);
    group.onChosen(group.box, changeOf(field, std::move(store)));
    bind(field, { group.box }, [group](int value) { group.choose(value); });
    return group;
}

LevelControls FieldBinder::level(
    QWidget* parent, const Field& field, const LevelLook& look, Store store)
{
    LevelControls level;
    if (look.labelName)
        level.name = makeNameLabel(parent, *look.labelName);
    level.value = makeValueText(parent, look.valueName);
    level.slider = makeVerticalSlider(parent, QString::fromLatin1(field.control),
        field.range.minimum, field.range.maximum, look.tickInterval, look.pageStep);
    const auto showText = [this, level, &field](int value) {
        const FieldContext context = model_.fieldContext();
        if (level.name)
            level.name->setText(fieldLabel(field, context));
        level.value->setText(shownText(field, value, context));
    };
    QObject::connect(level.slider, &QSlider::valueChanged, level.slider,
        [this, showText, &field, change = changeOf(field, std::move(store))](int position) {
            change(levelAt(field, position));
            showText(model_.fieldValue(field));
        });
    std::vector<QWidget*> controls { level.value, level.slider };
    if (level.name)
        controls.push_back(level.name);
    // A value below the slider's range leaves it at its bottom end; its text still says it.
    bind(field, controls, [level, showText, &field](int value) {
        showPosition(level.slider, levelPosition(field, value));
        showText(value);
    });
    return level;
}

NumberField* FieldBinder::number(
    QWidget* parent, const Field& field, const NumberEntry& entry, Store store)
{
    auto* number = new NumberField(
        parent, QString::fromLatin1(field.control), model_.fieldLimits(field), entry, dialogs_);
    number->onChanged(changeOf(field, std::move(store)));
    bind(field, { number }, [this, number, &field](int value) {
        number->setRange(model_.fieldLimits(field));
        number->showValue(value);
    });
    return number;
}

DottedField* FieldBinder::octets(QWidget* parent, const Field& field, Store store)
{
    auto* dotted
        = new DottedField(parent, QString::fromLatin1(field.control), octetLimits(field), dialogs_);
    // An octet's change stores the address with that octet changed.
    dotted->onChanged(
        [this, &field, change = changeOf(field, std::move(store))](int index, int octet) {
            Octets octets = octetsOf(model_.fieldValue(field));
            octets[static_cast<std::size_t>(index)] = octet;
            change(addressOf(octets));
        });
    bind(field, { dotted }, [dotted](int value) { dotted->showOctets(octetsOf(value)); });
    return dotted;
}

QLabel* FieldBinder::label(QWidget* parent, const Field& field)
{
    auto* label = new QLabel(fieldLabel(field, model_.fieldContext()), parent);
    bind(field, {},
        [this, label, &field](int) { label->setText(fieldLabel(field, model_.fieldContext())); });
    return label;
}

void FieldBinder::show(const Field& field, int value) const
{
    for (const Binding& binding : bindings_)
        if (binding.field == &field)
            binding.show(value);
}

void FieldBinder::showAll() const
{
    for (const Binding& binding : bindings_)
        binding.show(model_.fieldValue(*binding.field));
    showEnabled();
}

void FieldBinder::bind(
    const Field& field, std::vector<QWidget*> controls, std::function<void(int)> show)
{
    bindings_.push_back({ &field, std::move(controls), std::move(show) });
}

// One path for every change: stored the form's way or through the model, every control's enabled
// state shown again, then the item reported.
std::function<void(int)> FieldBinder::changeOf(const Field& field, Store store)
{
    if (!store)
        store = [this, &field](int value) { return model_.changeField(field, value); };
    return [this, store = std::move(store)](int value) {
        const int item = store(value);
        showEnabled();
        changed_(item);
    };
}

void FieldBinder::showEnabled() const
{
    for (const Binding& binding : bindings_) {
        const bool enabled = model_.fieldEnabled(*binding.field);
        for (QWidget* control : binding.controls)
            control->setEnabled(enabled);
    }
}
