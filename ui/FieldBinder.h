#pragma once

#include <functional>
#include <optional>
#include <vector>

#include <QString>

#include "models/Field.h"
#include "ui/EditorControls.h"
#include "ui/NumberField.h"

class Dialogs;
class DottedField;
class EditorModel;
class QCheckBox;
class QComboBox;
class QLabel;
class QSlider;
class QWidget;

// How a level's controls look: the object names of its value text and of its framed name label
// (no name label when absent), and its slider's tick interval and page step.
struct LevelLook {
    QString valueName;
    std::optional<QString> labelName;
    int tickInterval = 1;
    int pageStep = 1;
};

// A level's controls, made in this order: the name label (when it has one), the value text and
// the slider.
struct LevelControls {
    QLabel* name = nullptr;
    QLabel* value = nullptr;
    QSlider* slider = nullptr;
};

// Makes the control of each field of an editor's block by the field's kind, named as the field's
// control, and wires it to its model:
//
// - Every way of changing a control (a click, the keys, the wheel, the accessibility interface)
//   takes one path: the value, checked against the field's range where it is typed (the message
//   "Недопустимое значение..." and the nearer limit), is stored through the model's changeField or
//   through the form's own handler where the form gives one, and the item it changed goes to the
//   form's changed. A change may make other fields changeable or not: every bound control then
//   takes its enabled state again.
// - showAll shows the model in every bound control without running a handler: the value, the
//   enabled state, and the items, range and label that follow the controller or another field.
class FieldBinder {
public:
    // Stores a field's new value the form's way; returns the item changed.
    using Store = std::function<int(int value)>;

    FieldBinder(EditorModel& model, Dialogs& dialogs, std::function<void(int item)> changed);

    // A check box captioned with the field's label.
    QCheckBox* flag(QWidget* parent, const Field& field, Store store = {});
    // A drop-down list of the field's items.
    QComboBox* dropDown(QWidget* parent, const Field& field, Store store = {});
    // A group of radio buttons titled with the field's label, one per item.
    RadioGroup radioGroup(QWidget* parent, const Field& field, int columns, Store store = {});
    // A vertical slider, highest value at the top, with the value's text above it.
    LevelControls level(
        QWidget* parent, const Field& field, const LevelLook& look, Store store = {});
    // A number field taking numbers as the entry says.
    NumberField* number(
        QWidget* parent, const Field& field, const NumberEntry& entry, Store store = {});
    // Four octet fields in a row.
    DottedField* octets(QWidget* parent, const Field& field, Store store = {});
    // A label showing the field's label as it reads for the controller and the other fields.
    QLabel* label(QWidget* parent, const Field& field);

    // Shows a value in the field's controls without running handlers: for a window's look before
    // its block is loaded.
    void show(const Field& field, int value) const;
    // Shows the model in every bound control without running handlers.
    void showAll() const;

private:
    struct Binding {
        const Field* field;
        std::vector<QWidget*> controls; // enabled while the model lets the field change
        std::function<void(int)> show; // shows a value, quietly
    };

    void bind(const Field& field, std::vector<QWidget*> controls, std::function<void(int)> show);
    // What a change of the field's control runs.
    std::function<void(int)> changeOf(const Field& field, Store store);
    void showEnabled() const;

    EditorModel& model_;
    Dialogs& dialogs_;
    std::function<void(int)> changed_;
    std::vector<Binding> bindings_;
};
