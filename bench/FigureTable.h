#pragma once

#include <optional>
#include <string>
#include <vector>

// One row of the performance table: what was measured, against what, and the goal it must meet.
// A row without a baseline shows only its measure; a row without a goal is for information.
struct FigureRow {
    enum class GoalOn { Measured, Ratio, None };

    std::string name;
    double measured = 0;
    std::optional<double> baseline;
    std::string unit;
    GoalOn goalOn = GoalOn::None;
    double goal = 0; // upper limit of the measure or of the ratio
    std::string note; // why a figure cannot be trusted, empty when it can
};

std::optional<double> ratioOf(const FigureRow& row);
// "ok", "MISS", or "-" for a row without a goal; "BAD" when the measurement itself failed.
std::string verdictOf(const FigureRow& row);
// The row as tab-separated fields: figure, measured, baseline, ratio, goal, verdict.
std::string tableLine(const FigureRow& row);
void printRows(const std::vector<FigureRow>& rows);

// Order statistics of a sample (taken by value: they sort it). Empty samples give 0.
double median(std::vector<double> values);
double percentile(std::vector<double> values, double fraction);
double largest(const std::vector<double>& values);
