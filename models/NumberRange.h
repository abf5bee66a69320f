#pragma once

#include <optional>

#include <QString>

// The range of a numeric field and what a number typed into it becomes.
struct NumberRange {
    int minimum;
    int maximum;

    bool operator==(const NumberRange&) const = default;
};

// "Недопустимое значение. Укажите значение в диапазоне 64..512": what an operator is told when a
// number falls outside its field's range.
QString rangeMessage(const NumberRange& range);

// The number a field's text stands for: digits only, none missing. A number too large for any
// field reads as the largest int, so it still counts as above the maximum.
std::optional<int> wholeNumberOf(const QString& text);

// A number brought into its range: the nearer bound when it lies outside.
struct FittedNumber {
    int value;
    bool outside;
};
FittedNumber fitToRange(int value, const NumberRange& range);
