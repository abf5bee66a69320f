#pragma once

#include <functional>

#include <QString>
#include <QWidget>

#include "models/NumberRange.h"

class Dialogs;
class QLineEdit;
class QToolButton;
class QVBoxLayout;

// What an emptied text stands for.
enum class EmptyText {
    KeepsNumber, // no number: the field keeps its last one
    Zero,        // the number 0, checked like any other
};

// What Backspace does in a field.
enum class BackspaceKey {
    Deletes,   // as in any text field
    Discarded, // the link editor's fields take typed digits only, Backspace not excepted
};

// How a field takes its number: the spinner's step (no spinner when 0), the most digits it holds
// (any count when 0), what an emptied text stands for and what Backspace does.
struct NumberEntry {
    int step = 0;
    int digits = 0;
    EmptyText emptied = EmptyText::KeepsNumber;
    BackspaceKey backspace = BackspaceKey::Deletes;
};

// A text field for a whole number, with an up-down spinner beside it where it has a step, as the
// settings windows use for numbers with a range.
//
// - Typing: only the digits 0 to 9 are taken; every other character is discarded, and Backspace
//   too where the entry says so. Deleting and overtyping a selection work; pasted text is taken
//   only when it is all digits.
// - Every change of the text, typed, pasted or made by the spinner, is checked at once: a number
//   outside the range raises "Недопустимое значение. Укажите значение в диапазоне <min>..<max>"
//   and the nearer bound takes its place. The accepted number goes to the handler.
// - The spinner (its buttons, or the arrow keys in the field) adds or takes away one step from
//   the last accepted number; a step past a bound is checked like typing.
// - An emptied text is no number by default: the handler is not run, no message is shown, and
//   the field keeps its last accepted number until the next one is typed. A field whose emptied
//   text stands for 0 checks and takes 0 at once, and shows it.
//
// The field's text control carries the field's name (e.g. "N1"); its spinner buttons the name
// followed by "Up" and "Down".
class NumberField final : public QWidget {
public:
    NumberField(QWidget* parent, const QString& name, NumberRange range, const NumberEntry& entry,
                Dialogs& dialogs);

    void setRange(NumberRange range);
    // The last number the field accepted or was shown.
    int value() const { return value_; }
    // Shows a number without running the handler: for showing the working copy.
    void showValue(int value);
    // The handler gets every number the field accepts.
    void onChanged(std::function<void(int)> handler);
    // One spinner press: steps up (positive) or down (negative).
    void stepBy(int steps);

    // Discards every typed character but a digit, and Backspace where the entry says so.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void textChange(const QString& text);
    void accept(int number);
    QVBoxLayout* makeSpinner(const QString& name);
    QToolButton* makeSpinButton(const QString& name, Qt::ArrowType arrow, int steps);
    void releaseSpinner();

    NumberRange range_;
    NumberEntry entry_;
    int value_;
    Dialogs& dialogs_;
    std::function<void(int)> handler_;
    QLineEdit* edit_;
    QToolButton* up_ = nullptr;
    QToolButton* down_ = nullptr;
};
