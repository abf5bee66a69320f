#pragma once

#include <functional>

#include <QString>
#include <QStringList>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QObject;
class QSlider;
class QWidget;

// The controls the editors are built from, made one way for every editor.

// A vertical slider whose minimum position is at the top.
QSlider* makeVerticalSlider(QWidget* parent, const QString& name, int minimum, int maximum,
                            int tickInterval, int pageStep);
// Moves a slider without running its change handler: for showing the working copy.
void showPosition(QSlider* slider, int position);
// The centred value text above a slider.
QLabel* makeValueText(QWidget* parent, const QString& name);
// A framed name label above a slider.
QLabel* makeNameLabel(QWidget* parent, const QString& name);
QCheckBox* makeCheckBox(QWidget* parent, const QString& name, const QString& caption);
// Ticks or unticks a box without running its change handler: for showing the working copy.
void showChecked(QCheckBox* box, bool checked);
// Runs the handler on every change of the box's state, however it was made: a click, the space
// bar, or the "toggle" action of the accessibility interface.
void onToggled(QCheckBox* box, QObject* context, std::function<void(bool)> handler);

// A drop-down list from which only its items can be chosen.
QComboBox* makeDropDown(QWidget* parent, const QString& name, const QStringList& items);
// Puts the items in the list, when they differ from those it holds, and chooses one, without
// running the list's handler: for showing the working copy.
void showChoice(QComboBox* list, const QStringList& items, int index);
// Runs the handler with the position of each item that becomes chosen, however it was chosen:
// from the opened list, with the arrow keys or the wheel, or through the accessibility interface.
void onChoice(QComboBox* list, QObject* context, std::function<void(int)> handler);

// A titled group of radio buttons, the item index being each button's id. Choosing an item by
// code does not run its handler; any other way of choosing one does.
struct RadioGroup {
    QGroupBox* box;
    QButtonGroup* buttons;

    void choose(int index) const;
    int chosen() const;
    // The handler gets the index of each item that becomes chosen.
    void onChosen(QObject* context, std::function<void(int)> handler) const;
};
RadioGroup makeRadioGroup(QWidget* parent, const QString& name, const QString& title,
                          const QStringList& items, int columns);
