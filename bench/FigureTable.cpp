#include "FigureTable.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

std::string number(double value)
{
    char text[32];
    const double magnitude = std::fabs(value);
    const char* format = magnitude >= 100 ? "%.0f" : magnitude >= 10 ? "%.1f" : "%.3g";
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string withUnit(double value, const std::string& unit)
{
    return unit.empty() ? number(value) : number(value) + " " + unit;
}

std::string goalText(const FigureRow& row)
{
    switch (row.goalOn) {
    case FigureRow::GoalOn::Measured:
        return "<= " + withUnit(row.goal, row.unit);
    case FigureRow::GoalOn::Ratio:
        return "ratio <= " + number(row.goal);
    case FigureRow::GoalOn::None:
        break;
    }
    return "-";
}

} // namespace

std::optional<double> ratioOf(const FigureRow& row)
{
    if (!row.baseline || *row.baseline <= 0)
        return std::nullopt;
    return row.measured / *row.baseline;
}

std::string verdictOf(const FigureRow& row)
{
    if (!row.note.empty())
        return "BAD (" + row.note + ")";
    switch (row.goalOn) {
    case FigureRow::GoalOn::Measured:
        return row.measured <= row.goal ? "ok" : "MISS";
    case FigureRow::GoalOn::Ratio: {
        const std::optional<double> ratio = ratioOf(row);
        return ratio && *ratio <= row.goal ? "ok" : "MISS";
    }
    case FigureRow::GoalOn::None:
        break;
    }
    return "-";
}

std::string tableLine(const FigureRow& row)
{
    const std::optional<double> ratio = ratioOf(row);
    return row.name + "\t" + withUnit(row.measured, row.unit) + "\t"
        + (row.baseline ? withUnit(*row.baseline, row.unit) : "-") + "\t"
        + (ratio ? number(*ratio) : "-") + "\t" + goalText(row) + "\t" + verdictOf(row);
}

void printRows(const std::vector<FigureRow>& rows)
{
    for (const FigureRow& row : rows)
        std::printf("%s\n", tableLine(row).c_str());
    std::fflush(stdout);
}

double percentile(std::vector<double> values, double fraction)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<std::size_t>(std::ceil(fraction * double(values.size())));
    return values[std::clamp<std::size_t>(rank, 1, values.size()) - 1];
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double largest(const std::vector<double>& values)
{
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}
